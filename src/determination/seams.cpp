// The computation entry points of the declaration's life: after every load, refresh and import,
// from the save, and for one person after a detail form closed.
#include "determination/seams.h"

#include "data/database.h"
#include "determination/working_set.h"

namespace korventa::determination {

void recomputeAll(Session& session, const declaration::OpenDeclaration& decl) {
  auto& db = session.database();
  data::Transaction tx(db);
  Computation computation(db, decl);
  auto persons = loadPersons(db, decl.ruc);
  for (auto& p : persons) computation.compute(p);
  storePersons(db, persons);
  tx.commit();
}

void recomputePerson(Session& session, const declaration::OpenDeclaration& decl, const PersonKey& person) {
  auto& db = session.database();
  data::Transaction tx(db);
  Computation computation(db, decl);
  auto persons = loadPersons(db, decl.ruc, person);
  for (auto& p : persons) computation.compute(p);
  storePersons(db, persons);
  tx.commit();
}

}  // namespace korventa::determination
