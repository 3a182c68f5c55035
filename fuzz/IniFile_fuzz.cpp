// The settings-file parser on any file: every read answers, and a key written can be read back
// with the value written, whatever else the file holds.
#include <string>

#include "FuzzSupport.h"
#include "platform/IniFile.h"

using namespace orvel;

namespace {

// Names of the sections and keys the program uses, in cases the file may not share.
constexpr const char* kSections[] = {"Settings", "SETTINGS", "Line", "Codec"};
constexpr const char* kKeys[] = {"Palette", "palette", "USECPU", "LinePoints"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the names; the rest is the file.
  const std::string section = kSections[data[0] & 3], key = kKeys[(data[0] >> 2) & 3];
  static fuzz::InputOnDisk input("settings.ini");
  platform::IniFile file(input.Write(data + 1, size - 1));
  const std::optional<std::string> before = file.GetString(section, key);
  const int number = file.GetInt(section, key, -7);
  const std::optional<int> found = file.FindInt(section, key);
  fuzz::Expect(before.has_value() || (number == -7 && !found), "a missing key reads as missing");
  if (found) fuzz::Expect(*found == number, "GetInt and FindInt read one number");

  const std::string value = "v" + std::to_string(size);
  fuzz::Expect(file.WriteString(section, key, value), "a readable file takes a write");
  const std::optional<std::string> after = file.GetString(section, key);
  fuzz::Expect(after && *after == value, "the value written reads back");
  return 0;
}
