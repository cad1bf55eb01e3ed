#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <tuple>

#include "data/working_tables.h"
#include "declaration/stored_concepts.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

// The declaration the rows are stored for.
model::OpenDeclaration june2012() {
  model::OpenDeclaration d;
  d.ruc = "20100070970";
  d.periodo = "201206";
  return d;
}

// Every stored concept row with its rowid and the storage class of each column.
std::vector<std::string> storedRows(data::Database& db) {
  std::vector<std::string> out;
  for (const auto& r : db.rows(
           "SELECT rowid, quote(tip_doc_d), quote(doc_id_d), quote(correl_a), quote(cod_cat_tra), quote(tip_doc_a), "
           "quote(doc_id_a), quote(periodo), quote(formulario), quote(cod_concep), quote(base_calculo), quote(monto), "
           "quote(monto_pag), quote(monto_dif), quote(cnumero) FROM F601_REMUNERA ORDER BY rowid")) {
    std::string line;
    for (std::size_t i = 0; i < 15; ++i) line += (i ? "|" : "") + r.text(i);
    out.push_back(line);
  }
  return out;
}

// Working rows of every odd kind a row can hold, each as SQL values: correl_a, cod_cat_tra,
// tip_doc_a, doc_id_a, codigo, monto, monto_pag, base_calculo.
const char* const kWorkingRows[] = {
    "1, 1, 1, '10000001', '0121', '1500.00', NULL, NULL",
    "1, 1, 1, '10000001', '0201', '  12.5', '', ''",
    "1, 1, 1, '10000001', '0807', NULL, NULL, '300.00'",
    "1, 1, 1, '10000001', '0808', '   ', ' ', NULL",  // nothing declared: left out
    "1, 1, 1, '10000001', '0809', '', NULL, ''",      // nothing declared: left out
    "2, 1, 1, '10000002', '0121', '1,234.5', '-3', '0.5'",
    "2, 1, 1, '10000002', '0122', 'abc', '1e3', '007'",
    "2, 1, 1, '10000002', '0123', x'3132', NULL, NULL",  // a blob amount
    "2, 1, 1, '10000002', 'Ñ01', '99999999999.99', '0.00', '.5'",
    "3, 2, 4, 'ÁB 123  ', '0601', 12, 3.25, NULL",  // numbers into text columns
    "NULL, 1, 1, '10000004', '0121', '10.00', NULL, NULL",
    "'x', 1, 1, '10000005', '0121', '10.00', NULL, NULL",
    "6, 1.5, 1, '10000006', '0121', '10.00', NULL, NULL",
    "7, 1, NULL, NULL, NULL, '10.00', NULL, NULL",
};

struct Case {
  const char* name;
  bool onlyChanged;
  std::vector<const char*> changed;  // TMPF601_CAMBIOS rows: correl_a, cod_cat_tra
  bool extraColumn = false;          // a stored table with one column more (an altered file)
};

// The rows the program writes are the rows the SQL statement writes, rowids and storage
// classes included.
TEST(StoredConcepts, TheProgramWritesTheRowsOfTheSqlCopy) {
  const Case cases[] = {
      {"every row", false, {}},
      {"the changed persons", true, {"1, 1", "3, 2", "7, 1", "6, 2"}},
      {"no person changed", true, {}},
      {"a changed key that is not a number", true, {"2, 1", "'x', 1"}},
      {"a stored table with a column more", true, {"1, 1", "2, 1"}, true},
  };
  for (const auto& c : cases) {
    TestDb t;
    auto& db = t.db();
    const auto d = june2012();
    if (c.extraColumn) db.script("ALTER TABLE F601_REMUNERA ADD COLUMN extra TEXT");
    // Rows of another declaration before: the new rows' rowids follow them.
    db.script(
        "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, periodo, cod_concep) VALUES (6, '20999999999', '201205', "
        "'0121'), (6, '20999999999', '201205', '0122')");
    for (const char* r : kWorkingRows)
      db.script(std::string("INSERT INTO TMPF601CONCEP (correl_a, cod_cat_tra, tip_doc_a, doc_id_a, codigo, monto, "
                            "monto_pag, base_calculo) VALUES (") +
                r + ")");
    db.script("DELETE FROM TMPF601_CAMBIOS");  // noted by the triggers as the rows went in
    for (const char* k : c.changed)
      db.script(std::string("INSERT INTO TMPF601_CAMBIOS (correl_a, cod_cat_tra) VALUES (") + k + ")");

    declaration::writeStoredConcepts(db, d, c.onlyChanged, declaration::ConceptCopy::Sql);
    auto bySql = storedRows(db);
    db.script("DELETE FROM F601_REMUNERA WHERE doc_id_d = '20100070970'");
    declaration::writeStoredConcepts(db, d, c.onlyChanged);
    auto byProgram = storedRows(db);

    EXPECT_EQ(byProgram, bySql) << c.name;
    const std::size_t others = 2;  // the other declaration's rows
    if (c.onlyChanged && c.changed.empty())
      EXPECT_EQ(bySql.size(), others) << c.name;
    else
      EXPECT_GT(bySql.size(), others) << c.name;
  }
}

// More rows than one statement and than one block of formatting take: full batches and blocks
// and the rest, in order.
TEST(StoredConcepts, ManyRowsKeepTheirOrder) {
  TestDb t;
  auto& db = t.db();
  const auto d = june2012();
  db.script(
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9999) INSERT INTO TMPF601CONCEP "
      "(correl_a, cod_cat_tra, tip_doc_a, doc_id_a, codigo, monto) SELECT i / 7, 1, 1, printf('%08d', i / 7), "
      "printf('%04d', i % 7), CASE WHEN i % 5 = 0 THEN '' ELSE printf('%d.%02d', i, i % 100) END FROM n");
  declaration::writeStoredConcepts(db, d, false, declaration::ConceptCopy::Sql);
  auto bySql = storedRows(db);
  db.script("DELETE FROM F601_REMUNERA");
  declaration::writeStoredConcepts(db, d, false);
  EXPECT_EQ(storedRows(db), bySql);
  EXPECT_EQ(bySql.size(), 8000u);
}

// The working rows as the computation holds them after computing every person: persons in an
// order of their own (not the table's), each person's rows by rowid, texts as stored.
std::shared_ptr<model::ComputedPersons> holdTable(data::Database& db, bool plainTexts) {
  auto held = std::make_shared<model::ComputedPersons>();
  std::map<std::tuple<std::int64_t, std::string, std::int64_t, std::int64_t>, std::size_t> index;
  for (const auto& r : db.rows("SELECT rowid, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, monto, monto_pag, "
                               "base_calculo FROM TMPF601CONCEP ORDER BY doc_id_a DESC, rowid")) {
    auto key = std::make_tuple(r.integer(1), r.text(2), r.integer(3), r.integer(4));
    auto [it, added] = index.emplace(key, held->persons.size());
    if (added) {
      model::HeldPerson p;
      p.key.tip_doc_a = static_cast<int>(r.integer(1));
      p.key.doc_id_a = r.text(2);
      p.key.correl_a = r.integer(3);
      p.key.cod_cat_tra = static_cast<int>(r.integer(4));
      held->persons.push_back(p);
    }
    model::HeldConcept c;
    c.rowid = r.integer(0);
    c.at = static_cast<std::uint32_t>(held->texts.size());
    for (int i = 0; i < 4; ++i) {
      c.size[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(r.text(5 + i).size());
      held->texts += r.text(5 + i);
    }
    held->persons[it->second].concepts.push_back(c);
    ++held->rows;
  }
  held->tableRows = held->rows;
  held->plainTexts = plainTexts;
  return held;
}

// The rows the save stores from the rows the computation holds are those it stores from the
// table once the 0807 rows without amounts are gone: in the table's order, however far apart
// their rowids, the changed persons' only when asked.
TEST(StoredConcepts, HeldRowsAreStoredAsTheTableRowsAre) {
  // tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, monto, monto_pag, base_calculo; the
  // persons' rows interleaved.
  const char* const rows[] = {
      "1, '10000001', 1, 1, '0121', '1500.00', '', ''",
      "1, '10000002', 2, 1, '0121', '1,234.5', '-3', '0.5'",
      "4, 'ÁB 123  ', 3, 2, 'Ñ01', '99999999999.99', '0.00', '.5'",
      "1, '10000001', 1, 1, '0807', '', '', '300.00'",  // removed by the save
      "1, '10000002', 2, 1, '0807', '12.00', '', ''",
      "4, 'ÁB 123  ', 3, 2, '0807', '  ', '', '5'",   // removed by the save
      "1, '10000001', 1, 1, '0808', '   ', ' ', ''",  // nothing declared
      "1, '10000002', 2, 1, '0122', 'abc', '1e3', '007'",
      "1, '10000001', 1, 1, ' 0201', ' 12.5', '', ''",
  };
  struct Case {
    const char* name;
    bool onlyChanged;
    std::vector<const char*> changed;
    bool farApart;  // rowids with gaps wider than the rows
  };
  const Case cases[] = {
      {"every row", false, {}, false},
      {"every row, rowids far apart", false, {}, true},
      {"the changed persons", true, {"1, 1", "3, 2"}, false},
      {"the changed persons, rowids far apart", true, {"2, 1"}, true},
  };
  for (const auto& c : cases) {
    TestDb t;
    auto& db = t.db();
    const auto d = june2012();
    int n = 0;
    for (const char* r : rows)
      db.script(std::string("INSERT INTO TMPF601CONCEP (rowid, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, "
                            "monto, monto_pag, base_calculo) VALUES (") +
                std::to_string(c.farApart ? 7919 * (9 - n++) : ++n) + ", " + r + ")");
    db.script("DELETE FROM TMPF601_CAMBIOS");
    for (const char* k : c.changed)
      db.script(std::string("INSERT INTO TMPF601_CAMBIOS (correl_a, cod_cat_tra) VALUES (") + k + ")");
    auto held = holdTable(db, true);
    {
      data::ChangeTrackingPause quiet(db);
      db.script(
          "DELETE FROM TMPF601CONCEP WHERE codigo = '0807' AND COALESCE(TRIM(monto), '') = '' AND "
          "COALESCE(TRIM(monto_pag), '') = ''");
    }
    declaration::writeStoredConcepts(db, d, c.onlyChanged, declaration::ConceptCopy::Sql);
    auto bySql = storedRows(db);
    EXPECT_GE(bySql.size(), 2u) << c.name;
    db.script("DELETE FROM F601_REMUNERA");
    // What is written comes from the held rows alone (the persons noted stay as they are).
    {
      data::ChangeTrackingPause quiet(db);
      db.script("DELETE FROM TMPF601CONCEP");
    }
    declaration::writeStoredConcepts(db, d, c.onlyChanged, declaration::ConceptCopy::Program, held.get());
    EXPECT_EQ(storedRows(db), bySql) << c.name;
    // Held texts that may not be the table's are not used: the table is read.
    db.script("DELETE FROM F601_REMUNERA");
    held->plainTexts = false;
    declaration::writeStoredConcepts(db, d, c.onlyChanged, declaration::ConceptCopy::Program, held.get());
    EXPECT_TRUE(storedRows(db).empty()) << c.name;
  }
}

}  // namespace
}  // namespace korventa::test
