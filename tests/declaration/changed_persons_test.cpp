// The save writes again the stored rows of the persons that changed only: an import or a form
// touching some workers leaves the other persons' stored rows (their rowids, amounts and control
// numbers) as they were, and what it stores is what a save of everybody would store.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/working_tables.h"
#include "support/cli_runner.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

const std::string kRuc = "20503987610";
const std::string kTouched = "41235678";  // a worker of the demo registry

// The stored person rows of the demo declaration: per table and document, each row as
// "rowid|col|col|...|cNumero" (with `withRowid`) in the stored order.
using Snapshot = std::map<std::string, std::vector<std::string>>;

class ChangedPersonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runner_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    ASSERT_EQ(runner_.run("init --demo").rc, 0);
    ok("new " + kRuc + " 201206");
    ok("import " + kRuc + " 201206 '" +
       (fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import/060120503987610201206.rem").string() + "'" + work());
  }
  std::string work() const { return " --work-dir '" + (runner_.dir() / "trabajo").string() + "'"; }
  void ok(const std::string& args) {
    auto r = runner_.run(args);
    ASSERT_EQ(r.rc, 0) << args << "\n" << r.err;
  }
  void importRem(const std::string& content) {
    fs::create_directories(runner_.dir() / "propios");
    fs::path p = runner_.dir() / "propios" / ("0601" + kRuc + "201206.rem");
    std::ofstream(p) << content;
    ok("import " + kRuc + " 201206 '" + p.string() + "'" + work());
  }
  Snapshot snapshot(bool withRowid) {
    Snapshot s;
    auto db = data::Database::open(runner_.db());
    for (const char* table : {"F601_TRAB", "F601_REMUNERA"}) {
      for (const auto& r : db->rows(std::string("SELECT rowid, * FROM ") + table +
                                        " WHERE doc_id_d = ? AND periodo = '201206' ORDER BY rowid",
                                    {kRuc})) {
        std::string line;
        for (std::size_t i = withRowid ? 0 : 1; i < r.size(); ++i) line += r.text(i) + "|";
        s[std::string(table) + " " + r.text("doc_id_a")].push_back(line);
      }
    }
    return s;
  }
  CliRunner runner_;
};

// Which persons each kind of write to the working tables notes as changed, and a bulk load that
// pauses the noting.
TEST(ChangedPersons, EveryWriteNotesItsPersonsAPauseNotesNone) {
  TestDb t;
  auto& db = t.db();
  db.run(
      "INSERT INTO TEMP1_F601 (Correl_a, cod_cat_tra, tip_doc_a, doc_id_a) VALUES (1, 1, 1, '40000001'), "
      "(2, 1, 1, '40000002'), (3, 2, 1, '40000003')");
  db.run(
      "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto) VALUES "
      "(1, '40000001', 1, '0121', 1, '10.00'), (1, '40000002', 2, '0121', 1, '20.00')");
  auto noted = [&] {
    std::string out;
    for (const auto& r : db.rows("SELECT correl_a, cod_cat_tra FROM TMPF601_CAMBIOS ORDER BY 1, 2"))
      out += r.text(0) + "/" + r.text(1) + " ";
    return out;
  };
  struct Case {
    const char* name;
    const char* write;
    const char* noted;
  };
  const Case cases[] = {
      {"a concept amount", "UPDATE TMPF601CONCEP SET monto = '11.00' WHERE correl_a = 1", "1/1 "},
      {"a concept row moved to another person",
       "UPDATE TMPF601CONCEP SET correl_a = 3, cod_cat_tra = 2 WHERE correl_a = 2", "2/1 3/2 "},
      {"a new concept row", "INSERT INTO TMPF601CONCEP (correl_a, codigo, cod_cat_tra) VALUES (2, '0105', 1)", "2/1 "},
      {"a concept row deleted", "DELETE FROM TMPF601CONCEP WHERE correl_a = 1", "1/1 "},
      {"a summary column", "UPDATE TEMP1_F601 SET salud = '9.00' WHERE Correl_a = 3", "3/2 "},
      {"a person added", "INSERT INTO TEMP1_F601 (Correl_a, cod_cat_tra) VALUES (4, 1)", "4/1 "},
      {"a person removed", "DELETE FROM TEMP1_F601 WHERE Correl_a = 2", "2/1 "},
      {"a row without its person's key", "INSERT INTO TMPF601CONCEP (codigo, monto) VALUES ('0121', '5.00')", "-1/-1 "},
  };
  for (const auto& c : cases) {
    data::forgetPersonChanges(db);
    db.run(c.write);
    EXPECT_EQ(noted(), c.noted) << c.name;
    EXPECT_EQ(data::allPersonsChanged(db), std::string(c.noted) == "-1/-1 ") << c.name;
  }
  data::forgetPersonChanges(db);
  {
    data::ChangeTrackingPause bulk(db);
    data::ChangeTrackingPause nested(db);
    db.run("UPDATE TMPF601CONCEP SET monto = '1.00'");
  }
  EXPECT_EQ(noted(), "");
  db.run("UPDATE TMPF601CONCEP SET monto = '2.00' WHERE correl_a = 2");
  EXPECT_EQ(noted(), "2/1 ") << "noting again after the pause";
}

TEST_F(ChangedPersonsTest, AnImportTouchingOneWorkerLeavesTheOthersStoredRowsAsTheyWere) {
  // The other persons' control numbers get a mark no save would write: a save that wrote their
  // rows again would replace it.
  {
    auto db = data::Database::open(runner_.db());
    for (const char* table : {"F601_TRAB", "F601_REMUNERA"})
      ASSERT_GT(db->run(std::string("UPDATE ") + table + " SET cNumero = 'intacto' WHERE doc_id_a <> ?", {kTouched}),
                4);
  }
  Snapshot before = snapshot(true);
  ASSERT_GT(before.size(), 4u);
  importRem("01|" + kTouched + "|0105|77.00|77.00|\n");
  Snapshot after = snapshot(true);

  int others = 0;
  for (const auto& [person, rows] : before) {
    if (person.find(kTouched) != std::string::npos) continue;
    ++others;
    EXPECT_EQ(after[person], rows) << person;
  }
  EXPECT_GT(others, 3);
  bool found = false;
  for (const auto& row : after["F601_REMUNERA " + kTouched])
    found = found || row.find("|0105||77.00|77.00|") != std::string::npos;
  EXPECT_TRUE(found) << "the imported amount is stored";
  EXPECT_NE(after["F601_TRAB " + kTouched], before["F601_TRAB " + kTouched]) << "the worker's totals follow";

  // A save of the unchanged declaration writes no person row at all.
  ok("save " + kRuc + " 201206");
  EXPECT_EQ(snapshot(true), after);
}

TEST_F(ChangedPersonsTest, WhatTheChangedPersonsSaveStoresIsWhatASaveOfEverybodyStores) {
  importRem("01|" + kTouched + "|0105|77.00|77.00|\n01|" + kTouched + "|0121|3600.00|3600.00|\n");
  Snapshot some = snapshot(false);
  // The refresh goes over every person of the registry: the save after it writes them all.
  ok("refresh " + kRuc + " 201206");
  Snapshot all = snapshot(false);
  for (auto& [person, rows] : some) std::sort(rows.begin(), rows.end());
  for (auto& [person, rows] : all) std::sort(rows.begin(), rows.end());
  EXPECT_EQ(some, all);
  // The workers and pensioners stay in their stored order.
  auto order = [this] {
    std::vector<std::string> docs;
    for (const auto& r : data::Database::open(runner_.db())
                             ->rows("SELECT doc_id_a FROM F601_TRAB WHERE doc_id_d = ? ORDER BY rowid", {kRuc}))
      docs.push_back(r.text(0));
    return docs;
  };
  auto stored = order();
  importRem("01|" + kTouched + "|0105|88.00|88.00|\n");
  EXPECT_EQ(order(), stored);
}

}  // namespace
}  // namespace korventa::test
