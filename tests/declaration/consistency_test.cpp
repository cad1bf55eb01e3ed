// What the validation says is what the save stores and what can be sent: the demo declarant's
// June, complete and paid (no inconsistency, estado 0), spoilt with one inconsistency at a time
// through the forms' operations — listed by "&Validar", saved with estado 9 and the warning,
// refused by the sending — and mended again: clean, estado 0, sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "common/dates.h"
#include "declaration/declaration_form.h"
#include "data/sessions.h"
#include "declaration/send.h"
#include "detail/concept_entry.h"
#include "detail/sctr.h"
#include "detail/establishments_form.h"
#include "detail/suspensions.h"
#include "detail/suspension_detail_form.h"
#include "detail/suspension_list_form.h"
#include "determination/debt_grid.h"
#include "determination/validation.h"
#include "support/demo_entries.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

const std::string kDemoRuc = "20503987610";
const std::string kSaved = "La declaración fue grabada satisfactoriamente.";
const std::string kSavedInconsistent =
    "La información de la declaración fue guardada con inconsistencias. En estas condiciones no podrá ser enviada a "
    "la ZUMAR.";

// The open demo declaration and what a case does to it.
struct Demo {
  TestDb& t;
  declaration::DeclarationForm& form;
  model::OpenDeclaration& decl() { return form.declaration(); }
  Session& s() { return t.session(); }
  PersonKey worker(const std::string& doc) {
    return PersonKey{t.db().integer("SELECT Correl_a FROM TEMP1_F601 WHERE doc_id_a = ? AND cod_cat_tra = 1", {doc}), 1,
                     doc, kWorker};
  }
  // A detail form's work on a person, as the declaration form wraps it.
  void detail(const PersonKey& p, const std::function<void()>& work) {
    form.prepareDetail();
    work();
    form.afterDetail(p);
  }
  void typeAmount(const std::string& doc, const std::string& code, const std::string& monto) {
    auto p = worker(doc);
    detail(p, [&] { ASSERT_TRUE(detail::typeConceptAmount(s(), decl(), p, code, monto, std::nullopt)) << code; });
  }
  void markEstablishments(const std::string& doc, std::vector<long long> codes) {
    auto p = worker(doc);
    detail(p, [&] {
      detail::EstablishmentsForm e(s(), decl(), p);
      e.load();
      ASSERT_TRUE(e.markOnly(codes));
      e.accept();
    });
  }
  // Typed into the determination grid; "=" types the box's balance.
  void typeBox(const std::string& box, const std::string& value) {
    determination::DebtDetermination g(s(), decl());
    g.load();
    ASSERT_TRUE(g.setBox(box, value)) << box;
    decl().typedBoxes = g.typedBoxes();
    decl().typedBoxesRead = true;
  }
  std::string box(const std::string& b) {
    determination::DebtDetermination g(s(), decl());
    g.load();
    return g.value(b);
  }
};

struct Case {
  const char* name;
  std::string line;  // listed by the validation; for a stopping check, its message
  std::function<void(Demo&)> spoil, mend;
  std::function<void(Demo&)> prepare = nullptr;  // before the declaration is found clean
  bool stops = false;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> c = {
      {"TelephoneZero", "El teléfono no puede ser 0", [](Demo& d) { d.decl().telephone = "0"; },
       [](Demo& d) { d.decl().telephone = "4411223"; }},
      {"WorkerWithoutEstablishment", "Marcar establecimiento para documento: 41235678",
       [](Demo& d) { d.markEstablishments("41235678", {}); }, [](Demo& d) { d.markEstablishments("41235678", {1}); }},
      {"SituationChangedInTheRegistry",
       "La Situación es distinta a la ingresada en el registro para el trabajador 10457823 Guardar, luego refrescar y "
       "guardar nuevamente.",
       [](Demo& d) { d.t.db().run("UPDATE ASEG_DET_LAB SET situac = '10' WHERE doc_id_a = '10457823'"); },
       [](Demo& d) { d.t.db().run("UPDATE ASEG_DET_LAB SET situac = '11' WHERE doc_id_a = '10457823'"); }},
      {"TraineeWithoutAmount", "Registrar monto para PS Modalidad Formativa, documento: 72345678",
       [](Demo& d) { d.t.db().run("UPDATE TMPF601MFCAB SET mto_renta = '' WHERE doc_id_a = '72345678'"); },
       [](Demo& d) { d.t.db().run("UPDATE TMPF601MFCAB SET mto_renta = '930.00' WHERE doc_id_a = '72345678'"); }},
      {"PayOfAWorkerCleared",
       "Tiene días laborados, registrar importe en algún concepto afecto al ESSALUD para el trabajador 10457823",
       [](Demo& d) { d.typeAmount("10457823", "0121", ""); },
       [](Demo& d) {
         // Without pay the fifth-category base went, and with it the amount typed against it.
         d.typeAmount("10457823", "0121", "2500.00");
         d.typeAmount("10457823", "0605", "250.00");
       }},
      {"FifthCategoryLeftEmpty", "Monto en concepto 0605 del trabajador doc=44876543 esta vacío.",
       [](Demo& d) { d.typeAmount("44876543", "0605", ""); },
       [](Demo& d) { d.typeAmount("44876543", "0605", "250.00"); }},
      {"FifthCategoryAsLargeAsItsBase", "La base de calculo debe ser mayor al Monto en concepto 0605",
       [](Demo& d) { d.typeAmount("44876543", "0605", "2500.00"); },
       [](Demo& d) { d.typeAmount("44876543", "0605", "250.00"); }},
      {"PerfectSuspensionAllJune",
       "Actualizar situación, todos los días del período corresponden a días de Suspensión Perfecta, documento "
       "41235678",
       [](Demo& d) {
         auto p = d.worker("41235678");
         d.detail(p, [&] {
           detail::SuspensionDetailForm s(d.s(), d.decl(), p, detail::SuspensionKind::NotSubsidised);
           s.load();
           s.setTipoSuspen("05");
           s.setFechaIni("01/06/2012");
           s.setFechaFin("30/06/2012");
           s.setDias("30");
           ASSERT_TRUE(s.save().ok) << d.t.messenger().last();
         });
       },
       [](Demo& d) {
         auto p = d.worker("41235678");
         d.detail(p, [&] {
           detail::SuspensionListForm l(d.s(), d.decl(), p, detail::SuspensionKind::NotSubsidised);
           l.refresh();
           d.t.messenger().queueAnswer(Answer::Yes);
           ASSERT_TRUE(l.remove(0));
         });
       }},
      {"AmountToPayCleared", "Registrar importe a pagar en SISTEMA NACIONAL PENSIONES DL 19990",
       [](Demo& d) { d.typeBox("801", ""); }, [](Demo& d) { d.typeBox("801", d.box("711")); }},
      {"AmountToPayAboveTheBalance",
       "El importe a Pagar no debe ser mayor que el Saldo a Pagar en ESSALUD SEGURO "
       "REGULAR - TRAB.",
       [](Demo& d) { d.typeBox("802", std::to_string(std::stoll(d.box("712")) + 1)); },
       [](Demo& d) { d.typeBox("802", d.box("712")); }},
      {"AmountToPayWithoutBalance", "No registrar importe a pagar en IMP. EXTRAOR. DE SOLIDARIDAD",
       [](Demo& d) { d.typeBox("800", "5"); }, [](Demo& d) { d.typeBox("800", ""); }},
      {"ChequeWithoutBank", "Seleccione el banco.",
       [](Demo& d) {
         d.decl().payment = {"C", "XX", "123", ""};
       },
       [](Demo& d) {
         d.decl().payment = {"C", "02", "123", ""};
       }},
      {"ChequeNumberZero", "Ingrese un número de cheque diferente de '0'.",
       [](Demo& d) {
         d.decl().payment = {"C", "02", "0", ""};
       },
       [](Demo& d) {
         d.decl().payment = {"E", "XX", "", ""};
       }},
      // The rate of the SCTR a worker takes at the company's establishment 2, changed since.
      {"SctrRateNoLongerTheEstablishments",
       "Registrar SCTR del trabajador. Ha cambiado establecimientos o tasas, documento 44876543",
       [](Demo& d) { d.t.db().run("UPDATE COR_TASAS_601 SET tasa = 1.60 WHERE cod_est = 2 AND correl_tasa = 1"); },
       [](Demo& d) { d.t.db().run("UPDATE COR_TASAS_601 SET tasa = 1.53 WHERE cod_est = 2 AND correl_tasa = 1"); },
       [](Demo& d) {
         d.markEstablishments("44876543", {1, 2});
         auto p = d.worker("44876543");
         d.detail(p, [&] {
           detail::SctrForm f(d.s(), d.decl(), p);
           f.load();
           f.chooseRuc(kDemoRuc);
           f.chooseEstablishment("2");
           f.chooseRate("1");
           ASSERT_TRUE(f.save().ok) << d.t.messenger().last();
         });
         payEveryBalance(d.s(), d.decl());
       }},
      // A parameter set the program cannot check against stops the validation; the save then
      // cannot call the declaration consistent.
      {"ParameterVersionOfAnotherProgram", "Error en parametro. Versión inválida. Instalar nuevamente el ZEL 0601.",
       [](Demo& d) {
         d.t.db().run(
             "UPDATE PARAM SET Funcion = '9.9' || substr(Funcion, 4) WHERE Numero = '856' AND "
             "Argumento = '0601'");
       },
       [](Demo& d) {
         d.t.db().run(
             "UPDATE PARAM SET Funcion = '1.8' || substr(Funcion, 4) WHERE Numero = '856' AND "
             "Argumento = '0601'");
       },
       nullptr, true},
  };
  return c;
}

class Consistency : public ::testing::TestWithParam<Case> {
 protected:
  Consistency() { Clock::setFixed(Date{2013, 3, 15}); }
  ~Consistency() override { Clock::setFixed(std::nullopt); }
  void SetUp() override {
    t_.session().user = "CONTADOR";
    form_.newDeclaration();
    form_.CmbRuc_Click(kDemoRuc);
    ASSERT_TRUE(form_.acceptPeriod("06/2012").ok);
    completeDeclaration(t_.session(), form_.declaration());
    form_.declaration().telephone = "4411223";
  }
  determination::ValidationResult validate() {
    return determination::DeclarationValidator(t_.session(), form_.declaration())
        .CmdValidar_Click(t_.dir() / "Mens.txt");
  }
  std::string estado() { return t_.db().text("SELECT estado FROM CAB WHERE doc_id_d = ?", {kDemoRuc}); }
  // Sent as the launcher sends: from outside the form, which lets the declaration go for it.
  bool sendRefused() {
    data::releaseDeclaration(t_.session(), kDemoRuc, "201206");
    bool refused = false;
    try {
      declaration::enviarDeclaracion(t_.db(), kDemoRuc, "201206");
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("Solo puede enviarse una declaración grabada sin inconsistencias"),
                std::string::npos)
          << e.what();
      refused = true;
    }
    data::holdDeclaration(t_.session(), kDemoRuc, "201206");
    return refused;
  }
  // The validation finds nothing and the save stores estado 0 with its message.
  void expectClean(const char* when) {
    auto v = validate();
    EXPECT_FALSE(v.inconsistent) << when << ": " << testing::PrintToString(v.lines);
    auto r = form_.save();
    EXPECT_TRUE(r.saved && !r.inconsistent) << when;
    EXPECT_EQ(estado(), "0") << when;
    EXPECT_EQ(t_.messenger().last(), kSaved) << when;
  }
  TestDb t_{true};
  declaration::DeclarationForm form_{t_.session()};
};

TEST_P(Consistency, ValidationSaveAndSendingAgree) {
  const Case& c = GetParam();
  Demo d{t_, form_};
  if (c.prepare) c.prepare(d);
  expectClean("complete");

  c.spoil(d);
  auto v = validate();
  EXPECT_TRUE(v.inconsistent || v.stopped);
  if (c.stops) {
    EXPECT_TRUE(v.stopped);
    EXPECT_EQ(v.stopMessage, c.line);
  } else {
    EXPECT_NE(std::find(v.lines.begin(), v.lines.end(), c.line), v.lines.end()) << testing::PrintToString(v.lines);
  }
  auto r = form_.save();
  EXPECT_TRUE(r.saved);
  EXPECT_TRUE(r.inconsistent);
  EXPECT_EQ(estado(), "9");
  EXPECT_EQ(t_.messenger().last(), kSavedInconsistent);
  EXPECT_TRUE(sendRefused());
  EXPECT_TRUE(declaration::declaracionesPorEnviar(t_.db()).empty()) << "the launcher offers it";

  c.mend(d);
  expectClean("mended");
  EXPECT_FALSE(sendRefused());
  EXPECT_EQ(t_.db().integer("SELECT count(*) FROM HCAB WHERE doc_id_d = ?", {kDemoRuc}), 1);
}

INSTANTIATE_TEST_SUITE_P(OneInconsistency, Consistency, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A declaration that waits for its refresh: the validation stops at it, the save stores it with
// estado 9 and its mark (and says it saved), the sending refuses it; refreshed, it is clean.
TEST(ConsistencyPendingRefresh, SavedWithEstado9UntilRefreshed) {
  Clock::setFixed(Date{2013, 3, 15});
  TestDb t(true);
  t.session().user = "CONTADOR";
  {
    declaration::DeclarationForm f(t.session());
    f.newDeclaration();
    f.CmbRuc_Click(kDemoRuc);
    ASSERT_TRUE(f.acceptPeriod("06/2012").ok);
    completeDeclaration(t.session(), f.declaration());
    ASSERT_FALSE(f.save().inconsistent);
    f.closeWithoutSaving();
  }
  t.db().run("UPDATE CAB SET ind_ref = 1, estado = 9");
  declaration::DeclarationForm f(t.session());
  ASSERT_TRUE(f.openDeclaration(kDemoRuc, "201206"));
  auto v = determination::DeclarationValidator(t.session(), f.declaration()).CmdValidar_Click(t.dir() / "Mens.txt");
  EXPECT_TRUE(v.stopped);
  EXPECT_EQ(v.stopMessage, "Se han cambiado datos del registro, debe refrescar.");
  auto r = f.save();
  EXPECT_TRUE(r.saved && !r.inconsistent);
  EXPECT_EQ(t.messenger().last(), kSaved);
  EXPECT_EQ(t.db().text("SELECT estado || '/' || ind_ref FROM CAB"), "9/1");
  EXPECT_THROW(declaration::enviarDeclaracion(t.db(), kDemoRuc, "201206"), std::runtime_error);

  t.messenger().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refresh());
  EXPECT_FALSE(f.save().inconsistent);
  EXPECT_EQ(t.db().text("SELECT estado || '/' || ind_ref FROM CAB"), "0/0");
  f.closeWithoutSaving();
  Clock::setFixed(std::nullopt);
}

}  // namespace
}  // namespace korventa::test
