#include "declaration/copy_declaration.h"

#include "common/dates.h"
#include "common/text.h"
#include "data/db_errors.h"
#include "data/declarants.h"
#include "data/sessions.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"

namespace korventa::declaration {

void GrabaCab(data::Database& db, const CabData& c) {
  db.run(
      "INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, Semana, fec_pro, bcolibrad, nrocheque, efectivo, "
      "cheque, rectifica, estado, ind_ref) VALUES (6, ?, ?, '0601', ?, ?, ?, ?, ?, ?, ?, 9, 1)",
      {c.ruc, c.periodo, c.semana, Clock::today().dmy(), c.bcolibrad, c.nrocheque, c.efectivo, c.cheque, c.rectifica});
  auto key = preparationKey(c.ruc, c.periodo);
  recomputeControl(db, "CAB", 5, key.where, key.params);
}

CopyDeclarationForm::CopyDeclarationForm(Session& session, std::string ruc, std::string periodo)
    : s_(session), ruc_(std::move(ruc)), periodo_(std::move(periodo)) {
  nombre_ = data::declarantName(s_.database(), ruc_);
}

bool CopyDeclarationForm::copiar(const std::string& targetText) {
  focus.clear();
  auto& m = s_.msg();
  // An incomplete field is reported first: compared as a period it would pass for a late one.
  if (targetText.find('_') != std::string::npos || targetText.size() != 7) {
    m.critical("Debe ingresar periodo a copiar.");
    focus = "MkePeriodo";
    return false;
  }
  std::string target = periodFromDisplay(targetText);
  if (!isPeriod(target)) {
    m.critical("El período no es válido.");
    focus = "MkePeriodo";
    return false;
  }
  if (target >= "201301") {
    m.critical(
        "Este ZEL solo puede ser utilizado hasta el período 12/2012, para períodos posteriores utilice el ZEL "
        "VARNO");
    focus = "MkePeriodo";
    return false;
  }
  if (periodo_ > target) {
    m.critical("Debe ingresar un periodo posterior a " + periodToDisplay(periodo_));
    focus = "MkePeriodo";
    return false;
  }
  auto& db = s_.database();
  auto targetKey = preparationKey(ruc_, target);
  if (db.exists("SELECT 1 FROM CAB WHERE " + targetKey.where, targetKey.params)) {
    m.critical("Ya existe una declaración para este período. Primero debe eliminar la declaración.");
    focus = "MkePeriodo";
    return false;
  }
  auto sourceKey = preparationKey(ruc_, periodo_);
  try {
    data::Transaction tx(db);
    data::claimDeclaration(db, ruc_, target, data::sessionId(s_));
    auto src = db.row("SELECT bcolibrad, nrocheque, efectivo, cheque, rectifica FROM CAB WHERE " + sourceKey.where,
                      sourceKey.params);
    if (!src) throw data::DbError(12, 12, "No existe la declaración de origen");  // SQLITE_NOTFOUND
    for (const auto& t : copiedTables()) {
      db.run("DELETE FROM " + std::string(t.name) + " WHERE " + targetKey.where, targetKey.params);
      copyRows(db, t.name, t.name, t.n, {{"periodo", data::Value(target)}}, sourceKey.where + copyOrder(t.name),
               sourceKey.params);
    }
    GrabaCab(db, {ruc_, target, "", src->text("bcolibrad"), src->text("nrocheque"), src->text("efectivo"),
                  src->text("cheque"), src->text("rectifica")});
    // The copy starts a new month: workers without days keep none, the others the whole month.
    db.run("UPDATE F601_TRAB SET dias_lab = '', dias_no_lab = '', dias_sub = '' WHERE " + targetKey.where +
               " AND TRIM(Tipo) IN ('24', '26', '98', '66', '88')",
           targetKey.params);
    data::Params p{DiasDelMes(periodMonth(target), periodYear(target))};
    for (const auto& v : targetKey.params.values()) p.add(v);
    db.run("UPDATE F601_TRAB SET dias_lab = ?, dias_no_lab = '', dias_sub = '' WHERE " + targetKey.where +
               " AND TRIM(COALESCE(Tipo, '')) NOT IN ('24', '26', '98', '66', '88')",
           p);
    recomputeControl(db, "F601_TRAB", 6, targetKey.where, targetKey.params);
    db.run("DELETE FROM DET WHERE " + targetKey.where + " AND Casilla IN ('602', '612', '408', '428')",
           targetKey.params);
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(m, e);
    return false;
  }
  m.warning(
      "Se terminó de copiar la información satisfactoriamente. Deberá ingresar a la declaración y usar la "
      "opción refrescar");
  return true;
}

}  // namespace korventa::declaration
