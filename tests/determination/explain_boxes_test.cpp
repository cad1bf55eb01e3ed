// "¿De dónde sale?": on the demo declaration and on generated ones (random persons, worker types,
// concepts, days, receipts, EPS invoices, establishments, typed boxes), the explanation of every
// filled box and of every filled summary column of the persons gives the value exactly.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "declaration/declaration_form.h"
#include "determination/box_explanation.h"
#include "determination/debt_grid.h"
#include "determination/explain_support.h"
#include "determination/person_computation.h"
#include "determination/working_fixture.h"
#include "support/demo_entries.h"

namespace korventa::test {
namespace {

using determination::BoxExplanation;

// Every filled box, then every filled summary column of every person: the faults found.
std::vector<std::string> faults(Session& s, const model::OpenDeclaration& d, int* checked = nullptr,
                                std::set<std::string>* seen = nullptr) {
  std::vector<std::string> found;
  auto boxes = determination::explainFilledBoxes(s, d);
  for (const auto& e : boxes) {
    if (auto f = explanationFault(e); !f.empty()) found.push_back(f);
    if (seen && !e.sources.empty()) seen->insert(e.target);
  }
  // The totals the validation compares the tax boxes with.
  for (const char* box : {"411", "413", "415", "416", "417", "418", "419", "591"}) {
    auto e = determination::explainTaxTotal(s, box);
    if (auto f = explanationFault(e); !f.empty()) found.push_back("validación " + f);
    if (seen && !e.sources.empty()) seen->insert(std::string("validación ") + box);
  }
  for (const auto& p : model::loadPersons(s.database(), d.ruc)) {
    for (int c = 0; c < model::kSummaryColumns; ++c) {
      if (p.storedSummary[static_cast<std::size_t>(c)].empty()) continue;
      auto e = determination::explainPersonColumn(s, d, p.key, model::summaryColumnName(c));
      if (auto f = explanationFault(e); !f.empty()) found.push_back(p.key.doc_id_a + " " + f);
      for (const auto& step : e.steps)
        if (seen && (step.kind == model::StepKind::Adjust || step.kind == model::StepKind::Subtract ||
                     step.kind == model::StepKind::Add))
          seen->insert(std::string("paso ") + determination::stepKindName(step.kind));
      if (seen && e.caption.find("base de cálculo del concepto") != std::string::npos)
        seen->insert(e.target + " por posición");
      if (checked) ++*checked;
    }
  }
  if (checked) *checked += static_cast<int>(boxes.size());
  return found;
}

TEST(ExplainBoxes, TheDemoDeclarationIsExplainedBoxByBox) {
  TestDb t(true);
  t.session().user = "CONTADOR";
  declaration::DeclarationForm f(t.session());
  f.newDeclaration();
  f.CmbRuc_Click("20503987610");
  ASSERT_TRUE(f.acceptPeriod("06/2012").ok);
  completeDeclaration(t.session(), f.declaration());
  int checked = 0;
  EXPECT_EQ(faults(t.session(), f.declaration(), &checked), std::vector<std::string>{});
  EXPECT_GT(checked, 40);
  // Box 412 is the ESSALUD of the regular workers: one source per worker who pays it.
  auto e = determination::explainBox(t.session(), f.declaration(), "412");
  ASSERT_FALSE(e.value.empty());
  ASSERT_GE(e.sources.size(), 2u);
  for (const auto& s : e.sources) {
    EXPECT_EQ(s.kind, "Trabajador");
    EXPECT_EQ(s.reference, "salud");
    EXPECT_FALSE(s.name.empty());
  }
  f.leave();
}

// A recorder that loses one source of box 412.
class LosingRecorder : public determination::ExplanationRecorder {
 public:
  void source(std::string_view target, model::AmountSource s) override {
    if (target == "412" && !lost_) {
      lost_ = true;
      return;
    }
    ExplanationRecorder::source(target, std::move(s));
  }

 private:
  bool lost_ = false;
};

TEST(ExplainBoxes, ASourceTheRecorderMissesIsCaught) {
  WorkingFixture f("201206");
  f.decl.typedBoxesRead = true;
  f.worker("10000001", "rem_salud = '1000.40', salud = '90.04'");
  f.worker("10000002", "rem_salud = '2000.10', salud = '180.01'");
  auto whole = determination::explainBox(f.t.session(), f.decl, "412");
  EXPECT_EQ(explanationFault(whole), "");
  ASSERT_EQ(whole.sources.size(), 2u);
  EXPECT_EQ(whole.sources[0].doc + " " + whole.sources[0].amount.toText(2), "10000001 90.04");
  EXPECT_EQ(whole.value, "270");

  LosingRecorder rec;
  determination::DebtDetermination grid(f.t.session(), f.decl);
  grid.setRecorder(&rec);
  grid.load();
  auto e = rec.explanation("412");
  e.value = grid.value("412");
  EXPECT_EQ(explanationFault(e), "412 (Suma): la suma 270.0500 no es la de los aportes 180.0100");
}

// A generated declaration: persons of random types, categories, pension systems, days and pay,
// then the computation; then the rows the grid reads besides the persons, and typed boxes.
class Generator {
 public:
  Generator(WorkingFixture& f, unsigned seed) : f_(f), rng_(seed) {}

  void fill() {
    auto& db = f_.t.db();
    for (const char* t :
         {"TEMP1_F601", "TMPF601CONCEP", "TEMP2_F601", "TMPF601RDDET", "TMPF600INFEPS", "TMP_F601_SCTR_OTRO"})
      db.run(std::string("DELETE FROM ") + t);
    for (int i = 0, n = pick(1, 7); i < n; ++i) person(i);
    f_.recompute();
    for (int i = pick(0, 2); i > 0; --i) establishment(i);
    for (int i = pick(0, 3); i > 0; --i) receipt(i);
    for (int i = pick(0, 3); i > 0; --i) invoice(i);
    for (int i = pick(0, 2); i > 0; --i) solidarityTax(i);
    // The persons' summary rows count the 0808 rows added after the computation.
    auto persons = model::loadPersons(db, f_.decl.ruc);
    for (auto& p : persons) p.summary = determination::SumaIngresos_Tmp(p);
    model::storePersons(db, persons);
    typedBoxes();
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::string money(int lo, int hi) { return std::to_string(pick(lo, hi)) + "." + std::to_string(pick(10, 99)); }
  template <class T>
  T one(std::initializer_list<T> v) {
    return *(v.begin() + pick(0, static_cast<int>(v.size()) - 1));
  }

  void person(int i) {
    WorkerProfile p;
    p.category = pick(0, 4) == 0 ? 2 : 1;
    p.tipo = p.category == 2 ? one({"24", "26"}) : one({"21", "20", "64", "36", "26", "56", "32", "98"});
    p.pension = p.category == 2 ? one({2, 3, 21}) : one({2, 21, 22, 23, 24, 25, 13});
    p.diasLab = std::to_string(pick(0, 30));
    p.diasNoLab = pick(0, 3) == 0 ? std::to_string(pick(1, 5)) : "";
    p.sctr = pick(0, 2) == 0 ? 1 : 0;
    p.domicilio = pick(0, 6) == 0 ? "2" : "1";
    p.ipssVida = pick(0, 3) == 0 ? "5.00" : "";
    p.asegPens = pick(0, 3) == 0 ? "5.00" : "";
    auto k = f_.person("4" + std::to_string(1000000 + i * 7919 + pick(0, 999)), p);
    if (p.sctr) f_.sctrChoice(k, one({"1.53", "0.63", "2.10"}));
    f_.amount(k, p.category == 2 ? "0912" : "0121", money(750, 9000));
    for (const char* code : {"0201", "0301", "0401", "0909", "0705", "0605", "0807", "1000"})
      if (pick(0, 2) == 0) f_.amount(k, code, money(10, 900), pick(0, 3) == 0 ? money(10, 900) : "");
  }

  void establishment(int i) {
    f_.t.db().run(
        "INSERT INTO TEMP2_F601 (tip_doc_d, doc_id_d, CORREL_A, DOC_ID_A, TIP_DOC, NOMBRE, Ruc, centro, Tasa, "
        "rem_sctrs, sctrs, tip_doc_a) VALUES (6, ?, ?, ?, '1', ?, ?, ?, '1.53', ?, ?, 1)",
        {f_.decl.ruc, 900 + i, "4700000" + std::to_string(i), "TERCERO " + std::to_string(i), "20100000001",
         std::to_string(i), money(500, 4000), money(5, 60)});
  }

  void receipt(int i) {
    f_.t.db().run(
        "INSERT INTO TMPF601RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_doc_a, "
        "doc_id_a, num_ser, num_rec, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, mto_ies) VALUES (6, ?, ?, "
        "'0601', ?, 3, 6, ?, '001', ?, '15/06/2012', ?, '1', '10', ?, '')",
        {f_.decl.ruc, f_.decl.periodo, 800 + i, "1040000000" + std::to_string(i), std::to_string(100 + i),
         money(1000, 5000), money(100, 500)});
  }

  void invoice(int i) {
    f_.t.db().run(
        "INSERT INTO TMPF600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, Correl, RUC_EPS, "
        "Periodo_fac, Num_Serie, Num_Fac, Imp_total, Imp_cred) VALUES (6, ?, ?, '0601', ?, ?, '20414955020', ?, "
        "'F001', ?, ?, ?)",
        {f_.decl.ruc, f_.decl.periodo, one({"602", "612", "408", "428"}), f_.decl.correl, f_.decl.periodo,
         std::to_string(i), money(300, 900), money(10, 250)});
  }

  void solidarityTax(int i) {
    f_.t.db().run(
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, "
        "monto_pag, base_calculo) SELECT tip_doc_a, doc_id_a, Correl_a, cod_cat_tra, '0808', 'IES', ?, ?, ? "
        "FROM TEMP1_F601 LIMIT 1 OFFSET ?",
        {money(10, 90), money(10, 90), money(1000, 3000), i - 1});
  }

  void typedBoxes() {
    f_.decl.typedBoxes.clear();
    f_.decl.typedBoxesRead = true;
    for (const char* box : {"501", "502", "702", "511", "600", "605", "800", "802"})
      if (pick(0, 3) == 0) f_.decl.typedBoxes[box] = std::to_string(pick(0, 400));
  }

  WorkingFixture& f_;
  std::mt19937 rng_;
};

TEST(ExplainBoxes, TwoHundredGeneratedDeclarationsAreExplainedExactly) {
  int checked = 0;
  std::set<std::string> seen;  // boxes explained with sources
  for (const char* periodo : {"201106", "201206"}) {
    WorkingFixture f(periodo);
    for (unsigned seed = 1; seed <= 100; ++seed) {
      Generator(f, seed).fill();
      auto found = faults(f.t.session(), f.decl, &checked, &seen);
      ASSERT_EQ(found, std::vector<std::string>{}) << "período " << periodo << ", semilla " << seed;
    }
  }
  EXPECT_GT(checked, 2000);
  // Every kind of source was among them.
  for (const char* box : {"412", "452", "456", "458", "459", "419", "451", "411", "413", "414", "454", "460",  "420",
                          "461", "421", "602", "612", "408", "428", "450", "410", "712", "812", "804", "total"})
    EXPECT_TRUE(seen.count(box)) << box;
  // And the persons' bases were followed down to their positions, deductions, other income and rules.
  for (const char* what : {"rem_salud por posición", "rem_pens por posición", "rem_afecta por posición",
                           "sctr_essalud por posición", "paso menos", "paso regla", "validación 411", "validación 419"})
    EXPECT_TRUE(seen.count(what)) << what;
}

}  // namespace
}  // namespace korventa::test
