#include "app/DatasetDiscovery.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "app/ImageLoader.h"
#include "platform/DirectorySearch.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"

namespace orvel {

const char* const kOpeningDatasetCaption = "Orvel: Opening dataset";
const char* const kFileDroppedNotDataset = "The file dropped is not a Voxalon dataset file.";
const char* const kFileNotDataset = "This file is not a Voxalon dataset file.";

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  const std::string other = b;
  if (a.size() != other.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(other[i])))
      return false;
  return true;
}

// The chosen file's extension with its dot, lower-case: ".tif" or ".tiff" alike, so that a
// series keeps to the extension of the file chosen.
std::string SeriesExtension(const std::string& chosenFile) {
  std::string extension = chosenFile.substr(chosenFile.rfind('.'));
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension;
}

// The search pattern of the series: the chosen path without its number field and extension, then
// four single-character wildcards and the lower-case extension. Only the number field is a
// wildcard: a "?" or "*" in the prefix is part of the name. Matches are as long as the pattern
// read literally.
struct SeriesPattern {
  std::string pattern;
  std::size_t pathLength = 0;
};

SeriesPattern SeriesPatternOf(const std::string& chosenFile) {
  const std::string extension = SeriesExtension(chosenFile);
  const std::size_t tail = 4 + extension.size();
  const std::string stem = chosenFile.size() >= tail ? chosenFile.substr(0, chosenFile.size() - tail) : "";
  return {platform::LiteralPattern(stem) + "????" + extension, stem.size() + tail};
}

void Examine(const platform::SearchEntry& entry, Dataset& dataset) {
  const std::size_t dot = entry.name.rfind('.');
  const std::string title = dot == std::string::npos ? entry.name : entry.name.substr(0, dot);
  const std::string field = title.size() >= 4 ? title.substr(title.size() - 4) : title;
  if (EqualsIgnoringCase(field, "_VPR")) {
    dataset.previewPath = entry.absolutePath;
    dataset.previewKind = kVolumePreview;
  } else if (EqualsIgnoringCase(field, "_SPR")) {
    dataset.previewPath = entry.absolutePath;
    dataset.previewKind = kSidePreview;
  } else {
    dataset.previewKind = kOtherFile;
    const bool fourDigits =
        field.size() == 4 && std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!fourDigits) return;
    dataset.sliceNumbers.push_back(static_cast<std::uint16_t>(std::stoi(field)));
    dataset.slicePaths.push_back(entry.absolutePath);
    dataset.sliceTitles.push_back(title);
  }
}

// Ascending byte-wise order of the titles; the three lists move together.
void SortByTitle(Dataset& dataset) {
  std::vector<std::size_t> order(dataset.sliceTitles.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return dataset.sliceTitles[a] < dataset.sliceTitles[b]; });
  Dataset sorted;
  for (std::size_t i : order) {
    sorted.slicePaths.push_back(dataset.slicePaths[i]);
    sorted.sliceTitles.push_back(dataset.sliceTitles[i]);
    sorted.sliceNumbers.push_back(dataset.sliceNumbers[i]);
  }
  dataset.slicePaths = std::move(sorted.slicePaths);
  dataset.sliceTitles = std::move(sorted.sliceTitles);
  dataset.sliceNumbers = std::move(sorted.sliceNumbers);
}

}  // namespace

std::string PathFromCommandLine(const std::string& commandLine) {
  if (commandLine.empty() || commandLine[0] != '"') return commandLine;
  const std::size_t close = commandLine.find('"', 1);
  return commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
}

DiscoveryResult OpenDatasetFromPath(const std::string& path, Dataset& dataset) {
  // A file of that very name is taken as named; otherwise the path may be a pattern, as typed.
  const std::string pattern = platform::IsMissing(path) ? path : platform::LiteralPattern(path);
  const std::vector<platform::SearchEntry> matches = platform::FindFiles(pattern);
  if (matches.empty()) {
    platform::ShowMessage(kFileDroppedNotDataset, kOpeningDatasetCaption);
    return DiscoveryResult::kNoSuchFile;
  }
  return DiscoverDataset(matches.front().absolutePath, dataset);
}

DiscoveryResult DiscoverDataset(const std::string& chosen, Dataset& dataset) {
  dataset = Dataset();
  const std::string chosenFile = platform::AbsolutePath(chosen);
  const int type = ImageTypeFromExtension(chosenFile);
  if (type != kOtherImage) {
    const SeriesPattern series = SeriesPatternOf(chosenFile);
    for (const platform::SearchEntry& entry : platform::FindFiles(series.pattern))
      if (entry.absolutePath.size() == series.pathLength) Examine(entry, dataset);
  }
  if (dataset.slicePaths.empty()) {
    platform::ShowMessage(kFileNotDataset, kOpeningDatasetCaption);
    return DiscoveryResult::kNotDataset;
  }
  SortByTitle(dataset);
  return DiscoveryResult::kFound;
}

}  // namespace orvel
