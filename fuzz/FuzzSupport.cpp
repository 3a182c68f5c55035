#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Messages.h"

namespace orvel::fuzz {

void SilenceMessages() {
  platform::SetMessageSink([](const std::string&, const std::string&) {});
}

namespace {

std::string MakeScratchFolder() {
  // Shared memory when there is some: the targets write a file for every input.
  const std::filesystem::path base =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  std::string pattern = (base / "orvel-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) Broken("a scratch folder can be made");
  static const std::string folder = pattern;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  });
  return pattern;
}

}  // namespace

const std::string& ScratchFolder() {
  static const std::string folder = MakeScratchFolder();
  return folder;
}

InputOnDisk::InputOnDisk(const std::string& name) : m_path(ScratchFolder() + "/" + name) {}

const std::string& InputOnDisk::Write(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.flush()) Broken("the input can be written to the scratch folder");
  return m_path;
}

void Broken(const char* what) {
  std::fprintf(stderr, "orvel fuzz: invariant broken: %s\n", what);
  std::abort();
}

}  // namespace orvel::fuzz
