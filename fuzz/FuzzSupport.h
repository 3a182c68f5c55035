#pragma once
// What every fuzz target shares: the readers' messages silenced, the input as a file on a path
// (the readers take files, not buffers), a private scratch folder, and a check that stops the run
// with a report when an invariant fails (a finding, like a crash).
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvel::fuzz {

// Discards the messages the readers show; the fuzzer's output stays readable.
void SilenceMessages();

// A folder of this process's own in memory-backed storage, removed when the process ends.
const std::string& ScratchFolder();

// A file in the scratch folder that holds exactly the bytes given, rewritten for every input.
class InputOnDisk {
 public:
  explicit InputOnDisk(const std::string& name);
  const std::string& Write(const std::uint8_t* data, std::size_t size);
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// Reports what was expected and aborts, so that libFuzzer keeps the input that broke it.
[[noreturn]] void Broken(const char* what);
inline void Expect(bool condition, const char* what) {
  if (!condition) Broken(what);
}

}  // namespace orvel::fuzz
