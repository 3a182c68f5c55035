#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace orvel::platform {

namespace {

// More links in a row than the system itself follows (its own limit is 40): a loop.
constexpr int kMaxLinksFollowed = 40;

}  // namespace

std::string FollowLinks(const std::string& path) {
  std::filesystem::path current = path;
  for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
    std::error_code error;
    if (!std::filesystem::is_symlink(current, error)) break;
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) break;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current.string();
}

bool IsMissing(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

bool IsReplaceable(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  return S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
         access(path.c_str(), W_OK) == 0;
}

mode_t ModeForReplacing(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool MoveOnto(const std::string& file, const std::string& target) {
  const std::string replaced = FollowLinks(target);
  if (!IsReplaceable(replaced)) return false;
  chmod(file.c_str(), ModeForReplacing(replaced));
  return std::rename(file.c_str(), replaced.c_str()) == 0;
}

bool CreateFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace orvel::platform
