#pragma once
// The cells and headings the report builders share.
#include <string>
#include <vector>

#include "common/money.h"
#include "printouts/report_sink.h"

namespace korventa::printouts {

Cell textCell(std::string t);
// An amount: the plain text in the file, the number in the workbook (empty when not declared).
Cell amountCell(const std::string& stored);
// An amount formatted "###,###,###,##0.00" in the file.
Cell formattedAmount(Money m);
Cell countCell(const std::string& stored);
// A date as dd/mm/yyyy; a text that is no date stays as it is.
std::string dmy(const std::string& v);

// Headings of the identification columns.
extern const std::vector<std::string> kIdentColumns;

// The headings of report `number`: `block` over the identification columns, then the report's own.
ReportHeader header(int number, const std::string& block, std::vector<std::string> extraBlocks,
                    std::vector<std::string> columns);

}  // namespace korventa::printouts
