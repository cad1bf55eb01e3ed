// The contribution rules of one person, one named row per rule or edge case: amounts go into
// the working tables, the whole declaration is recomputed, and the stored texts are compared.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

struct Amount {
  std::string code, monto, montoPag;
};
struct Expect {
  std::string code, column, value;  // code "" = summary column of TEMP1_F601
};
struct Case {
  const char* name;
  std::string periodo;
  WorkerProfile profile;
  std::vector<Amount> amounts;
  std::vector<Expect> expect;
  std::optional<std::string> sctrRate = std::nullopt;
  void (*extra)(WorkingFixture&, const PersonKey&) = nullptr;  // more working or registry rows
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

WorkerProfile profile(std::string tipo, int pension, int category = 1) {
  WorkerProfile s;
  s.tipo = std::move(tipo);
  s.pension = pension;
  s.category = category;
  return s;
}

WorkerProfile with(WorkerProfile s, void (*f)(WorkerProfile&)) {
  f(s);
  return s;
}

// Administrative service contract with SCTR and +Vida from the registry.
WorkerProfile type67() {
  return with(profile("67", 2), [](WorkerProfile& s) {
    s.sctr = 1;
    s.ipssVida = "5.00";
  });
}

// The declarant's IES rate of 1.7 %.
void iesRate(WorkingFixture& f, const PersonKey&) {
  f.t.db().run("INSERT INTO AFECTACION (tip_doc_d, doc_id_d, cod_tributo, valor, tasa) VALUES (6, ?, '050801', 0, 1.7)",
               {f.decl.ruc});
}

const std::vector<Case>& cases() {
  static const std::vector<Case> c = {
      {"PensionRegime30ClearsPensionConcepts",
       "201208",
       profile("37", 30),
       {{"0121", "1000.00", "1000.00"},
        {"0601", "50.00", "50.00"},
        {"0606", "5.00", "5.00"},
        {"0607", "20.00", "20.00"},
        {"0608", "8.00", "8.00"},
        {"0609", "9.00", "9.00"},
        {"0616", "5.00", "5.00"},
        {"0617", "20.00", "20.00"}},
       {{"0601", "monto", ""},
        {"0606", "monto", ""},
        {"0607", "monto", ""},
        {"0608", "monto", ""},
        {"0609", "monto", ""},
        {"0616", "monto", ""},
        {"0617", "monto", ""},
        {"0601", "base_calculo", ""},
        {"0607", "base_calculo", ""},
        {"0804", "base_calculo", "1000.00"},
        {"0804", "monto", "90.00"},
        {"", "salud", "90.00"},
        {"", "pens", ""},
        {"", "aporte_FCJMMS", ""}}},
      {"OnpIsThirteenPercentOfPosition8",
       "201206",
       profile("21", 2),
       {{"0121", "1500.00", "1500.00"}},
       {{"0607", "base_calculo", "1500.00"},
        {"0607", "monto", "195.00"},
        {"0607", "monto_pag", "195.00"},
        {"", "rem_pens", "1500.00"},
        {"", "pens", "195.00"},
        {"0601", "monto", ""}}},
      {"PrivatePensionGetsBaseAndKeepsTypedAmounts",
       "201206",
       profile("21", 21),
       {{"0121", "1500.00", "1500.00"}, {"0608", "150.00", "150.00"}},
       {{"0601", "base_calculo", "1500.00"},
        {"0608", "base_calculo", "1500.00"},
        {"0608", "monto", "150.00"},
        {"0607", "base_calculo", ""},
        {"0607", "monto", ""},
        {"0606", "base_calculo", ""}}},
      {"Type67Before200806ClearsAllFive",
       "200805",
       type67(),
       {{"2040", "1500.00", "1500.00"},
        {"0121", "100.00", "100.00"},
        {"0605", "10.00", "10.00"},
        {"0604", "", ""},
        {"0607", "", ""},
        {"0804", "", ""},
        {"0806", "", ""}},
       {{"0604", "monto", ""},
        {"0605", "monto", ""},
        {"0605", "base_calculo", ""},
        {"0607", "base_calculo", ""},
        {"0804", "base_calculo", ""},
        {"0806", "base_calculo", ""},
        {"0806", "monto", ""}},
       "1.53"},
      {"Type67From200806ClearsOnly0604_0804_0806",
       "200806",
       type67(),
       {{"2040", "1500.00", "1500.00"},
        {"0121", "100.00", "100.00"},
        {"0605", "10.00", "10.00"},
        {"0604", "", ""},
        {"0607", "", ""},
        {"0804", "", ""},
        {"0806", "", ""}},
       {{"0604", "monto", ""},
        {"0804", "base_calculo", ""},
        {"0806", "base_calculo", ""},
        {"0607", "base_calculo", "1600.00"},
        {"0607", "monto", "208.00"},
        {"0605", "base_calculo", "100.00"},
        {"0605", "monto", "10.00"}},
       "1.53"},
      {"Type67In200812StillClears0604_0804_0806",
       "200812",
       type67(),
       {{"2040", "1500.00", "1500.00"},
        {"0121", "100.00", "100.00"},
        {"0604", "", ""},
        {"0804", "", ""},
        {"0806", "", ""}},
       {{"0604", "monto", ""},
        {"0804", "base_calculo", ""},
        {"0804", "monto", ""},
        {"0806", "base_calculo", ""},
        {"0806", "monto", ""},
        {"0607", "base_calculo", "1600.00"}},
       "1.53"},
      {"Type67From200901KeepsThemWithUitCap",
       "200901",
       type67(),
       {{"2040", "1500.00", "1500.00"},
        {"0121", "100.00", "100.00"},
        {"0604", "", ""},
        {"0804", "", ""},
        {"0806", "", ""}},
       {{"0604", "monto", "5.00"},
        {"0804", "base_calculo", "1065.00"},
        {"0804", "monto", "95.85"},
        {"0806", "base_calculo", "100.00"},
        {"0806", "monto", "1.53"},
        {"", "salud", "95.85"}},
       "1.53"},
      {"Fcjmms0616ClosedBefore201205",
       "201204",
       profile("37", 2),
       {{"0121", "2000.00", "2000.00"}, {"0616", "", ""}, {"0617", "20.00", "20.00"}},
       {{"0616", "base_calculo", ""}, {"0616", "monto", ""}, {"0617", "monto", ""}}},
      {"Fcjmms0616OpensIn201205_0617Not",
       "201205",
       profile("37", 2),
       {{"0121", "2000.00", "2000.00"}, {"0616", "", ""}, {"0617", "20.00", "20.00"}},
       {{"0616", "base_calculo", "2000.00"},
        {"0616", "monto", "10.00"},
        {"0617", "monto", ""},
        {"", "rem_FCJMMS", "2000.00"},
        {"", "aporte_FCJMMS", "10.00"}}},
      {"Fcjmms0617ClosedIn201207",
       "201207",
       profile("38", 22),
       {{"0121", "2000.00", "2000.00"}, {"0616", "", ""}, {"0617", "20.00", "20.00"}},
       {{"0616", "monto", "10.00"}, {"0617", "monto", ""}, {"", "aporte_FrFCJMMS", ""}}},
      {"Fcjmms0617OpensIn201208",
       "201208",
       profile("38", 22),
       {{"0121", "2000.00", "2000.00"}, {"0616", "", ""}, {"0617", "20.00", "20.00"}},
       {{"0616", "monto", "10.00"}, {"0617", "monto", "20.00"}, {"", "aporte_FrFCJMMS", "20.00"}}},
      {"FcjmmsNotForType21",
       "201208",
       profile("21", 2),
       {{"0121", "2000.00", "2000.00"}, {"0616", "10.00", "10.00"}, {"0617", "20.00", "20.00"}},
       {{"0616", "monto", ""}, {"0617", "monto", ""}, {"", "rem_FCJMMS", ""}, {"", "aporte_FCJMMS", ""}}},
      {"NoIncomeGivesEmptyBasesNotZero",
       "201206",
       profile("21", 2),
       {{"0121", "", ""}, {"0804", "", ""}, {"0607", "", ""}},
       {{"0804", "base_calculo", ""},
        {"0804", "monto", ""},
        {"0607", "base_calculo", ""},
        {"", "rem_salud", ""},
        {"", "salud", ""},
        {"", "rem_pens", ""}}},
      {"DeductionsAboveTheBaseGiveZeroNeverNegative",
       "201206",
       profile("21", 2),
       {{"0121", "100.00", "100.00"}, {"0704", "", "150.00"}},
       {{"0804", "base_calculo", "0.00"},
        {"0804", "monto", ""},
        {"0607", "base_calculo", "0.00"},
        {"0607", "monto", ""},
        {"", "Desc_Trab", "150.00"}}},
      {"DomiciledFifthCategoryKeepsTypedAmount",
       "201206",
       profile("21", 2),
       {{"0121", "1000.00", "900.00"}, {"0605", "55.00", "55.00"}},
       {{"0605", "base_calculo", "900.00"}, {"0605", "monto", "55.00"}}},
      {"Type36MinimumBaseLessSubsidisedDays",
       "201206",
       with(profile("36", 2),
            [](WorkerProfile& s) {
              s.diasLab = "20";
              s.diasSub = "10";
            }),
       {{"0121", "1000.00", "1000.00"}},
       {{"0804", "base_calculo", "2200.00"}, {"0804", "monto", "198.00"}}},
      {"Type36InPerfectSuspensionHasNoMinimum",
       "201206",
       with(profile("36", 2), [](WorkerProfile& s) { s.situac = "15"; }),
       {{"0121", "1000.00", "1000.00"}},
       {{"0804", "base_calculo", "1000.00"}, {"0804", "monto", "90.00"}}},
      {"PensionerEssalud0610",
       "201206",
       profile("24", 12, 2),
       {{"0912", "1000.00", "1000.00"}},
       {{"0610", "base_calculo", "1000.00"},
        {"0610", "monto", "40.00"},
        {"", "rem_salud", "1000.00"},
        {"", "salud", "40.00"},
        {"0603", "monto", ""},
        {"0603", "base_calculo", ""}}},
      {"Pensioner20530",
       "201206",
       profile("24", 3, 2),
       {{"0912", "1000.00", "1000.00"}, {"0603", "20.00", "20.00"}},
       {{"0603", "base_calculo", "1000.00"},
        {"0603", "monto", "20.00"},
        {"", "rem_20530", "1000.00"},
        {"", "trib_20530", "20.00"}}},
      {"SctrWithoutChoiceIsEmpty",
       "201206",
       with(profile("21", 2), [](WorkerProfile& s) { s.sctr = 1; }),
       {{"0121", "2500.00", "2500.00"}, {"0806", "38.25", "38.25"}},
       {{"0806", "base_calculo", ""}, {"0806", "monto", ""}}},
      {"OwnConceptAffectationAddsToBases",
       "201206",
       profile("21", 99),
       {{"0121", "1000.00", "1000.00"}, {"1001", "500.00", "500.00"}},
       {{"0804", "base_calculo", "1500.00"}, {"0605", "base_calculo", "1000.00"}},
       std::nullopt,
       [](WorkingFixture& f, const PersonKey&) {
         f.t.db().run(
             "INSERT INTO TRIBUT_AFECTA (tip_doc_d, doc_id_d, codigo, afectacion) VALUES (6, ?, '1001', "
             "'1000000000000')",
             {f.decl.ruc});
       }},
      {"OtherEmployerIncomeEntersFifthCategory",
       "201206",
       profile("21", 99),
       {{"0121", "1000.00", "1000.00"}},
       {{"0605", "base_calculo", "1800.00"}},
       std::nullopt,
       [](WorkingFixture& f, const PersonKey& p) {
         f.t.db().run(
             "INSERT INTO TMPF601_605 (tip_doc_a, doc_id_a, correl_a, ruc, monto) VALUES (?, ?, ?, "
             "'20100000009', '800.00')",
             {p.tip_doc_a, p.doc_id_a, p.correl_a});
       }},
      {"ArtistsFundForType56",
       "201206",
       profile("56", 2),
       {{"0121", "1000.00", "1000.00"}},
       {{"0802", "base_calculo", "1000.00"},
        {"0802", "monto", "333.30"},
        {"", "fondo_dsa", "1000.00"},
        {"", "aporte_fdsa", "333.30"}}},
      {"SenatiBaseWithTypedAmount",
       "201206",
       profile("21", 99),
       {{"0121", "1000.00", "1000.00"}, {"0807", "7.50", "7.50"}},
       {{"0807", "base_calculo", "1000.00"}, {"0807", "monto", "7.50"}},
       std::nullopt,
       [](WorkingFixture& f, const PersonKey&) {
         f.t.db().run("UPDATE CONTRVKRS SET Ind_senati = 1 WHERE doc_id_d = ?", {f.decl.ruc});
       }},
      {"SenatiClearedForOtherDeclarants",
       "201206",
       profile("21", 99),
       {{"0121", "1000.00", "1000.00"}, {"0807", "7.50", "7.50"}},
       {{"0807", "base_calculo", ""}, {"0807", "monto", ""}}},
      {"IesAtTheDeclarantsRate",
       "201206",
       profile("21", 99),
       {{"0121", "1000.00", "1000.00"}, {"0808", "", ""}},
       {{"0808", "base_calculo", "1000.00"}, {"0808", "monto", "17.00"}},
       std::nullopt,
       iesRate},
      {"IesNeverForType67",
       "201206",
       profile("67", 99),
       {{"2040", "1000.00", "1000.00"}, {"0808", "17.00", "17.00"}},
       {{"0808", "base_calculo", ""}, {"0808", "monto", ""}},
       std::nullopt,
       iesRate},
      {"SummaryGroupsAndTotals",
       "201206",
       profile("21", 99),
       {{"0121", "1000.00", "1000.00"},
        {"0201", "100.00", "100.00"},
        {"0312", "50.00", "50.00"},
        {"0401", "200.00", "200.00"},
        {"0909", "30.00", "30.00"},
        {"0704", "", "20.00"}},
       {{"", "Ingresos", "1000.00"},
        {"", "Ing_asig", "100.00"},
        {"", "Ing_bonif", "50.00"},
        {"", "Ing_gratif", "200.00"},
        {"", "Ing_indemniz", ""},
        {"", "Concep_Varios", "30.00"},
        {"", "Desc_Trab", "20.00"},
        {"", "Tot_Ingresos", "1380.00"},
        {"", "AportDes", "20.00"},
        {"0804", "base_calculo", "1280.00"},
        {"", "AportEmp", "115.20"},
        {"", "NetoPagar", "1360.00"}}},
      {"NetPayMayBeNegative",
       "201206",
       profile("21", 99),
       {{"0121", "100.00", "100.00"}, {"0704", "", "150.00"}},
       {{"", "Tot_Ingresos", "100.00"}, {"", "AportDes", "150.00"}, {"", "NetoPagar", "-50.00"}}},
  };
  return c;
}

class ContributionRules : public ::testing::TestWithParam<Case> {};

TEST_P(ContributionRules, StoredTexts) {
  const Case& c = GetParam();
  WorkingFixture f(c.periodo);
  PersonKey p = f.person("40000001", c.profile);
  for (const auto& a : c.amounts) f.amount(p, a.code, a.monto, a.montoPag);
  if (c.sctrRate) f.sctrChoice(p, *c.sctrRate);
  if (c.extra) c.extra(f, p);
  f.recompute();
  for (const auto& e : c.expect) {
    if (e.code.empty()) {
      EXPECT_EQ(f.summary(p, e.column), e.value) << e.column;
    } else if (e.column == "<none>") {
      EXPECT_FALSE(f.offered(p, e.code)) << e.code << " should not be offered";
    } else {
      EXPECT_EQ(f.conceptText(p, e.code, e.column), e.value) << e.code << "." << e.column;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, ContributionRules, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korventa::test
