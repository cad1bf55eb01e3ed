#pragma once
// A comparison as lists of texts (the form's lists and the command line), as a workbook and as a
// report file for the printer and PDF.
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/declaration_comparison.h"
#include "reports/report_writer.h"

namespace korventa::analysis {

struct ComparisonListing {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  std::vector<int> amountColumns;  // columns holding amounts (right-aligned, numbers in the workbook)
};

// The persons of one state, a row per changed amount (a person without amounts: one row).
ComparisonListing personListing(const Comparison& c, PersonState state);
// The boxes that differ.
ComparisonListing boxListing(const Comparison& c);
// Persons and boxes in one list with plain column names, for the command line.
ComparisonListing plainListing(const Comparison& c);

// "Comparación de 06/2012 con 05/2012 (umbral 1.00)".
std::string comparisonTitle(const Comparison& c);
// "Ingresaron 1, salieron 0, cambiaron 2; 5 casillas difieren" or "No hay diferencias".
std::string comparisonSummary(const Comparison& c);

// Writes the workbook: a sheet per list. False when it could not be written (or the program
// was built without the workbook writer).
bool writeComparisonWorkbook(const Comparison& c, const std::filesystem::path& file);

// Writes the comparison as a listing report through `w`.
void writeComparisonListing(reports::ReportWriter& w, const Comparison& c);
// The listing in a report file of the session's work folder; its path.
std::filesystem::path comparisonReportFile(Session& session, const Comparison& c);

}  // namespace korventa::analysis
