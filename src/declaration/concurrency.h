#pragma once
// The open declaration against the other sessions on the file (data/sessions.h): its writes go
// through only while the stored declaration is still the one it opened.
#include "data/session.h"
#include "data/sessions.h"
#include "model/open_declaration.h"

namespace korventa::declaration {

// Inside the write transaction of the session that opened `d`, before it replaces stored rows:
// the declaration must still exist (or still not exist, for a new one), have the version read
// when it was opened and not be held by another session. Raises the version and keeps the new
// one in `d`. Throws data::ConflictError otherwise.
void claimOpened(Session& s, model::OpenDeclaration& d);
// Whether the registry was marked after the working set of `d` was built from it.
bool markedSince(data::Database& db, const model::OpenDeclaration& d);

}  // namespace korventa::declaration
