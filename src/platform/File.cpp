#include "platform/File.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <sys/stat.h>

#include "platform/FileSystem.h"

namespace orvel::platform {

InputFile::~InputFile() { Close(); }

int OpenRegularFile(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come; the flag is
  // cleared again once the file is known to be regular, where it means nothing anyway.
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
      fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(descriptor);
    errno = EINVAL;
    return -1;
  }
  return descriptor;
}

bool InputFile::Open(const std::string& path) {
  Close();
  const int descriptor = OpenRegularFile(path);
  if (descriptor < 0) return false;
  struct stat info {};
  m_file = fstat(descriptor, &info) == 0 ? fdopen(descriptor, "rb") : nullptr;
  if (!m_file) {
    close(descriptor);
    return false;
  }
  m_size = static_cast<std::uint64_t>(info.st_size);
  m_path = path;
  return true;
}

void InputFile::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
  m_size = 0;
}

std::size_t InputFile::Read(void* buffer, std::size_t count) {
  if (!m_file) throw FileError("file not open");
  const std::size_t got = std::fread(buffer, 1, count, m_file);
  if (got < count && std::ferror(m_file)) throw FileError(std::strerror(errno));
  return got;
}

void InputFile::Seek(std::uint64_t offset) {
  if (!m_file) throw FileError("file not open");
  if (fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0) throw FileError(std::strerror(errno));
}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Create(const std::string& path) {
  Abandon();
  // Written beside the file a link points at, so that the link stays a link.
  const std::string target = FollowLinks(path);
  if (!IsReplaceable(target)) return false;
  std::string pattern = target + ".tmp-XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) return false;
  m_file = fdopen(descriptor, "w+b");
  if (!m_file) {
    close(descriptor);
    unlink(pattern.c_str());
    return false;
  }
  // The replaced file's permissions, or those of an ordinary new file, not mkstemp's 0600.
  fchmod(descriptor, ModeForReplacing(target));
  m_target = target;
  m_temporary = pattern;
  return true;
}

void OutputFile::Write(const void* buffer, std::size_t count) {
  if (!m_file) throw FileError("file not open");
  if (count != 0 && std::fwrite(buffer, 1, count, m_file) != count) throw FileError(std::strerror(errno));
}

void OutputFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
  if (!m_file) throw FileError("file not open");
  const off_t end = ftello(m_file);
  if (fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0) throw FileError(std::strerror(errno));
  Write(buffer, count);
  if (fseeko(m_file, end, SEEK_SET) != 0) throw FileError(std::strerror(errno));
}

bool OutputFile::Commit() {
  if (!m_file) return false;
  bool ok = std::fflush(m_file) == 0 && fsync(fileno(m_file)) == 0;
  ok = (std::fclose(m_file) == 0) && ok;
  m_file = nullptr;
  // Checked again: the target may have become a device or FIFO while the file was written.
  ok = ok && IsReplaceable(m_target);
  if (ok && std::rename(m_temporary.c_str(), m_target.c_str()) == 0) {
    m_temporary.clear();
    return true;
  }
  unlink(m_temporary.c_str());
  m_temporary.clear();
  return false;
}

void OutputFile::Abandon() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
  if (!m_temporary.empty()) unlink(m_temporary.c_str());
  m_temporary.clear();
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::uint64_t maxBytes) {
  InputFile file;
  if (!file.Open(path) || file.Size() > maxBytes) return false;
  try {
    contents.resize(file.Size());
    contents.resize(file.Read(contents.data(), contents.size()));
    return true;
  } catch (const FileError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool WriteWholeFileAtomically(const std::string& path, const std::string& contents) {
  OutputFile file;
  if (!file.Create(path)) return false;
  try {
    file.Write(contents.data(), contents.size());
  } catch (const FileError&) {
    return false;
  }
  return file.Commit();
}

}  // namespace orvel::platform
