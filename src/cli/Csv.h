#pragma once
// --csv: a JSON result as one header line and one row. Nested members become columns named by
// their path ("model.volume", "area.sizeClasses.3": objects by key, arrays by index); values are
// written as the JSON holds them, strings without their quotes. Members named "text" (the
// results text, whose lines repeat the figures) are left out, so that the row stays one line.
// Fields that hold a comma, a quote or a line break are quoted, quotes doubled (RFC 4180); lines
// end with a line feed, as the tool's other outputs do.
#include <string>
#include <utility>
#include <vector>

namespace orvel::cli {

// The columns of a JSON object in order: name and value (strings unescaped). Throws
// std::invalid_argument for text that is not one JSON object.
std::vector<std::pair<std::string, std::string>> FlattenJson(const std::string& json);

std::string CsvField(const std::string& value);

// Header line and row.
std::string CsvFromJson(const std::string& json);

}  // namespace orvel::cli
