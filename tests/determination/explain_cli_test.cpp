// korventa-cli explain on the demo database: the lines of a box add up to it, a person's column,
// JSON, and what is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/money.h"
#include "support/cli_runner.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<std::string>> tsv(const std::string& out) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(out);
  for (std::string l; std::getline(in, l);) {
    if (l.empty() || l[0] == '#') continue;
    std::vector<std::string> f;
    std::istringstream fields(l);
    for (std::string x; std::getline(fields, x, '\t');) f.push_back(x);
    if (l.back() == '\t') f.emplace_back();
    rows.push_back(std::move(f));
  }
  return rows;
}

class ExplainCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!cli_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    ASSERT_EQ(cli_.run("init --demo").rc, 0);
    ASSERT_EQ(cli_.run("new 20503987610 201206").rc, 0);
    auto rem = fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import/060120503987610201206.rem";
    ASSERT_EQ(cli_.run("import 20503987610 201206 '" + rem.string() + "'").rc, 0);
  }
  CliRunner cli_;
};

TEST_F(ExplainCli, TheLinesOfABoxAddUpToIt) {
  auto r = cli_.run("explain 20503987610 062012 412");
  ASSERT_EQ(r.rc, 0) << r.err;
  auto rows = tsv(r.out);
  ASSERT_GE(rows.size(), 4u);
  ASSERT_EQ(rows[0].front(), "Línea");
  ASSERT_EQ(rows[0].size(), 11u);
  Money sum, result;
  int persons = 0;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 11u) << i;
    if (rows[i][0] == "aporte") {
      ++persons;
      EXPECT_EQ(rows[i][1], "Trabajador");
      EXPECT_EQ(rows[i][2], "DNI");  // named as the grids name it, not its code
      EXPECT_EQ(rows[i][6], "0804");
      sum += Money::value(rows[i][9]);
    } else {
      EXPECT_EQ(rows[i][0], "paso");
      result = Money::value(rows[i][10]);
    }
  }
  EXPECT_GE(persons, 2);
  EXPECT_EQ(result, sum.rounded(0));
  // The header line names the box and its value, which the steps give.
  EXPECT_NE(r.out.find("# Casilla 412 · ESSALUD SEGURO REGULAR - TRAB. · Impuesto Resultante = " +
                       std::to_string(result.raw() / Money::kScale)),
            std::string::npos)
      << r.out;
}

TEST_F(ExplainCli, APersonsColumnAndJson) {
  auto r = cli_.run("explain 20503987610 201206 412 --person 41235678");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("# salud · 41235678"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("aporte\tConcepto\t\t\t\t\t0804\t"), std::string::npos) << r.out;
  auto j = cli_.run("--json explain 20503987610 201206 total");
  ASSERT_EQ(j.rc, 0) << j.err;
  EXPECT_EQ(j.out.front(), '[');
  EXPECT_NE(j.out.find("\"Línea\": \"paso\""), std::string::npos) << j.out;
}

TEST_F(ExplainCli, WhatIsRefused) {
  struct Case {
    const char* name;
    std::string args, error;
  };
  const Case cases[] = {
      {"no box of the grid", "explain 20503987610 201206 999", "no es de la determinación de la deuda"},
      {"no person of the declaration", "explain 20503987610 201206 412 --person 99999999", "no es trabajador"},
      {"no summary column", "explain 20503987610 201206 sueldo --person 41235678", "No es una columna del resumen"},
      {"no total of the validation", "explain 20503987610 201206 412 --validation", "no compara la casilla 412"},
  };
  for (const auto& c : cases) {
    auto r = cli_.run(c.args);
    EXPECT_EQ(r.rc, 1) << c.name;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << c.name << ": " << r.err;
  }
}

}  // namespace
}  // namespace korventa::test
