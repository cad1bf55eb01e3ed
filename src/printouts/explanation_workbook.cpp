#include "printouts/explanation_workbook.h"

#include <stdexcept>

#include "common/dates.h"
#include "determination/explanation_report.h"
#include "printouts/workbook.h"

namespace korventa::printouts {
namespace {

// A table under its headings from `row` on; amounts (the columns named in `amounts`) as numbers.
int writeTable(Workbook& wb, int row, const determination::ExplanationTable& t, std::size_t firstAmount) {
  for (std::size_t c = 0; c < t.columns.size(); ++c) wb.writeHeading(row, static_cast<int>(c), t.columns[c]);
  ++row;
  for (const auto& r : t.rows) {
    for (std::size_t c = 0; c < r.size(); ++c) {
      if (c >= firstAmount)
        wb.writeAmount(row, static_cast<int>(c), Money::value(r[c]).toDouble());
      else
        wb.writeText(row, static_cast<int>(c), r[c]);
    }
    ++row;
  }
  return row;
}

}  // namespace

bool writeExplanationWorkbook(const model::OpenDeclaration& d, const determination::BoxExplanation& e,
                              const std::filesystem::path& file, std::string* error) {
  try {
    Workbook wb(file);
    wb.addSheet("De donde sale");
    auto sources = determination::sourcesTable(e);
    wb.setColumnWidths(static_cast<int>(sources.columns.size()));
    wb.writeTitle(0, 0, std::string(determination::ExplanationTexts::title) + " " + e.caption);
    wb.writeText(1, 0, d.ruc + " " + d.name + " · " + periodToDisplay(d.periodo));
    wb.writeText(2, 0, determination::explanationTotals(e));
    int row = writeTable(wb, 4, sources, sources.columns.size() - 1);
    auto steps = determination::stepsTable(e);
    writeTable(wb, row + 1, steps, 2);
    if (!wb.close()) {
      if (error) *error = "No se pudo grabar el libro " + file.string();
      return false;
    }
    return true;
  } catch (const std::exception& ex) {
    if (error) *error = ex.what();
    return false;
  }
}

}  // namespace korventa::printouts
