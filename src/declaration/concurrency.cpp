#include "declaration/concurrency.h"

#include <sqlite3.h>

#include "data/conflict_error.h"

namespace korventa::declaration {

void claimOpened(Session& s, model::OpenDeclaration& d) {
  std::string why = data::changedSince(s, d.ruc, d.periodo, d.stored, d.version);
  if (!why.empty()) throw data::ConflictError(SQLITE_ABORT, why);
  d.version = data::claimDeclaration(s.database(), d.ruc, d.periodo, data::sessionId(s));
}

bool markedSince(data::Database& db, const model::OpenDeclaration& d) {
  return d.registryMark >= 0 && data::registryMark(db, d.ruc) != d.registryMark;
}

}  // namespace korventa::declaration
