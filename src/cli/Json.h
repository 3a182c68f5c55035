#pragma once
// A small JSON writer for the command-line tool's --json output: objects are built as text,
// keys in the order added.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvel::cli {

std::string JsonQuote(const std::string& text);

class JsonObject {
 public:
  JsonObject& Add(const std::string& key, const std::string& value);
  JsonObject& Add(const std::string& key, const char* value) { return Add(key, std::string(value)); }
  JsonObject& Add(const std::string& key, std::int64_t value);
  JsonObject& Add(const std::string& key, int value) { return Add(key, static_cast<std::int64_t>(value)); }
  JsonObject& Add(const std::string& key, double value);
  JsonObject& Add(const std::string& key, bool value);
  JsonObject& AddNull(const std::string& key);
  // value is already JSON text (an object or array)
  JsonObject& AddRaw(const std::string& key, const std::string& value);
  // members is the inside of another object ("a":1,"b":2), appended as they stand
  JsonObject& AddMembers(const std::string& members);
  JsonObject& Add(const std::string& key, const std::vector<std::int64_t>& values);
  JsonObject& Add(const std::string& key, const std::vector<std::string>& values);
  std::string Text() const { return "{" + m_body + "}"; }
  const std::string& Members() const { return m_body; }
  bool Empty() const { return m_body.empty(); }

 private:
  void Key(const std::string& key);
  std::string m_body;
};

// A JSON array of one object per item, each made by objectOf(item).
template <typename Items, typename ObjectOf>
std::string JsonArrayOf(const Items& items, ObjectOf objectOf) {
  std::string json = "[";
  for (const auto& item : items) {
    if (json.size() > 1) json += ',';
    json += objectOf(item).Text();
  }
  return json + "]";
}

}  // namespace orvel::cli
