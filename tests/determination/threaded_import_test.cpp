// An import's recompute of hundreds of workers computes them on two threads, giving each its
// imported rows there, and takes the rows held for the checks on a thread of its own: what it
// stores must be what computing and storing them one after another on one thread stores, and a
// failure on another thread must leave nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/database.h"
#include "determination/declaration_computation.h"
#include "model/computed_persons.h"
#include "working_fixture.h"

namespace korventa::test {
namespace {

using determination::Afterwards;

constexpr int kWorkers = 600;  // past the size computed on two threads

// Every row of the person tables with its rowid and each value's storage class.
std::vector<std::string> dump(data::Database& db) {
  std::vector<std::string> out;
  for (std::string table : {"TEMP1_F601", "TMPF601CONCEP"}) {
    std::string values = "rowid";
    for (const auto& c : db.rows("SELECT name FROM pragma_table_info(?)", {table}))
      values += " || '|' || quote(" + c.text(0) + ")";
    for (const auto& r : db.rows("SELECT '" + table + " ' || " + values + " FROM " + table + " ORDER BY rowid"))
      out.push_back(r.text(0));
  }
  return out;
}

std::vector<PersonKey> payroll(WorkingFixture& f) {
  std::vector<PersonKey> workers;
  const char* types[] = {"21", "20", "98", "64", "24"};
  for (int i = 0; i < kWorkers; ++i) {
    WorkerProfile profile;
    profile.tipo = types[i % 5];
    profile.category = profile.tipo == std::string("24") ? 2 : 1;
    profile.pension = i % 3 == 0 ? 21 : 2;
    workers.push_back(f.person(std::to_string(45000000 + i), profile));
  }
  f.amount(workers[7], "0121", "1500.00");  // a row already there, which the import changes
  f.recompute();
  return workers;
}

// The file's rows: every worker's pay in a file order other than the workers', with odd values
// (blank, padded, repeated concept) and optionally a row of a worker not in the working set.
model::ImportedConcepts fileFor(const std::vector<PersonKey>& workers, bool stranger) {
  const char* codes[] = {"0105", "0121", "0201", "0301", "0406", "0704", "0121"};
  model::ImportedConcepts imported;
  for (int n = 0; n < kWorkers; ++n) {
    const PersonKey& k = workers[static_cast<std::size_t>((n * 7) % kWorkers)];
    int j = 0;
    for (const char* code : codes) {
      std::string amount = std::to_string(800 + n + j++) + ".00";
      if (n % 50 == 3 && j == 3) amount = "";
      if (n % 50 == 4 && j == 4) amount = " " + amount + " ";
      imported.rows.push_back({k, code, amount, amount});
    }
  }
  if (stranger) imported.rows.push_back({PersonKey{9999, 1, "49999999", 1}, "0121", "5.00", "5.00"});
  imported.descrip = {{"0105", "TRABAJO EN SOBRETIEMPO"}, {"0121", "REMUNERACION BASICA"}};
  return imported;
}

// The imported rows given to the loaded persons one by one in the order read, each finding its
// person by key, as before each person could take its own: the reference for the others.
void addAsRead(std::vector<model::PersonData>& persons, model::ImportedConcepts& imported) {
  std::vector<model::ImportedConcept> others;
  for (std::size_t i = 0; i < imported.rows.size(); ++i) {
    auto c = imported.rows[i];
    c.order = imported.count + i + 1;
    auto p = std::find_if(persons.begin(), persons.end(), [&](const model::PersonData& q) { return q.key == c.key; });
    if (p == persons.end()) {
      others.push_back(c);
    } else if (auto* held = p->find(c.codigo)) {
      held->monto = c.monto;
      held->monto_pag = c.monto_pag;
    } else {
      model::ConceptRow r;
      r.importOrder = c.order;
      r.codigo = c.codigo;
      r.monto = c.monto;
      r.monto_pag = c.monto_pag;
      p->concepts.push_back(r);
    }
  }
  imported.count += imported.rows.size();
  imported.rows = others;
}

// Everything a person holds after the computation, as one text.
std::string computed(const model::PersonData& p) {
  std::string s = p.key.doc_id_a;
  for (const auto& r : p.concepts)
    s +=
        "|" + std::to_string(r.importOrder) + ":" + r.codigo + "=" + r.monto + "/" + r.monto_pag + "/" + r.base_calculo;
  for (const auto& c : p.summary) s += "|" + c;
  return s;
}

// Rows given to each person by the thread that computes it (or all at once by
// addImportedConcepts) come out as given in the order read: the same rows in the same places, with
// the same import order, and the same rows of persons not loaded left to the import.
TEST(ThreadedImport, EachPersonTakesItsRowsAsGivenInTheOrderRead) {
  WorkingFixture f;
  auto workers = payroll(f);
  auto& db = f.t.db();
  auto reference = model::loadPersons(db, f.decl.ruc), threaded = reference, atOnce = reference;
  auto file = fileFor(workers, true), fileThreaded = file, fileAtOnce = file;
  file.count = fileThreaded.count = fileAtOnce.count = 12;  // rows handed over by an earlier file
  determination::Computation computation(db, f.decl);
  const auto offer = determination::Offer::Contributions;

  addAsRead(reference, file);
  model::addImportedConcepts(atOnce, fileAtOnce);
  for (std::size_t i = 0; i < reference.size(); ++i)
    ASSERT_EQ(computed(atOnce[i]), computed(reference[i])) << "given at once, person " << i;
  determination::computeBatch(computation, reference, offer, Progress::none(), 1);

  model::ImportedByPerson byPerson(threaded, fileThreaded);
  determination::PersonSteps steps;
  steps.before = [&](std::size_t i) { byPerson.give(i, determination::offeredRows(computation.context(), offer)); };
  determination::computeBatch(computation, threaded, offer, Progress::none(), 2, steps);
  ASSERT_EQ(threaded.size(), reference.size());
  for (std::size_t i = 0; i < reference.size(); ++i)
    EXPECT_EQ(computed(threaded[i]), computed(reference[i])) << "person " << i;

  for (const auto* left : {&fileThreaded, &fileAtOnce}) {
    EXPECT_EQ(left->count, file.count);
    ASSERT_EQ(left->rows.size(), 1u);
    EXPECT_EQ(left->rows[0].order, file.rows[0].order);
    EXPECT_EQ(left->rows[0].key.doc_id_a, "49999999");
  }
}

// The same import computed and stored one person after another on one thread.
void importOnOneThread(WorkingFixture& f, model::ImportedConcepts imported) {
  auto& db = f.t.db();
  data::Transaction tx(db);
  auto persons = model::loadPersons(db, f.decl.ruc);
  addAsRead(persons, imported);
  determination::Computation computation(db, f.decl);
  determination::computeBatch(computation, persons, determination::Offer::Contributions, Progress::none(), 1);
  model::storePersons(db, persons, imported);
  tx.commit();
}

TEST(ThreadedImport, StoresWhatOneThreadStores) {
  struct Case {
    const char* name;
    Afterwards afterwards;
    bool stranger;
  };
  const Case cases[] = {
      {"left open to be edited", Afterwards::Edited, false},
      {"saved and closed: new rows held in memory", Afterwards::SavedAndClosed, false},
      {"with a row of a worker not in the working set", Afterwards::SavedAndClosed, true},
  };
  for (const auto& c : cases) {
    WorkingFixture threaded, single;
    auto workers = payroll(threaded);
    ASSERT_EQ(payroll(single), workers);
    ASSERT_EQ(dump(threaded.t.db()), dump(single.t.db()));

    auto& db = threaded.t.db();
    determination::recomputeImported(threaded.t.session(), threaded.decl, workers, fileFor(workers, c.stranger),
                                     Progress::none(), c.afterwards);
    EXPECT_TRUE(model::heldComputed(db, threaded.decl) || c.stranger) << c.name;
    {
      data::Transaction tx(db);
      model::writeHeldRows(db, threaded.decl);  // the rows held in memory, as the save writes them
      tx.commit();
    }
    importOnOneThread(single, fileFor(workers, c.stranger));
    const auto got = dump(db), expected = dump(single.t.db());
    EXPECT_GT(got.size(), static_cast<std::size_t>(kWorkers * 7)) << c.name;
    EXPECT_EQ(got, expected) << c.name;
  }
}

// A text too long to be held fails the rows taken on their own thread: the import fails with
// that error and leaves the working tables as they were.
TEST(ThreadedImport, AFailureOnAnotherThreadLeavesNothingWritten) {
  WorkingFixture f;
  auto workers = payroll(f);
  auto imported = fileFor(workers, false);
  imported.rows[kWorkers * 5].monto_pag = std::string(70000, ' ') + "1.00";
  auto& db = f.t.db();
  const auto before = dump(db);
  EXPECT_THROW(determination::recomputeImported(f.t.session(), f.decl, workers, std::move(imported), Progress::none(),
                                                Afterwards::SavedAndClosed),
               std::length_error);
  EXPECT_EQ(dump(db), before);
  EXPECT_FALSE(model::heldComputed(db, f.decl));
}

}  // namespace
}  // namespace korventa::test
