#include "platform/IniFile.h"

#include <climits>
#include <vector>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace orvel::platform {

namespace {

// Settings files hold a few lines. One larger than this is damaged, or no settings file, and is
// treated as one that cannot be read: reads find nothing in it, writes leave it alone.
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{16} << 20;

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Lines keep their own "\r" through SplitLines; the lines written take "\r" when the file's first
// line ends in CRLF, so that a file kept with CRLF line ends does not come back with a mixture.
std::string CarriageReturnOf(const std::string& text) {
  const std::size_t end = text.find('\n');
  return end != std::string::npos && end > 0 && text[end - 1] == '\r' ? "\r" : "";
}

// The section name of a "[name]" line, or nothing.
std::optional<std::string> SectionOf(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

// The key of a "key=value" line (comments and other lines give nothing).
std::optional<std::string> KeyOf(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(0, equals));
}

struct KeyPosition {
  int sectionLine = -1;  // index of the section header, -1 when the section is missing
  int lastLine = -1;     // last key line of the section (or its header)
  int keyLine = -1;      // the key's line, -1 when missing
};

KeyPosition Locate(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
  KeyPosition found;
  bool inSection = false;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (auto name = SectionOf(lines[i])) {
      inSection = SameName(*name, section) && found.sectionLine < 0;
      if (inSection) found.sectionLine = found.lastLine = i;
      continue;
    }
    if (!inSection) continue;
    if (auto name = KeyOf(lines[i])) {
      found.lastLine = i;
      if (found.keyLine < 0 && SameName(*name, key)) found.keyLine = i;
    }
  }
  return found;
}

}  // namespace

std::optional<std::string> IniFile::GetString(const std::string& section, const std::string& key) const {
  std::string text;
  if (!ReadWholeFile(m_path, text, kMaxFileBytes)) return std::nullopt;
  const std::vector<std::string> lines = SplitLines(text);
  const KeyPosition at = Locate(lines, section, key);
  if (at.keyLine < 0) return std::nullopt;
  const std::string& line = lines[at.keyLine];
  return Trim(line.substr(line.find('=') + 1));
}

namespace {

// The leading decimal integer of text (optional sign), saturated to int; nothing without digits.
std::optional<int> LeadingInteger(const std::string& text) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const std::size_t firstDigit = i;
  long long number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = number * 10 + (text[i] - '0');
    if (number > INT_MAX) number = INT_MAX;  // saturate instead of overflowing
  }
  if (i == firstDigit) return std::nullopt;
  return static_cast<int>(negative ? -number : number);
}

}  // namespace

int IniFile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  const std::optional<std::string> value = GetString(section, key);
  if (!value) return defaultValue;
  return LeadingInteger(*value).value_or(0);
}

std::optional<int> IniFile::FindInt(const std::string& section, const std::string& key) const {
  const std::optional<std::string> value = GetString(section, key);
  return value ? LeadingInteger(*value) : std::nullopt;
}

bool IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  std::string text;
  // A missing file starts empty; one that exists but cannot be read is left alone, as rewriting
  // it from nothing would lose every other key in it.
  if (!ReadWholeFile(m_path, text, kMaxFileBytes) && !IsMissing(m_path)) return false;
  std::vector<std::string> lines = SplitLines(text);
  const KeyPosition at = Locate(lines, section, key);
  const std::string lineEnd = CarriageReturnOf(text);
  const std::string entry = key + "=" + value + lineEnd;
  if (at.keyLine >= 0) {
    lines[at.keyLine] = entry;
  } else if (at.sectionLine >= 0) {
    lines.insert(lines.begin() + at.lastLine + 1, entry);
  } else {
    lines.push_back("[" + section + "]" + lineEnd);
    lines.push_back(entry);
  }
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return WriteWholeFileAtomically(m_path, out);
}

}  // namespace orvel::platform
