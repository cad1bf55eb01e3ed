// The concept form's controller: group chooser, grid entry rules, panel locking, accept and exit;
// and the same rules for one concept typed from the command line.
#include <optional>

#include <gtest/gtest.h>

#include "detail/amount_entry.h"
#include "detail/concept_entry.h"
#include "detail/concept_form.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

using detail::ConceptForm;

// Index of a code in its panel.
int slot(const std::string& code) {
  return std::stoi(code.substr(2)) - 1;
}

struct Form {
  WorkingFixture f;
  PersonKey p;
  std::unique_ptr<ConceptForm> form;
  Form(const WorkerProfile& profile, const std::string& periodo = "201206") : f(periodo) {
    p = f.person("40000001", profile);
    f.recompute();  // the load gives every person the rows of the concept set
    open();
  }
  void open() {
    form = std::make_unique<ConceptForm>(f.t.session(), f.decl, p);
    form->load();
  }
  int gridRow(const std::string& code) {
    auto g = form->grid();
    for (std::size_t i = 0; i < g.size(); ++i)
      if (g[i].codigo == code) return static_cast<int>(i);
    return -1;
  }
  const ConceptForm::Box& worker(const std::string& code) { return form->workerBoxes()[slot(code)]; }
  const ConceptForm::Box& employer(const std::string& code) { return form->employerBoxes()[slot(code)]; }
};

TEST(AmountEntry, TypedKeyByKeyOrGivenWhole) {
  constexpr const char* kDigits = "Registre como máximo 7 enteros y 2 decimales";
  constexpr const char* kOnlyDigits = "Ingrese solo dígitos y un punto decimal";
  RecordingMessenger m;
  struct Row {
    const char* text;
    bool allowed;        // while typed in a box
    const char* stored;  // given whole; nullptr = refused with the message
    const char* message;
  } rows[] = {{"", true, "", ""},
              {"1500", true, "1500.00", ""},
              {"1234567.12", true, "1234567.12", ""},
              {"12.5", true, "12.50", ""},
              {".", true, "", ""},
              {"12345678", false, nullptr, kDigits},
              {"1234567.123", false, nullptr, kDigits},
              {"1.2.3", false, nullptr, "No registre mas de un punto decimal"},
              {"12a", false, nullptr, kOnlyDigits},
              {"-5", false, nullptr, kOnlyDigits}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(detail::amountTextAllowed(r.text), r.allowed);
    m.clear();
    auto out = detail::typedAmount(r.text, m);
    EXPECT_EQ(out.value_or("refused"), r.stored ? r.stored : "refused");
    EXPECT_EQ(m.last(), r.message);
  }
  EXPECT_EQ(detail::boxTextOnLeave("."), "");
  EXPECT_EQ(detail::boxTextOnLeave("12.5"), "12.50");
  EXPECT_EQ(detail::gridCellText("."), "0.00");
  EXPECT_EQ(detail::gridCellText("123456789"), "1234567.00");
  EXPECT_EQ(detail::gridCellText(""), "");
}

TEST(ConceptFormPanels, PensionRegime30LocksPrivatePensionBoxes) {
  WorkerProfile s;
  s.tipo = "37";
  s.pension = 30;
  Form t(s, "201208");
  t.form->chooseGroup("01");
  ASSERT_TRUE(t.form->setCell(t.gridRow("0121"), ConceptForm::Column::Monto, "1000"));
  ASSERT_TRUE(t.form->setCell(t.gridRow("0121"), ConceptForm::Column::MontoPag, "950"));
  t.form->chooseGroup("06");
  for (const char* code : {"0601", "0606", "0608", "0609", "0607", "0616", "0617"}) {
    EXPECT_TRUE(t.worker(code).disabled) << code;
    EXPECT_TRUE(t.worker(code).amountLocked) << code;
    EXPECT_EQ(t.worker(code).amount, "") << code;
    EXPECT_FALSE(t.form->setWorkerAmount(slot(code), "10")) << code;
  }
  EXPECT_FALSE(t.worker("0605").disabled);
  EXPECT_TRUE(t.worker("0605").baseLocked);
  EXPECT_EQ(t.worker("0605").base, "950.00");  // fifth category counts what was paid
  EXPECT_EQ(t.employer("0804").amount, "90.00");
  EXPECT_TRUE(t.employer("0804").amountLocked);
}

TEST(ConceptFormGrid, Type67PaidAmountAndConcept2039) {
  WorkerProfile s;
  s.tipo = "67";
  Form t(s);
  t.form->chooseGroup("20");
  int r2039 = t.gridRow("2039"), r2040 = t.gridRow("2040");
  ASSERT_GE(r2039, 0);
  ASSERT_GE(r2040, 0);
  EXPECT_FALSE(t.form->cellEditable(r2039, ConceptForm::Column::Monto));
  EXPECT_FALSE(t.form->setCell(r2039, ConceptForm::Column::Monto, "100"));
  // Group 20 keeps the paid amount; other groups lose it after each edit.
  EXPECT_TRUE(t.form->setCell(r2040, ConceptForm::Column::MontoPag, "1500"));
  EXPECT_EQ(t.form->grid()[static_cast<std::size_t>(r2040)].monto_pag, "1500.00");
  t.form->chooseGroup("09");
  int r0915 = t.gridRow("0915");
  ASSERT_GE(r0915, 0);
  EXPECT_TRUE(t.form->setCell(r0915, ConceptForm::Column::MontoPag, "80"));
  EXPECT_EQ(t.form->grid()[static_cast<std::size_t>(r0915)].monto_pag, "");
}

TEST(ConceptFormGrid, EntryRulesAndTotals) {
  Form t(WorkerProfile{});
  t.form->chooseGroup("01");
  // The cell rules are AmountEntry's; a refused text keeps what the cell held.
  int r = t.gridRow("0121");
  EXPECT_TRUE(t.form->setCell(r, ConceptForm::Column::Monto, "850.5"));
  EXPECT_FALSE(t.form->setCell(r, ConceptForm::Column::Monto, "12.345"));
  EXPECT_EQ(t.form->grid()[static_cast<std::size_t>(r)].monto, "850.50");
  t.form->setCell(t.gridRow("0105"), ConceptForm::Column::Monto, "49.5");
  t.form->setCell(t.gridRow("0105"), ConceptForm::Column::MontoPag, "49.5");
  EXPECT_EQ(t.form->totalMonto(), "900.00");
  EXPECT_EQ(t.form->totalMontoPag(), "49.50");
}

TEST(ConceptFormLifecycle, ExitWritesNothing) {
  Form t(WorkerProfile{});
  t.form->chooseGroup("01");
  t.form->setCell(t.gridRow("0121"), ConceptForm::Column::Monto, "1000");
  t.form->setCell(t.gridRow("0121"), ConceptForm::Column::MontoPag, "1000");
  t.form->chooseGroup("06");
  EXPECT_EQ(t.worker("0607").amount, "130.00");  // shown while typing
  t.form.reset();                                // CmdSalir
  EXPECT_EQ(t.f.conceptText(t.p, "0121"), "");
  EXPECT_EQ(t.f.conceptText(t.p, "0607"), "");
  EXPECT_EQ(t.f.conceptText(t.p, "0804"), "");
  // Accepting writes the concept and summary rows: DemoContributions, one worker per regime.
}

TEST(ConceptFormPanels, DeclarantMayTypeEssalud) {
  WorkingFixture f("201206");
  f.t.db().run(
      "INSERT INTO AFECTACION (tip_doc_d, doc_id_d, cod_tributo, valor, tasa) VALUES (6, ?, '052100', 1, 6.75)",
      {f.decl.ruc});
  PersonKey p = f.person("40000001");
  f.amount(p, "0121", "1000.00");
  f.recompute();
  ConceptForm form(f.t.session(), f.decl, p);
  form.load();
  EXPECT_FALSE(form.employerBoxes()[slot("0804")].amountLocked);
  EXPECT_EQ(form.employerBoxes()[slot("0804")].base, "1000.00");
  ASSERT_TRUE(form.setEmployerAmount(slot("0804"), "67.5"));
  form.accept();
  EXPECT_EQ(f.conceptText(p, "0804"), "67.50");
  f.recompute();  // the batch keeps what the declarant typed
  EXPECT_EQ(f.conceptText(p, "0804"), "67.50");
  EXPECT_EQ(f.summary(p, "salud"), "67.50");
}

// One concept typed from the command line goes through the concept form's rules (the amount
// texts refused with their messages are AmountEntry's).
TEST(ConceptEntry, TypesStoresOrRefusesWithTheMessage) {
  WorkingFixture f("201206");
  WorkerProfile profile;
  profile.pension = 30;
  PersonKey p = f.person("40000001", profile);
  f.recompute();
  auto& m = f.t.messenger();
  struct Row {
    const char* name;
    const char* code;
    const char* monto;
    std::optional<std::string> montoPag;
    bool ok;
    const char* message;
  } rows[] = {
      {"income with paid amount", "0121", "1500", std::string("1400"), true, ""},
      {"letters", "0121", "12a", std::nullopt, false, "Ingrese solo dígitos y un punto decimal"},
      {"heading", "0100", "5", std::nullopt, false, "El código de concepto 0100 no es válido."},
      {"not offered to the type", "2040", "5", std::nullopt, false,
       "El concepto 2040 no está entre los conceptos de esta persona."},
      {"locked by the pension regime", "0608", "50", std::nullopt, false,
       "El concepto 0608 no se puede registrar para esta persona."},
      {"computed contribution", "0804", "50", std::nullopt, false,
       "El concepto 0804 no se puede registrar para esta persona."},
  };
  for (const auto& r : rows) {
    m.clear();
    EXPECT_EQ(detail::typeConceptAmount(f.t.session(), f.decl, p, r.code, r.monto, r.montoPag), r.ok) << r.name;
    EXPECT_EQ(m.last(), r.message) << r.name;
  }
  EXPECT_EQ(f.conceptText(p, "0121"), "1500.00");
  EXPECT_EQ(f.conceptText(p, "0121", "monto_pag"), "1400.00");
  EXPECT_EQ(f.conceptText(p, "0804"), "135.00");
  EXPECT_EQ(f.conceptText(p, "0608"), "");
  // An empty amount clears the concept.
  EXPECT_TRUE(detail::typeConceptAmount(f.t.session(), f.decl, p, "0121", ""));
  EXPECT_EQ(f.conceptText(p, "0121"), "");
  EXPECT_EQ(f.conceptText(p, "0804"), "");
  EXPECT_EQ(f.summary(p, "Tot_Ingresos"), "0.00");
}

}  // namespace
}  // namespace korventa::test
