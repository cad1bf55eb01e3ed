#include "declaration/catalogue.h"
#include "declaration/sent_declaration_chooser_form.h"
#include "declaration/declaration_chooser_form.h"

#include "common/dates.h"
#include "common/text.h"
#include "data/conflict_error.h"
#include "data/db_errors.h"
#include "data/sessions.h"
#include "declaration/tables.h"

namespace korventa::declaration {
namespace {

const char* kNombre =
    "COALESCE(NULLIF(TRIM(B.Nombre), ''), TRIM(TRIM(COALESCE(B.APELLIDO_P, '')) || ' ' || "
    "TRIM(COALESCE(B.APELLIDO_M, ''))) || CASE WHEN TRIM(COALESCE(B.NOMBRE_1, '')) <> '' THEN ', ' || "
    "TRIM(B.NOMBRE_1) ELSE '' END)";

// User restriction of the lists: a user whose type is not "0" sees only his declarants.
std::string userFilter(Session& s, data::Params& p) {
  if (data::TipoUsuario(s.database(), s.user) == "0") return {};
  p.add(s.user);
  return " AND B.Usuario = ?";
}

CatalogueRow rowOf(const data::Row& r, bool sent) {
  CatalogueRow c;
  c.ruc = text::trim(r.text("doc_id_d"));
  c.nombre = r.text("nombre");
  c.periodo = text::trim(r.text("periodo"));
  c.formulario = r.text("Formulario");
  c.rectifica = r.text("rectifica");
  if (r.has("estado")) c.estado = r.text("estado");
  if (sent) {
    c.correl = text::trim(r.text("correl"));
    if (r.has("norden")) c.norden = r.text("norden");
    if (r.has("fec_env")) c.fecEnv = r.text("fec_env");
    if (r.has("control")) c.control = r.text("control");
  }
  return c;
}

}  // namespace

std::string CatalogueRow::periodoMMYYYY() const {
  return periodo.size() == 6 ? periodo.substr(4, 2) + periodo.substr(0, 4) : periodo;
}

DeclarationChooserForm::DeclarationChooserForm(Session& session, Mode mode, bool sent)
    : s_(session), mode_(mode), sent_(sent) {}

ChooserTexts DeclarationChooserForm::texts() const {
  switch (mode_) {
    case Mode::Delete:
      return {"Eliminar Declaraciones", "Seleccione la declaración que desea eliminar :", "&Eliminar"};
    case Mode::Copy:
      return {"Copiar Declaraciones", "Seleccione la declaración que desea copiar :", "&Copiar"};
    default:
      return {"Modificar Declaraciones", "Seleccione la declaración que desea modificar :", "&Modificar"};
  }
}

std::vector<std::string> DeclarationChooserForm::columns() const {
  std::vector<std::string> c = {"DOC_ID_D", "NOMBRE", "PERIODO", "FORMULARIO", "ESTADO", "RECTIFICA"};
  // A sent declaration is one of possibly several sendings of its period: its sequence tells them apart.
  if (sent_) c.push_back("CORREL");
  return c;
}

std::vector<std::string> DeclarationChooserForm::cells(const CatalogueRow& r) const {
  std::vector<std::string> c = {r.ruc, r.nombre, r.periodoMMYYYY(), r.formulario, r.estado, r.rectifica};
  if (sent_) c.push_back(r.correl);
  return c;
}

const std::vector<CatalogueRow>& DeclarationChooserForm::requery() {
  data::Params p;
  std::string sql = std::string("SELECT A.doc_id_d, ") + kNombre +
                    " AS nombre, A.periodo, A.Formulario, A.estado, "
                    "A.rectifica" +
                    (sent_ ? ", A.correl" : "") + " FROM " + (sent_ ? "HCAB" : "CAB") +
                    " A JOIN CONTRVKRS B ON B.doc_id_d = A.doc_id_d AND B.tip_doc_d = 6 "
                    "WHERE A.tip_doc_d = 6 AND A.Formulario = '0601'";
  sql += userFilter(s_, p);
  sql += " ORDER BY " + order_;
  if (sent_) sql += ", CAST(A.correl AS INTEGER) DESC";
  rows_.clear();
  for (const auto& r : s_.database().rows(sql, p)) rows_.push_back(rowOf(r, sent_));
  return rows_;
}

void DeclarationChooserForm::sortByColumn(int column) {
  if (column == 0)
    order_ = "A.doc_id_d ASC, A.periodo DESC";
  else if (column == 1)
    order_ = "nombre ASC, A.periodo DESC";
  else
    return;
  requery();
}

bool DeclarationChooserForm::eliminar(int row) {
  if (mode_ != Mode::Delete || rows_.empty() || row < 0 || row >= static_cast<int>(rows_.size())) return false;
  if (s_.msg().ask("¿Confirma que va a eliminar la declaración seleccionada?", "Confirmar", MsgButtons::YesNo,
                   Answer::No) != Answer::Yes)
    return false;
  const auto& r = rows_[static_cast<std::size_t>(row)];
  bool ok = deleteDeclaration(s_, r.ruc, r.periodo, sent_ ? r.correl : "");
  requery();
  return ok;
}

SentDeclarationChooserForm::SentDeclarationChooserForm(Session& session, Mode mode) : s_(session), mode_(mode) {}

ChooserTexts SentDeclarationChooserForm::texts() const {
  if (mode_ == Mode::Recover)
    return {"Recuperación de Declaraciones Enviadas", "Seleccione la Declaración que desea recuperar :", "&Recuperar"};
  return {"Registrar número de orden",
          "Seleccione la Declaración en la que desea registrar el número de orden asignado por ZUMAR :", "&Registrar"};
}

std::vector<std::string> SentDeclarationChooserForm::columns() const {
  return {"DOC_ID_D", "NOMBRE", "PERIODO", "FORMULARIO", "NORDEN", "FEC_ENV", "CONTROL", "CORREL", "RECTIFICA"};
}

std::vector<std::string> SentDeclarationChooserForm::cells(const CatalogueRow& r) const {
  return {r.ruc, r.nombre, r.periodoMMYYYY(), r.formulario, r.norden, r.fecEnv, r.control, r.correl, r.rectifica};
}

const std::vector<CatalogueRow>& SentDeclarationChooserForm::requery() {
  data::Params p;
  std::string sql = std::string("SELECT A.doc_id_d, ") + kNombre +
                    " AS nombre, A.periodo, A.Formulario, A.norden, A.fec_env, A.control, A.correl, A.rectifica, "
                    "A.estado FROM HCAB A JOIN CONTRVKRS B ON B.doc_id_d = A.doc_id_d AND B.tip_doc_d = 6 "
                    "WHERE A.tip_doc_d = 6 AND A.Formulario = '0601'";
  sql += userFilter(s_, p);
  // Sending dates are dd/mm/yyyy texts: they are ordered as yyyymmdd.
  sql +=
      " ORDER BY A.doc_id_d ASC, A.periodo DESC, substr(A.fec_env, 7, 4) || substr(A.fec_env, 4, 2) || "
      "substr(A.fec_env, 1, 2) DESC, CAST(A.correl AS INTEGER) DESC";
  rows_.clear();
  for (const auto& r : s_.database().rows(sql, p)) rows_.push_back(rowOf(r, true));
  return rows_;
}

bool deleteDeclaration(Session& s, const std::string& ruc, const std::string& periodo, const std::string& correl) {
  auto& db = s.database();
  bool sent = !correl.empty();
  KeyClause key = sent ? sentKey(ruc, periodo, correl) : preparationKey(ruc, periodo);
  std::string h = sent ? "H" : "";
  try {
    data::Transaction tx(db);
    if (!sent) {
      data::claimDeclaration(db, ruc, periodo, data::sessionId(s));
      data::dropSaveStamp(db, ruc, periodo);  // its recorded outcome goes with it
    }
    for (const auto& t : deletedTables()) db.run("DELETE FROM " + h + t.name + " WHERE " + key.where, key.params);
    db.run("DELETE FROM " + h + "DET WHERE " + key.where, key.params);
    db.run("DELETE FROM " + h + "CAB WHERE " + key.where, key.params);
    tx.commit();
  } catch (const data::ConflictError& e) {
    data::MensajeErrorBD(s.msg(), e);
    return false;
  } catch (const data::DbError& e) {
    s.msg().show(std::string(e.what()) + "\n" + std::to_string(e.code()), "Error", MsgIcon::Critical);
    return false;
  }
  return true;
}

}  // namespace korventa::declaration
