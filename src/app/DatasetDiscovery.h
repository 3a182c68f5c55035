#pragma once
// From the file the user named to the sorted slice series of its directory.
#include <string>

#include "app/Dataset.h"

namespace orvel {

extern const char* const kOpeningDatasetCaption;  // "Orvel: Opening dataset"
extern const char* const kFileDroppedNotDataset;  // the named file does not exist
extern const char* const kFileNotDataset;         // no slice series found for it

// The path a command line names: the text between the first pair of double quotes when it
// starts with one (to the end when the closing quote is missing), else the whole line, blanks
// included.
std::string PathFromCommandLine(const std::string& commandLine);

enum class DiscoveryResult { kFound, kNoSuchFile, kNotDataset };

// Uses path as a search pattern (wildcards honoured, first match only) and discovers the dataset
// of the file it finds. Shows the matching message on failure.
DiscoveryResult OpenDatasetFromPath(const std::string& path, Dataset& dataset);

// Finds, examines and sorts the series that the absolute path chosenFile belongs to. Shows
// kFileNotDataset when no slice is found.
DiscoveryResult DiscoverDataset(const std::string& chosenFile, Dataset& dataset);

}  // namespace orvel
