#pragma once
// The wildcard directory search the dataset discovery relies on: the pattern's last component
// may hold "?" (exactly one character) and "*" (any run), and "\\" makes the character after it
// match itself; names match without regard to ASCII case, as on the file systems the datasets
// come from.
#include <string>
#include <vector>

namespace orvel::platform {

struct SearchEntry {
  std::string name;          // file name as stored
  std::string absolutePath;  // absolute form of the pattern's directory, "/", name
};

// Regular files matching pattern, in ascending order of their names folded to upper case.
std::vector<SearchEntry> FindFiles(const std::string& pattern);

bool WildcardMatch(const std::string& pattern, const std::string& name);

// A pattern for FindFiles that matches the last component of path literally, even where it holds
// "?", "*" or "\\", as names on this system may.
std::string LiteralPattern(const std::string& path);

// The absolute form of path (made absolute against the working directory, "." and ".." folded).
std::string AbsolutePath(const std::string& path);

}  // namespace orvel::platform
