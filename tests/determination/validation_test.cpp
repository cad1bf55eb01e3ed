// Validation rules over a declaration's working tables: the determination rules, the EPS credit
// limits, the payment data, the box totals, and the file the report reads.
#include <gtest/gtest.h>

#include <fstream>

#include "determination/validation.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

using determination::DebtDetermination;
using determination::DeclarationValidator;

class Validation : public ::testing::Test {
 protected:
  explicit Validation(const std::string& periodo = "201206") : f(periodo) { f.decl.typedBoxesRead = true; }
  // Typed boxes as the grid keeps them in the open declaration.
  void type(std::initializer_list<std::pair<const char*, const char*>> boxes) {
    DebtDetermination g(f.t.session(), f.decl);
    g.load();
    for (const auto& [b, v] : boxes) ASSERT_TRUE(g.setBox(b, v)) << b;
    f.decl.typedBoxes = g.typedBoxes();
  }
  std::filesystem::path mens() { return f.t.dir() / "Mens.txt"; }
  determination::ValidationResult validate() {
    return DeclarationValidator(f.t.session(), f.decl).CmdValidar_Click(mens());
  }
  bool hasLine(const determination::ValidationResult& r, const std::string& l) {
    return std::find(r.lines.begin(), r.lines.end(), l) != r.lines.end();
  }
  std::vector<std::string> warnings() {
    std::vector<std::string> w;
    for (const auto& e : f.t.messenger().entries())
      if (e.icon == MsgIcon::Exclamation) w.push_back(e.text);
    return w;
  }
  WorkingFixture f;
};

TEST_F(Validation, DeterminationRulesPerColumn) {
  f.worker("10000001", "rem_pens = '9000', pens = '1200', rem_afecta = '5000', tributo = '500'");
  type({{"801", "1000"}, {"805", "100"}, {"800", "50"}});
  auto r = validate();
  EXPECT_TRUE(r.inconsistent);
  // Two columns under their balance: one warning naming both.
  EXPECT_EQ(warnings(), std::vector<std::string>{
                            "El importe a pagar es menor que el saldo definitivo a pagar en SISTEMA NACIONAL "
                            "PENSIONES DL 19990, RENTA 5TA CAT. RETENCIONES. La ZUMAR emitirá una Orden de Pago"});
  EXPECT_TRUE(hasLine(r, "No registrar importe a pagar en IMP. EXTRAOR. DE SOLIDARIDAD"));
  EXPECT_FALSE(hasLine(r, "Debe declarar algun tributo"));

  f.t.messenger().clear();
  type({{"801", "1300"}, {"805", ""}, {"800", ""}});
  r = validate();
  EXPECT_TRUE(hasLine(r,
                      "El importe a Pagar no debe ser mayor que el Saldo a Pagar en SISTEMA NACIONAL PENSIONES "
                      "DL 19990"));
  EXPECT_TRUE(hasLine(r, "Registrar importe a pagar en RENTA 5TA CAT. RETENCIONES"));
  EXPECT_TRUE(warnings().empty());

  type({{"801", ""}});
  r = validate();
  EXPECT_TRUE(hasLine(r, "Debe declarar algun tributo"));
}

TEST_F(Validation, PaymentDataAndTheFileOfInconsistencies) {
  f.worker("10000001", "rem_pens = '9000', pens = '1200'");
  type({{"801", "1200"}});
  struct Case {
    const char *type, *bank, *cheque, *expected;
  } cases[] = {
      {"C", "XX", "123", "Seleccione el banco."},
      {"C", "02", "", "Ingrese el número de cheque."},
      {"C", "02", "000", "Ingrese un número de cheque diferente de '0'."},
      {"", "XX", "", "Registrar forma de pago."},
  };
  auto paymentLines = [&](const determination::ValidationResult& r) {
    std::vector<std::string> v;
    for (const auto& c : cases)
      if (hasLine(r, c.expected)) v.push_back(c.expected);
    return v;
  };
  for (const auto& c : cases) {
    f.decl.payment = {c.type, c.bank, c.cheque, ""};
    EXPECT_EQ(paymentLines(validate()), std::vector<std::string>{c.expected}) << c.expected;
  }
  f.decl.payment = {"C", "02", "4455", ""};
  EXPECT_TRUE(paymentLines(validate()).empty());
  f.decl.payment = {"E", "XX", "", ""};
  EXPECT_TRUE(paymentLines(validate()).empty());

  // The inconsistencies are written to the file one per line.
  f.decl.telephone = "0";
  auto r = validate();
  ASSERT_GE(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0], "El teléfono no puede ser 0");
  std::string expected;
  for (const auto& l : r.lines) expected += l + "\r\n";
  std::ifstream in(mens(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected);
  EXPECT_NE(f.t.messenger().last(), "La declaración no presenta inconsistencias.");
}

// Rules 20 and 21 ask for an ESSALUD-affected amount only from a worker who is offered such a
// concept: the declarant's concepts and the worker's type tell, since the working set keeps no
// empty concept rows.
TEST_F(Validation, EssaludConceptOfWorkersWhoAreOfferedOne) {
  const std::string days =
      "Tiene días laborados, registrar importe en algún concepto afecto al ESSALUD para el trabajador ";
  const std::string active =
      "Registrar concepto afecto a EsSalud, pudiendo ser cero cuando esté subsidiado por el período, para el "
      "trabajador ";
  auto a = f.worker("10000001", "dias_lab = '30'");
  auto b = f.worker("10000002", "dias_lab = '0'");
  f.recompute();
  auto r = validate();
  EXPECT_TRUE(hasLine(r, days + "10000001"));
  EXPECT_TRUE(hasLine(r, active + "10000002"));
  EXPECT_FALSE(hasLine(r, days + "10000002"));

  f.amount(a, "0121", "1000.00");
  f.amount(b, "0121", "0.00");  // zero counts for an active worker without days
  f.recompute();
  r = validate();
  EXPECT_FALSE(hasLine(r, days + "10000001"));
  EXPECT_FALSE(hasLine(r, active + "10000002"));

  // Concepts of the declarant without any ESSALUD affectation: nothing to ask of a new worker.
  f.t.db().run("DELETE FROM CON_AFEC WHERE doc_id_d = ? AND substr(cod_concepto, 1, 2) <> '06'", {f.decl.ruc});
  f.worker("10000003", "dias_lab = '30'");
  f.recompute();
  r = validate();
  EXPECT_FALSE(hasLine(r, days + "10000003"));
  EXPECT_FALSE(hasLine(r, active + "10000003"));
}

class ValidationEps : public Validation {
 protected:
  ValidationEps() : Validation("201106") {}  // UIT 3600
};

TEST_F(ValidationEps, CreditLimitOfBox602) {
  for (const char* doc : {"10000001", "10000002", "10000003"})
    f.worker(doc, "rem_salud = '20000', salud = '1333.33', ind_afieps = '1', rucEps = '20100000001'");
  f.t.db().run("UPDATE TEMP1_F601 SET salud = '1333.34' WHERE doc_id_a = '10000003'");
  f.worker("10000004", "rem_salud = '20000', salud = '1800'");  // not affiliated
  DeclarationValidator v(f.t.session(), f.decl);
  auto l = v.epsLimit("602");
  EXPECT_EQ(l.limit, 1000);  // 25 % of 4000 (1000) against 10 % of 3600 × 3 (1080)
  EXPECT_TRUE(l.quarter);
  type({{"602", "1001"}});
  auto r = validate();
  EXPECT_TRUE(hasLine(r,
                      "El importe consignado en la casilla 602 no debe ser mayor al 25% del tributo EsSalud "
                      "correspondiente a todos los trabajadores afiliados a una EPS: (S/. 1000)"));
  type({{"602", "1000"}});
  r = validate();
  EXPECT_FALSE(hasLine(r,
                       "El importe consignado en la casilla 602 no debe ser mayor al 25% del tributo EsSalud "
                       "correspondiente a todos los trabajadores afiliados a una EPS: (S/. 1000)"));
  // With a larger tax the UIT bound is the smaller one.
  f.t.db().run("UPDATE TEMP1_F601 SET salud = '2000' WHERE ind_afieps = '1'");
  l = v.epsLimit("602");
  EXPECT_EQ(l.limit, 1080);
  EXPECT_FALSE(l.quarter);
  EXPECT_EQ(v.epsLimitMessage("408", l),
            "El importe consignado en la casilla 408 no debe ser mayor al 10% de la UIT vigente multiplicado por el "
            "número de trabajadores 26 o 36 afiliados a una EPS: (S/. 1080)");
}

TEST_F(Validation, TaxBoxAgainstThePersonsTotal) {
  f.worker("10000001", "rem_afecta = '3000', tributo = '59.80'");
  f.worker("10000002", "rem_afecta = '3000', tributo = '59.80'");
  DeclarationValidator v(f.t.session(), f.decl);
  EXPECT_EQ(v.totalMismatch("415", "120"), "");  // 119.60 rounds to 120
  EXPECT_EQ(v.totalMismatch("415", "119"),
            "Casilla 415 no es igual al total ingresado = 120. Guardar, luego refrescar y guardar nuevamente.");
}

TEST(ColumnLabels, SpellingsOfTheMessages) {
  const auto& c = determination::taxColumns();
  EXPECT_EQ(determination::columnLabel(c[0], 45), "IMP. EXTRAOR. de SOLIDARIDAD");
  EXPECT_EQ(determination::columnLabel(c[0], 42), "IMP. EXTRAOR. DE SOLIDARIDAD");
  EXPECT_EQ(determination::columnLabel(c[13], 40), "Aportes al FCJMMS");
  EXPECT_EQ(determination::columnLabel(c[14], 42), "APORTES A CUOTA FRAC FCJMMS");
}

}  // namespace
}  // namespace korventa::test
