#pragma once
// Comma-separated values as RFC 4180 writes them (quoted fields may hold commas, quotes
// doubled, and line breaks). Used for the reference data and the registry files.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korventa::csv {

using Row = std::vector<std::string>;

struct ParseResult {
  std::vector<Row> rows;
  std::string error;  // empty when the text parsed; else what and where (line number)
};

// Parses a whole text (a UTF-8 byte-order mark is ignored; CR LF or LF line ends).
// Blank lines are skipped.
ParseResult parse(std::string_view text);

std::string quote(std::string_view field);  // quotes only when needed
std::string formatRow(const Row& row);      // without line end

}  // namespace korventa::csv
