#include "support/TestSupport.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace orvel::test {

ChildRun RunInChild(const std::function<int()>& function) {
  const pid_t child = fork();
  if (child == 0) _exit(function());
  ChildRun run;
  int wait = 0;
  struct rusage usage {};
  if (child < 0 || wait4(child, &wait, 0, &usage) != child) return run;
  run.exited = WIFEXITED(wait);
  run.status = run.exited ? WEXITSTATUS(wait) : -1;
  run.peakKiB = usage.ru_maxrss;
  return run;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace orvel::test
