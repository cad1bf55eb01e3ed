#include "printouts/report_builders.h"

#include <map>
#include <set>
#include <utility>

#include "common/money.h"
#include "common/text.h"
#include "printouts/report_cells.h"

namespace korventa::printouts {

// ---- Report 25: bases and contributions -----------------------------------------------------

namespace {

// Concept amounts of persons, for the columns that come from concept rows.
using ConceptMap = std::map<std::string, std::map<std::string, std::pair<std::string, std::string>>>;

ConceptMap conceptsOf(Ctx& c, const std::vector<std::string>& codes) {
  ConceptMap m;
  data::Params p;
  std::string where = c.where("", p);
  std::string in;
  for (const auto& code : codes) in += (in.empty() ? "'" : ", '") + code + "'";
  for (const auto& r :
       c.db.rows("SELECT tip_doc_a, doc_id_a, correl_a, TRIM(cod_concep), base_calculo, monto FROM " +
                     c.table("F601_REMUNERA") + " WHERE " + where + " AND TRIM(cod_concep) IN (" + in + ")",
                 p))
    m[r.text(0) + "|" + text::trim(r.text(1)) + "|" + r.text(2)][r.text(3)] = {r.text(4), r.text(5)};
  return m;
}

// Fourth-category receipts by person: the sum of the receipts and of what was withheld.
using FourthMap = std::map<std::string, std::pair<Money, Money>>;

ReportHeader basesHeader() {
  std::vector<std::string> blocks = {"Base Imponible (B.I.) Cálculo de Aportes/ Tributos"};
  std::vector<std::string> cols = {"B.I. EsSalud Seguro Regular",
                                   "Aporte Seguro Regular ",
                                   "B.I. EsSalud CBSSP",
                                   "Aporte EsSalud -CBSSP",
                                   "B.I. Seguro Agrario / Acuicultor",
                                   "Aporte Seguro Agrario / Acuicultor",
                                   "B.I. SCTR (ESSALUD)",
                                   "Aporte SCTR (ESSALUD)",
                                   "B.I. FDSA",
                                   "Aporte FDSA",
                                   "B.I. Pensiones (ONP) D.Ley 19990",
                                   "Aporte Pensiones (ONP) D.Ley 19990",
                                   "B.I. Renta 5ta. Cat.Retenciones",
                                   "Renta 5ta. Categoria-Retenciones",
                                   "B.I. Seguro Regular-Retenciones",
                                   "Aporte EsSalud - Pensionistas",
                                   "B.I. I.E.S",
                                   "Aporte I.E.S",
                                   "B.I. COSAP",
                                   "Aporte COSAP",
                                   "BASE FCJMMS",
                                   "APORTE AL FCJMMS",
                                   "B Cuota Frac FCJMMS",
                                   "Cuota Frac FCJMMS",
                                   "Aporte SENATI",
                                   "Asegura tu Pensión",
                                   "EsSalud +Vida",
                                   "Aporte al SPP",
                                   "B.I. Declarada",
                                   "Retención"};
  blocks.resize(24);
  blocks.push_back("Otras Contribuciones y Aportes");
  blocks.resize(28);
  blocks.push_back("Cuarta Categoria");
  blocks.push_back("");
  return header(25, "Datos del Trabajador / Pensionista", blocks, cols);
}

FourthMap fourthCategoryOf(Ctx& c) {
  FourthMap fourth;
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r :
       c.db.rows("SELECT tip_doc_a, doc_id_a, mto_rec, mto_rta FROM " + c.table("F601RDDET") + " WHERE " + where, p)) {
    auto& f = fourth[Ctx::personKey(r.integer(0), r.text(1))];
    f.first += Money::value(r.text(2));
    f.second += Money::value(r.text(3));
  }
  return fourth;
}

// The cells of one summary row of a worker or pensioner.
std::vector<Cell> basesCells(Ctx& c, const data::Row& r, const ConceptMap& concepts, const FourthMap& fourth) {
  long long tip = r.integer("tip_doc_a"), cat = r.integer("cod_cat_tra");
  std::string doc = r.text("doc_id_a");
  int tipo = static_cast<int>(Money::value(r.text("Tipo")).raw() / Money::kScale);
  bool worker = cat == 1;
  auto cells = c.ident(tip, doc, cat);
  auto pair = [&](const std::string& base, const std::string& amount) {
    cells.push_back(amountCell(base));
    cells.push_back(amountCell(amount));
  };
  auto none = [&] { pair("", ""); };
  std::string remSalud = r.text("rem_salud");
  bool cbssp = worker && tipo == 36, agrario = worker && (tipo == 64 || tipo == 65);
  if (worker && !cbssp && !agrario)
    pair(remSalud, r.text("salud"));
  else
    none();
  if (cbssp)
    pair(remSalud, r.text("cbssp"));
  else
    none();
  if (agrario)
    pair(remSalud, r.text("salud_agrario"));
  else
    none();
  pair(r.text("sctr_essalud"), r.text("sctr_tributo"));
  pair(r.text("fondo_dsa"), r.text("aporte_fdsa"));
  pair(r.text("rem_pens"), r.text("pens"));
  pair(r.text("rem_afecta"), r.text("tributo"));
  if (!worker)
    pair(remSalud, r.text("salud"));
  else
    none();
  auto cm = concepts.find(r.text("tip_doc_a") + "|" + text::trim(doc) + "|" + r.text("Correl_a"));
  auto conceptOf = [&](const char* code) -> std::pair<std::string, std::string> {
    if (cm == concepts.end()) return {};
    auto it = cm->second.find(code);
    return it == cm->second.end() ? std::pair<std::string, std::string>{} : it->second;
  };
  auto ies = conceptOf("0808");
  pair(ies.first, ies.second);
  pair(r.text("rem_20530"), r.text("trib_20530"));
  // The miners' fund: the summary row, or the concept rows where the summary has none.
  auto f616 = conceptOf("0616"), f617 = conceptOf("0617");
  pair(text::trim(r.text("rem_FCJMMS")).empty() ? f616.first : r.text("rem_FCJMMS"),
       text::trim(r.text("aporte_FCJMMS")).empty() ? f616.second : r.text("aporte_FCJMMS"));
  pair(text::trim(r.text("rem_FracFCJMMS")).empty() ? f617.first : r.text("rem_FracFCJMMS"),
       text::trim(r.text("aporte_FrFCJMMS")).empty() ? f617.second : r.text("aporte_FrFCJMMS"));
  cells.push_back(amountCell(conceptOf("0807").second));
  cells.push_back(amountCell(conceptOf("0612").second));
  std::string vida = conceptOf("0604").second;
  cells.push_back(amountCell(text::trim(vida).empty() ? r.text("ipss_vida") : vida));
  cells.push_back(amountCell(conceptOf("0608").second));
  auto f = fourth.find(Ctx::personKey(tip, doc));
  if (f != fourth.end())
    pair(f->second.first.toText(2), f->second.second.toText(2));
  else
    none();
  return cells;
}

}  // namespace

void report25(Ctx& c, ReportSink& sink, Ticker& tick) {
  sink.begin(basesHeader());

  auto concepts = conceptsOf(c, {"0604", "0608", "0612", "0616", "0617", "0807", "0808"});
  // Fourth-category receipts of the same persons.
  auto fourth = fourthCategoryOf(c);
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r : c.db.rows(
           "SELECT * FROM " + c.table("F601_TRAB") + " WHERE " + where + " ORDER BY tip_doc_a, doc_id_a, correl_a",
           p)) {
    sink.row(basesCells(c, r, concepts, fourth));
    tick();
  }
  sink.end();
}

}  // namespace korventa::printouts
