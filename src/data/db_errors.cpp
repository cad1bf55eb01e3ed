#include "data/db_errors.h"

#include <sqlite3.h>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/conflict_error.h"

namespace korventa::data {

std::string recordErrorText(const DbError& e) {
  if (dynamic_cast<const NotOurDatabase*>(&e)) return e.what();
  if (dynamic_cast<const ConflictError*>(&e)) return e.what();  // already says who got there first
  if (e.isBusy()) return "Registro bloqueado. Intente luego";
  // A file (or its folder) that this user may not write: nothing is locked, it cannot be written.
  if (e.code() == SQLITE_READONLY) return "No se puede grabar en la base de datos: el archivo es de solo lectura.";
  if (e.isDuplicate()) return "Registro ya existe lo ingresaron en ese momento";
  if (e.code() == SQLITE_NOTFOUND) return "Registro ha sido modificado o eliminado por otro usuario";
  // The number is written as the platform writes numbers: with a leading blank.
  return "Error tecnico:  " + std::to_string(e.code()) + "\n" + e.what() + "\nIntente nuevamente por favor.";
}

void MensajeErrorBD(Messenger& m, const DbError& e) {
  m.show(recordErrorText(e), "Mensaje", MsgIcon::Information);
}

std::string connectionErrorText(const DbError& e) {
  if (dynamic_cast<const NotOurDatabase*>(&e)) return e.what();
  if (e.isBusy()) return " " + std::to_string(e.code()) + "- Base esta bloqueda";
  return std::string(e.what()) + "\n" + std::to_string(e.code());
}

bool EjecutarSQL(Database& db, Messenger& m, std::string_view sql, const Params& params) {
  try {
    db.run(sql, params);
    return true;
  } catch (const DbError& e) {
    m.show("Error Número : " + std::to_string(e.code()) + "\n" + e.what(), "Error al Ejecutar Sentencia SQL",
           MsgIcon::Critical);
    return false;
  }
}

std::string TipoUsuario(Database& db, std::string_view user) {
  auto r = db.row("SELECT tipo FROM CLAVES WHERE Usuario = ?", {user});
  if (!r) return "1";
  return text::trim(r->text(0));
}

std::string DescripcionError(Database& db, int code) {
  return db.text("SELECT DescError FROM ERROR WHERE CodError = ?", {vbFormat(static_cast<long long>(code), "0000")});
}

}  // namespace korventa::data
