// A computation that stores thousands of new concept rows notes the persons it wrote once, not row
// by row through the triggers: the save rewrites the stored rows of exactly those persons, so the
// notes must name every person whose working rows changed and no other.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/working_tables.h"
#include "declaration/working_set.h"
#include "model/computed_persons.h"
#include "working_fixture.h"

namespace korventa::test {
namespace {

// Every row of the person tables ("table rowid": its columns) and the person it belongs to.
struct Snapshot {
  std::map<std::string, std::string> rows, person;
};

Snapshot snapshot(data::Database& db) {
  Snapshot s;
  for (std::string table : {"TEMP1_F601", "TMPF601CONCEP"}) {
    for (const auto& r :
         db.rows("SELECT rowid, COALESCE(correl_a, -1) || '/' || COALESCE(cod_cat_tra, -1), * FROM " + table)) {
      std::string key = table + " " + r.text(0), line;
      for (std::size_t i = 2; i < r.size(); ++i) line += r.text(i) + "|";
      s.rows[key] = line;
      s.person[key] = r.text(1);
    }
  }
  return s;
}

// The persons of the rows added or changed between two snapshots (the store deletes none).
std::set<std::string> written(const Snapshot& before, const Snapshot& after) {
  std::set<std::string> out;
  for (const auto& [key, line] : after.rows) {
    auto it = before.rows.find(key);
    if (it == before.rows.end() || it->second != line) out.insert(after.person.at(key));
  }
  return out;
}

std::set<std::string> noted(data::Database& db) {
  std::set<std::string> out;
  for (const auto& r : db.rows("SELECT correl_a || '/' || cod_cat_tra FROM TMPF601_CAMBIOS")) out.insert(r.text(0));
  return out;
}

const std::vector<std::string> kCodes = {"0101", "0105", "0106", "0107", "0114", "0115", "0117", "0118",
                                         "0121", "0122", "0201", "0301", "0303", "0304", "0305", "0401",
                                         "0405", "0406", "0312", "0907", "0704", "0705", "0601", "0605",
                                         "0607", "0608", "0616", "0804", "0807", "0808"};

// With and without imported rows of a person not in the working set (noted from the table then,
// from the persons computed otherwise).
TEST(BulkChanges, AComputationStoringThousandsOfRowsNotesExactlyThePersonsItWrote) {
  for (bool stranger : {true, false}) {
    SCOPED_TRACE(stranger ? "with a row of no such worker" : "every row of a worker computed");
    WorkingFixture f;
    auto& db = f.t.db();
    std::vector<PersonKey> workers;
    for (int i = 0; i < 100; ++i) {
      char doc[16];
      std::snprintf(doc, sizeof doc, "4100%04d", i);
      workers.push_back(f.person(doc));
    }
    // Besides the imported rows: a summary written behind the computation's back (only the
    // summary is written again), bases likewise (only those rows are updated), a stored row the
    // import changes, a worker of the batch with nothing to change and one outside the batch.
    const PersonKey &summary = workers[0], &settled = workers[1], &bases = workers[2], &held = workers[3],
                    &outside = workers[99];
    for (const auto& w : {summary, settled, bases, held, outside}) f.amount(w, "0121", "1000.00");
    f.recompute();
    db.run("UPDATE TEMP1_F601 SET Tot_Ingresos = '0.00' WHERE Correl_a = ?", {summary.correl_a});
    ASSERT_GT(db.run("UPDATE TMPF601CONCEP SET base_calculo = '1.00' WHERE correl_a = ? AND base_calculo <> ''",
                     {bases.correl_a}),
              0);
    data::forgetPersonChanges(db);

    model::ImportedConcepts imported;
    imported.rows.push_back({held, "0121", "2000.00", "2000.00"});
    for (int i = 4; i < 93; ++i)
      for (const auto& c : kCodes) imported.rows.push_back({workers[i], c, "100.00", "100.00"});
    if (stranger) imported.rows.push_back({PersonKey{999, 1, "49999999", 1}, "0121", "5.00", "5.00"});
    std::vector<PersonKey> batch(workers.begin(), workers.begin() + 93);

    auto before = snapshot(db);
    determination::recomputeImported(f.t.session(), f.decl, batch, std::move(imported));
    auto after = snapshot(db);

    auto expected = written(before, after);
    for (const char* person : {"1/1", "3/1", "4/1", "5/1", "93/1"})
      EXPECT_TRUE(expected.count(person)) << person << " was written";
    EXPECT_EQ(expected.count("999/1"), stranger ? 1u : 0u);
    EXPECT_FALSE(expected.count("2/1")) << "the settled worker's rows stay as they were";
    EXPECT_FALSE(expected.count("100/1")) << "the worker outside the batch is not computed";
    EXPECT_EQ(noted(db), expected);
    EXPECT_EQ(f.conceptText(held, "0121"), "2000.00");
    EXPECT_GT(db.integer("SELECT count(*) FROM TMPF601CONCEP"), 2000) << "enough rows for a bulk store";
  }
}

bool conceptIndex(data::Database& db) {
  return db.exists("SELECT 1 FROM sqlite_temp_master WHERE type = 'index' AND name = 'IDX_TMPF601CONCEP'");
}

// An import whose working set is only saved and closed keeps its new rows in memory and leaves
// the concept rows' unique index unbuilt; one that stays open to be edited writes both, and the
// table once emptied has its index again.
TEST(BulkChanges, TheRowsAndIndexAreLeftOutOnlyWhenTheWorkingSetIsClosedAfterwards) {
  using determination::Afterwards;
  for (auto afterwards : {Afterwards::Edited, Afterwards::SavedAndClosed}) {
    WorkingFixture f;
    auto& db = f.t.db();
    std::vector<PersonKey> workers;
    for (int i = 0; i < 100; ++i) workers.push_back(f.person("4300" + std::to_string(1000 + i)));
    f.recompute();
    model::ImportedConcepts imported;
    for (const auto& w : workers)
      for (const auto& c : kCodes) imported.rows.push_back({w, c, "10.00", "10.00"});
    determination::recomputeImported(f.t.session(), f.decl, workers, std::move(imported), Progress::none(), afterwards);
    const bool edited = afterwards == Afterwards::Edited;
    EXPECT_EQ(db.integer("SELECT count(*) FROM TMPF601CONCEP") > 2000, edited);
    const auto* held = model::heldComputed(db, f.decl);
    ASSERT_TRUE(held);
    EXPECT_EQ(held->unwritten > 2000, !edited);
    EXPECT_EQ(conceptIndex(db), edited);
    declaration::emptyWorkingTables(db);
    EXPECT_TRUE(conceptIndex(db));
  }
}

// New concept rows are inserted dozens at a time: each row held in memory must still know the
// rowid of its own stored row (a form updates it by that rowid later), the imported rows and the
// computed ones alike.
TEST(BulkChanges, EveryStoredRowKnowsItsOwnRowid) {
  WorkingFixture f;
  auto& db = f.t.db();
  std::vector<PersonKey> workers;
  for (int i = 0; i < 12; ++i) workers.push_back(f.person("4200000" + std::to_string(i)));
  f.amount(workers[0], "0121", "10.00");  // rows already there: the new ones do not start at 1
  const std::vector<std::string> codes = {"0101", "0105", "0106", "0107", "0114", "0115", "0117",
                                          "0118", "0121", "0122", "0201", "0301", "0303"};
  model::ImportedConcepts imported;
  for (int i = 0; i < 6; ++i)
    for (const auto& c : codes) imported.rows.push_back({workers[i], c, "7" + c + ".00", "7" + c + ".00"});
  auto persons = model::loadPersons(db, f.decl.ruc);
  model::addImportedConcepts(persons, imported);
  for (auto& p : persons) {
    if (p.key.correl_a <= workers[5].correl_a) continue;
    for (const auto& c : codes) {
      model::ConceptRow r;
      r.codigo = c;
      r.monto = r.monto_pag = "3" + c + ".00";
      p.concepts.push_back(r);
    }
  }
  model::storePersons(db, persons, imported);
  std::size_t checked = 0;
  for (const auto& p : persons) {
    for (const auto& r : p.concepts) {
      ASSERT_NE(r.rowid, 0) << p.key.doc_id_a << " " << r.codigo;
      auto stored = db.row("SELECT doc_id_a, codigo, monto FROM TMPF601CONCEP WHERE rowid = ?", {r.rowid});
      ASSERT_TRUE(stored) << r.rowid;
      EXPECT_EQ(stored->text(0) + " " + stored->text(1) + " " + stored->text(2),
                p.key.doc_id_a + " " + r.codigo + " " + r.monto);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 12 * codes.size());
}

}  // namespace
}  // namespace korventa::test
