// Sections whose analysis has not landed yet. Each is removed from here when its own file
// (AnalyzeLine.cpp, AnalyzeArea.cpp, AnalyzeModel.cpp, AnalyzeCut.cpp) implements it.
#include "cli/AnalyzeSections.h"

namespace orvel::cli {

namespace {
[[noreturn]] void NotAvailable(const char* option) {
  throw SectionFailure{std::string(option) + " is not available yet"};
}
}  // namespace

SectionResult RunModelSection(const AnalyzeContext&) { NotAvailable("--3d"); }
SectionResult RunCutSection(const AnalyzeContext&) { NotAvailable("--cut"); }

}  // namespace orvel::cli
