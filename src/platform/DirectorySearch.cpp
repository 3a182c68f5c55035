#include "platform/DirectorySearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orvel::platform {

namespace {

// Folded to upper case, as the file systems the datasets come from compare names: the two folds
// differ around "_" (0x5F), which sorts after "A".."Z" but before "a".."z", and the order decides
// the preview kind.
char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // Iterative matching with one backtracking point for the last "*".
  std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    const bool escaped = p + 1 < pattern.size() && pattern[p] == '\\';
    if (escaped && FoldCase(pattern[p + 1]) == FoldCase(name[n])) {
      p += 2;
      ++n;
    } else if (!escaped && p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string LiteralPattern(const std::string& path) {
  const std::size_t nameStart = path.rfind('/') + 1;  // 0 when there is no "/"
  std::string pattern = path.substr(0, nameStart);
  for (std::size_t i = nameStart; i < path.size(); ++i) {
    if (path[i] == '?' || path[i] == '*' || path[i] == '\\') pattern += '\\';
    pattern += path[i];
  }
  return pattern;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  return absolute.lexically_normal().string();
}

std::vector<SearchEntry> FindFiles(const std::string& pattern) {
  const std::size_t slash = pattern.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : pattern.substr(0, slash));
  const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  std::string absoluteDirectory = AbsolutePath(directory);
  if (absoluteDirectory.size() > 1 && absoluteDirectory.back() == '/') absoluteDirectory.pop_back();

  std::vector<SearchEntry> entries;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(directory, error)) {
    const std::string name = item.path().filename().string();
    std::error_code typeError;
    if (!item.is_regular_file(typeError) || !WildcardMatch(namePattern, name)) continue;
    const std::string separator = absoluteDirectory == "/" ? "" : "/";
    entries.push_back({name, absoluteDirectory + separator + name});
  }
  std::sort(entries.begin(), entries.end(),
            [](const SearchEntry& a, const SearchEntry& b) { return LessIgnoringCase(a.name, b.name); });
  return entries;
}

}  // namespace orvel::platform
