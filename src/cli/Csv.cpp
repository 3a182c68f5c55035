#include "cli/Csv.h"

#include <cctype>
#include <stdexcept>
#include <string_view>

namespace orvel::cli {
namespace {

// A reader for the JSON that JsonObject writes: objects, arrays, strings, numbers, true, false
// and null, flattened into columns as it goes.
class Flattener {
 public:
  explicit Flattener(const std::string& text) : m_text(text) {}

  std::vector<std::pair<std::string, std::string>> Run() {
    SkipSpace();
    if (Peek() != '{') Fail();
    Value("");
    SkipSpace();
    if (m_at != m_text.size()) Fail();
    return std::move(m_columns);
  }

 private:
  [[noreturn]] void Fail() const { throw std::invalid_argument("not a JSON object"); }
  char Peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }
  void SkipSpace() {
    while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) ++m_at;
  }
  void Expect(char c) {
    SkipSpace();
    if (Peek() != c) Fail();
    ++m_at;
  }
  static std::string Join(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "." + name;
  }

  void Value(const std::string& path) {
    SkipSpace();
    const char c = Peek();
    const bool kept = path != "text" && (path.size() < 5 || path.compare(path.size() - 5, 5, ".text") != 0);
    if (c == '{') Object(path);
    else if (c == '[') Array(path);
    else if (c == '"') Column(path, String(), kept);
    else Column(path, Literal(), kept);
  }

  void Column(const std::string& path, std::string value, bool kept) {
    if (kept) m_columns.emplace_back(path, std::move(value));
  }

  // True when the list goes on after a comma; false (and past it) at the closing character.
  bool More(char closing, bool first) {
    SkipSpace();
    if (Peek() == closing) {
      ++m_at;
      return false;
    }
    if (!first) Expect(',');
    return true;
  }

  void Object(const std::string& path) {
    Expect('{');
    for (bool first = true; More('}', first); first = false) {
      SkipSpace();
      const std::string key = String();
      Expect(':');
      Value(Join(path, key));
    }
  }

  void Array(const std::string& path) {
    Expect('[');
    for (int index = 0; More(']', index == 0); ++index) Value(Join(path, std::to_string(index)));
  }

  std::string Literal() {
    const std::size_t start = m_at;
    while (m_at < m_text.size() &&
           std::string_view("+-.0123456789eEtruefalsn").find(m_text[m_at]) != std::string_view::npos)
      ++m_at;
    if (m_at == start) Fail();
    return m_text.substr(start, m_at - start);
  }

  std::string String() {
    if (Peek() != '"') Fail();
    ++m_at;
    std::string value;
    while (m_at < m_text.size() && m_text[m_at] != '"') {
      char c = m_text[m_at++];
      if (c == '\\') c = Escaped(value);
      if (c != '\0') value += c;
    }
    if (m_at >= m_text.size()) Fail();
    ++m_at;
    return value;
  }

  // The character after a backslash; \u escapes (JsonObject writes them below 0x20 only) are
  // appended to value directly and give '\0'.
  char Escaped(std::string& value) {
    if (m_at >= m_text.size()) Fail();
    const char c = m_text[m_at++];
    switch (c) {
      case 'n': return '\n';
      case 'r': return '\r';
      case 't': return '\t';
      case 'b': return '\b';
      case 'f': return '\f';
      case 'u': {
        if (m_at + 4 > m_text.size()) Fail();
        const unsigned long code = std::stoul(m_text.substr(m_at, 4), nullptr, 16);
        m_at += 4;
        if (code > 0x7F) Fail();
        value += static_cast<char>(code);
        return '\0';
      }
      default: return c;
    }
  }

  const std::string& m_text;
  std::size_t m_at = 0;
  std::vector<std::pair<std::string, std::string>> m_columns;
};

}  // namespace

std::vector<std::pair<std::string, std::string>> FlattenJson(const std::string& json) { return Flattener(json).Run(); }

std::string CsvField(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (const char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string CsvFromJson(const std::string& json) {
  std::string header, row;
  for (const auto& [name, value] : FlattenJson(json)) {
    if (!header.empty()) {
      header += ',';
      row += ',';
    }
    header += CsvField(name);
    row += CsvField(value);
  }
  return header + "\n" + row + "\n";
}

}  // namespace orvel::cli
