// Consultations of the reference lists and the rates by worker type.
#include <algorithm>
#include <regex>

#include <gtest/gtest.h>

#include "reference/consultas.h"
#include "support/test_db.h"

namespace korventa::reference {
namespace {

using test::TestDb;

std::vector<std::string> codes(const Consulta& c) {
  std::vector<std::string> out;
  for (const auto& r : c.rows) out.push_back(r.codigo);
  return out;
}

bool contains(const std::vector<std::string>& v, const std::string& x) {
  return std::find(v.begin(), v.end(), x) != v.end();
}

// Captions and first rows of each list are checked through the menu of the main window.
TEST(Consultas, CodesNeverListedAndDescriptionsCutAtTheirWidth) {
  TestDb t;
  for (const char* mode : {"X", "", "BS"}) EXPECT_FALSE(consultar(t.db(), mode)) << mode;
  // Header rows must never show either, whatever list they are in.
  t.db().run(
      "INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('004', '-', 'BANCOS'), ('714', '-', 'SITUACIONES')");
  // 40 characters of name: the bank list shows 36 of them.
  t.db().run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('004', '77', ?)",
             {std::string("BANCO DE PRUEBA CON NOMBRE MUY LARGO ÑANDÚ")});
  struct Case {
    const char* mode;
    std::vector<std::string> absent;
    std::vector<std::string> present;
  };
  const Case cases[] = {
      {"B", {"00", "-"}, {"02", "18", "53"}},
      {"T", {"80", "81", "99"}, {"19", "21", "98"}},
      {"S", {"-"}, {"10", "11", "18", "19"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    auto list = codes(*consultar(t.db(), c.mode));
    for (const auto& a : c.absent) EXPECT_FALSE(contains(list, a)) << a;
    for (const auto& p : c.present) EXPECT_TRUE(contains(list, p)) << p;
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
  }
  auto banks = *consultar(t.db(), "B");
  auto it = std::find_if(banks.rows.begin(), banks.rows.end(), [](const ConsultaRow& r) { return r.codigo == "77"; });
  ASSERT_NE(it, banks.rows.end());
  EXPECT_EQ(it->descrip, "BANCO DE PRUEBA CON NOMBRE MUY LARGO");
}

// Newest first, dd/mm/yyyy and two decimals; amounts stored with more decimals are rounded.
TEST(Consultas, DatedListsNewestFirstWithTwoDecimals) {
  TestDb t;
  const std::regex date(R"(\d{2}/\d{2}/\d{4})");
  const std::regex amount(R"(\d+\.\d{2})");
  struct Case {
    const char* mode;
    std::vector<std::pair<std::string, std::string>> expected;  // the first row and an older one
  };
  const Case cases[] = {
      {"U", {{"01/01/2013", "3700.00"}, {"01/01/2008", "3500.00"}}},
      {"R", {{"01/06/2012", "750.00"}, {"15/08/2011", "675.00"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    auto r = *consultar(t.db(), c.mode);
    std::vector<std::string> keys;
    for (const auto& row : r.rows) {
      EXPECT_TRUE(std::regex_match(row.codigo, date)) << row.codigo;
      EXPECT_TRUE(std::regex_match(row.descrip, amount)) << row.descrip;
      keys.push_back(row.codigo.substr(6, 4) + row.codigo.substr(3, 2) + row.codigo.substr(0, 2));
    }
    EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend()));
    EXPECT_EQ(r.rows.front().codigo, c.expected.front().first);
    for (const auto& [code, value] : c.expected) {
      auto it = std::find_if(r.rows.begin(), r.rows.end(), [&](const ConsultaRow& x) { return x.codigo == code; });
      ASSERT_NE(it, r.rows.end()) << code;
      EXPECT_EQ(it->descrip, value);
    }
  }
  t.db().run(
      "INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('404', '20140101', '   3800.005'), "
      "('982', '20140501', '  750.5 ')");
  EXPECT_EQ(consultar(t.db(), "U")->rows.front().descrip, "3800.01");
  auto r = consultar(t.db(), "R")->rows.front();
  EXPECT_EQ(r.codigo, "01/05/2014");
  EXPECT_EQ(r.descrip, "750.50");
}

TEST(WorkerRatesForm, EachRateComesFromItsOwnPositions) {
  TestDb t;
  // Type 77 with distinct values in every rate field (positions 42, 48, 54, 60, 66, 72, 78).
  std::string f = std::string(41, ' ') + "1.11 " + " 2.22 " + " 3.33 " + " 4.44 " + " 5.55 " + " 6.66 " + " 7.77";
  t.db().run(
      "INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('700', '77', 'TIPO DE PRUEBA'), "
      "('713', '77 20100315 99991231', ?), ('713', '77 20090101 20100314', ?)",
      {f, f});
  WorkerRatesForm tasas(t.db());
  auto rows = tasas.tasas("77");
  ASSERT_EQ(rows.size(), 2u);
  const auto& r = rows[0];
  EXPECT_EQ(r.vigencia, "15/03/2010");
  EXPECT_EQ(rows[1].vigencia, "01/01/2009");
  EXPECT_EQ(r.ies, "1.11");
  EXPECT_EQ(r.pension, "2.22");
  EXPECT_EQ(r.salud, "3.33");
  EXPECT_EQ(r.artistas, "4.44");
  EXPECT_EQ(r.vida, "5.55");
  EXPECT_EQ(r.saludA, "6.66");
  EXPECT_EQ(r.asegtpe, "7.77");

  // A blank type is refused as none chosen; a type without rates gives an empty history, without a
  // message (the types offered, none chosen and a type without rates: MdiFrmTest::ratesByWorkerType).
  EXPECT_FALSE(tasas.consultar("  ", t.messenger()));
  // A code that only shares its first digit is not the type.
  EXPECT_TRUE(tasas.tasas("7").empty());
}

}  // namespace
}  // namespace korventa::reference
