#include "cli/Json.h"

#include <cmath>
#include <cstdio>

namespace orvel::cli {

std::string JsonQuote(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

void JsonObject::Key(const std::string& key) {
  if (!m_body.empty()) m_body += ",";
  m_body += JsonQuote(key) + ":";
}

JsonObject& JsonObject::Add(const std::string& key, const std::string& value) {
  Key(key);
  m_body += JsonQuote(value);
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, std::int64_t value) {
  Key(key);
  m_body += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, double value) {
  Key(key);
  if (!std::isfinite(value)) {
    m_body += "null";
    return *this;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  m_body += buffer;
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, bool value) {
  Key(key);
  m_body += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::AddNull(const std::string& key) {
  Key(key);
  m_body += "null";
  return *this;
}

JsonObject& JsonObject::AddRaw(const std::string& key, const std::string& value) {
  Key(key);
  m_body += value;
  return *this;
}

JsonObject& JsonObject::AddMembers(const std::string& members) {
  if (members.empty()) return *this;
  if (!m_body.empty()) m_body += ",";
  m_body += members;
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const std::vector<std::int64_t>& values) {
  Key(key);
  m_body += "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) m_body += ",";
    m_body += std::to_string(values[i]);
  }
  m_body += "]";
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const std::vector<std::string>& values) {
  Key(key);
  m_body += "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) m_body += ",";
    m_body += JsonQuote(values[i]);
  }
  m_body += "]";
  return *this;
}

}  // namespace orvel::cli
