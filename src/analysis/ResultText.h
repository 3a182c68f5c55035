#pragma once
// Result lines in the exact printf formats the results box shows ("...\r\n").
#include <string>

namespace orvel::analysis {

// Appends the printf-formatted text to text.
void AppendFormatted(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace orvel::analysis
