#include "printouts/tax_base_consultation.h"
#include "printouts/individual_report_form.h"
#include "printouts/tax_base_consultation_form.h"

#include <array>
#include <map>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "data/database.h"

namespace korventa::printouts {
namespace {

std::string likePrefix(const std::string& prefix) {
  std::string like;
  for (char c : text::trim(prefix)) {
    if (c == '%' || c == '_' || c == '\\') like += '\\';
    like += c;
  }
  return like + "%";
}

const char* kValueColumns[] = {"base_20530",   "trib_20530",   "essalud_vida", "base_quinta",     "tributo_quinta",
                               "base_pens",    "tributo_pens", "tributo_spp",  "seg_regret_base", "seg_regret_tributo",
                               "aseg_tu_pens", "base_fdsa",    "tributo_fdsa", "seg_reg_base",    "seg_reg_tributo",
                               "base_cbssp",   "trib_cbssp",   "base_agrario", "tributo_agrario", "sctr_base",
                               "sctr_tributo", "trib_senati",  "base_ies",     "tributo_ies",     "base_4ta",
                               "trib_4ta",     "rem_sctrs",    "sctrs"};

struct Person {
  long long tip = 0, correl = 0, cat = 0;
  std::string doc, tipo;
  std::map<std::string, std::string> values;
};

// The persons of the search in the tables of the declaration.
struct Search {
  data::Database& db;
  const StoredDeclaration& decl;
  const PersonFilter& filter;
  KeyFilter key;
  std::string personWhere;

  Search(data::Database& database, const StoredDeclaration& d, const PersonFilter& f)
      : db(database), decl(d), filter(f), key(keyFilter(d.ref)) {
    personWhere = key.where + " AND tip_doc_a = ? AND doc_id_a LIKE ? ESCAPE '\\'";
  }
  data::Params params() const {
    data::Params p;
    for (const auto& v : key.params) p.add(v);
    p.add(filter.tipDoc);
    p.add(likePrefix(filter.prefix));
    return p;
  }

  void readWorkers(std::vector<Person>& persons) const;
  void readProviders(std::vector<Person>& persons) const;
  void readThirdParties(std::vector<Person>& persons) const;
};

// Workers and pensioners with the bases and contributions of their concept rows.
void Search::readWorkers(std::vector<Person>& persons) const {
  std::map<std::string, std::size_t> index;
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, Correl_a, cod_cat_tra, Tipo FROM " +
                                   tableFor(decl.ref, "F601_TRAB") + " WHERE " + personWhere,
                               params())) {
    Person p{r.integer(0), r.integer(2), r.integer(3), text::trim(r.text(1)), text::trim(r.text(4)), {}};
    index[std::to_string(p.tip) + "|" + p.doc + "|" + std::to_string(p.correl)] = persons.size();
    persons.push_back(std::move(p));
  }
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, correl_a, TRIM(cod_concep), base_calculo, monto FROM " +
                                   tableFor(decl.ref, "F601_REMUNERA") + " WHERE " + personWhere +
                                   " AND TRIM(cod_concep) IN ('0603', '0604', '0605', '0607', '0608', '0610', '0612', "
                                   "'0802', '0804', '0806', '0807', '0808') ORDER BY cod_concep",
                               params())) {
    auto it = index.find(r.text(0) + "|" + text::trim(r.text(1)) + "|" + r.text(2));
    if (it == index.end()) continue;
    Person& p = persons[it->second];
    auto [b, m] = taxBaseColumnsOf(r.text(3), p.tipo);
    if (b) p.values[b] = text::trim(r.text(4));
    if (m) p.values[m] = text::trim(r.text(5));
  }
}

// Fourth-category providers: one row per person with the sums of the receipts.
void Search::readProviders(std::vector<Person>& persons) const {
  std::map<std::string, Person> providers;
  std::map<std::string, std::pair<Money, Money>> sums;
  std::vector<std::string> order;
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, correl_a, mto_rec, mto_rta FROM " +
                                   tableFor(decl.ref, "F601RDDET") + " WHERE " + personWhere + " ORDER BY rowid",
                               params())) {
    std::string k = r.text(0) + "|" + text::trim(r.text(1));
    if (!providers.count(k)) {
      providers[k] = Person{r.integer(0), r.integer(2), 3, text::trim(r.text(1)), {}, {}};
      order.push_back(k);
    }
    sums[k].first += Money::value(r.text(3));
    sums[k].second += Money::value(r.text(4));
  }
  for (const auto& k : order) {
    Person p = providers[k];
    p.values["base_4ta"] = sums[k].first.toText(2);
    p.values["trib_4ta"] = sums[k].second.toText(2);
    persons.push_back(std::move(p));
  }
}

// Personnel of third parties with their SCTR.
void Search::readThirdParties(std::vector<Person>& persons) const {
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, correl_a, rem_sctrs, sctrs FROM " +
                                   tableFor(decl.ref, "F601_SCTR") + " WHERE " + personWhere,
                               params())) {
    Person p{r.integer(0), r.integer(2), 4, text::trim(r.text(1)), {}, {}};
    p.values["rem_sctrs"] = text::trim(r.text(3));
    p.values["sctrs"] = text::trim(r.text(4));
    persons.push_back(std::move(p));
  }
}

void insertTaxBases(data::Database& db, const StoredDeclaration& decl, const PersonFilter& filter,
                    const std::vector<Person>& persons) {
  std::string cols =
      "DOC_ID_D, nombre, periodo, CORREL, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, apellido_p, "
      "apellido_m, nombre_1, categoria";
  std::string marks = "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?";
  for (const char* c : kValueColumns) {
    cols += std::string(", ") + c;
    marks += ", ?";
  }
  std::string insert = "INSERT INTO TEMP_FCONBT (" + cols + ") VALUES (" + marks + ")";
  // Names of the declarant's persons, read once (by document, preferring the row of the category).
  std::map<std::string, std::array<std::string, 3>> names;
  for (const auto& r : db.rows("SELECT tip_doc_a, TRIM(doc_id_a), cod_cat_tra, apellido_p, apellido_m, nombre_1 FROM "
                               "ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ? AND tip_doc_a = ?",
                               {decl.ref.ruc, filter.tipDoc})) {
    std::array<std::string, 3> n{text::trim(r.text(3)), text::trim(r.text(4)), text::trim(r.text(5))};
    names.emplace(r.text(0) + "|" + r.text(1) + "|" + r.text(2), n);
    names.emplace(r.text(0) + "|" + r.text(1), n);
  }
  for (const auto& p : persons) {
    const std::array<std::string, 3>* name = nullptr;
    std::string k = std::to_string(p.tip) + "|" + p.doc;
    if (auto it = names.find(k + "|" + std::to_string(p.cat)); it != names.end())
      name = &it->second;
    else if (auto it2 = names.find(k); it2 != names.end())
      name = &it2->second;
    const char* caption = p.cat == 1   ? "Trabajador"
                          : p.cat == 2 ? "Pensionista"
                          : p.cat == 3 ? "P.S. 4ta. Categoria"
                                       : "Personal de Terceros";
    data::Params v{decl.ref.ruc,
                   decl.nombre,
                   decl.ref.periodo,
                   decl.ref.correl,
                   p.tip,
                   p.doc,
                   p.correl,
                   p.cat,
                   name ? (*name)[0] : std::string(),
                   name ? (*name)[1] : std::string(),
                   name ? (*name)[2] : std::string(),
                   std::string(caption)};
    for (const char* c : kValueColumns) {
      auto it = p.values.find(c);
      if (it == p.values.end())
        v.add(nullptr);
      else
        v.add(it->second);
    }
    db.run(insert, v);
  }
}

}  // namespace

int fillTaxBases(Session& session, const StoredDeclaration& decl, const PersonFilter& filter) {
  auto& db = session.database();
  data::Transaction tx(db);
  db.run("DELETE FROM TEMP_FCONBT");
  Search search(db, decl, filter);

  std::vector<Person> persons;
  search.readWorkers(persons);
  search.readProviders(persons);
  search.readThirdParties(persons);
  insertTaxBases(db, decl, filter, persons);
  tx.commit();
  return static_cast<int>(persons.size());
}

std::vector<data::Row> taxBaseRows(Session& session) {
  return session.database().rows("SELECT * FROM TEMP_FCONBT ORDER BY cod_cat_tra, tip_doc_a, doc_id_a");
}

const std::vector<std::pair<std::string, std::string>>& taxBaseColumns() {
  static const std::vector<std::pair<std::string, std::string>> c = {
      {"categoria", "Categoría"},
      {"tip_doc_a", "Tipo Doc."},
      {"doc_id_a", "Número Doc."},
      {"apellido_p", "Apellido Paterno"},
      {"apellido_m", "Apellido Materno"},
      {"nombre_1", "Nombres"},
      {"seg_reg_base", "B.I. EsSalud Seguro Regular"},
      {"seg_reg_tributo", "EsSalud Seguro Regular"},
      {"base_cbssp", "B.I. EsSalud CBSSP"},
      {"trib_cbssp", "EsSalud CBSSP"},
      {"base_agrario", "B.I. Seguro Agrario / Acuicultor"},
      {"tributo_agrario", "Seguro Agrario / Acuicultor"},
      {"seg_regret_base", "B.I. EsSalud Pensionistas"},
      {"seg_regret_tributo", "EsSalud Pensionistas"},
      {"sctr_base", "B.I. SCTR (ESSALUD)"},
      {"sctr_tributo", "SCTR (ESSALUD)"},
      {"base_pens", "B.I. ONP D.Ley 19990"},
      {"tributo_pens", "ONP D.Ley 19990"},
      {"base_quinta", "B.I. Renta 5ta."},
      {"tributo_quinta", "Renta 5ta. Retenciones"},
      {"base_ies", "B.I. I.E.S"},
      {"tributo_ies", "I.E.S"},
      {"base_20530", "B.I. COSAP"},
      {"trib_20530", "COSAP"},
      {"base_fdsa", "B.I. FDSA"},
      {"tributo_fdsa", "FDSA"},
      {"essalud_vida", "EsSalud +Vida"},
      {"aseg_tu_pens", "Asegura tu Pensión"},
      {"tributo_spp", "Aporte al SPP"},
      {"trib_senati", "SENATI"},
      {"base_4ta", "Renta 4ta. Monto"},
      {"trib_4ta", "Renta 4ta. Retención"},
      {"rem_sctrs", "B.I. SCTR Terceros"},
      {"sctrs", "SCTR Terceros"}};
  return c;
}

std::pair<const char*, const char*> taxBaseColumnsOf(const std::string& code, const std::string& tipo) {
  if (code == "0603") return {"base_20530", "trib_20530"};
  if (code == "0604") return {nullptr, "essalud_vida"};
  if (code == "0605") return {"base_quinta", "tributo_quinta"};
  if (code == "0607") return {"base_pens", "tributo_pens"};
  if (code == "0608") return {nullptr, "tributo_spp"};
  if (code == "0610") return {"seg_regret_base", "seg_regret_tributo"};
  if (code == "0612") return {nullptr, "aseg_tu_pens"};
  if (code == "0802") return {"base_fdsa", "tributo_fdsa"};
  if (code == "0804") {
    // The same classification as the computation: type 36 fishermen's fund, 64 and 65 agrarian.
    if (tipo == "36") return {"base_cbssp", "trib_cbssp"};
    if (tipo == "64" || tipo == "65") return {"base_agrario", "tributo_agrario"};
    return {"seg_reg_base", "seg_reg_tributo"};
  }
  if (code == "0806") return {"sctr_base", "sctr_tributo"};
  if (code == "0807") return {nullptr, "trib_senati"};
  if (code == "0808") return {"base_ies", "tributo_ies"};
  return {nullptr, nullptr};
}

PersonSearchForm::PersonSearchForm(Session& session, bool sent) : s_(session), sent_(sent) {}

const std::vector<declaration::CatalogueRow>& PersonSearchForm::requery() {
  rows_ = storedDeclarations(s_, sent_);
  return rows_;
}

std::vector<std::string> PersonSearchForm::columns() const {
  std::vector<std::string> c = {"RUC", "Razón Social", "Periodo"};
  if (sent_) c.push_back("Correl");
  return c;
}

std::vector<std::string> PersonSearchForm::cells(const declaration::CatalogueRow& r) const {
  std::vector<std::string> c = {r.ruc, r.nombre, periodToDisplay(r.periodo)};
  if (sent_) c.push_back(r.correl);
  return c;
}

std::optional<StoredDeclaration> PersonSearchForm::declarationAt(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  const auto& r = rows_[static_cast<std::size_t>(row)];
  return readDeclaration(s_, {r.ruc, r.periodo, sent_ ? r.correl : std::string()});
}

const std::vector<data::DocumentType>& PersonSearchForm::CargaComboTipoDocProp() {
  if (types_.empty()) types_ = data::ParamTable(s_.database()).documentTypes();
  return types_;
}

bool PersonSearchForm::numDocKeyAllowed(int tipDoc, const std::string& current, char32_t key) {
  for (const auto& t : CargaComboTipoDocProp()) {
    if (t.code != tipDoc) continue;
    if (t.length > 0 && static_cast<int>(text::length(current)) >= t.length) return false;
    if (t.numeric()) return key >= U'0' && key <= U'9';
    return (key >= U'0' && key <= U'9') || (key >= U'A' && key <= U'Z') || (key >= U'a' && key <= U'z') || key == U'-';
  }
  return key >= U'0' && key <= U'9';
}

int TaxBaseConsultationForm::cmdBuscar(int row, int tipDoc, const std::string& txtNumDoc) {
  auto d = declarationAt(row);
  if (!d) return 0;
  int n = fillTaxBases(s_, *d, {tipDoc, txtNumDoc});
  if (n == 0)
    s_.msg().show("No se ha encontrado información para el criterio de búsqueda ingresado", "Mensaje",
                  MsgIcon::Information);
  return n;
}

ExportResult IndividualReportForm::cmdAccion(int row, int tipDoc, const std::string& txtNumDoc, bool text,
                                             bool workbook, const std::filesystem::path& dir,
                                             const std::string& stamp) {
  if (!text && !workbook) {
    s_.msg().show("Debe seleccionar por lo menos un modo de salida para los reportes.", "Error", MsgIcon::Critical);
    return {};
  }
  auto d = declarationAt(row);
  if (!d) return {};
  ExportRequest req;
  req.formats = {25};
  req.text = text;
  req.workbook = workbook;
  req.dir = dir;
  req.stamp = stamp;
  req.filter = PersonFilter{tipDoc, txtNumDoc};
  auto result = generateReports(s_, *d, req);
  if (result.ok) showReportsDone(s_, result);
  return result;
}

}  // namespace korventa::printouts
