// Every writer against targets a save must never replace: a link to a device, a FIFO or a folder,
// and a read-only file. Each write fails, and the target and its folder stay exactly as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <functional>
#include <set>

#include "analysis/StackRun.h"
#include "app/ImageLoader.h"
#include "image/BmpFile.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

// What a target is: its type, size, mode and, for a regular file, its bytes.
struct TargetState {
  mode_t mode = 0;
  off_t size = 0;
  std::vector<unsigned char> bytes;
  bool operator==(const TargetState&) const = default;
};

TargetState StateOf(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return {};
  return {info.st_mode, S_ISREG(info.st_mode) ? info.st_size : 0,
          S_ISREG(info.st_mode) ? test::ReadFileBytes(path) : std::vector<unsigned char>{}};
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// Makes the target at node; false when this machine does not let us (a device needs root).
bool MakeTarget(const std::string& kind, const std::string& node) {
  if (kind == "device") return mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;  // as /dev/null
  if (kind == "FIFO") return mkfifo(node.c_str(), 0666) == 0;
  if (kind == "folder") return std::filesystem::create_directory(node);
  test::WriteFile(node, std::string("kept"));
  return chmod(node.c_str(), 0444) == 0;
}

TEST(HostileTargetTest, NoWriterReplacesAnythingButAWritableRegularFile) {
  test::TemporaryDirectory data;
  ASSERT_EQ(test::Phantom({data.Path(), "--slices", "3", "--size", "16x16"}).status, 0);
  const std::string slice = data.File("phantom0000.bmp");
  SliceImage image;
  ASSERT_EQ(LoadImageFile(slice, image), LoadStatus::kLoaded);

  // Each writer gets the name it writes; false when it reports failure.
  const std::vector<std::pair<std::string, std::function<bool(const std::string&)>>> writers = {
      {"save.bmp", [&](const std::string& path) { return SaveBmpFile(image, path); }},
      {"save.jpg", [&](const std::string& path) { return image.WriteJpeg(path, 75); }},
      {"orvel.ini", [](const std::string& path) { return platform::IniFile(path).WriteString("A", "b", "1"); }},
      {"export.bmp",
       [&](const std::string& path) {
         return test::Analyze({slice, "--export", path}).status == 0;
       }},
      {"cut.jpg",
       [&](const std::string& path) {
         return test::Analyze({slice, "--line", "1,1,9,9", "--cut", path}).status == 0;
       }},
  };
  test::MessageCapture messages;
  for (const std::string kind : {"device", "FIFO", "folder", "read-only file"}) {
    for (const auto& [name, write] : writers) {
      SCOPED_TRACE(kind + " as " + name);
      test::TemporaryDirectory scratch;
      const std::string node = scratch.File("node"), path = scratch.File(name);
      if (!MakeTarget(kind, node)) {
        EXPECT_EQ(kind, "device") << "only a device may need more rights than the test has";
        continue;
      }
      if (kind != "read-only file") std::filesystem::create_symlink(node, path);
      const std::string target = kind == "read-only file" ? node : path;
      const TargetState before = StateOf(node);
      const std::set<std::string> names = NamesIn(scratch.Path());
      EXPECT_FALSE(write(target));
      EXPECT_TRUE(StateOf(node) == before);
      EXPECT_EQ(NamesIn(scratch.Path()), names);
    }
  }
}

}  // namespace
}  // namespace orvel
