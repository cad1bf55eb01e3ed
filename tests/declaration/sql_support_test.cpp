#include <gtest/gtest.h>

#include <sqlite3.h>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/numero_control.h"
#include "declaration/sql_support.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

using data::Value;

// The control number computed inside SQL is the one of data::NumeroControl, whatever the values.
TEST(SqlSupport, ControlNumberInSqlMatchesTheRowControlNumber) {
  TestDb t;
  declaration::ensureSqlFunctions(t.db());
  struct Case {
    const char* name;
    std::vector<Value> fields;  // the control column last
    int n;
  };
  const Case cases[] = {
      {"declaration key and amounts",
       {Value(std::int64_t(6)), Value(std::string("20100070970")), Value(std::string("201205")),
        Value(std::string("0601")), Value(std::string("1500.00")), Value(std::string("")), Value()},
       4},
      {"empty and null fields", {Value(), Value(std::string("")), Value(std::string("  ")), Value()}, 1},
      {"a real number", {Value(2.5), Value(1234.125), Value()}, 1},
      {"n beyond the fields", {Value(std::int64_t(7)), Value(std::string("99")), Value()}, 9},
      {"large sums wrap to three digits",
       {Value(std::string("999999999999")), Value(std::string("zzzzzzzzzzzzzzzz")), Value()},
       1},
      {"malformed UTF-8",
       {Value(std::int64_t(3)),
        Value(std::string("A\xff"
                          "B")),
        Value()},
       1},
  };
  for (const auto& c : cases) {
    std::string sql = "SELECT numero_control(" + std::to_string(c.n);
    data::Params p;
    for (const auto& v : c.fields) {
      sql += ", ?";
      p.add(v);
    }
    sql += ")";
    EXPECT_EQ(t.db().text(sql, p), data::NumeroControl(c.fields, c.n)) << c.name;
  }
}

// The same agreement over a table of many varied rows, as the save computes it: every kind of
// value in every position, with counts of numeric fields from none to more than the row has.
TEST(SqlSupport, ControlNumberInSqlMatchesOverAVariedTable) {
  TestDb t;
  auto& db = t.db();
  declaration::ensureSqlFunctions(db);
  db.run("CREATE TABLE v (c1, c2, c3, c4, c5, c6, cNumero)");
  const std::vector<Value> kinds = {
      Value(),
      Value(std::int64_t(6)),
      Value(std::int64_t(-42)),
      Value(std::int64_t(9223372036854775807LL)),
      Value(1500.25),
      Value(-0.1),
      Value(1e20),
      Value(std::string("20100070970")),
      Value(std::string("0601")),
      Value(std::string("  00123  ")),
      Value(std::string("+17")),
      Value(std::string("-0")),
      Value(std::string(" -250 ")),
      Value(std::string("123456789012345678")),
      Value(std::string("1234567890123456789012")),
      Value(std::string("4613.90")),
      Value(std::string("-12.5")),
      Value(std::string("1e3")),
      Value(std::string(".5")),
      Value(std::string("5.")),
      Value(std::string("12a")),
      Value(std::string("")),
      Value(std::string(" \t ")),
      Value(std::string("PÉREZ ÑUÑEZ")),
      Value(std::string("A\xff"
                        "B")),
      Value(std::string(200, 'z')),
  };
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xffffff; };
  for (int r = 0; r < 600; ++r) {
    data::Params p;
    for (int c = 0; c < 6; ++c) p.add(kinds[next() % kinds.size()]);
    db.run("INSERT INTO v VALUES (?, ?, ?, ?, ?, ?, NULL)", p);
  }
  int compared = 0;
  for (int n = 0; n <= 7; ++n) {
    auto rows =
        db.rows("SELECT c1, c2, c3, c4, c5, c6, cNumero, numero_control(?, c1, c2, c3, c4, c5, c6, NULL) FROM v", {n});
    for (const auto& row : rows) {
      std::vector<Value> fields(row.values().begin(), row.values().begin() + 7);
      ASSERT_EQ(row.text(7), data::NumeroControl(fields, n)) << "n=" << n << " row " << compared;
      ++compared;
    }
  }
  EXPECT_EQ(compared, 8 * 600);
}

// A row written with its control number computes each of its values once, not once for the
// column and again for the control number.
TEST(SqlSupport, InsertSelectComputesEachValueOnce) {
  TestDb t;
  auto& db = t.db();
  declaration::ensureSqlFunctions(db);
  db.run("CREATE TABLE src (a, b)");
  db.run("CREATE TABLE dst (k, a, b, cNumero)");
  for (int i = 0; i < 50; ++i) db.run("INSERT INTO src VALUES (?, ?)", {i, std::to_string(i) + ".5"});
  static int calls = 0;
  calls = 0;
  auto counted = [](sqlite3_context* ctx, int, sqlite3_value** argv) {
    ++calls;
    sqlite3_result_value(ctx, argv[0]);
  };
  ASSERT_EQ(sqlite3_create_function_v2(db.sqlite().getHandle(), "counted", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                       nullptr, counted, nullptr, nullptr, nullptr),
            SQLITE_OK);
  int added = declaration::insertSelect(db, "dst", 2, {{"k", "7"}, {"a", "counted(a)"}, {"b", "counted(b)"}},
                                        "FROM src WHERE a >= 0", {});
  EXPECT_EQ(added, 50);
  EXPECT_EQ(calls, 100);
  // The rows keep the order of the source, each with the control number of its own values.
  auto rows = db.rows("SELECT k, a, b, cNumero FROM dst ORDER BY rowid");
  ASSERT_EQ(rows.size(), 50u);
  EXPECT_EQ(rows.front().integer(1), 0);
  EXPECT_EQ(rows.back().integer(1), 49);
  for (const auto& r : rows) {
    std::vector<Value> fields(r.values().begin(), r.values().end());
    EXPECT_EQ(r.text(3), data::NumeroControl(fields, 2));
  }
}

// Merged into the insert (each expression computed for the column and again for the control
// number), the selection stores the same rows: same values, same types, same control numbers,
// bound parameters included, whatever the amounts look like.
TEST(SqlSupport, InsertSelectEvaluatedTwiceStoresTheSameRows) {
  TestDb t;
  auto& db = t.db();
  declaration::ensureSqlFunctions(db);
  db.run("CREATE TABLE src (correl INTEGER, codigo TEXT, monto TEXT, pag TEXT)");
  for (auto* name : {"once", "twice"})
    db.run(std::string("CREATE TABLE ") + name +
           " (d INTEGER, ruc TEXT, correl INTEGER, codigo TEXT, monto TEXT, pag TEXT, dif TEXT, cNumero TEXT)");
  const std::vector<Value> amounts = {Value(std::string("1500.00")), Value(std::string("-250.5")),
                                      Value(std::string("")),        Value(),
                                      Value(std::string("   ")),     Value(std::string("0007.10")),
                                      Value(std::int64_t(5)),        Value(-3.25),
                                      Value(std::string("12,5")),    Value(std::string("abc")),
                                      Value(std::string("ñ1")),      Value(std::string("0.00"))};
  for (std::size_t i = 0; i < amounts.size(); ++i)
    db.run("INSERT INTO src VALUES (?, ?, ?, ?)",
           {static_cast<std::int64_t>(i), i % 2 ? "0121" : "0805", amounts[i], amounts[amounts.size() - 1 - i]});
  auto amount = [](const std::string& c) {
    return "CASE WHEN " + c + " IS NULL OR " + c + " = '' THEN '' ELSE vbfmt(" + c + ", '#########0.00') END";
  };
  const std::vector<declaration::ColumnExpr> cols = {{"d", "6"},
                                                     {"ruc", "?"},
                                                     {"correl", "correl"},
                                                     {"codigo", "codigo"},
                                                     {"monto", amount("monto")},
                                                     {"pag", amount("pag")},
                                                     {"dif", "''"}};
  const std::string from = "FROM src WHERE correl >= ?";
  EXPECT_EQ(declaration::insertSelect(db, "once", 4, cols, from, {std::string("20111111110"), 0}),
            static_cast<int>(amounts.size()));
  EXPECT_EQ(declaration::insertSelect(db, "twice", 4, cols, from, {std::string("20111111110"), 0},
                                      declaration::Evaluation::Twice),
            static_cast<int>(amounts.size()));
  const std::string typed =
      "SELECT rowid, typeof(monto), typeof(pag), quote(d), quote(ruc), quote(correl), "
      "quote(codigo), quote(monto), quote(pag), quote(dif), quote(cNumero) FROM ";
  auto once = db.rows(typed + "once ORDER BY rowid"), twice = db.rows(typed + "twice ORDER BY rowid");
  ASSERT_EQ(twice.size(), once.size());
  for (std::size_t i = 0; i < once.size(); ++i)
    for (std::size_t c = 0; c < once[i].size(); ++c) EXPECT_EQ(twice[i].text(c), once[i].text(c)) << i << " " << c;
  for (const auto& r : db.rows("SELECT * FROM twice")) {
    std::vector<Value> fields(r.values().begin(), r.values().end());
    EXPECT_EQ(r.text(7), data::NumeroControl(fields, 4));
  }
}

// An amount taken as already in its picture (the import and vbfmt then keep its text) is exactly
// what formatting its value gives; anything else is formatted.
TEST(SqlSupport, AnAmountInItsPictureIsWhatFormattingItGives) {
  struct Case {
    const char* amount;
    bool inPicture;
  };
  const Case cases[] = {{"0.00", true},
                        {"0.05", true},
                        {"1.05", true},
                        {"107.10", true},
                        {"999999999999.99", true},
                        {"007.10", false},
                        {"0107.10", false},
                        {"5", false},
                        {"-5.00", false},
                        {"1.5", false},
                        {"1.005", false},
                        {"1234567890123.45", false},
                        {"1,234.50", false},
                        {" 1.00", false},
                        {"", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(declaration::formatsToItself(c.amount, "######0.00"), c.inPicture) << c.amount;
    EXPECT_EQ(declaration::formatsToItself(c.amount, "#########0.00"), c.inPicture) << c.amount;
    if (c.inPicture) {
      EXPECT_EQ(vbFormat(*Money::parse(c.amount), "######0.00"), c.amount);
      EXPECT_EQ(vbFormatText(c.amount, "#########0.00"), c.amount);
    }
  }
  EXPECT_FALSE(declaration::formatsToItself("107.10", "#,##0.00")) << "other pictures are formatted";
}

// Stored amounts rounded to two decimals: SaveTest.SavingTwiceLeavesOneSetOfRows.
TEST(SqlSupport, PictureAndRegistryDateFunctions) {
  TestDb t;
  declaration::ensureSqlFunctions(t.db());
  auto& db = t.db();
  EXPECT_EQ(db.text("SELECT vbfmt('', '######0.00')"), "");
  EXPECT_EQ(db.text("SELECT vbfmt(NULL, '######0.00')"), "");
  EXPECT_EQ(db.text("SELECT vbfmt('abc', '######0.00')"), "abc");
  EXPECT_EQ(db.text("SELECT ym('31/05/2012')"), "201205");
  EXPECT_EQ(db.text("SELECT ym(NULL)"), "");
  EXPECT_EQ(db.text("SELECT dmy('2012-05-31')"), "31/05/2012");
  EXPECT_EQ(db.text("SELECT dmy('2012-02-30')"), "");
  EXPECT_EQ(db.text("SELECT dmy(' 2012-05-01 00:00:00 ')"), "01/05/2012");
  EXPECT_EQ(db.text("SELECT dmy('7/3/0999')"), "07/03/0999");
  EXPECT_EQ(db.text("SELECT dmy(20120531)"), "31/05/2012");  // not a text: read through its text
  EXPECT_EQ(db.text("SELECT dmy(NULL)"), "");
}

// Amounts already written as their picture asks come back as they are without being formatted
// again; every other amount is formatted: the two ways agree on each case.
TEST(SqlSupport, PictureInSqlMatchesThePictureOfTheProgram) {
  TestDb t;
  declaration::ensureSqlFunctions(t.db());
  const char* values[] = {"1500.00",
                          "0.50",
                          "0.00",
                          "00.50",
                          "012.30",
                          "1500.5",
                          "1500.005",
                          "-12.00",
                          "12.3",
                          " 12.00",
                          "1,500.00",
                          "999999999999.99",
                          "123456789012345.00",
                          "7.",
                          ".50",
                          "1e3.00",
                          "",
                          "   ",
                          "\t"};
  const char* pictures[] = {"######0.00", "#########0.00", "#0.00", "0.00", "###########0", "#,###,##0.00"};
  for (const char* v : values)
    for (const char* p : pictures)
      EXPECT_EQ(t.db().text("SELECT vbfmt(?, ?)", {std::string(v), std::string(p)}), vbFormatText(text::trim(v), p))
          << v << " " << p;
  EXPECT_EQ(t.db().text("SELECT vbfmt(1500, '######0.00')"), "1500.00");
  for (const char* p : pictures) EXPECT_EQ(t.db().text("SELECT vbfmt(NULL, ?)", {std::string(p)}), "") << p;
}

}  // namespace
}  // namespace korventa::test
