#pragma once
// The settings file orvel.ini: the measuring line's end points and the last JPEG quality.
#include <string>

#include "platform/IniFile.h"

namespace orvel {

// $XDG_CONFIG_HOME/orvel.ini, else ~/.config/orvel.ini.
std::string SettingsFilePath();

struct PixelPoint {
  int x = 0, y = 0;  // slice pixels, y down from the top
  bool operator==(const PixelPoint&) const = default;
};

struct LinePoints {
  PixelPoint start, stop;
};

// Reads the end points for a first slice of width x height pixels, with the defaults and the
// corrections the viewer applies at start-up; coinciding coordinates are moved 2 pixels apart.
LinePoints ReadLinePoints(const platform::IniFile& settings, int width, int height);
// Writes the four keys, creating the settings file's folder when it is missing (failures are
// ignored, as a viewer closing cannot do anything about them).
void WriteLinePoints(platform::IniFile& settings, const LinePoints& points);

// The JPEG quality last used, percent; 75 when missing or outside 25..100.
int ReadJpegQuality(const platform::IniFile& settings);
// Writes the quality, creating the folder as WriteLinePoints does; failures are ignored.
void WriteJpegQuality(platform::IniFile& settings, int quality);

}  // namespace orvel
