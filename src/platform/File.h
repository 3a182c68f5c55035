#pragma once
// Files as the readers and writers see them: an input file that reads short at its end without
// complaint and throws FileError on a real I/O failure, and an output file that is written beside
// its target and only replaces it when complete, so a failed save never leaves half a file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace orvel::platform {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InputFile {
 public:
  InputFile() = default;
  explicit InputFile(const std::string& path) { Open(path); }
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Open(const std::string& path);
  bool IsOpen() const { return m_file != nullptr; }
  void Close();

  // Reads up to count bytes; returns how many arrived (fewer only at the end of the file).
  std::size_t Read(void* buffer, std::size_t count);
  void Seek(std::uint64_t offset);
  std::uint64_t Size() const { return m_size; }
  const std::string& Path() const { return m_path; }

 private:
  std::FILE* m_file = nullptr;
  std::uint64_t m_size = 0;
  std::string m_path;
};

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // abandons an uncommitted file
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens a temporary file beside the target: the file path names, or the file a symbolic link
  // at path points to. The temporary file takes the mode of the file it will replace. False,
  // with nothing created, when the target is something a rename must not replace (see
  // IsReplaceable).
  bool Create(const std::string& path);
  bool IsOpen() const { return m_file != nullptr; }
  // Writes all count bytes or throws FileError.
  void Write(const void* buffer, std::size_t count);
  // Writes count bytes at offset of the file written so far (for headers patched afterwards).
  void WriteAt(std::uint64_t offset, const void* buffer, std::size_t count);
  // Flushes, syncs and renames the temporary file over the target; false on any failure, in
  // which case the target is untouched and the temporary file removed.
  bool Commit();
  // Removes the temporary file; the target is untouched.
  void Abandon();

 private:
  std::FILE* m_file = nullptr;
  std::string m_target;
  std::string m_temporary;
};

// Opens path for reading when it names a regular file (after links), without ever waiting on a
// FIFO or device that has no writer; the descriptor, or -1 with errno set (EINVAL for a file
// that is not regular).
int OpenRegularFile(const std::string& path);

// Reads a whole file; false when it cannot be opened or read, or holds more than maxBytes.
bool ReadWholeFile(const std::string& path, std::string& contents, std::uint64_t maxBytes);
// Replaces path with contents through an OutputFile.
bool WriteWholeFileAtomically(const std::string& path, const std::string& contents);

}  // namespace orvel::platform
