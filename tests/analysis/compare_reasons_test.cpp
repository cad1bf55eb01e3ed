// Reasons the comparison gives for rates that change with the period, the miners' fund across
// 05/2012 (on the demo declarations), and the comparison with a sending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/box_reasons.h"
#include "analysis/compare_fixture.h"
#include "analysis/comparison_output.h"
#include "support/printouts_fixture.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

std::string joined(const std::vector<std::string>& v) {
  std::string out;
  for (const auto& s : v) out += (out.empty() ? "" : " | ") + s;
  return out;
}

TEST(CompareRates, PeriodRulesOfTheBoxes) {
  TestDb t(true);
  struct Case {
    const char* name;
    const char* before;
    const char* after;
    const char* casilla;
    const char* reason;  // "" when none is due
  };
  const std::vector<Case> cases = {
      {"IGV of the SCTR falls in 03/2011", "201102", "201103", "812", "IGV del SCTR cambió por período: 19 % → 18 %"},
      {"IGV rises going back", "201206", "201012", "812", "IGV del SCTR cambió por período: 18 % → 19 %"},
      {"IGV the same after 03/2011", "201103", "201206", "812", ""},
      {"FCJMMS starts in 05/2012", "201204", "201205", "591", "El aporte al FCJMMS rige desde 05/2012"},
      {"FCJMMS base box too", "201204", "201206", "590", "El aporte al FCJMMS rige desde 05/2012"},
      {"FCJMMS on both sides", "201205", "201206", "591", ""},
      {"fractioned quota from 08/2012", "201207", "201208", "531",
       "La cuota fraccionada del FCJMMS rige desde 08/2012"},
      {"no rule for the quota in 05/2012", "201204", "201205", "531", ""},
  };
  for (const auto& k : cases) {
    analysis::PeriodRates rates(t.db(), kDemoRuc, k.before, k.after);
    EXPECT_EQ(joined(rates.boxReasons(k.casilla)), k.reason) << k.name;
  }
}

TEST(CompareRates, ListRatesByWorkerType) {
  TestDb t(true);
  // EsSalud of type 21 rises to 9.50 % from 06/2012 (list 713: health at position 54).
  std::string funcion = t.db().text("SELECT Funcion FROM PARAM WHERE Numero = '713' AND Argumento LIKE '21 20041201%'");
  ASSERT_GE(funcion.size(), 58u);
  funcion.replace(53, 5, " 9.50");
  t.db().run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('713', '21 20120601 99991231', ?)", {funcion});
  const std::string raised = "Tasa EsSalud del tipo 21 cambió por período: 9.00 % → 9.50 %";
  struct Case {
    const char* name;
    const char* before;
    const char* after;
    const char* casilla;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"health box across the change", "201205", "201206", "412", raised},
      {"pension box keeps its rate", "201205", "201206", "411", ""},
      {"both periods after the change", "201206", "201207", "412", ""},
  };
  for (const auto& k : cases) {
    analysis::PeriodRates rates(t.db(), kDemoRuc, k.before, k.after);
    rates.addType("21");
    EXPECT_EQ(joined(rates.boxReasons(k.casilla)), k.reason) << k.name;
  }
  analysis::PeriodRates rates(t.db(), kDemoRuc, "201205", "201206");
  EXPECT_EQ(joined(rates.reasonsFor("21")), raised);
  EXPECT_EQ(joined(rates.reasonsFor("20")), "");
}

TEST(CompareRates, ConceptRules) {
  TestDb t(true);
  analysis::PeriodRates across(t.db(), kDemoRuc, "201204", "201206");
  EXPECT_EQ(across.conceptRule("0616"), "El aporte al FCJMMS rige desde 05/2012");
  EXPECT_EQ(across.conceptRule("0617"), "");
  EXPECT_EQ(across.conceptRule("0121"), "");
  analysis::PeriodRates same(t.db(), kDemoRuc, "201206", "201207");
  EXPECT_EQ(same.conceptRule("0616"), "");
}

TEST_F(CompareTest, MinersFundAcross052012) {
  // 04/2012 made from the registry with the same pay imported: the miner pays the fund in 06/2012 only.
  cli("new " + kDemoRuc + " 201204");
  auto c = compare("201206", "201204");
  bool minerFound = false;
  for (const auto* p : c.withState(analysis::PersonState::Changed)) {
    for (const auto& r : p->reasons)
      if (r == "El aporte al FCJMMS rige desde 05/2012") minerFound = true;
  }
  EXPECT_TRUE(minerFound);
  bool boxFound = false;
  for (const auto& b : c.boxes)
    if (b.casilla == "591") {
      boxFound = true;
      EXPECT_EQ(b.before, "");
      EXPECT_EQ(b.after, "26");
      EXPECT_NE(joined(b.reasons).find("El aporte al FCJMMS rige desde 05/2012"), std::string::npos);
    }
  EXPECT_TRUE(boxFound);
}

TEST(CompareSent, ASendingComparedWithItsDeclaration) {
  TestDb t;
  buildFixedDeclaration(t.db());
  sendFixedDeclaration(t.db(), "1", "CTRL", "123");
  analysis::ComparisonRequest req;
  req.current = {kRuc, kPeriodo, ""};
  req.other = {kRuc, kPeriodo, "1"};
  auto c = analysis::compareDeclarations(t.session(), req);
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->same());
  EXPECT_EQ(analysis::comparisonTitle(*c), "Comparación de 03/2012 con 03/2012 enviada (1) (umbral 1.00)");
  // A box typed afterwards in the declaration differs from the sending only there.
  t.db().run(
      "INSERT OR REPLACE INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla) "
      "VALUES (6, ?, ?, '0601', '505', '50', '01')",
      {std::string(kRuc), std::string(kPeriodo)});
  c = analysis::compareDeclarations(t.session(), req);
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->persons.empty());
  ASSERT_EQ(c->boxes.size(), 1u);
  EXPECT_EQ(c->boxes[0].casilla, "505");
  EXPECT_EQ(joined(c->boxes[0].reasons), "Casilla ingresada por el usuario");
}

}  // namespace
}  // namespace korventa::test
