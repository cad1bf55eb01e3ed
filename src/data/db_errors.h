#pragma once
// How database failures reach the user, and the small lookups of the access layer.
#include <string>
#include <string_view>

#include "common/messenger.h"
#include "data/database.h"

namespace korventa::data {

// Text of the record-level message for a failure (locked, duplicate, a file that cannot be
// written, … or the technical text).
std::string recordErrorText(const DbError& e);
// Shows that message titled "Mensaje" with the information icon.
void MensajeErrorBD(Messenger& m, const DbError& e);

// Message of a failed open: " 5- Base esta bloqueda" for a locked file, the file named for a file
// that is not ours, else the engine's text, a line feed and its number. Title "Error de Conexión".
std::string connectionErrorText(const DbError& e);

// Runs one action statement; a failure shows "Error Número : …" titled
// "Error al Ejecutar Sentencia SQL" and the caller goes on. Returns whether it ran.
bool EjecutarSQL(Database& db, Messenger& m, std::string_view sql, const Params& params = {});

// Type of a user: CLAVES.tipo of that user; "1" (restricted) when there is no row.
std::string TipoUsuario(Database& db, std::string_view user);
// Text of a coded message of table ERROR: the code with four digits; "" when unknown.
std::string DescripcionError(Database& db, int code);

}  // namespace korventa::data
