#include "declaration/recovery.h"

#include "common/dates.h"
#include "common/text.h"
#include "data/db_errors.h"
#include "data/declarants.h"
#include "declaration/copy_declaration.h"
#include "data/sessions.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"

namespace korventa::declaration {

bool ValidaPeriodo(Messenger& m, const std::string& text) {
  if (text.find('_') != std::string::npos || text.size() != 7) return true;
  std::string p = periodFromDisplay(text);
  std::string now = Clock::today().yyyymmdd().substr(0, 6);
  if (!isPeriod(p) || p < "199301" || p > now) {
    m.critical("El período no es válido.");
    return false;
  }
  return true;
}

RecoveryForm::RecoveryForm(Session& session, std::string ruc, std::string periodo, std::string correl)
    : s_(session), ruc_(std::move(ruc)), periodo_(std::move(periodo)), correl_(std::move(correl)) {
  nombre_ = data::declarantName(s_.database(), ruc_);
  auto key = sentKey(ruc_, periodo_, correl_);
  norden_ = text::trim(s_.database().text("SELECT norden FROM HCAB WHERE " + key.where, key.params));
}

bool RecoveryForm::recuperar() {
  auto& db = s_.database();
  auto& m = s_.msg();
  auto key = preparationKey(ruc_, periodo_);
  if (db.exists("SELECT 1 FROM CAB WHERE " + key.where, key.params)) {
    m.critical("Ya existe una declaración para este período. Primero debe eliminar la declaración.");
    return false;
  }
  auto hkey = sentKey(ruc_, periodo_, correl_);
  try {
    data::Transaction tx(db);
    data::claimDeclaration(db, ruc_, periodo_, data::sessionId(s_));
    auto h = db.row("SELECT Semana, bcolibrad, nrocheque, efectivo, cheque, rectifica FROM HCAB WHERE " + hkey.where,
                    hkey.params);
    if (!h) throw data::DbError(12, 12, "No existe la declaración enviada");  // SQLITE_NOTFOUND
    for (const auto& t : recoveredTables()) {
      db.run("DELETE FROM " + std::string(t.name) + " WHERE " + key.where, key.params);
      // The history's sequence is not part of a declaration in preparation (F600INFEPS keeps it empty).
      copyRows(db, "H" + std::string(t.name), t.name, t.n, {{"Correl", data::Value(std::string())}},
               hkey.where + copyOrder(t.name), hkey.params);
    }
    GrabaCab(db, {ruc_, periodo_, h->text("Semana"), h->text("bcolibrad"), h->text("nrocheque"), h->text("efectivo"),
                  h->text("cheque"), h->text("rectifica")});
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(m, e);
    return false;
  }
  m.warning("Se termino de recuperar la información satisfactoriamente.");
  return true;
}

}  // namespace korventa::declaration
