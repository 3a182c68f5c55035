#include "analysis/ResultText.h"

#include <cstdarg>
#include <cstdio>

namespace orvel::analysis {

void AppendFormatted(std::string& text, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length > 0) {
    const std::size_t oldSize = text.size();
    text.resize(oldSize + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data() + oldSize, static_cast<std::size_t>(length) + 1, format, args);
    text.resize(oldSize + static_cast<std::size_t>(length));
  }
  va_end(args);
}

}  // namespace orvel::analysis
