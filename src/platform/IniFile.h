#pragma once
// A private-profile (INI) file read and written key by key, as the settings file and the codec's
// machine-wide configuration use it. Section and key names match without regard to ASCII case.
// Nothing is cached: every read opens the file, every write rewrites it atomically and keeps
// every other section, key, comment and blank line as it was, the file's mode, and a symbolic
// link as a link to the file it names.
#include <optional>
#include <string>

namespace orvel::platform {

class IniFile {
 public:
  explicit IniFile(std::string path) : m_path(std::move(path)) {}
  const std::string& Path() const { return m_path; }

  // The value's text, or nothing when the file, section or key is missing.
  std::optional<std::string> GetString(const std::string& section, const std::string& key) const;
  // The key's leading decimal integer (optional sign, leading blanks skipped; text without
  // digits reads as 0); defaultValue when the key is missing.
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;
  // The key's leading decimal integer as GetInt reads it, or nothing when the key is missing or
  // its text has no digits to read: for settings whose absence must not look like a 0.
  std::optional<int> FindInt(const std::string& section, const std::string& key) const;
  // Sets the key, adding it (and its section) at the end when missing; false when the file exists
  // but cannot be read, or could not be written; the file is unchanged then.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::string m_path;
};

}  // namespace orvel::platform
