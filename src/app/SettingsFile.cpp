#include "app/SettingsFile.h"

#include <cstdlib>
#include <filesystem>

#include "platform/FileSystem.h"

namespace orvel {

std::string SettingsFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config) return std::string(config) + "/orvel.ini";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/orvel.ini";
}

namespace {

// A stored value below 0 cannot be a pixel position or a quality: it takes the default.
int ReadNonNegative(const platform::IniFile& settings, const char* section, const char* key, int defaultValue) {
  const int value = settings.GetInt(section, key, defaultValue);
  return value < 0 ? defaultValue : value;
}

// A fresh account has no configuration folder yet; without one, no setting would ever be kept.
void WriteSetting(platform::IniFile& settings, const char* section, const char* key, int value) {
  const std::string folder = std::filesystem::path(settings.Path()).parent_path().string();
  if (!folder.empty()) platform::CreateFolders(folder);
  settings.WriteString(section, key, std::to_string(value));
}

}  // namespace

LinePoints ReadLinePoints(const platform::IniFile& settings, int width, int height) {
  LinePoints points;
  points.start.x = ReadNonNegative(settings, "Startpoint", "x", 5);
  if (points.start.x > width - 5) points.start.x = 5;
  points.start.y = ReadNonNegative(settings, "Startpoint", "y", height / 2);
  if (points.start.y > height / 2) points.start.y = height / 2;
  points.stop.x = ReadNonNegative(settings, "Stoppoint", "x", width - 5);
  if (points.stop.x > width - 5) points.stop.x = width - 5;
  points.stop.y = ReadNonNegative(settings, "Stoppoint", "y", height / 2);
  if (points.stop.y > height - 5) points.stop.y = height / 2;
  if (points.start.x == points.stop.x) points.stop.x += 2;
  if (points.start.y == points.stop.y) points.stop.y += 2;
  return points;
}

void WriteLinePoints(platform::IniFile& settings, const LinePoints& points) {
  WriteSetting(settings, "Startpoint", "x", points.start.x);
  WriteSetting(settings, "Startpoint", "y", points.start.y);
  WriteSetting(settings, "Stoppoint", "x", points.stop.x);
  WriteSetting(settings, "Stoppoint", "y", points.stop.y);
}

int ReadJpegQuality(const platform::IniFile& settings) {
  const int quality = settings.GetInt("JPEG", "Quality", 75);
  return quality < 25 || quality > 100 ? 75 : quality;
}

void WriteJpegQuality(platform::IniFile& settings, int quality) { WriteSetting(settings, "JPEG", "Quality", quality); }

}  // namespace orvel
