#pragma once
// A write refused because another session got there first: it holds the declaration open,
// changed it or deleted it after this session read it. The text is the whole message for the
// user, first line the engine-condition message it amounts to ("Registro bloqueado. Intente
// luego", "La data ha cambiado", "Registro ha sido eliminado por otro usuario").
#include <string>

#include "data/database.h"

namespace korventa::data {

class ConflictError : public DbError {
 public:
  // code: SQLITE_BUSY when another session holds it, SQLITE_ABORT when it changed or went away.
  ConflictError(int code, std::string message) : DbError(code, code, std::move(message)) {}
};

}  // namespace korventa::data
