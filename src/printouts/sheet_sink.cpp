#include "printouts/sheet_sink.h"

#include <string>

#include "common/dates.h"

namespace korventa::printouts {

SheetSink::SheetSink(Workbook& wb, const StoredDeclaration& d) : wb_(wb), d_(d) {}

void SheetSink::begin(const ReportHeader& h) {
  wb_.addSheet("Formato " + std::to_string(h.entry->number));
  wb_.setColumnWidths(static_cast<int>(h.columns.size()));
  wb_.writeTitle(0, 0, h.entry->title);
  wb_.writeText(2, 0, "RUC: ");
  wb_.writeText(2, 1, d_.ref.ruc);
  wb_.writeText(3, 0, "Nombre, denominación o Razón Social: ");
  wb_.writeText(3, 1, d_.nombre);
  wb_.writeText(4, 0, "Período Tributario: ");
  wb_.writeText(4, 1, periodToDisplay(d_.ref.periodo));
  wb_.writeText(5, 0, "Numero de Orden: ");
  wb_.writeText(5, 1, d_.norden);
  for (std::size_t i = 0; i < h.columns.size(); ++i) {
    if (i < h.blocks.size() && !h.blocks[i].empty()) wb_.writeHeading(7, static_cast<int>(i), h.blocks[i]);
    wb_.writeHeading(8, static_cast<int>(i), h.columns[i]);
  }
  row_ = 9;
}

void SheetSink::row(const std::vector<Cell>& cells) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const auto& c = cells[i];
    if (c.number && c.amount)
      wb_.writeAmount(row_, static_cast<int>(i), *c.number);
    else if (c.number)
      wb_.writeNumber(row_, static_cast<int>(i), *c.number);
    else if (!c.text.empty())
      wb_.writeText(row_, static_cast<int>(i), c.text);
  }
  ++row_;
}

}  // namespace korventa::printouts
