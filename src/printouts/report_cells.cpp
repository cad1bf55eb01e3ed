#include "printouts/report_cells.h"

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "printouts/exports.h"

namespace korventa::printouts {

Cell textCell(std::string t) {
  return Cell{std::move(t), std::nullopt, false};
}

Cell amountCell(const std::string& stored) {
  Cell c;
  c.text = plainAmount(stored);
  c.amount = true;
  if (auto m = Money::parse(text::trim(stored))) c.number = m->toDouble();
  return c;
}

Cell formattedAmount(Money m) {
  return Cell{vbFormat(m, "###,###,###,##0.00"), m.toDouble(), true};
}

Cell countCell(const std::string& stored) {
  Cell c;
  c.text = text::trim(stored);
  if (auto m = Money::parse(c.text)) c.number = m->toDouble();
  return c;
}

std::string dmy(const std::string& v) {
  auto d = Date::parseAny(text::trim(v));
  return d ? d->dmy() : text::trim(v);
}

const std::vector<std::string> kIdentColumns = {"Tipo",    "Número",   "Apellido Paterno", "Apellido Materno",
                                                "Nombres", "Categoría"};

ReportHeader header(int number, const std::string& block, std::vector<std::string> extraBlocks,
                    std::vector<std::string> columns) {
  ReportHeader h;
  h.entry = findReport(number);
  h.blocks = {"Datos del Trabajador / Pensionista", "", "", "", "", ""};
  h.blocks[0] = block;
  h.columns = kIdentColumns;
  h.columns[0] = "Documento de Identidad - Tipo";
  h.columns[1] = "Documento de Identidad - Número";
  for (auto& b : extraBlocks) h.blocks.push_back(std::move(b));
  for (auto& c : columns) h.columns.push_back(std::move(c));
  h.blocks.resize(h.columns.size());
  return h;
}

}  // namespace korventa::printouts
