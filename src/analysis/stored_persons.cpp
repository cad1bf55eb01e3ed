#include "analysis/stored_persons.h"

#include <utility>

#include "common/text.h"
#include "declaration/tables.h"
#include "printouts/tax_base_consultation.h"

namespace korventa::analysis {
namespace {

using printouts::DeclarationRef;

// Columns of the summary row (F601_TRAB) compared besides the concept bases.
const std::vector<std::pair<std::string, std::string>>& summaryColumns() {
  static const std::vector<std::pair<std::string, std::string>> c = {
      {"Tot_Ingresos", "Total Ingresos"},        {"rem_FCJMMS", "B.I. FCJMMS"},
      {"aporte_FCJMMS", "Aporte FCJMMS"},        {"rem_FracFCJMMS", "B.I. Cuota Frac. FCJMMS"},
      {"aporte_FrFCJMMS", "Cuota Frac. FCJMMS"},
  };
  return c;
}

const std::vector<std::pair<std::string, std::string>>& ownColumns() {
  static const std::vector<std::pair<std::string, std::string>> c = {{"mto_renta", "Subvención M. Formativa"}};
  return c;
}

std::string keyOf(int category, long long tip, const std::string& doc) {
  return std::to_string(category) + "|" + std::to_string(tip) + "|" + doc;
}

struct Reader {
  data::Database& db;
  const DeclarationRef& ref;
  printouts::KeyFilter key;
  StoredPersons persons;

  Reader(data::Database& d, const DeclarationRef& r) : db(d), ref(r), key(printouts::keyFilter(r)) {}
  data::Params params() const {
    data::Params p;
    for (const auto& v : key.params) p.add(v);
    return p;
  }
  std::string from(const std::string& table) const {
    return " FROM " + printouts::tableFor(ref, table) + " WHERE " + key.where;
  }
  StoredPerson& person(int category, long long tip, const std::string& doc) {
    auto& p = persons[keyOf(category, tip, doc)];
    p.person.category = category;
    p.person.tipDoc = tip;
    p.person.doc = doc;
    return p;
  }
  void readWorkers();
  void readConcepts();
  void readProviders();
  void readThirdParties();
  void readTrainees();
  void readNames();
};

void Reader::readWorkers() {
  std::string cols;
  for (const auto& [c, caption] : summaryColumns()) cols += ", " + c;
  for (const auto& r :
       db.rows("SELECT cod_cat_tra, tip_doc_a, doc_id_a, Tipo, dias_lab" + cols + from("F601_TRAB"), params())) {
    auto& p = person(static_cast<int>(r.integer(0)), r.integer(1), text::trim(r.text(2)));
    p.tipo = text::trim(r.text(3));
    p.dias = text::trim(r.text(4));
    std::size_t i = 5;
    for (const auto& [c, caption] : summaryColumns()) {
      std::string v = text::trim(r.text(i++));
      if (!v.empty()) p.columns[c] = Money::value(v);
    }
  }
}

// Concept rows of workers and pensioners: the bases and contributions of the tributes, and every
// row that declares something (for the reasons).
void Reader::readConcepts() {
  for (const auto& r : db.rows("SELECT cod_cat_tra, tip_doc_a, doc_id_a, TRIM(cod_concep), base_calculo, monto" +
                                   from("F601_REMUNERA") + " AND " + declaration::conceptHasContent(),
                               params())) {
    auto it = persons.find(keyOf(static_cast<int>(r.integer(0)), r.integer(1), text::trim(r.text(2))));
    if (it == persons.end()) continue;
    StoredPerson& p = it->second;
    std::string code = r.text(3), base = text::trim(r.text(4)), monto = text::trim(r.text(5));
    p.concepts[code] = Money::value(monto);
    auto [b, m] = printouts::taxBaseColumnsOf(code, p.tipo);
    if (b && !base.empty()) p.columns[b] = Money::value(base);
    if (m && !monto.empty()) p.columns[m] = Money::value(monto);
  }
}

void Reader::readProviders() {
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, mto_rec, mto_rta" + from("F601RDDET"), params())) {
    auto& p = person(kProvider, r.integer(0), text::trim(r.text(1)));
    p.columns["base_4ta"] += Money::value(text::trim(r.text(2)));
    p.columns["trib_4ta"] += Money::value(text::trim(r.text(3)));
  }
}

void Reader::readThirdParties() {
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, rem_sctrs, sctrs, Nombre" + from("F601_SCTR"), params())) {
    auto& p = person(kThirdParty, r.integer(0), text::trim(r.text(1)));
    p.columns["rem_sctrs"] += Money::value(text::trim(r.text(2)));
    p.columns["sctrs"] += Money::value(text::trim(r.text(3)));
    p.person.name = text::trim(r.text(4));
  }
}

void Reader::readTrainees() {
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, mto_renta" + from("F601MFCAB"), params())) {
    auto& p = person(kTrainee, r.integer(0), text::trim(r.text(1)));
    p.columns["mto_renta"] += Money::value(text::trim(r.text(2)));
  }
}

// Names from the declarant's registry (by document, preferring the row of the category).
void Reader::readNames() {
  std::map<std::string, std::string> names;
  for (const auto& r : db.rows("SELECT cod_cat_tra, tip_doc_a, TRIM(doc_id_a), apellido_p, apellido_m, nombre_1 "
                               "FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?",
                               {ref.ruc})) {
    std::string name = text::trim(text::trim(r.text(3)) + " " + text::trim(r.text(4))) + ", " + text::trim(r.text(5));
    names[keyOf(static_cast<int>(r.integer(0)), r.integer(1), r.text(2))] = name;
    names.emplace("|" + r.text(1) + "|" + r.text(2), name);
  }
  for (auto& [k, p] : persons) {
    if (!p.person.name.empty()) continue;
    auto it = names.find(k);
    if (it == names.end()) it = names.find("|" + std::to_string(p.person.tipDoc) + "|" + p.person.doc);
    if (it != names.end()) p.person.name = it->second;
  }
}

}  // namespace

StoredPersons readStoredPersons(data::Database& db, const DeclarationRef& ref) {
  Reader r(db, ref);
  r.readWorkers();
  r.readConcepts();
  r.readProviders();
  r.readThirdParties();
  r.readTrainees();
  r.readNames();
  return std::move(r.persons);
}

std::string columnCaption(const std::string& column) {
  for (const auto& [c, caption] : printouts::taxBaseColumns())
    if (c == column) return caption;
  for (const auto* list : {&summaryColumns(), &ownColumns()})
    for (const auto& [c, caption] : *list)
      if (c == column) return caption;
  return column;
}

int columnOrder(const std::string& column) {
  int i = 0;
  for (const auto* list : {&summaryColumns(), &printouts::taxBaseColumns(), &ownColumns()})
    for (const auto& [c, caption] : *list) {
      if (c == column) return i;
      ++i;
    }
  return i;
}

std::vector<std::string> boxesOfColumn(const std::string& column) {
  static const std::map<std::string, std::vector<std::string>> boxes = {
      {"base_ies", {"450"}},           {"tributo_ies", {"410"}},    {"base_pens", {"451"}},
      {"tributo_pens", {"411"}},       {"seg_reg_base", {"452"}},   {"seg_reg_tributo", {"412"}},
      {"base_fdsa", {"453"}},          {"tributo_fdsa", {"413"}},   {"essalud_vida", {"414"}},
      {"base_quinta", {"455"}},        {"tributo_quinta", {"415"}}, {"base_agrario", {"456"}},
      {"tributo_agrario", {"416"}},    {"base_20530", {"457"}},     {"trib_20530", {"417"}},
      {"base_cbssp", {"458"}},         {"trib_cbssp", {"418"}},     {"seg_regret_base", {"459"}},
      {"seg_regret_tributo", {"419"}}, {"sctr_base", {"460"}},      {"sctr_tributo", {"420"}},
      {"rem_sctrs", {"460"}},          {"sctrs", {"420"}},          {"base_4ta", {"461", "320"}},
      {"trib_4ta", {"421", "321"}},    {"aseg_tu_pens", {"422"}},   {"rem_FCJMMS", {"590"}},
      {"aporte_FCJMMS", {"591"}},      {"rem_FracFCJMMS", {"530"}}, {"aporte_FrFCJMMS", {"531"}},
      {"Tot_Ingresos", {"748"}},
  };
  auto it = boxes.find(column);
  return it == boxes.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace korventa::analysis
