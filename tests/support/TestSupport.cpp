#include "support/TestSupport.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace orvel::test {

namespace {

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

ChildRun RunInChild(const std::function<int()>& function) {
  int report[2];
  if (pipe(report) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    const long start = ResidentKiB();
    const int status = function();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const long growth = usage.ru_maxrss - start;
    if (write(report[1], &growth, sizeof growth) != sizeof growth) _exit(255);
    _exit(status);
  }
  close(report[1]);
  ChildRun run;
  int wait = 0;
  if (child > 0 && read(report[0], &run.growthKiB, sizeof run.growthKiB) != sizeof run.growthKiB) run.growthKiB = -1;
  close(report[0]);
  if (child < 0 || waitpid(child, &wait, 0) != child) return run;
  run.exited = WIFEXITED(wait);
  run.status = run.exited ? WEXITSTATUS(wait) : -1;
  return run;
}

std::string SettingsFolder::Text() const {
  const std::vector<unsigned char> bytes = ReadFileBytes(FilePath());
  return {bytes.begin(), bytes.end()};
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
