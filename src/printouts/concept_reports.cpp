#include "printouts/report_builders.h"

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "common/money.h"
#include "common/text.h"
#include "printouts/report_cells.h"

namespace korventa::printouts {

namespace {

struct GroupInfo {
  const char* group;
  const char* total;
  const char* block;  // heading over the total; nullptr: the group's own heading
};
const GroupInfo kGroups[] = {
    {"01", "Total Ingresos", nullptr},
    {"20", "Total Ingresos Régimen Laboral Público", nullptr},
    {"02", "Total Asignaciones", nullptr},
    {"03", "Total Bonificaciones", nullptr},
    {"04", "Total Gratificaciones", "Gratificaciones /Aguinaldos"},
    {"05", "Total Indemnizaciones", "Indemnizaciones"},
    {"06", "Total Aportaciones del Trabajador", "Aportaciones del trabajador"},
    {"07", "Total Descuentos al Trabajador", "Descuentos al trabajador"},
    {"08", "Total Aportaciones a Cargo del Empleador", "Aportaciones de cargo del empleador"},
    {"10", "Total Otros Conceptos", "Otros conceptos"},
    {"09", "Total Conceptos Varios", nullptr},
};

const GroupInfo& groupInfo(const std::string& g) {
  for (const auto& i : kGroups)
    if (g == i.group) return i;
  throw std::logic_error("grupo de conceptos desconocido " + g);
}

std::vector<std::string> groupsOf(int number) {
  switch (number) {
    case 20:
      return {"01", "20"};
    case 21:
      return {"02", "03"};
    case 22:
      return {"04", "05", "06"};
    case 23:
      return {"07", "08", "10"};
    case 24:
      return {"09"};
  }
  return {};
}

std::string conceptDescription(data::Database& db, const std::string& ruc, const std::string& code) {
  std::string d = db.text("SELECT Descripc FROM CONCEPTOS_REM WHERE Codigo = ?", {code});
  if (text::trim(d).empty())
    d = db.text("SELECT desc_concepto FROM conceptos_remu WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_concepto = ?",
                {ruc, code});
  return text::trim(d);
}

// Goes through concept rows ordered by person: `row` for each of them, then `done` with the
// person once the person's rows are over.
void byPerson(const std::vector<data::Row>& rows, const std::function<void(const data::Row&)>& row,
              const std::function<void(long long tip, const std::string& doc, long long cat)>& done) {
  std::string currentKey, doc;
  long long tip = 0, cat = 0;
  for (const auto& r : rows) {
    std::string key = r.text("tip_doc_a") + "|" + text::trim(r.text("doc_id_a")) + "|" + r.text("correl_a") + "|" +
                      r.text("cod_cat_tra");
    if (key != currentKey) {
      if (!currentKey.empty()) done(tip, doc, cat);
      currentKey = key;
      tip = r.integer("tip_doc_a");
      doc = r.text("doc_id_a");
      cat = r.integer("cod_cat_tra");
    }
    row(r);
  }
  if (!currentKey.empty()) done(tip, doc, cat);
}

// A column pair of a concept, or the total column of its group.
struct ConceptColumn {
  std::string code;  // empty: the group's total
  std::string group;
};

struct Amounts {
  std::string a, b;
};

// The headings of a concept report and, in `layout`, the column each heading belongs to.
ReportHeader conceptHeader(Ctx& c, int number, const std::vector<std::string>& groups,
                           std::vector<ConceptColumn>& layout) {
  // The concepts the declarant uses, by group, in code order.
  std::map<std::string, std::vector<std::string>> concepts;
  for (const auto& r : c.db.rows("SELECT DISTINCT TRIM(cod_concepto) FROM CON_AFEC WHERE tip_doc_d = 6 AND "
                                 "doc_id_d = ? AND substr(TRIM(cod_concepto), 3, 2) <> '00' ORDER BY 1",
                                 {c.decl.ref.ruc})) {
    std::string code = r.text(0);
    concepts[code.substr(0, 2)].push_back(code);
  }
  std::vector<std::string> blocks, columns;
  for (const auto& g : groups) {
    const auto& info = groupInfo(g);
    bool contributions = g == "06";
    for (const auto& code : concepts[g]) {
      blocks.push_back(code + " " + conceptDescription(c.db, c.decl.ref.ruc, code));
      blocks.push_back("");
      columns.push_back(contributions ? "Base" : "Devengado");
      columns.push_back(contributions ? "Monto" : "Pagado");
      layout.push_back({code, g});
    }
    blocks.push_back(info.block ? info.block : conceptDescription(c.db, c.decl.ref.ruc, g + "00"));
    columns.push_back(info.total);
    layout.push_back({"", g});
  }
  auto h = header(number, "Datos del Trabajador / Pensionista", blocks, columns);
  if (h.blocks.size() > kIdentColumns.size()) {
    // The concept blocks sit under "Información de Conceptos" where the first heading row has room.
    h.blocks[kIdentColumns.size()] = "Información de Conceptos - " + h.blocks[kIdentColumns.size()];
  }
  return h;
}

// The cells of one person: identification, then each concept pair and each group's total.
std::vector<Cell> conceptCells(Ctx& c, long long tip, const std::string& doc, long long cat,
                               const std::vector<ConceptColumn>& layout, const std::map<std::string, Amounts>& values) {
  auto cells = c.ident(tip, doc, cat);
  std::map<std::string, Money> totals;
  std::set<std::string> declared;
  for (const auto& col : layout) {
    if (col.code.empty()) {
      cells.push_back(declared.count(col.group) ? amountCell(totals[col.group].toText(2)) : amountCell(""));
      continue;
    }
    auto it = values.find(col.code);
    Amounts v = it == values.end() ? Amounts{} : it->second;
    cells.push_back(amountCell(v.a));
    cells.push_back(amountCell(v.b));
    // The total of a group: what was paid; a concept with no paid amount, such as an employer's
    // contribution, counts with its accrued amount. Group 06 adds its contribution amounts
    // only: its first column is the base, which is no amount of the worker's.
    const std::string& counted = col.group == "06" || !text::trim(v.b).empty() ? v.b : v.a;
    if (!text::trim(counted).empty()) {
      totals[col.group] += Money::value(counted);
      declared.insert(col.group);
    }
  }
  return cells;
}

}  // namespace

// ---- Reports 20 to 24: concept amounts by group ---------------------------------------------

void conceptReport(Ctx& c, int number, ReportSink& sink, Ticker& tick) {
  auto groups = groupsOf(number);
  std::vector<ConceptColumn> layout;
  sink.begin(conceptHeader(c, number, groups, layout));

  data::Params p;
  std::string where = c.where("", p);
  std::string in;
  for (const auto& g : groups) in += (in.empty() ? "'" : ", '") + g + "'";
  std::string sql =
      "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, TRIM(cod_concep) AS cod, base_calculo, monto, "
      "monto_pag FROM " +
      c.table("F601_REMUNERA") + " WHERE " + where + " AND substr(TRIM(cod_concep), 1, 2) IN (" + in +
      ") AND substr(TRIM(cod_concep), 3, 2) <> '00' "
      "ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra, cod";
  std::map<std::string, Amounts> values;
  bool anyAmount = false;
  auto flush = [&](long long tip, const std::string& doc, long long cat) {
    // A person whose rows in the report's groups carry no amount (only bases, say) has nothing
    // to report.
    if (!anyAmount) return;
    sink.row(conceptCells(c, tip, doc, cat, layout, values));
    tick();
  };
  byPerson(
      c.db.rows(sql, p),
      [&](const data::Row& r) {
        std::string code = r.text("cod");
        bool contributions = code.substr(0, 2) == "06";
        values[code] = contributions ? Amounts{r.text("base_calculo"), r.text("monto")}
                                     : Amounts{r.text("monto"), r.text("monto_pag")};
        if (!text::trim(values[code].a).empty() || !text::trim(values[code].b).empty()) anyAmount = true;
      },
      [&](long long tip, const std::string& doc, long long cat) {
        flush(tip, doc, cat);
        values.clear();
        anyAmount = false;
      });
  sink.end();
}

// ---- Report 26: sums by group ---------------------------------------------------------------

void report26(Ctx& c, ReportSink& sink, Ticker& tick) {
  const std::vector<std::string> groups = {"01", "02", "03", "04", "05", "09", "10", "20", "06", "07"};
  std::vector<std::string> cols = {"Total Ingresos",
                                   "Total Asignaciones",
                                   "Total Bonificaciones",
                                   "Total Gratificaciones",
                                   "Total Indemnizaciones",
                                   "Total Conceptos Varios",
                                   "Total Otros Conceptos",
                                   "Total Régimen Laboral Público",
                                   "Total Aportaciones del Trabajador/Pensionista",
                                   "Total Deducciones del Trabajador",
                                   "Neto a Pagar"};
  std::vector<std::string> blocks(cols.size());
  blocks[0] = "Detalle del Pago o Puesta a Disposición del mismo";
  sink.begin(header(26, "Datos del Trabajador / Pensionista", blocks, cols));
  data::Params p;
  std::string where = c.where("", p);
  std::string sql =
      "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, substr(TRIM(cod_concep), 1, 2) AS grp, "
      "monto_pag FROM " +
      c.table("F601_REMUNERA") + " WHERE " + where +
      " AND substr(TRIM(cod_concep), 3, 2) <> '00' ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra";
  std::map<std::string, Money> sums;
  bool anyAmount = false;
  auto flush = [&](long long tip, const std::string& doc, long long cat) {
    if (!anyAmount) return;
    auto cells = c.ident(tip, doc, cat);
    Money income, deductions;
    for (const auto& g : groups) {
      cells.push_back(formattedAmount(sums[g]));
      if (g == "06" || g == "07")
        deductions += sums[g];
      else
        income += sums[g];
    }
    cells.push_back(formattedAmount(income - deductions));
    sink.row(cells);
    tick();
  };
  byPerson(
      c.db.rows(sql, p),
      [&](const data::Row& r) {
        sums[r.text("grp")] += Money::value(r.text("monto_pag"));
        if (!text::trim(r.text("monto_pag")).empty()) anyAmount = true;
      },
      [&](long long tip, const std::string& doc, long long cat) {
        flush(tip, doc, cat);
        sums.clear();
        anyAmount = false;
      });
  sink.end();
}

}  // namespace korventa::printouts
