// Dataset discovery over any folder listing: the input names the files of a folder, one a line,
// the first being the file the user chose. Whatever the names, discovery answers, and a dataset
// it finds holds only numbered slices of the chosen series, in ascending title order.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/DatasetDiscovery.h"

using namespace orvel;

namespace {

constexpr std::size_t kMaxFiles = 64;

// File names from the input: lines of 1 to 255 bytes without '/' or NUL; "." and ".." dropped.
std::vector<std::string> NamesFrom(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> names;
  std::string name;
  auto finish = [&] {
    if (!name.empty() && name.size() <= 255 && name != "." && name != ".." && names.size() < kMaxFiles)
      names.push_back(name);
    name.clear();
  };
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') finish();
    else if (c != '/' && c != '\0') name += c;
  }
  finish();
  return names;
}

void CheckDataset(const Dataset& dataset) {
  const std::size_t count = dataset.slicePaths.size();
  fuzz::Expect(count > 0, "a found dataset has slices");
  fuzz::Expect(dataset.sliceTitles.size() == count && dataset.sliceNumbers.size() == count, "the lists agree");
  fuzz::Expect(std::is_sorted(dataset.sliceTitles.begin(), dataset.sliceTitles.end()), "titles ascend");
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& title = dataset.sliceTitles[i];
    fuzz::Expect(title.size() >= 4, "a title ends in its number");
    const std::string digits = title.substr(title.size() - 4);
    fuzz::Expect(std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }),
                 "a slice's title ends in four digits");
    fuzz::Expect(dataset.sliceNumbers[i] == std::stoi(digits), "the number is the title's four digits");
    fuzz::Expect(std::filesystem::is_regular_file(dataset.slicePaths[i]), "a slice is an existing file");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (fuzz::SilenceMessages(), true);
  (void)silenced;
  const std::vector<std::string> names = NamesFrom(data, size);
  if (names.empty()) return 0;
  // A folder within a folder, so that a short chosen name cannot reach past the scratch folder.
  static const std::string folder = fuzz::ScratchFolder() + "/scans/series";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  for (const std::string& name : names) std::ofstream(folder + "/" + name) << 'x';
  Dataset dataset;
  if (DiscoverDataset(folder + "/" + names.front(), dataset) == DiscoveryResult::kFound) CheckDataset(dataset);
  else fuzz::Expect(dataset.slicePaths.empty(), "no dataset leaves no slices");
  return 0;
}
