// The comparison of two stored declarations of the demo declarant, made through korventa-cli:
// a copy shows nothing, one changed amount shows that person and the boxes it moves, receipts
// make providers enter and leave, the threshold decides which amounts count.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "analysis/compare_fixture.h"

namespace korventa::test {
namespace {

using analysis::Comparison;
using analysis::PersonState;

// Column → difference of the one person of a state.
std::map<std::string, std::string> columnsOf(const analysis::PersonDifference& p) {
  std::map<std::string, std::string> out;
  for (const auto& c : p.columns) out[c.column] = analysis::signedAmount(c.difference());
  return out;
}

std::map<std::string, long long> boxesOf(const Comparison& c) {
  std::map<std::string, long long> out;
  for (const auto& b : c.boxes) out[b.casilla] = b.difference;
  return out;
}

bool anyReason(const std::vector<std::string>& reasons, const std::string& part) {
  for (const auto& r : reasons)
    if (r.find(part) != std::string::npos) return true;
  return false;
}

TEST_F(CompareTest, ACopyShowsNoDifference) {
  // 08/2012 is 07/2012 copied; the period before is the default.
  auto c = compare("201208");
  EXPECT_EQ(c.other.ref.periodo, "201207");
  EXPECT_TRUE(c.same()) << c.persons.size() << " persons, " << c.boxes.size() << " boxes";
  // And the other way round, a later period named explicitly.
  EXPECT_TRUE(compare("201207", "201208").same());
}

TEST_F(CompareTest, OneChangedAmountShowsThatPersonAndTheBoxesItMoves) {
  cli("concept " + kDemoRuc + " 201208 1 41235678 0121 3600.00 3600.00");
  auto c = compare("201208");
  ASSERT_EQ(c.persons.size(), 1u);
  const auto& p = c.persons[0];
  EXPECT_EQ(p.state, PersonState::Changed);
  EXPECT_EQ(p.person.doc, "41235678");
  EXPECT_EQ(p.person.name, "QUISPE MAMANI, JUAN");
  // Essalud 9 % of 100; no pension contribution (a private fund typed by hand).
  std::map<std::string, std::string> expected = {{"Tot_Ingresos", "+100.00"},
                                                 {"seg_reg_base", "+100.00"},
                                                 {"seg_reg_tributo", "+9.00"},
                                                 {"base_quinta", "+100.00"}};
  EXPECT_EQ(columnsOf(p), expected);
  EXPECT_TRUE(anyReason(p.reasons, "Concepto 0121 cambió: 3500.00 → 3600.00"));
  EXPECT_FALSE(anyReason(p.reasons, "Días"));
  std::map<std::string, long long> boxes = {{"412", 9}, {"452", 100}, {"455", 100}, {"712", 9}, {"748", 100}};
  EXPECT_EQ(boxesOf(c), boxes);
  for (const auto& b : c.boxes) {
    const char* expectedReason = b.casilla == "712" ? "casilla 412" : "41235678";
    EXPECT_TRUE(anyReason(b.reasons, expectedReason)) << b.casilla;
  }
}

TEST_F(CompareTest, ReceiptsMakeProvidersEnterAndLeave) {
  // The receipts go into 06/2012 only; 07/2012 was copied before (and a copy takes no receipts).
  cli("import " + kDemoRuc + " 201206 " + demoFile("4ta"));
  auto left = compare("201207");
  EXPECT_TRUE(left.withState(PersonState::Entered).empty());
  EXPECT_TRUE(left.withState(PersonState::Changed).empty());
  std::vector<std::string> docs;
  for (const auto* p : left.withState(PersonState::Left)) {
    docs.push_back(p->person.doc);
    EXPECT_EQ(p->person.category, analysis::kProvider);
  }
  EXPECT_EQ(docs, (std::vector<std::string>{"42233445", "10411223341", "XDA123456"}));
  auto boxes = boxesOf(left);
  EXPECT_EQ(boxes["461"], -6200);
  EXPECT_EQ(boxes["421"], -920);
  EXPECT_EQ(boxes["733"], -3);

  auto entered = compare("201206", "201207");
  EXPECT_EQ(entered.withState(PersonState::Entered).size(), 3u);
  EXPECT_TRUE(entered.withState(PersonState::Left).empty());
  EXPECT_EQ(boxesOf(entered)["461"], 6200);
  for (const auto& b : entered.boxes) {
    if (b.casilla == "733" || b.casilla == "547") {
      EXPECT_TRUE(anyReason(b.reasons, "Ingresaron 3, salieron 0"));
    }
  }
}

TEST_F(CompareTest, ThresholdBoundary) {
  // +1.00 of pay: bases +1.00, Essalud +0.09.
  cli("concept " + kDemoRuc + " 201208 1 41235678 0121 3501.00 3501.00");
  struct Case {
    const char* name;
    Money threshold;
    std::vector<std::string> columns;
  };
  const std::vector<Case> cases = {
      {"exactly the threshold is no change", Money::fromUnits(1), {}},
      {"just above the threshold", Money::value("0.99"), {"Tot_Ingresos", "base_quinta", "seg_reg_base"}},
      {"every cent", Money(), {"Tot_Ingresos", "base_quinta", "seg_reg_base", "seg_reg_tributo"}},
  };
  for (const auto& k : cases) {
    auto c = compare("201208", "", k.threshold);
    std::vector<std::string> columns;
    for (const auto* p : c.withState(PersonState::Changed))
      for (const auto& col : p->columns) columns.push_back(col.column);
    std::sort(columns.begin(), columns.end());
    EXPECT_EQ(columns, k.columns) << k.name;
    // Boxes are listed whatever the threshold: 3500 → 3501 moves the whole soles.
    EXPECT_EQ(boxesOf(c)["748"], 1) << k.name;
  }
}

TEST_F(CompareTest, MissingDeclarationIsReported) {
  analysis::ComparisonRequest req;
  req.current = {kDemoRuc, "201208", ""};
  req.other = {kDemoRuc, "201208", "1"};  // never sent
  EXPECT_FALSE(analysis::compareDeclarations(session(), req));
  EXPECT_EQ(msg().last(), "No existe la declaración 20503987610 08/2012 enviada (1).");
  req.other = {kDemoRuc, "", ""};
  req.current.periodo = "201206";  // 05/2012 was never made
  EXPECT_FALSE(analysis::compareDeclarations(session(), req));
  EXPECT_EQ(msg().last(), "No existe la declaración 20503987610 05/2012.");
}

TEST_F(CompareTest, CommandLine) {
  cli("concept " + kDemoRuc + " 201208 1 41235678 0121 3600.00 3600.00");
  auto r = runner_->run("compare " + kDemoRuc + " 201208");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
            "parte\testado\tcategoria\ttip_doc\tdoc\tnombre\tcodigo\tdescripcion\tantes\tdespues\tdiferencia\tmotivos");
  EXPECT_NE(r.out.find("persona\tCambió\t1\t1\t41235678\tQUISPE MAMANI, JUAN\tseg_reg_tributo\tEsSalud Seguro "
                       "Regular\t315.00\t324.00\t+9.00\t"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("casilla\t\t\t\t\t\t412\t"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Ingresaron 0, salieron 0, cambiaron 1; 5 casillas difieren"), std::string::npos) << r.err;
  // A higher threshold leaves only the boxes; an explicit period and JSON.
  r = runner_->run("--json compare " + kDemoRuc + " 08/2012 201207 --threshold 200");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.find("\"persona\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("{\"parte\": \"casilla\""), std::string::npos) << r.out;

  struct Case {
    const char* name;
    std::string args;
    int rc;
    const char* err;
  };
  const std::vector<Case> cases = {
      {"no period before", "compare " + kDemoRuc + " 201206", 1, "No existe la declaración 20503987610 05/2012."},
      {"sending never made", "compare " + kDemoRuc + " 201208 201207 --sent 1", 1,
       "No existe la declaración 20503987610 07/2012 enviada (1)."},
      {"negative threshold", "compare " + kDemoRuc + " 201208 --threshold -1", 1, "--threshold"},
      {"bad period", "compare " + kDemoRuc + " 2012", 1, "2012"},
  };
  for (const auto& k : cases) {
    auto run = runner_->run(k.args);
    EXPECT_EQ(run.rc, k.rc) << k.name << "\n" << run.err;
    EXPECT_NE(run.err.find(k.err), std::string::npos) << k.name << "\n" << run.err;
  }
}

}  // namespace
}  // namespace korventa::test
