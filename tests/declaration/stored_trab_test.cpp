#include <gtest/gtest.h>
#include <sqlite3.h>

#include "declaration/stored_trab.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

// Every row of a table with its rowid and each column quoted (storage class included).
std::vector<std::string> dump(data::Database& db, const std::string& table) {
  std::string cols = "rowid";
  for (const auto& c : db.columns(table)) cols += ", quote(\"" + c + "\")";
  std::vector<std::string> out;
  for (const auto& r : db.rows("SELECT " + cols + " FROM " + table + " ORDER BY rowid")) {
    std::string line;
    for (std::size_t i = 0; i < r.size(); ++i) line += (i ? "|" : "") + r.text(i);
    out.push_back(line);
  }
  return out;
}

const char* const kWorkingColumns =
    "Correl_a, cod_cat_tra, tip_doc_a, doc_id_a, Situac, dias_lab, Tot_Ingresos, AportDes, ipss_vida, pension, "
    "rem_salud, sctr, salud, aporte_FrFCJMMS";

// Working rows of every odd kind, as SQL values of kWorkingColumns.
const char* const kWorking[] = {
    "1, 1, 1, '10000001', '11', '30', '1500.00', '130.50', '0.00', 2, '1500.00', 1, '135.00', '12.34'",
    "2, 1, 1, 'ÁB 123  ', '11', '', NULL, '', '   ', NULL, 'abc', NULL, '1,234.5', ' 12.5'",
    "3, 2, 4, 12, 3.25, 7, 12, 3.25, '.5', 2.5, '-3', 'x', '99999999999.99', '1e3'",  // numbers into texts
    "4, 1, 1, '10000004', '11', '30', '10.00', '1.00', '0.00', 2, '10.00', 0, '0.90', NULL",
    "6, 1, 1, '10000006', '11', '30', '77.00', '7.00', '0.00', 2, '77.00', 0, '6.93', NULL",
    "7, 1, 1, '10000007', x'3131', '30', x'3132', x'', '0.00', x'32', '1.00', 0, '0.09', NULL",  // blobs
    "NULL, 1, 1, '10000008', '11', '30', '5.00', '0.50', '0.00', 2, '5.00', 0, '0.45', NULL",
    "9, 3, 1, '10000009', '11', '30', '5.00', '0.50', '0.00', 2, '5.00', 0, '0.45', NULL",  // not a worker
    "0, 2, 1, '10000010', '11', '30', '5.00', '0.50', '0.00', 2, '5.00', 0, '0.45', NULL",  // a lower key last
};

// Stored rows of the declaration before the save: correl_a, cod_cat_tra, doc_id_a, Tot_Ingresos.
const char* const kStored[] = {
    "1, 1, '10000001', '1.00'", "5, 1, '10000005', '5.00'", "2, 1, 'old', '2.00'",  "1, 1, '10000001', 'twice'",
    "3, 2, '12', NULL",         "6, 1, '10000006', '6.00'", "7, 1, '10000007', ''", "NULL, 1, '10000008', '8.00'",
    "9, 3, '10000009', '9.00'",
};

struct Case {
  const char* name;
  std::vector<const char*> changed;  // noted persons: correl_a, cod_cat_tra
  bool byProgram;                    // the program writes the rows, else it leaves them to SQL
  std::string alter = {};            // a change to the tables before the save
};

struct Save {
  std::vector<std::string> trab, remunera;
  bool bySql = false;  // a statement of the SQL way ran
};

// Notes whether a statement of the SQL way runs: the update of the changed persons' rows, or an
// insert of every row computing the control numbers.
int noteSqlWay(unsigned, void* seen, void*, void* sql) {
  std::string_view s(static_cast<const char*>(sql));
  if (s.find("UPDATE F601_TRAB SET (") != std::string_view::npos ||
      (s.find("INSERT INTO F601_TRAB") != std::string_view::npos &&
       s.find("numero_control(") != std::string_view::npos && s.find("NOT EXISTS") == std::string_view::npos))
    *static_cast<bool*>(seen) = true;
  return 0;
}

model::OpenDeclaration declaration() {
  model::OpenDeclaration d;
  d.ruc = "20100070970";
  d.periodo = "201206";
  return d;
}

void addWorkingRows(data::Database& db) {
  for (const char* w : kWorking)
    db.script("INSERT INTO TEMP1_F601 (" + std::string(kWorkingColumns) + ") VALUES (" + w + ")");
}

template <class Write>
void traced(data::Database& db, Save& s, Write write) {
  sqlite3_trace_v2(db.sqlite().getHandle(), SQLITE_TRACE_STMT, noteSqlWay, &s.bySql);
  write();
  sqlite3_trace_v2(db.sqlite().getHandle(), 0, nullptr, nullptr);
  s.trab = dump(db, "F601_TRAB");
  s.remunera = dump(db, "F601_REMUNERA");
}

Save saveChanged(const Case& c, declaration::TrabWrite how) {
  TestDb t;
  auto& db = t.db();
  const auto d = declaration();
  db.script(
      "INSERT INTO F601_TRAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra) VALUES "
      "(6, '20999999999', '201205', '0601', 1, 1)");  // another declaration's row, first
  for (const char* s : kStored)
    db.script(
        "INSERT INTO F601_TRAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, doc_id_a, "
        "Tot_Ingresos, cNumero) VALUES (6, '20100070970', '201206', '0601', " +
        std::string(s) + ", '000000')");
  addWorkingRows(db);
  db.script(
      "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, cod_concep) "
      "VALUES (6, '20100070970', '201206', '0601', 1, 1, '0121'), (6, '20100070970', '201206', '0601', 6, 1, "
      "'0121'), (6, '20100070970', '201206', '0601', 5, 1, '0121'), (6, '20999999999', '201205', '0601', 1, 1, "
      "'0121')");
  db.script("DELETE FROM TMPF601_CAMBIOS");  // noted by the triggers as the rows went in
  for (const char* k : c.changed)
    db.script("INSERT INTO TMPF601_CAMBIOS (correl_a, cod_cat_tra) VALUES (" + std::string(k) + ")");
  if (!c.alter.empty()) db.script(c.alter);
  Save s;
  traced(db, s, [&] { declaration::saveChangedPersons(db, d, how); });
  return s;
}

Save firstSave(const std::string& alter, declaration::TrabWrite how) {
  TestDb t;
  auto& db = t.db();
  db.script(
      "INSERT INTO F601_TRAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra) VALUES "
      "(6, '20999999999', '201205', '0601', 1, 1)");  // another declaration's row, first
  addWorkingRows(db);
  if (!alter.empty()) db.script(alter);
  Save s;
  traced(db, s, [&] { declaration::writeStoredTrab(db, declaration(), how); });
  return s;
}

// The rows the program writes are the rows the SQL statements write, rowids and storage classes
// included: a changed person's rows rewritten in place (both when stored twice), added or deleted,
// the others' left as they were.
TEST(StoredTrab, TheProgramWritesTheRowsOfTheSqlStatements) {
  const std::vector<const char*> everyone = {"1, 1", "2, 1", "3, 2", "4, 1", "5, 1", "7, 1", "9, 3", "-1, 1"};
  const Case cases[] = {
      {"rewritten, added and deleted persons", everyone, true},
      {"some persons, one noted but unchanged", {"2, 1", "5, 1", "6, 1"}, true},
      {"no stored row for a noted person", {"4, 1"}, true},
      {"a person noted among many working rows", {"1, 1"}, true},
      {"a noted key that is not a whole number", {"1, 1", "'x', 1"}, false},
      {"two working rows of one person", everyone, false,
       "INSERT INTO TEMP1_F601 (Correl_a, cod_cat_tra, Tot_Ingresos) VALUES (2, 1, '2.50')"},
      {"a stored table with a column more", everyone, false, "ALTER TABLE F601_TRAB ADD COLUMN extra TEXT"},
  };
  for (const auto& c : cases) {
    const Save bySql = saveChanged(c, declaration::TrabWrite::Sql);
    const Save byProgram = saveChanged(c, declaration::TrabWrite::Program);
    EXPECT_EQ(byProgram.trab, bySql.trab) << c.name;
    EXPECT_EQ(byProgram.remunera, bySql.remunera) << c.name;
    EXPECT_TRUE(bySql.bySql) << c.name;
    EXPECT_EQ(byProgram.bySql, !c.byProgram) << c.name;
  }
}

// The first save of a declaration: every worker and pensioner in the working rows' order.
TEST(StoredTrab, TheProgramWritesTheFirstSaveRowsOfTheSqlStatement) {
  const Case cases[] = {
      {"every worker and pensioner", {}, true},
      {"a stored table with a column more", {}, false, "ALTER TABLE F601_TRAB ADD COLUMN extra TEXT"},
      {"a trigger on the stored table",
       {},
       false,
       "CREATE TRIGGER t AFTER INSERT ON F601_TRAB BEGIN UPDATE F601_REMUNERA SET monto = '1'; END"},
  };
  for (const auto& c : cases) {
    const Save bySql = firstSave(c.alter, declaration::TrabWrite::Sql);
    const Save byProgram = firstSave(c.alter, declaration::TrabWrite::Program);
    EXPECT_EQ(byProgram.trab, bySql.trab) << c.name;
    EXPECT_EQ(bySql.trab.size(), 9u) << c.name;  // the other declaration's and 8 persons (not category 3)
    EXPECT_TRUE(bySql.bySql) << c.name;
    EXPECT_EQ(byProgram.bySql, !c.byProgram) << c.name;
  }
}

// More rows than one insert statement takes: full statements and the rest, in order.
TEST(StoredTrab, ManyFirstSaveRowsKeepTheirOrder) {
  auto save = [](declaration::TrabWrite how) {
    TestDb t;
    auto& db = t.db();
    db.script(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 99) INSERT INTO TEMP1_F601 "
        "(Correl_a, cod_cat_tra, tip_doc_a, doc_id_a, Tot_Ingresos, ipss_vida, pension) SELECT 100 - i, 1 + i % 2, "
        "1, printf('%08d', i), CASE WHEN i % 3 = 0 THEN '' ELSE printf('%d.%d', i * 7, i % 10) END, i, i % 4 FROM n");
    Save s;
    traced(db, s, [&] { declaration::writeStoredTrab(db, declaration(), how); });
    return s;
  };
  const Save bySql = save(declaration::TrabWrite::Sql);
  EXPECT_EQ(save(declaration::TrabWrite::Program).trab, bySql.trab);
  EXPECT_EQ(bySql.trab.size(), 100u);
}

// What the save leaves for the first case, so that both ways doing nothing cannot pass: person 5
// gone with its concept row, person 4 added last, the others' rows untouched, amounts in picture.
TEST(StoredTrab, ChangedPersonsAreRewrittenAddedAndDeleted) {
  const std::vector<const char*> changed = {"1, 1", "4, 1", "5, 1"};
  const Save s = saveChanged({"", changed, true}, declaration::TrabWrite::Program);
  ASSERT_EQ(s.trab.size(), 10u);
  EXPECT_EQ(s.trab[1].rfind("2|6|'20100070970'|1|'201206'|'0601'|1|1|", 0), 0u) << s.trab[1];
  EXPECT_NE(s.trab[1].find("|'1500.00'|'130.50'|"), std::string::npos) << s.trab[1];
  EXPECT_NE(s.trab[9].find("|4|'201206'|'0601'|1|1|'10000004'|"), std::string::npos) << s.trab[9];
  EXPECT_NE(s.trab[2].find("|'2.00'|"), std::string::npos) << s.trab[2];  // person 2, not noted
  for (const auto& row : s.trab) EXPECT_EQ(row.find("|5|'201206'"), std::string::npos) << row;
  EXPECT_EQ(s.remunera.size(), 2u);  // persons 6 and the other declaration's
}

}  // namespace
}  // namespace korventa::test
