#include "reference/tax_affectation.h"

#include "common/text.h"
#include "data/db_errors.h"
#include "data/numero_control.h"
#include "declaration/refresh_marker.h"
#include "reference/declarant_concepts.h"

namespace korventa::reference {

namespace {
// CON_ADIC: tip_doc_d, doc_id_d and cod_concepto add their value into the control number.
constexpr int kConAdicNumericFields = 3;
}  // namespace

const std::array<const char*, kAffectationPositions>& affectationLabels() {
  static const std::array<const char*, kAffectationPositions> labels{
      "ESSALUD SEGURO REGULAR TRABAJADOR",
      "ESSALUD CBSSP SEGURO TRAB/PESQ",
      "ESSALUD SEGURO AGRARIO ACUICULTOR",
      "ESSALUD SCTR",
      "IMPUESTO EXTRAORD. SOLIDARIDAD",
      "FONDO DERECHOS SOCIALES ARTISTA",
      "SENATI",
      "SISTEMA NACIONAL PENSIONES 19990",
      "SISTEMA PRIVADO DE PENSIONES",
      "RENTA 5TA CATEGORÍA RETENCIONES",
      "ESSALUD SEGURO REGULAR PENSIONISTA",
      "CONTRIB. SOLIDARIA ASISTENCIA PREVISIONAL",
      "APORTE AL FCJMMS",
  };
  return labels;
}

bool isAffectationString(std::string_view s) {
  if (s.size() != kAffectationPositions) return false;
  for (char c : s)
    if (c != '0' && c != '1') return false;
  return true;
}

std::optional<std::string> storedAffectation(data::Database& db, std::string_view ruc, std::string_view codigo) {
  auto r =
      db.row("SELECT afectacion FROM TRIBUT_AFECTA WHERE tip_doc_d = 6 AND doc_id_d = ? AND codigo = ?", {ruc, codigo});
  if (!r) return std::nullopt;
  return text::trim(r->text(0));
}

void writeConAdic(data::Database& db, std::string_view ruc, std::string_view codigo, std::string_view afectacion) {
  std::string control = data::NumeroControlTexts(
      {"6", std::string(ruc), std::string(codigo), std::string(afectacion), ""}, kConAdicNumericFields);
  db.run(
      "INSERT INTO CON_ADIC (tip_doc_d, doc_id_d, cod_concepto, des_concepto, cNumero) VALUES (6, ?, ?, ?, ?) "
      "ON CONFLICT (tip_doc_d, doc_id_d, cod_concepto) DO UPDATE SET des_concepto = excluded.des_concepto, "
      "cNumero = excluded.cNumero",
      {ruc, codigo, afectacion, control});
}

bool TaxAffectation::load(const std::string& ruc, const std::string& codigo) {
  auto& db = s_.database();
  ruc_.clear();
  codigo_.clear();
  descripcion_.clear();
  original_ = kNoAffectation;
  flags_.fill(false);
  try {
    if (!db.exists("SELECT 1 FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc})) {
      s_.msg().critical("El declarante " + ruc + " no está registrado");
      return false;
    }
    auto cat = db.row("SELECT Descripc FROM CONCEPTOS_REM WHERE Codigo = ?", {codigo});
    if (!isOwnConcept(codigo) || !cat) {
      s_.msg().critical("La afectación solo se registra para los conceptos propios del declarante (1001 a 1999)");
      return false;
    }
    std::string own = text::trim(
        db.text("SELECT desc_concepto FROM conceptos_remu WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_concepto = ?",
                {ruc, codigo}));
    descripcion_ = own.empty() ? text::trim(cat->text(0)) : own;
    if (auto stored = storedAffectation(db, ruc, codigo)) original_ = *stored;
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  // A short or odd stored string reads its missing or unknown positions as "NO".
  for (int i = 0; i < kAffectationPositions; ++i)
    flags_[i] = i < static_cast<int>(original_.size()) && original_[i] == '1';
  ruc_ = ruc;
  codigo_ = codigo;
  return true;
}

bool TaxAffectation::set(std::string_view afectacion) {
  if (!isAffectationString(afectacion)) {
    s_.msg().critical("La afectación debe tener 13 posiciones, cada una 1 ó 0");
    return false;
  }
  for (int i = 0; i < kAffectationPositions; ++i) flags_[i] = afectacion[i] == '1';
  return true;
}

std::string TaxAffectation::afectacion() const {
  std::string s;
  for (bool f : flags_) s += f ? '1' : '0';
  return s;
}

bool TaxAffectation::accept() {
  if (!loaded()) return false;
  auto& db = s_.database();
  std::string value = afectacion();
  bool changed = false;
  try {
    data::Transaction tx(db);
    // A concept without a row is affected to nothing, so writing all "NO" for it changes nothing.
    std::string before = storedAffectation(db, ruc_, codigo_).value_or(kNoAffectation);
    db.run(
        "INSERT INTO TRIBUT_AFECTA (tip_doc_d, doc_id_d, codigo, afectacion) VALUES (6, ?, ?, ?) "
        "ON CONFLICT (tip_doc_d, doc_id_d, codigo) DO UPDATE SET afectacion = excluded.afectacion",
        {ruc_, codigo_, value});
    changed = before != value;
    if (changed) declaration::InsertaIndicadorRefrescar(db, ruc_);
    writeConAdic(db, ruc_, codigo_, value);
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  lastMarked_ = changed;
  original_ = value;
  return true;
}

}  // namespace korventa::reference
