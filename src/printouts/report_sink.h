#pragma once
// Where the rows of an exported report go: the cells of a row and the headings of a report.
#include <optional>
#include <string>
#include <vector>

#include "printouts/report_catalogue.h"

namespace korventa::printouts {

// One cell of a report row: the text written to the text file and, for amounts and counts, the
// number the workbook cell holds.
struct Cell {
  std::string text;
  std::optional<double> number;
  bool amount = false;  // number format of amounts
};

// Headings of a report: the block heading over each column (empty where the block above goes on)
// and the column headings.
struct ReportHeader {
  const ReportEntry* entry = nullptr;
  std::vector<std::string> blocks;
  std::vector<std::string> columns;
};

// Where the rows of a report go.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void begin(const ReportHeader& header) = 0;
  virtual void row(const std::vector<Cell>& cells) = 0;
  virtual void end() = 0;
};

}  // namespace korventa::printouts
