#pragma once
// What produced a result, for the "provenance" member of every --json result: the program, the
// dataset and the part of it read, every setting that shapes the figures, and a SHA-256 over the
// names, sizes and modification times of the files in the range (with --hash-content, also one
// over their bytes), so that a reviewer can tell whether the same files gave the same figures.
#include <string>

#include "cli/AnalyzeSections.h"

namespace orvel::cli {

// The JSON object. Throws SectionFailure when a file of the range cannot be examined or read.
std::string ProvenanceJson(const AnalyzeContext& context);

// The record of one file that the list digest covers: "NAME<TAB>SIZE<TAB>SECONDS.NANOSECONDS\n",
// NAME without its folder, SIZE in bytes, the modification time since 1970 (UTC). Throws
// SectionFailure when the file cannot be examined.
std::string FileRecord(const std::string& path);

}  // namespace orvel::cli
