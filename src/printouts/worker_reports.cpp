#include "printouts/report_builders.h"

#include <map>

#include "common/money.h"
#include "common/text.h"
#include "data/param.h"
#include "printouts/exports.h"
#include "printouts/report_cells.h"

namespace korventa::printouts {

namespace {

std::string paramName(data::Database& db, const char* numero, const std::string& key, std::size_t len) {
  std::string f = db.text("SELECT Funcion FROM PARAM WHERE Numero = ? AND TRIM(Argumento) = ?", {numero, key});
  return text::trim(text::left(f, len));
}

}  // namespace

// ---- Report 28: days, hours and SCTR --------------------------------------------------------

void report28(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> cols = {"Situación",        "Días Efectivamente Laborados",
                                   "Días Subsidiados", "Días no laborados - no subsidiados",
                                   "Horas ordinarias", "Horas sobretiempo",
                                   "Total horas",      "RUC",
                                   "Centro de Riesgo", "Tasa"};
  std::vector<std::string> blocks = {"", "Jornada Laboral", "", "", "Horas Trabajadas", "",
                                     "", "SCTR - ESSALUD",  "", ""};
  sink.begin(header(28, "Datos del Trabajador", blocks, cols));
  std::map<std::string, std::vector<std::string>> sctr;
  {
    data::Params p;
    std::string where = c.where("", p);
    for (const auto& r : c.db.rows("SELECT tip_doc_a, doc_id_a, ruc, centro, tasa FROM " + c.table("F601_SCTR_OTRO") +
                                       " WHERE " + where + " ORDER BY rowid",
                                   p))
      sctr.emplace(Ctx::personKey(r.integer(0), r.text(1)),
                   std::vector<std::string>{text::trim(r.text(2)), text::trim(r.text(3)), text::trim(r.text(4))});
  }
  std::map<std::string, std::string> situations;
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r : c.db.rows("SELECT * FROM " + c.table("F601_TRAB") + " WHERE " + where +
                                     " AND cod_cat_tra = 1 ORDER BY tip_doc_a, doc_id_a, correl_a",
                                 p)) {
    long long tip = r.integer("tip_doc_a");
    std::string doc = r.text("doc_id_a");
    auto cells = c.ident(tip, doc, 1);
    std::string sit = text::trim(r.text("Situac"));
    auto it = situations.find(sit);
    if (it == situations.end()) it = situations.emplace(sit, paramName(c.db, "714", sit, 60)).first;
    cells.push_back(textCell(sit.empty() ? std::string() : sit + " - " + it->second));
    cells.push_back(countCell(r.text("dias_lab")));
    cells.push_back(countCell(r.text("dias_sub")));
    cells.push_back(countCell(r.text("dias_no_lab")));
    cells.push_back(textCell(HorasDecimal_to_HorasMinutos(r.text("horas_nor"))));
    cells.push_back(textCell(HorasDecimal_to_HorasMinutos(r.text("horas_sob"))));
    cells.push_back(textCell(SumaHorasNormalesMasSobretiempo(r.text("horas_nor"), r.text("horas_sob"))));
    auto s = sctr.find(Ctx::personKey(tip, doc));
    if (s != sctr.end()) {
      cells.push_back(textCell(s->second[0]));
      cells.push_back(textCell(s->second[1]));
      cells.push_back(countCell(s->second[2]));
    } else {
      for (int i = 0; i < 3; ++i) cells.push_back(textCell(""));
    }
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Reports 29 and 30: suspensions ----------------------------------------------------------

void suspensions(Ctx& c, int number, ReportSink& sink, Ticker& tick) {
  bool subsidised = number == 30;
  std::vector<std::string> cols, blocks;
  if (subsidised) {
    cols = {"Tipo de Suspensión", "Número del CITT",      "Fecha de Inicio",
            "Fecha de Fin",       "Días Subsidiados Mes", "Días Subsidiados CITT"};
    blocks = {"Período Subsidiado ESSALUD", "", "", "", "", ""};
  } else {
    cols = {"Tipo de días no laborados", "Fecha de Inicio", "Fecha de Fin", "Días No Laborados",
            "Total Días No Laborados"};
    blocks = {"Días No Laborados", "", "", "", ""};
  }
  sink.begin(header(number, "Datos del Trabajador", blocks, cols));
  data::Params p;
  std::string where = c.where("", p);
  std::string sql = "SELECT * FROM " + c.table("F601DIAS_NOLAB") + " WHERE " + where + " AND TRIM(tipo_suspen) " +
                    (subsidised ? "IN ('21', '22')" : "NOT IN ('21', '22')") +
                    " ORDER BY tip_doc_a, doc_id_a, correl_a, substr(fecha_ini, 7, 4) || substr(fecha_ini, 4, 2) || "
                    "substr(fecha_ini, 1, 2)";
  auto rows = c.db.rows(sql, p);
  // The total of days per person, shown on each of its lines.
  std::map<std::string, Money> totals;
  for (const auto& r : rows)
    totals[Ctx::personKey(r.integer("tip_doc_a"), r.text("doc_id_a"))] += Money::value(r.text("dias_no_lab"));
  std::map<std::string, std::string> types;
  for (const auto& r : rows) {
    long long tip = r.integer("tip_doc_a");
    std::string doc = r.text("doc_id_a");
    auto cells = c.ident(tip, doc, 1);
    std::string t = text::trim(r.text("tipo_suspen"));
    auto it = types.find(t);
    if (it == types.end()) it = types.emplace(t, paramName(c.db, "852", t, 60)).first;
    cells.push_back(textCell(t + " - " + it->second));
    if (subsidised) {
      cells.push_back(textCell(text::trim(r.text("num_citt"))));
      cells.push_back(textCell(dmy(r.text("fecha_ini"))));
      cells.push_back(textCell(dmy(r.text("fecha_fin"))));
      cells.push_back(countCell(r.text("dias_sub")));
      cells.push_back(countCell(r.text("dias_citt")));
    } else {
      cells.push_back(textCell(dmy(r.text("fecha_ini"))));
      cells.push_back(textCell(dmy(r.text("fecha_fin"))));
      cells.push_back(countCell(r.text("dias_no_lab")));
      cells.push_back(countCell(plainAmount(totals[Ctx::personKey(tip, doc)].toText(2))));
    }
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Reports 31 and 35: establishments -------------------------------------------------------

void establishments(Ctx& c, int number, ReportSink& sink, Ticker& tick) {
  bool trainees = number == 35;
  std::vector<std::string> cols = {"RUC", "Tipo Establecimiento", "Código Establecimiento",
                                   "Denominación Establecimiento"};
  std::vector<std::string> blocks = {"Establecimientos", "", "", ""};
  sink.begin(header(number, trainees ? "Datos del Prestador de Servicio Modalidad Formativa" : "Datos del Trabajador",
                    blocks, cols));
  data::Params p;
  std::string where = c.where("E", p);
  p.add(c.decl.ref.ruc);
  std::string sql = "SELECT E.tip_doc_a, E.doc_id_a, E.cod_estab, L.doc_ruc_emp, L.cod_tipest, L.nom_est FROM " +
                    c.table(trainees ? "F601_ESTABMF" : "F601_ESTAB") +
                    " E LEFT JOIN LOCAL L ON L.tip_doc_d = 6 AND "
                    "L.doc_id_d = E.doc_id_d AND L.cod_est = E.cod_estab WHERE " +
                    where + " AND E.doc_id_d = ? ORDER BY E.tip_doc_a, E.doc_id_a, E.correl_a, E.cod_estab";
  std::map<std::string, std::string> kinds;
  for (const auto& r : c.db.rows(sql, p)) {
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), trainees ? 5 : 1);
    std::string kind = text::trim(r.text("cod_tipest"));
    auto it = kinds.find(kind);
    if (it == kinds.end()) it = kinds.emplace(kind, paramName(c.db, "028", kind, 40)).first;
    cells.push_back(textCell(text::trim(r.text("doc_ruc_emp"))));
    cells.push_back(textCell(kind.empty() ? std::string() : kind + " - " + it->second));
    cells.push_back(textCell(text::trim(r.text("cod_estab"))));
    cells.push_back(textCell(text::trim(r.text("nom_est"))));
    sink.row(cells);
    tick();
  }
  sink.end();
}

}  // namespace korventa::printouts
