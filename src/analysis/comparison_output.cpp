#include "analysis/comparison_output.h"

#include <algorithm>
#include <stdexcept>

#include "common/dates.h"
#include "common/text.h"
#include "printouts/workbook.h"

namespace korventa::analysis {
namespace {

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : "; ") + p;
  return out;
}

std::string boxAmount(const std::string& text) {
  return text.empty() ? "-" : text;
}

std::string signedWhole(long long v) {
  return (v < 0 ? "" : "+") + std::to_string(v);
}

std::vector<std::string> personCells(const PersonDifference& p) {
  return {categoryText(p.person.category), p.person.docType, p.person.doc, p.person.name};
}

}  // namespace

ComparisonListing personListing(const Comparison& c, PersonState state) {
  ComparisonListing l;
  l.columns = {"Categoría", "Tipo Doc.", "Número Doc.", "Nombre", "Concepto",
               "Antes",     "Ahora",     "Diferencia",  "Motivos"};
  l.amountColumns = {5, 6, 7};
  for (const auto* p : c.withState(state)) {
    std::string reasons = joined(p->reasons);
    if (p->columns.empty()) {
      auto row = personCells(*p);
      row.insert(row.end(), {"", "", "", "", reasons});
      l.rows.push_back(std::move(row));
    }
    for (const auto& col : p->columns) {
      auto row = personCells(*p);
      row.insert(row.end(),
                 {col.caption, col.before.toText(2), col.after.toText(2), signedAmount(col.difference()), reasons});
      l.rows.push_back(std::move(row));
    }
  }
  return l;
}

ComparisonListing boxListing(const Comparison& c) {
  ComparisonListing l;
  l.columns = {"Casilla", "Descripción", "Antes", "Ahora", "Diferencia", "Motivos"};
  l.amountColumns = {2, 3, 4};
  for (const auto& b : c.boxes)
    l.rows.push_back(
        {b.casilla, b.caption, boxAmount(b.before), boxAmount(b.after), signedWhole(b.difference), joined(b.reasons)});
  return l;
}

ComparisonListing plainListing(const Comparison& c) {
  ComparisonListing l;
  l.columns = {"parte",  "estado",      "categoria", "tip_doc", "doc",        "nombre",
               "codigo", "descripcion", "antes",     "despues", "diferencia", "motivos"};
  for (const auto& p : c.persons) {
    std::vector<std::string> head = {
        "persona",    stateText(p.state), std::to_string(p.person.category), std::to_string(p.person.tipDoc),
        p.person.doc, p.person.name};
    if (p.columns.empty()) {
      auto row = head;
      row.insert(row.end(), {"", "", "", "", "", joined(p.reasons)});
      l.rows.push_back(std::move(row));
    }
    for (const auto& col : p.columns) {
      auto row = head;
      row.insert(row.end(), {col.column, col.caption, col.before.toText(2), col.after.toText(2),
                             signedAmount(col.difference()), joined(p.reasons)});
      l.rows.push_back(std::move(row));
    }
  }
  for (const auto& b : c.boxes)
    l.rows.push_back({"casilla", "", "", "", "", "", b.casilla, b.caption, b.before, b.after, signedWhole(b.difference),
                      joined(b.reasons)});
  return l;
}

std::string comparisonTitle(const Comparison& c) {
  return "Comparación de " + declarationText(c.current.ref) + " con " + declarationText(c.other.ref) + " (umbral " +
         c.threshold.toText(2) + ")";
}

std::string comparisonSummary(const Comparison& c) {
  if (c.same()) return "No hay diferencias";
  return "Ingresaron " + std::to_string(c.withState(PersonState::Entered).size()) + ", salieron " +
         std::to_string(c.withState(PersonState::Left).size()) + ", cambiaron " +
         std::to_string(c.withState(PersonState::Changed).size()) + "; " + std::to_string(c.boxes.size()) +
         (c.boxes.size() == 1 ? " casilla difiere" : " casillas difieren");
}

namespace {

void writeSheet(printouts::Workbook& wb, const Comparison& c, const std::string& name, const ComparisonListing& l) {
  wb.addSheet(name);
  wb.setColumnWidths(static_cast<int>(l.columns.size()));
  wb.writeTitle(0, 0, comparisonTitle(c));
  wb.writeText(2, 0, "RUC: ");
  wb.writeText(2, 1, c.current.ref.ruc);
  wb.writeText(3, 0, "Nombre, denominación o Razón Social: ");
  wb.writeText(3, 1, c.current.nombre);
  for (std::size_t i = 0; i < l.columns.size(); ++i) wb.writeHeading(5, static_cast<int>(i), l.columns[i]);
  int row = 6;
  for (const auto& cells : l.rows) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      bool amount =
          std::find(l.amountColumns.begin(), l.amountColumns.end(), static_cast<int>(i)) != l.amountColumns.end();
      auto number = amount ? Money::parse(cells[i]) : std::nullopt;
      if (number)
        wb.writeAmount(row, static_cast<int>(i), number->toDouble());
      else if (!cells[i].empty())
        wb.writeText(row, static_cast<int>(i), cells[i]);
    }
    ++row;
  }
}

}  // namespace

bool writeComparisonWorkbook(const Comparison& c, const std::filesystem::path& file) {
  if (!printouts::Workbook::available()) return false;
  printouts::Workbook wb(file);
  writeSheet(wb, c, "Ingresaron", personListing(c, PersonState::Entered));
  writeSheet(wb, c, "Salieron", personListing(c, PersonState::Left));
  writeSheet(wb, c, "Cambiaron", personListing(c, PersonState::Changed));
  writeSheet(wb, c, "Casillas", boxListing(c));
  return wb.close();
}

namespace {

std::string fit(const std::string& s, std::size_t width) {
  std::string t = text::left(s, width);
  return t + std::string(width - std::min(width, text::length(t)), ' ');
}

std::string right(const std::string& s, std::size_t width) {
  std::size_t n = text::length(s);
  return n >= width ? s : std::string(width - n, ' ') + s;
}

void line(reports::ReportWriter& w, const std::string& s) {
  w.ImprimeLineaPag(reports::commandText(s));
}

void writeReasons(reports::ReportWriter& w, const std::vector<std::string>& reasons) {
  for (const auto& r : reasons) line(w, "        - " + text::left(r, 92));
}

void writePersons(reports::ReportWriter& w, const Comparison& c, PersonState state, const std::string& heading) {
  auto persons = c.withState(state);
  line(w, "");
  line(w, heading + ": " + std::to_string(persons.size()));
  for (const auto* p : persons) {
    line(w, "  " + fit(categoryText(p->person.category), 22) + fit(p->person.docType + " " + p->person.doc, 20) +
                text::left(p->person.name, 56));
    for (const auto& col : p->columns)
      line(w, "      " + fit(col.caption, 36) + right(col.before.toText(2), 14) + right(col.after.toText(2), 14) +
                  right(signedAmount(col.difference()), 14));
    writeReasons(w, p->reasons);
  }
}

}  // namespace

void writeComparisonListing(reports::ReportWriter& w, const Comparison& c) {
  reports::ListingHeader h;
  h.title = text::upper(comparisonTitle(c));
  h.ruc = c.current.ref.ruc;
  h.name = c.current.nombre;
  h.reportLines = static_cast<int>(c.persons.size() * 4 + c.boxes.size() * 2 + 12);
  reports::writeListingHeader(w, h);
  line(w, comparisonSummary(c));
  writePersons(w, c, PersonState::Entered, "PERSONAS QUE INGRESARON");
  writePersons(w, c, PersonState::Left, "PERSONAS QUE SALIERON");
  writePersons(w, c, PersonState::Changed, "PERSONAS CUYOS MONTOS CAMBIARON");
  line(w, "");
  line(w, "CASILLAS QUE DIFIEREN: " + std::to_string(c.boxes.size()));
  for (const auto& b : c.boxes) {
    line(w, "  " + fit(b.casilla, 5) + fit(b.caption, 56) + right(boxAmount(b.before), 12) +
                right(boxAmount(b.after), 12) + right(signedWhole(b.difference), 12));
    writeReasons(w, b.reasons);
  }
  line(w, std::string(82, '_'));
}

std::filesystem::path comparisonReportFile(Session& session, const Comparison& c) {
  std::filesystem::path dir = session.paths.tmpPath.empty() ? std::filesystem::temp_directory_path()
                                                            : std::filesystem::path(session.paths.tmpPath);
  std::filesystem::create_directories(dir);
  auto file = dir / ("COMPARA_" + c.current.ref.ruc + "_" + c.current.ref.periodo + ".PRN");
  reports::ReportWriter w(file);
  writeComparisonListing(w, c);
  w.close();
  return file;
}

}  // namespace korventa::analysis
