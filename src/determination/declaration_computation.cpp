#include "determination/declaration_computation.h"

#include <algorithm>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <system_error>
#include <set>
#include <tuple>

#include "data/database.h"
#include "data/working_tables.h"
#include "determination/computation.h"
#include "model/computed_persons.h"
#include "model/person_data.h"
#include "model/person_handoff.h"

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

// A bulk store notes its persons as changed once per statement instead of through the triggers,
// row by row: the rows it adds (those past the last row there), the stored rows it updates and
// the summaries it writes (both read before the store, which marks them stored), each noted by
// the key its row holds, as the triggers would.
class BulkChangeNotes {
 public:
  BulkChangeNotes(data::Database& db, const std::vector<model::PersonData>& persons)
      : db_(db),
        tracking_(
            db.exists("SELECT 1 FROM sqlite_temp_master WHERE type = 'trigger' AND name = 'TRG_TMPF601CONCEP_INS'")),
        pause_(db) {
    if (!tracking_) return;  // an enclosing bulk load sets the state itself
    lastRowid_ = db.integer("SELECT COALESCE(MAX(rowid), 0) FROM TMPF601CONCEP");
    for (const auto& p : persons) {
      for (const auto& r : p.concepts)
        if (r.rowid != 0 && r.changed()) updatedRows_.push_back(r.rowid);
      if (p.summary != p.storedSummary) summaries_.push_back(p.rowid);
    }
  }
  // After the store; `othersAdded` when rows of persons not computed were added too.
  void note(const std::vector<model::PersonData>& persons, bool othersAdded) {
    if (!tracking_) return;
    const std::string noteRows =
        "INSERT OR IGNORE INTO TMPF601_CAMBIOS SELECT COALESCE(correl_a, -1), COALESCE(cod_cat_tra, -1) FROM "
        "TMPF601CONCEP WHERE rowid ";
    if (othersAdded)
      db_.run(noteRows + "> ?", {lastRowid_});
    else
      noteAdded(persons);
    // One statement for all the rows of each kind (a payroll's worth of summaries).
    noteEach(noteRows + "= ?", updatedRows_);
    noteEach(
        "INSERT OR IGNORE INTO TMPF601_CAMBIOS SELECT COALESCE(Correl_a, -1), COALESCE(cod_cat_tra, -1) FROM "
        "TEMP1_F601 WHERE rowid = ?",
        summaries_);
  }

 private:
  // The persons' rows added hold the key each was written with: one note per person (a payroll's
  // rows by the hundred thousand come to one per worker) instead of one statement per row.
  void noteAdded(const std::vector<model::PersonData>& persons) {
    try {
      for (const auto& p : persons) {
        const bool added = std::any_of(p.concepts.begin(), p.concepts.end(),
                                       [&](const model::ConceptRow& r) { return r.rowid > lastRowid_; });
        if (!added) continue;
        auto& st = db_.prepared("INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (?, ?)");
        st.bind(1, static_cast<int64_t>(p.key.correl_a));
        st.bind(2, static_cast<int64_t>(p.key.cod_cat_tra));
        st.exec();
      }
    } catch (const SQLite::Exception& e) {
      data::rethrow(e);
    }
  }
  void noteEach(const std::string& sql, const std::vector<std::int64_t>& rowids) {
    try {
      for (auto rowid : rowids) {
        auto& st = db_.prepared(sql);
        st.bind(1, static_cast<int64_t>(rowid));
        st.exec();
      }
    } catch (const SQLite::Exception& e) {
      data::rethrow(e);
    }
  }
  data::Database& db_;
  bool tracking_;
  data::ChangeTrackingPause pause_;
  std::int64_t lastRowid_ = 0;
  std::vector<std::int64_t> updatedRows_, summaries_;
};

using Who = std::tuple<int, std::string, std::int64_t, int>;
Who who(const PersonKey& k) {
  return {k.tip_doc_a, k.doc_id_a, k.correl_a, k.cod_cat_tra};
}

struct Batch {
  const std::set<Who>* only = nullptr;
  const std::vector<PersonKey>* few = nullptr;
  model::ImportedConcepts* imported = nullptr;
  model::PersonHandoff* handoff = nullptr;  // all the persons, as just written
  Afterwards afterwards = Afterwards::Edited;
};

// The persons of the working set: all (handed over by their writer, or read), those of `only`
// picked from all, or those of `few` read one by one (cheaper than reading everybody for a
// handful). `every` tells whether they are all the persons read (handed-over persons are not
// held for the checks: they read the table).
std::vector<model::PersonData> loadBatch(data::Database& db, const std::string& ruc, const Batch& batch,
                                         model::LoadNotes* notes, bool& every) {
  every = false;
  if (batch.handoff)
    if (auto persons = batch.handoff->take(db)) return std::move(*persons);
  const auto* only = batch.only;
  const auto* few = batch.few;
  if (few) {
    std::vector<model::PersonData> persons;
    for (const auto& k : *few)
      for (auto& p : model::loadPersons(db, ruc, k)) persons.push_back(std::move(p));
    return persons;
  }
  auto persons = model::loadPersons(db, ruc, std::nullopt, notes);
  const std::size_t all = persons.size();
  if (only)
    persons.erase(std::remove_if(persons.begin(), persons.end(),
                                 [&](const model::PersonData& p) { return !only->count(who(p.key)); }),
                  persons.end());
  every = persons.size() == all;
  return persons;
}

// Stores what the computation changed; `bulk` with the concept table's index built once after
// the new rows. With `unwritten` (every person computed, the working set only saved and closed
// afterwards: the save takes the rows from memory), the new rows are not written at all, nor is
// the index: nobody looks a row up by its key before the table is emptied (which builds it again).
// `stored` is called once the persons' rows are as stored (what follows only reads them).
void storeBatch(data::Database& db, std::vector<model::PersonData>& persons, const model::ImportedConcepts& imported,
                bool bulk, model::UnwrittenRows* unwritten, const std::function<void()>& stored) {
  if (!bulk) return model::storePersons(db, persons, imported, nullptr, stored);
  data::dropConceptIndexes(db);
  BulkChangeNotes changes(db, persons);
  model::storePersons(db, persons, imported, unwritten, stored);
  changes.note(persons, !imported.rows.empty());
  if (!unwritten) data::createConceptIndexes(db);
}

// `f` run on a thread of its own, or when its result is asked for if no thread can be had.
template <class F>
auto onTheSide(F f) {
  try {
    return std::async(std::launch::async, f);
  } catch (const std::system_error&) {
    return std::async(std::launch::deferred, f);
  }
}

// The persons of the last batch (hundreds of thousands of texts) are freed on a thread of their own
// while the caller goes on; the next batch, or the end of the program, waits for it.
class Leftovers {
 public:
  void drop(std::vector<model::PersonData> persons) {
    std::lock_guard lock(mutex_);
    if (freeing_.valid()) freeing_.wait();
    freeing_ = onTheSide([gone = std::make_shared<std::vector<model::PersonData>>(std::move(persons))] {
      std::vector<model::PersonData>().swap(*gone);
    });
  }

 private:
  std::mutex mutex_;
  std::future<void> freeing_;
};

Leftovers& leftovers() {
  static Leftovers instance;
  return instance;
}

// The persons' concept rows after the computation: stored, and new that declare something.
struct RowCounts {
  std::size_t added = 0, kept = 0;
};

// Gives the persons the imported rows that are theirs (`imported` keeps the others) and computes
// them, each on the thread that computes it, and counts their rows there while they are at hand.
RowCounts computeWithImported(Computation& computation, std::vector<model::PersonData>& persons,
                              model::ImportedConcepts& imported, Progress& progress) {
  model::ImportedByPerson byPerson(persons, imported);
  // Room for the rows the computation adds, reserved with the imported ones: the rows move once.
  const std::size_t spare = offeredRows(computation.context(), Offer::Contributions);
  std::vector<RowCounts> counts(persons.size());
  PersonSteps steps;
  steps.before = [&](std::size_t i) { byPerson.give(i, spare); };
  steps.after = [&](std::size_t i) {
    for (const auto& r : persons[i].concepts) {
      if (r.rowid != 0)
        ++counts[i].kept;
      else if (r.hasContent())
        ++counts[i].added;
    }
  };
  computeBatch(computation, persons, Offer::Contributions, progress, batchThreads(persons.size()), steps);
  RowCounts all;
  for (const auto& c : counts) {
    all.added += c.added;
    all.kept += c.kept;
  }
  return all;
}

// Computes the persons of the working set (all, or those of the batch) and writes what changed,
// the imported rows not written yet with them.
void recomputeBatch(Session& session, const model::OpenDeclaration& decl, const Batch& batch, Progress& progress) {
  auto& db = session.database();
  LargeCache cache(db);
  data::Transaction tx(db);
  Computation computation(db, decl);
  progress.step(steps::kComputing);
  model::LoadNotes notes;
  bool every = false;
  auto persons = loadBatch(db, decl.ruc, batch, &notes, every);
  model::ImportedConcepts none;
  auto& imported = batch.imported ? *batch.imported : none;
  const RowCounts rows = computeWithImported(computation, persons, imported, progress);
  // A declaration whose amounts just came in (a new or imported payroll) gets most of its concept
  // rows here: when they outnumber the rows already there, they are added faster with the
  // table's indexes built once afterwards.
  const bool bulk = rows.added > kBulkRows && rows.added > rows.kept;
  // Every person computed and every row of the table theirs: what the checks will read.
  const bool whole = every && notes.rowsLeft == 0 && notes.plainKeys && imported.rows.empty();
  model::UnwrittenRows unwritten;
  const bool closing = bulk && whole && batch.afterwards == Afterwards::SavedAndClosed;
  // The rows held for the checks are taken on a thread of their own while the changes are written
  // and noted (which then only read the rows); a failure there fails the batch, leaving nothing
  // written.
  std::future<std::shared_ptr<const model::ComputedPersons>> taken;
  storeBatch(db, persons, imported, bulk, closing ? &unwritten : nullptr, [&] {
    if (whole)
      taken = onTheSide([&] { return model::takeStored(persons, notes.otherRows, notes.plainTexts, &unwritten); });
  });
  auto held = whole ? taken.get() : nullptr;
  leftovers().drop(std::move(persons));
  tx.commit();
  model::holdComputed(db, decl, std::move(held));
}

}  // namespace

void recomputeDeclaration(Session& session, const model::OpenDeclaration& decl, Progress& progress,
                          model::PersonHandoff* handoff) {
  recomputeBatch(session, decl, {nullptr, nullptr, nullptr, handoff}, progress);
}

void recomputePersons(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& persons,
                      Progress& progress) {
  recomputeImported(session, decl, persons, model::ImportedConcepts{}, progress);
}

void recomputeImported(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& persons,
                       model::ImportedConcepts imported, Progress& progress, Afterwards afterwards) {
  if (persons.empty() && imported.empty()) return;
  // One person at a time costs a few queries each; past a handful the batch is cheaper.
  if (persons.size() <= 20 && imported.empty()) {
    for (const auto& k : persons) recomputePerson(session, decl, k);
    return;
  }
  if (persons.size() <= 20) {
    recomputeBatch(session, decl, {nullptr, &persons, &imported, nullptr, afterwards}, progress);
    return;
  }
  std::set<Who> only;
  for (const auto& k : persons) only.insert(who(k));
  recomputeBatch(session, decl, {&only, nullptr, &imported, nullptr, afterwards}, progress);
}

void recomputePersonInTransaction(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person) {
  Computation computation(db, decl);
  auto persons = model::loadPersons(db, decl.ruc, person);
  for (auto& p : persons) computation.compute(p, nullptr, Offer::Contributions);
  model::storePersons(db, persons);
}

void recomputePerson(Session& session, const model::OpenDeclaration& decl, const PersonKey& person) {
  auto& db = session.database();
  data::Transaction tx(db);
  recomputePersonInTransaction(db, decl, person);
  tx.commit();
}

}  // namespace korventa::determination
