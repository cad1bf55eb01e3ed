#include "determination/declaration_computation.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "data/database.h"
#include "data/working_tables.h"
#include "determination/computation.h"
#include "model/person_data.h"

namespace korventa::determination {

namespace {

// A page cache large enough for the working tables of a big declaration while the batch
// rewrites them; the connection's own size is restored afterwards.
class LargeCache {
 public:
  explicit LargeCache(data::Database& db) : db_(db), previous_(db.integer("PRAGMA cache_size")) {
    db_.script("PRAGMA cache_size = -131072");  // 128 MiB
  }
  ~LargeCache() {
    try {
      db_.script("PRAGMA cache_size = " + std::to_string(previous_));
    } catch (...) {
    }
  }

 private:
  data::Database& db_;
  std::int64_t previous_;
};

constexpr std::size_t kBulkRows = 2000;

using Who = std::tuple<int, std::string, std::int64_t, int>;
Who who(const PersonKey& k) {
  return {k.tip_doc_a, k.doc_id_a, k.correl_a, k.cod_cat_tra};
}

// Computes the persons of the working set (all, or those of `only`) and writes what changed.
void recomputeBatch(Session& session, const model::OpenDeclaration& decl, const std::set<Who>* only,
                    Progress& progress) {
  auto& db = session.database();
  LargeCache cache(db);
  data::Transaction tx(db);
  Computation computation(db, decl);
  progress.step(steps::kComputing);
  auto persons = model::loadPersons(db, decl.ruc);
  if (only)
    persons.erase(std::remove_if(persons.begin(), persons.end(),
                                 [&](const model::PersonData& p) { return !only->count(who(p.key)); }),
                  persons.end());
  const auto total = static_cast<long long>(persons.size());
  long long done = 0;
  for (auto& p : persons) {
    progress.tick(done++, total);
    computation.compute(p);
  }
  progress.advance(total, total);
  // A declaration whose amounts just came in (a new or imported payroll) gets most of its concept
  // rows here: when they outnumber the rows already there, they are added faster with the
  // table's indexes built once afterwards.
  std::size_t added = 0, kept = 0;
  for (const auto& p : persons)
    for (const auto& r : p.concepts) {
      if (r.rowid != 0)
        ++kept;
      else if (r.hasContent())
        ++added;
    }
  const bool bulk = added > kBulkRows && added > kept;
  if (bulk) data::dropConceptIndexes(db);
  model::storePersons(db, persons);
  if (bulk) data::createConceptIndexes(db);
  tx.commit();
}

}  // namespace

void recomputeDeclaration(Session& session, const model::OpenDeclaration& decl, Progress& progress) {
  recomputeBatch(session, decl, nullptr, progress);
}

void recomputePersons(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& persons,
                      Progress& progress) {
  if (persons.empty()) return;
  // One person at a time costs a few queries each; past a handful the batch is cheaper.
  if (persons.size() <= 20) {
    for (const auto& k : persons) recomputePerson(session, decl, k);
    return;
  }
  std::set<Who> only;
  for (const auto& k : persons) only.insert(who(k));
  recomputeBatch(session, decl, &only, progress);
}

void recomputePersonInTransaction(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person) {
  Computation computation(db, decl);
  auto persons = model::loadPersons(db, decl.ruc, person);
  for (auto& p : persons) computation.compute(p);
  model::storePersons(db, persons);
}

void recomputePerson(Session& session, const model::OpenDeclaration& decl, const PersonKey& person) {
  auto& db = session.database();
  data::Transaction tx(db);
  recomputePersonInTransaction(db, decl, person);
  tx.commit();
}

}  // namespace korventa::determination
