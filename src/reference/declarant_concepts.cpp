#include "reference/declarant_concepts.h"

#include <algorithm>
#include <map>

#include "common/text.h"
#include "data/db_errors.h"
#include "declaration/refresh_marker.h"
#include "reference/tax_affectation.h"

namespace korventa::reference {

namespace {

constexpr const char* kOwnRange = "CAST(Codigo AS INTEGER) > 1000 AND CAST(Codigo AS INTEGER) < 2000";
constexpr const char* kNotHeading = "substr(Codigo, 3, 2) <> '00'";

bool isSelectedMark(const std::string& indica) {
  std::string t = text::trim(indica);
  return t == "1" || t == "-1";
}

// What the declarant's declarations were computed from: the concepts used and the own
// concepts' affectations.
struct Selection {
  std::map<std::string, std::string> afec, adic;
  bool operator==(const Selection&) const = default;
};

Selection readSelection(data::Database& db, const std::string& ruc) {
  Selection s;
  for (const auto& r :
       db.rows("SELECT cod_concepto, ind_origen FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc}))
    s.afec[text::trim(r.text(0))] = text::trim(r.text(1));
  for (const auto& r :
       db.rows("SELECT cod_concepto, des_concepto FROM CON_ADIC WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc}))
    s.adic[text::trim(r.text(0))] = text::trim(r.text(1));
  return s;
}

// A code as typed ("121") in the catalogue's four-digit form ("0121").
std::string normalizedCode(const std::string& code) {
  std::string t = text::trim(code);
  return text::isDigits(t) && t.size() < 4 ? text::padLeft(t, 4, '0') : t;
}

}  // namespace

bool isOwnConcept(std::string_view codigo) {
  std::string t = text::trim(codigo);
  if (!text::isDigits(t) || t.size() > 6) return false;
  int v = std::stoi(t);
  return v > 1000 && v < 2000;
}

DeclarantConcepts::DeclarantConcepts(Session& session) : s_(session) {
  try {
    declarants_ = data::LlenaDeclarantesRuc(s_.database(), s_.user);
    for (const auto& r : data::ListaConceptos(s_.database()))
      groups_.push_back({text::trim(r.text("Codigo")), text::trim(r.text("Descripc"))});
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
  }
}

bool DeclarantConcepts::chooseDeclarant(const std::string& ruc) {
  ruc_.clear();
  name_.clear();
  group_.clear();
  usesDefaults_ = false;
  auto it = std::find_if(declarants_.begin(), declarants_.end(),
                         [&](const data::DeclarantItem& d) { return d.doc_id_d == text::trim(ruc); });
  if (it == declarants_.end()) {
    s_.msg().critical("El declarante " + ruc + " no está registrado o no corresponde al usuario");
    return false;
  }
  auto& db = s_.database();
  const std::string& doc = it->doc_id_d;
  try {
    data::Transaction tx(db);
    std::string regimen = data::IndicadorDeclarante(db, doc, "Ind_RegimenLab");
    bool publica = data::IndicadorDeclarante(db, doc, "ind_adm_publica") == "1";
    bool restricted = publica && regimen == "1";  // a public administration under the private regime

    // Under the private regime the public-sector income concepts are not used (a public
    // administration keeps its administrative service contracts, 2039).
    if (regimen == "1")
      db.run(std::string(
                 "DELETE FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ? AND CAST(cod_concepto AS INTEGER) > 2000") +
                 (publica ? " AND CAST(cod_concepto AS INTEGER) <> 2039" : ""),
             {doc});

    db.run("DELETE FROM TMP_CONCEPTOS_REM");
    std::string copy =
        "INSERT INTO TMP_CONCEPTOS_REM (Codigo, Descripc, indica, ind_origen) "
        "SELECT Codigo, Descripc, indica, ind_origen FROM CONCEPTOS_REM";
    if (restricted) copy += " WHERE CAST(Codigo AS INTEGER) < 2000 OR CAST(Codigo AS INTEGER) = 2039";
    db.run(copy);

    // Whether a selection was saved is decided before the regime's own concept is ensured, so
    // that a new declarant of any regime starts from the catalogue's defaults.
    bool saved = db.exists("SELECT 1 FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {doc});
    if (regimen == "1") {
      db.run("UPDATE TMP_CONCEPTOS_REM SET indica = '1' WHERE CAST(Codigo AS INTEGER) IN (406, 407, 312, 313)");
    } else if (regimen == "2") {
      data::AseguraConcepto(db, doc, "2041");
      db.run("UPDATE TMP_CONCEPTOS_REM SET indica = '1' WHERE CAST(Codigo AS INTEGER) = 2041");
    }
    if (saved)
      db.run(
          "UPDATE TMP_CONCEPTOS_REM SET indica = CASE WHEN EXISTS (SELECT 1 FROM CON_AFEC a WHERE a.tip_doc_d = 6 "
          "AND a.doc_id_d = ? AND trim(a.cod_concepto) = TMP_CONCEPTOS_REM.Codigo) THEN '1' ELSE '0' END",
          {doc});
    // Own concepts show the declarant's own descriptions.
    db.run(std::string("UPDATE TMP_CONCEPTOS_REM SET Descripc = (SELECT trim(r.desc_concepto) FROM conceptos_remu r "
                       "WHERE r.tip_doc_d = 6 AND r.doc_id_d = ?1 AND r.cod_concepto = TMP_CONCEPTOS_REM.Codigo) "
                       "WHERE ") +
               kOwnRange +
               " AND EXISTS (SELECT 1 FROM conceptos_remu r WHERE r.tip_doc_d = 6 AND r.doc_id_d = ?1 AND "
               "r.cod_concepto = TMP_CONCEPTOS_REM.Codigo AND trim(ifnull(r.desc_concepto, '')) <> '')",
           {doc});
    tx.commit();
    usesDefaults_ = !saved;
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  ruc_ = doc;
  name_ = it->name;
  return true;
}

bool DeclarantConcepts::chooseGroup(const std::string& group) {
  std::string g = text::trim(group);
  if (g.empty() || !hasDeclarant()) {
    group_.clear();
    return g.empty();
  }
  if (std::none_of(groups_.begin(), groups_.end(), [&](const ConceptGroup& x) { return x.codigo == g; })) return false;
  group_ = g;
  return true;
}

namespace {

// Rows of a group: own concepts and public-sector income by value, the rest by their first two
// digits, headings left out.
std::string groupCondition(const std::string& group, data::Params& p) {
  int value = text::isDigits(group) ? std::stoi(group) : -1;
  if (value == 1000) return kOwnRange;
  if (value == 2000) return "CAST(Codigo AS INTEGER) > 2000";
  p.add(text::isDigits(text::left(group, 2)) ? std::stoi(text::left(group, 2)) : -1);
  return std::string("CAST(substr(Codigo, 1, 2) AS INTEGER) = ? AND ") + kNotHeading;
}

}  // namespace

std::vector<ConceptItem> DeclarantConcepts::query(const std::string& where, const data::Params& params) {
  std::vector<ConceptItem> out;
  for (const auto& r : s_.database().rows(
           "SELECT Codigo, Descripc, indica, ind_origen FROM TMP_CONCEPTOS_REM WHERE " + where + " ORDER BY Codigo",
           params))
    out.push_back({text::trim(r.text(0)), text::trim(r.text(1)), text::trim(r.text(3)), isSelectedMark(r.text(2))});
  return out;
}

std::vector<ConceptItem> DeclarantConcepts::rows() {
  if (!hasDeclarant() || group_.empty()) return {};
  data::Params p;
  std::string where = groupCondition(group_, p);
  return query(where, p);
}

std::vector<ConceptItem> DeclarantConcepts::allRows() {
  if (!hasDeclarant()) return {};
  return query(kNotHeading, {});
}

bool DeclarantConcepts::setSelected(const std::string& codigo, bool selected) {
  if (!hasDeclarant()) return false;
  try {
    return s_.database().run(std::string("UPDATE TMP_CONCEPTOS_REM SET indica = ? WHERE Codigo = ? AND ") + kNotHeading,
                             {selected ? "1" : "0", normalizedCode(codigo)}) > 0;
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
}

bool DeclarantConcepts::setDescription(const std::string& codigo, const std::string& descripcion) {
  if (!hasDeclarant()) return false;
  std::string code = normalizedCode(codigo);
  if (!isOwnConcept(code)) {
    s_.msg().critical("Solo se puede cambiar la descripción de los conceptos propios (1001 a 1999)");
    return false;
  }
  std::string d = text::trim(descripcion);
  if (d.empty()) {
    s_.msg().critical(kEmptyDescription);
    return false;
  }
  try {
    return s_.database().run("UPDATE TMP_CONCEPTOS_REM SET Descripc = ? WHERE Codigo = ?", {d, code}) > 0;
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
}

void DeclarantConcepts::markGroup(bool selected) {
  if (!hasDeclarant() || group_.empty()) return;
  data::Params p{selected ? "1" : "0"};
  std::string where = groupCondition(group_, p);
  try {
    s_.database().run("UPDATE TMP_CONCEPTOS_REM SET indica = ? WHERE " + where, p);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
  }
}

bool DeclarantConcepts::replaceSelection(const std::vector<std::string>& codes) {
  if (!hasDeclarant()) return false;
  auto& db = s_.database();
  try {
    std::vector<std::string> normalized;
    for (const auto& c : codes) {
      std::string code = normalizedCode(c);
      if (code.empty()) continue;
      if (!db.exists(std::string("SELECT 1 FROM TMP_CONCEPTOS_REM WHERE Codigo = ? AND ") + kNotHeading, {code})) {
        s_.msg().critical("El concepto " + code + " no está disponible para el declarante");
        return false;
      }
      normalized.push_back(code);
    }
    data::Transaction tx(db);
    db.run("UPDATE TMP_CONCEPTOS_REM SET indica = '0'");
    for (const auto& code : normalized) db.run("UPDATE TMP_CONCEPTOS_REM SET indica = '1' WHERE Codigo = ?", {code});
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  return true;
}

bool DeclarantConcepts::save() {
  if (!hasDeclarant()) {
    s_.msg().critical("Debe seleccionar un Contribuyente.");
    return false;
  }
  auto& db = s_.database();
  bool changed = false;
  bool stillSaved = false;
  try {
    data::Transaction tx(db);
    Selection before = readSelection(db, ruc_);
    db.run("DELETE FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc_});
    db.run("DELETE FROM CON_ADIC WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc_});
    for (const auto& r : db.rows("SELECT Codigo, ind_origen FROM TMP_CONCEPTOS_REM WHERE trim(indica) IN ('1', '-1') "
                                 "ORDER BY Codigo")) {
      std::string code = text::trim(r.text(0));
      db.run(
          "INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) VALUES (6, ?, ?, ?) "
          "ON CONFLICT (tip_doc_d, doc_id_d, cod_concepto) DO UPDATE SET ind_origen = excluded.ind_origen",
          {ruc_, code, r.text(1)});
      if (isOwnConcept(code)) {
        std::string afectacion = storedAffectation(db, ruc_, code).value_or("");
        writeConAdic(db, ruc_, code, afectacion.empty() ? kNoAffectation : afectacion);
      }
    }
    // Descriptions typed for own concepts are the declarant's: kept in conceptos_remu, active
    // while the concept is selected.
    for (const auto& r : db.rows(std::string("SELECT t.Codigo, t.Descripc, t.indica, t.ind_origen, c.Descripc, "
                                             "(SELECT count(*) FROM conceptos_remu r WHERE r.tip_doc_d = 6 AND "
                                             "r.doc_id_d = ? AND r.cod_concepto = t.Codigo) FROM TMP_CONCEPTOS_REM t "
                                             "LEFT JOIN CONCEPTOS_REM c ON c.Codigo = t.Codigo WHERE ") +
                                     "CAST(t.Codigo AS INTEGER) > 1000 AND CAST(t.Codigo AS INTEGER) < 2000",
                                 {ruc_})) {
      bool selected = isSelectedMark(r.text(2));
      std::string desc = text::trim(r.text(1));
      if (!selected && r.integer(5) == 0 && desc == text::trim(r.text(4))) continue;
      db.run(
          "INSERT INTO conceptos_remu (tip_doc_d, doc_id_d, cod_concepto, desc_concepto, ind_activo, ind_origen) "
          "VALUES (6, ?, ?, ?, ?, ?) ON CONFLICT (tip_doc_d, doc_id_d, cod_concepto) DO UPDATE SET "
          "desc_concepto = excluded.desc_concepto, ind_activo = excluded.ind_activo, ind_origen = excluded.ind_origen",
          {ruc_, text::trim(r.text(0)), desc, selected ? 1 : 0, r.text(3)});
    }
    Selection after = readSelection(db, ruc_);
    changed = !(before == after);
    if (changed) declaration::InsertaIndicadorRefrescar(db, ruc_);
    stillSaved = !after.afec.empty();
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  lastSaveMarked_ = changed;
  usesDefaults_ = !stillSaved;
  s_.msg().info(kSaved);
  return true;
}

}  // namespace korventa::reference
