// Establishments, SCTR of workers and of personnel of third parties, and income from other
// employers.
#include <gtest/gtest.h>

#include "detail/days_hours.h"
#include "detail/other_employers.h"
#include "detail/other_employer_detail_form.h"
#include "detail/sctr.h"
#include "detail/establishments_form.h"
#include "detail/third_parties.h"
#include "detail/days_fixture.h"

namespace korventa::test {
namespace {

using detail::EstablishmentsForm;
using detail::SctrForm;

class SctrTest : public DaysFixture {
 protected:
  // Worker 5 (type 20, SCTR cover) with establishments 2 and 3 marked.
  PersonKey sctrWorker() {
    PersonKey p = addWorker(5);
    db().run("INSERT INTO TMP_ESTTURNOS_JL VALUES (?, ?, ?, 2, '05', 1), (?, ?, ?, 3, '05', 1)",
             {p.correl_a, p.tip_doc_a, p.doc_id_a, p.correl_a, p.tip_doc_a, p.doc_id_a});
    return p;
  }
  detail::Outcome choose(const PersonKey& p, const std::string& est, const std::string& rate) {
    SctrForm f(session(), decl_, p);
    f.load();
    f.chooseRuc(kDemoRuc);
    f.chooseEstablishment(est);
    f.chooseRate(rate);
    return f.save();
  }
};

TEST_F(SctrTest, RateOnTheBaseGivesConcept0806) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> concepts;  // code, accrued (paid the same)
    const char* est;
    const char* rate;
    const char* base;
    const char* amount;
  } cases[] = {
      {"base_2500_at_1_53", {{"0121", "2500.00"}}, "2", "1", "2500.00", "38.25"},
      {"rate_0_63_rounds_half_up", {{"0121", "1250.50"}}, "2", "2", "1250.50", "7.88"},
      {"fifth_category_only_income_is_not_base",
       {{"0121", "1000.00"}, {"0406", "500.00"}},
       "3",
       "1",
       "1000.00",
       "12.30"},
      {"own_concept_flagged_by_the_declarant", {{"0121", "1000.00"}, {"1001", "200.00"}}, "2", "1", "1200.00", "18.36"},
      {"deductions_are_taken_off", {{"0121", "1000.00"}, {"0705", "100.00"}}, "2", "1", "900.00", "13.77"},
      {"deductions_beyond_the_base_empty_it", {{"0121", "100.00"}, {"0704", "300.00"}}, "2", "1", "", ""},
  };
  for (const auto& c : cases) {
    db().run("DELETE FROM TEMP1_F601");
    db().run("DELETE FROM TMPF601CONCEP");
    db().run("DELETE FROM TMP_ESTTURNOS_JL");
    db().run("DELETE FROM TMP_F601_SCTR_OTRO");
    PersonKey p = sctrWorker();
    for (const auto& [code, amount] : c.concepts) addConcept(p, code, amount);
    addConcept(p, "0806", "99.99");  // a stale amount is always rewritten
    addConcept(p, "0804", "90.00");
    ASSERT_TRUE(choose(p, c.est, c.rate).ok) << c.name << ": " << msg().last();
    EXPECT_EQ(conceptValue(p, "0806", "monto"), c.amount) << c.name;
    EXPECT_EQ(conceptValue(p, "0806", "monto_pag"), c.amount) << c.name;
    EXPECT_EQ(conceptValue(p, "0806", "base_calculo"), c.base) << c.name;
    EXPECT_EQ(worker(p, "sctr_essalud"), c.base) << c.name;
    EXPECT_EQ(worker(p, "sctr_tributo"), c.amount) << c.name;
    Money aport = Money::value("90.00") + Money::value(c.amount);
    EXPECT_EQ(worker(p, "AportEmp"), aport.toText(2)) << c.name;
  }
}

TEST_F(SctrTest, ChoiceIsWrittenOnceAndShownAgain) {
  PersonKey p = sctrWorker();
  addConcept(p, "0121", "2500.00");
  SctrForm f(session(), decl_, p);
  f.load();
  EXPECT_FALSE(f.hasChoice());
  auto r = f.save();
  EXPECT_EQ(msg().last(), "Debe Seleccionar Correlativo");
  EXPECT_EQ(r.focus, "CmbCorrelativo");
  f.chooseRuc(kDemoRuc);
  EXPECT_EQ(f.rucName(), "CORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A.");
  ASSERT_EQ(f.establishments().size(), 2u) << "only the marked risk establishments";
  EXPECT_EQ(f.establishments()[0].text, "0002 - UNIDAD MINERA SAN CRISTÓBAL - YAULI");
  f.chooseEstablishment("2");
  ASSERT_EQ(f.rates().size(), 2u);
  EXPECT_EQ(f.rates()[1].text, "1.53");
  f.chooseRate("1");  // no rate chosen: as for third parties (ThirdPartySctrFollowsRemunerationAndRate)
  ASSERT_TRUE(f.save().ok);
  ASSERT_TRUE(choose(p, "3", "1").ok);
  EXPECT_EQ(db().integer("SELECT count(*) FROM TMP_F601_SCTR_OTRO"), 1) << "one row per worker";
  EXPECT_EQ(rowTexts(db().row("SELECT ruc, tasa, correl_centro, correl_tasa, centro FROM TMP_F601_SCTR_OTRO")),
            (std::vector<std::string>{kDemoRuc, "1.23", "3", "1", "PLANTA METALÚRGICA ILO"}));

  SctrForm again(session(), decl_, p);
  again.load();
  EXPECT_TRUE(again.hasChoice());
  EXPECT_EQ(again.ruc(), kDemoRuc);
  EXPECT_EQ(again.establishment(), "3");
  EXPECT_EQ(again.rate(), "1");
  again.remove();
  EXPECT_EQ(db().integer("SELECT count(*) FROM TMP_F601_SCTR_OTRO"), 0);
  EXPECT_EQ(conceptValue(p, "0806", "monto"), "");
  EXPECT_EQ(worker(p, "sctr_tributo"), "");
}

TEST_F(SctrTest, EstablishmentsMarkedFirstAndUnmarkingTheOnlyOneDropsTheSctr) {
  PersonKey p = addWorker(5);
  db().run("INSERT INTO TMP_ESTTURNOS_JL VALUES (?, ?, ?, 4, '05', 1)", {p.correl_a, p.tip_doc_a, p.doc_id_a});
  addConcept(p, "0121", "2500.00");
  ASSERT_TRUE(choose(p, "4", "1").ok);
  EXPECT_EQ(conceptValue(p, "0806", "monto"), "46.00");

  EstablishmentsForm f(session(), decl_, p);
  f.load();
  ASSERT_EQ(f.items().size(), 7u);
  EXPECT_EQ(f.items()[0].codEst, 4);
  EXPECT_TRUE(f.items()[0].selected);
  EXPECT_EQ(f.items()[0].text(), "0004  SEDE PRODUCTIVA  20503987610  MUELLE PESQUERO PAITA");
  EXPECT_EQ(f.items()[1].codEst, 1);
  EXPECT_FALSE(f.items()[1].selected);

  // Marking another one keeps the choice.
  f.setSelected(1, true);
  EXPECT_EQ(f.accept(), 2);
  EXPECT_EQ(db().integer("SELECT count(*) FROM TMP_F601_SCTR_OTRO"), 1);

  f.load();
  for (std::size_t i = 0; i < f.items().size(); ++i) f.setSelected(i, f.items()[i].codEst == 1);
  EXPECT_EQ(f.accept(), 1);
  EXPECT_EQ(db().integer("SELECT count(*) FROM TMP_F601_SCTR_OTRO"), 0) << "its establishment was unmarked";
  EXPECT_EQ(conceptValue(p, "0806", "monto"), "");
  EXPECT_EQ(worker(p, "sctr_essalud"), "");

  EXPECT_FALSE(choose(p, "2", "1").ok) << "establishment 2 is not marked";
}

TEST_F(SctrTest, ThirdPartySctrFollowsRemunerationAndRate) {
  db().run(
      "INSERT INTO TEMP2_F601 (tip_doc_d, doc_id_d, CORREL_A, DOC_ID_A, TIP_DOC, NOMBRE, tip_doc_a) VALUES "
      "(6, ?, 20, '45678123', 'DNI', 'ORTIZ MEDINA, RAÚL', 1), (6, ?, 21, '46789234', 'DNI', 'LUNA PALOMINO, SANDRA', "
      "1)",
      {std::string(kDemoRuc), std::string(kDemoRuc)});
  detail::ThirdPartyForm f(session(), decl_);
  f.load();
  ASSERT_EQ(f.persons().size(), 2u);
  EXPECT_EQ(f.persons()[0].nombre, "LUNA PALOMINO, SANDRA") << "ordered by name";
  EXPECT_EQ(f.choosePerson(PersonKey{20, 1, "45678123", 4}), 1);
  struct Step {
    const char* name;
    std::function<void()> act;
    const char* message;
    const char* focus;
  } steps[] = {
      {"no_ruc", [] {}, "Debe Seleccionar RUC", "CmbRuc"},
      {"no_centre", [&] { f.chooseRuc(kDemoRuc); }, "Debe Seleccionar Código", "CmbCorrelativo"},
      {"no_rate", [&] { f.chooseEstablishment("2"); }, "Debe Seleccionar tasa", "CmbTasas"},
  };
  for (const auto& s : steps) {
    s.act();
    auto r = f.save();
    EXPECT_FALSE(r.ok) << s.name;
    EXPECT_EQ(msg().last(), s.message) << s.name;
    EXPECT_EQ(r.focus, s.focus) << s.name;
  }
  f.chooseRate("2");
  f.setRemuneration("1000");
  EXPECT_EQ(f.sctrAmount(), "6.30");
  ASSERT_TRUE(f.save().ok);
  EXPECT_EQ(
      rowTexts(db().row("SELECT Ruc, centro, Tasa, rem_sctrs, sctrs, Correl_centro, Correl_tasa FROM "
                        "TEMP2_F601 WHERE CORREL_A = 20")),
      (std::vector<std::string>{kDemoRuc, "UNIDAD MINERA SAN CRISTÓBAL - YAULI", "0.63", "1000.00", "6.30", "2", "2"}));
  EXPECT_EQ(f.person(), 1) << "the person stays chosen after the list is read again";
  f.setRemuneration("");
  EXPECT_EQ(f.sctrAmount(), "");
}

TEST_F(SctrTest, OtherEmployersIncome) {
  PersonKey p = addWorker(4);  // two other employers in the registry
  detail::OtherEmployerDetailForm d(session(), decl_, p);
  d.load();
  ASSERT_EQ(d.employers().size(), 2u);
  struct Case {
    const char* name;
    const char* ruc;
    const char* nombre;
    const char* monto;
    const char* message;
  } cases[] = {
      {"no_ruc", "", "X", "1", "Debe ingresar RUC."},
      {"bad_check_digit", "20519876542", "X", "1", "El RUC no es Válido."},
      {"no_name", "20100070970", "", "1", "Ingrese el nombre."},
      {"no_amount", "20100070970", "EMPRESA", "", "Ingrese el monto."},
  };
  for (const auto& c : cases) {
    msg().clear();
    d.setRuc(c.ruc);
    d.setNombre(c.nombre);
    d.setMonto(c.monto);
    EXPECT_FALSE(d.save().ok) << c.name;
    EXPECT_EQ(msg().last(), c.message) << c.name;
  }
  msg().clear();
  d.setRuc("20519876541");
  EXPECT_EQ(d.nombre(), "CONSULTORA GEOTÉCNICA DEL PACÍFICO S.A.C.") << "the registry names it";
  d.setMonto("1500.5");
  ASSERT_TRUE(d.save().ok);
  msg().clear();
  EXPECT_FALSE(d.setRuc("20519876541"));
  EXPECT_EQ(msg().last(), "El RUC ya se registró.");
  d.setMonto("1");
  EXPECT_FALSE(d.save().ok);
  EXPECT_EQ(msg().last(), "Ya se ingresó este RUC.");
  d.setRuc("20100070970");
  d.setNombre("EMPRESA SIN REGISTRO S.A.");
  d.setMonto("200");
  ASSERT_TRUE(d.save().ok);

  detail::OtherEmployersForm list(session(), decl_, p);
  list.refresh();
  ASSERT_EQ(list.rows().size(), 2u);
  EXPECT_EQ(list.rows()[1].nombre, "EMPRESA SIN REGISTRO S.A.") << "a RUC outside the registry keeps its name";
  EXPECT_EQ(list.total(), "1700.50");
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(list.remove(1));
  EXPECT_EQ(list.total(), "1500.50");
  EXPECT_EQ(detail::Total_Monto(db(), p), "1500.50");
}

}  // namespace
}  // namespace korventa::test
