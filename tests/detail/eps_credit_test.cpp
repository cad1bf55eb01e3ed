// EPS invoices credited against the boxes of the declaration: series and date rules, the checks
// of one invoice in order, the box totals and the value the box keeps.
#include <gtest/gtest.h>

#include "detail/eps_credit.h"
#include "detail/eps_invoice_form.h"
#include "detail/eps_box_form.h"
#include "detail/days_fixture.h"

namespace korventa::test {
namespace {

using detail::EpsBoxForm;
using detail::EpsInvoiceForm;

constexpr const char* kNumeric =
    "Para comprobantes de pago con la fecha de emisión que ha ingresado, sólo se permiten caracteres numéricos en el "
    "número de serie.";

TEST(EpsRules, SeriesByIssueDateAndInvoicePeriods) {
  struct Case {
    const char* name;
    const char* serie;
    const char* fecEmis;
    const char* message;
  } cases[] = {
      {"electronic_on_the_first_day", "F0A1", "01/12/2012", ""},
      {"electronic_the_day_before", "F0A1", "30/11/2012", kNumeric},
      {"e_series_must_be_digits", "E001", "02/12/2012", kNumeric},
      {"digits_before", "0001", "30/11/2012", ""},
      {"lower_case_f", "fA01", "15/12/2012", ""},
      {"symbol_after_f", "F0-1", "01/12/2012",
       "Para los comprobantes de pago electrónicos con fecha de emisión mayor o igual a 01/12/2012, sólo se permite el "
       "ingreso de caracteres alfanuméricos desde la segunda a la cuarta posición, si es que la primera posición del "
       "número de serie es la letra F."},
      {"symbol_first", "-001", "01/12/2012",
       "Solo se permiten caracteres alfanuméricos en la primera posición del número de serie"},
      {"blank_inside", "F 01", "01/12/2012", "Debe registrar correctamente el número de serie."},
      {"too_short", "01", "01/12/2012", "Debe registrar correctamente el número de serie."},
  };
  for (const auto& c : cases) EXPECT_EQ(detail::validaSerie(c.serie, c.fecEmis), c.message) << c.name;
}

class EpsTest : public DaysFixture {
 protected:
  detail::EpsInvoice invoice(const char* ruc, const char* periodoFac, const char* serie, const char* num,
                             const char* emis, const char* pago, const char* total, const char* cred) {
    detail::EpsInvoice i;
    i.rucEps = ruc;
    i.periodoFac = periodoFac;
    i.numSerie = serie;
    i.numFac = num;
    i.fecEmis = emis;
    i.fecPago = pago;
    i.impTotal = total;
    i.impCred = cred;
    return i;
  }
  // An invoice of RÍMAC, for the declared period unless told.
  detail::EpsInvoice rimac(const char* serie, const char* num, const char* emis, const char* pago, const char* total,
                           const char* cred, const char* periodoFac = "") {
    return invoice("20414955020", periodoFac, serie, num, emis, pago, total, cred);
  }
  detail::Outcome record(const std::string& box, const detail::EpsInvoice& i) {
    EpsInvoiceForm f(session(), decl_, box);
    f.load();
    std::string periodoFac = f.invoice.periodoFac;
    f.invoice = i;
    if (!f.periodEditable()) f.invoice.periodoFac = periodoFac;
    return f.save();
  }
};

TEST_F(EpsTest, ChecksOfOneInvoiceInOrder) {
  setPeriod("201212");
  ASSERT_TRUE(record("602", rimac("1", "77", "05/12/2012", "10/12/2012", "1000", "250")).ok);
  struct Case {
    const char* name;
    const char* box;
    detail::EpsInvoice i;
    const char* message;
    const char* focus;
  } cases[] = {
      {"same_invoice_again", "602", rimac("0001", "00000077", "05/12/2012", "10/12/2012", "5", "1"),
       "Ya se registró información con este número de factura.", "TxtNumFac"},
      {"no_provider", "602", invoice("", "", "0001", "1", "05/12/2012", "10/12/2012", "5", "1"),
       "Debe seleccionar una EPS.", "CmbEps"},
      {"no_series", "602", rimac("", "1", "05/12/2012", "10/12/2012", "5", "1"), "Debe ingresar el número de serie.",
       "TxtNumSerie"},
      {"no_number", "602", rimac("0001", "", "05/12/2012", "10/12/2012", "5", "1"),
       "Debe ingresar el número de factura.", "TxtNumFac"},
      {"past_box_bad_period", "612", rimac("0001", "1", "05/12/2012", "10/12/2012", "5", "1", "199212"),
       "El período no es válido.", "MkePeriodoFac"},
      {"past_box_period_not_earlier", "612", rimac("0001", "1", "05/12/2012", "10/12/2012", "5", "1", "201212"),
       "El período de la factura debe ser menor al período de la declaración.", "MkePeriodoFac"},
      {"no_issue_date", "602", rimac("0001", "1", "", "10/12/2012", "5", "1"), "Debe ingresar la fecha de emisión.",
       "MskFecEmis"},
      {"bad_issue_date", "602", rimac("0001", "1", "32/12/2012", "10/12/2012", "5", "1"),
       "La fecha de emisión no es válida.", "MskFecEmis"},
      {"paid_before_issued", "602", rimac("0001", "1", "05/12/2012", "04/12/2012", "5", "1"),
       "La fecha de pago debe ser posterior a la fecha de emisión.", "MskFecPago"},
      {"total_zero", "602", rimac("0001", "1", "05/12/2012", "10/12/2012", "0", "1"),
       "Debe ingresar el importe total de la factura.", "TxtImpTotal"},
      {"no_credit", "602", rimac("0001", "1", "05/12/2012", "10/12/2012", "5", ""),
       "Debe ingresar el importe del crédito a utilizar.", "TxtImpCred"},
      {"no_payment_date", "602", rimac("0001", "1", "05/12/2012", "", "5", "1"), "Debe ingresar la fecha de pago.",
       "MskFecPago"},
      {"paid_two_months_later", "602", rimac("0001", "1", "05/12/2012", "01/02/2013", "5", "1"),
       "La fecha de pago de la factura es posterior al mes siguiente al período tributario.", "MskFecPago"},
      {"past_box_issued_late", "612", rimac("0001", "1", "01/11/2012", "10/12/2012", "5", "1", "201209"),
       "La fecha de emisión debe ser menor al período que corresponde la factura.", "MskFecEmis"},
      {"past_box_428_issued_late", "428", rimac("0001", "1", "01/11/2012", "10/12/2012", "5", "1", "201209"),
       "La fecha de emisión de la factura es posterior al mes siguiente del período tributario al que corresponde la "
       "factura.",
       "MskFecEmis"},
      {"past_box_paid_after_the_period", "612", rimac("0001", "1", "05/10/2012", "01/01/2013", "5", "1", "201209"),
       "La fecha de pago de la factura es mayor al período de la declaración.", "MskFecPago"},
      {"credit_one_sol_more", "602", rimac("0001", "1", "05/12/2012", "10/12/2012", "500", "501"),
       "El monto del crédito no puede ser mayor a el importe total de la factura.", "TxtImpCred"},
  };
  for (const auto& c : cases) {
    msg().clear();
    auto r = record(c.box, c.i);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_EQ(msg().last(), c.message) << c.name;
    EXPECT_EQ(r.focus, c.focus) << c.name;
  }
  EXPECT_EQ(db().integer("SELECT count(*) FROM TMPF600INFEPS"), 1) << "nothing written by a refused invoice";
  // The last days allowed: issued and paid by the end of the month after the invoice's period,
  // and for a past period paid within the declared one.
  EXPECT_TRUE(record("602", rimac("F0A1", "2", "01/12/2012", "31/01/2013", "500", "500")).ok)
      << "credit equal to the total, electronic series, December invoice paid in January: " << msg().last();
  EXPECT_TRUE(record("428", rimac("0001", "3", "30/11/2012", "30/11/2012", "9", "9", "201210")).ok) << msg().last();
  EXPECT_TRUE(record("612", invoice("20431115825", "201210", "12", "9", "30/11/2012", "31/12/2012", "300", "100")).ok)
      << msg().last();
  EXPECT_EQ(rowTexts(db().row("SELECT Num_Serie, Num_Fac, Periodo_fac, Imp_total, Correl FROM TMPF600INFEPS WHERE "
                              "Casilla = '612'")),
            (std::vector<std::string>{"0012", "00000009", "201210", "300", ""}));
  EXPECT_EQ(db().text("SELECT Periodo_fac FROM TMPF600INFEPS WHERE Num_Fac = '00000077'"), "201212")
      << "box 602 takes the declared period";
}

TEST_F(EpsTest, BoxTotalsDeletionAndTheBoxValue) {
  setPeriod("201212");
  ASSERT_TRUE(record("602", rimac("0001", "1", "05/12/2012", "10/12/2012", "1200", "1000")).ok);
  ASSERT_TRUE(record("602", invoice("20431115825", "", "0002", "2", "05/12/2012", "10/12/2012", "2500", "1500")).ok);
  ASSERT_TRUE(record("408", invoice("20431115825", "", "0003", "3", "05/12/2012", "10/12/2012", "90", "90")).ok);

  EpsBoxForm box(session(), decl_, "602");
  box.load();
  EXPECT_FALSE(box.readOnly());
  ASSERT_EQ(box.rows().size(), 2u);
  EXPECT_EQ(box.rows()[0].nombre, "RÍMAC INTERNACIONAL S.A. EPS");
  EXPECT_EQ(box.totalText(), "3,700");
  EXPECT_EQ(box.creditText(), "2,500");
  EXPECT_EQ(box.countText(), "2  Facturas ");
  EXPECT_EQ(model::epsBoxValue(db(), decl_, "602"), "2500");
  EXPECT_EQ(model::epsBoxValue(db(), decl_, "408"), "90");
  box.close();
  EXPECT_EQ(db().text("SELECT i_valor FROM DET WHERE Casilla = '602'"), "2500");
  EXPECT_EQ(db().text("SELECT idcasilla FROM DET WHERE Casilla = '602'"), "01");
  EXPECT_EQ(db().text("SELECT length(cNumero) FROM DET WHERE Casilla = '602'"), "6");

  EXPECT_FALSE(box.remove(-1)) << "nothing selected: nothing happens";
  EXPECT_TRUE(msg().entries().empty());
  msg().queueAnswer(Answer::No);
  EXPECT_FALSE(box.remove(0));
  EXPECT_EQ(msg().last(), "¿Confirma que va a eliminar la información?");
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(box.remove(0));
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(box.remove(0));
  EXPECT_EQ(box.creditText(), "0");
  box.close();
  EXPECT_EQ(db().text("SELECT i_valor FROM DET WHERE Casilla = '602'"), "0") << "the last invoice deleted";
  EXPECT_EQ(db().integer("SELECT count(*) FROM DET WHERE Casilla = '602'"), 1);
  EXPECT_EQ(model::epsBoxValue(db(), decl_, "408"), "90") << "other boxes untouched";
}

TEST_F(EpsTest, SentDeclarationIsReadOnly) {
  setPeriod("201212");
  ASSERT_TRUE(record("602", rimac("0001", "1", "05/12/2012", "10/12/2012", "1200", "1000")).ok);
  db().run(
      "INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado, ind_ref) VALUES (6, ?, '201212', '0601', 1, "
      "0)",
      {std::string(kDemoRuc)});
  db().run(
      "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla) VALUES "
      "(6, ?, '201212', '0601', '602', '7', '01')",
      {std::string(kDemoRuc)});
  EpsBoxForm box(session(), decl_, "602");
  box.load();
  EXPECT_TRUE(box.readOnly());
  EXPECT_FALSE(box.remove(0));
  box.close();
  EXPECT_EQ(db().text("SELECT i_valor FROM DET WHERE Casilla = '602'"), "7");
  EXPECT_EQ(db().integer("SELECT count(*) FROM TMPF600INFEPS"), 1);
}

TEST(EpsRules, BoxCheckAmountsAndInvoiceCells) {
  RecordingMessenger m;
  EXPECT_TRUE(detail::checkEpsBox(m, "612"));
  EXPECT_TRUE(m.entries().empty());
  EXPECT_FALSE(detail::checkEpsBox(m, "601"));
  EXPECT_EQ(m.last(), "La casilla 601 no tiene detalle de EPS.");

  EXPECT_EQ(detail::shownEpsAmount("1234567"), "1,234,567");
  EXPECT_EQ(detail::shownEpsAmount(""), "");
  EXPECT_EQ(detail::typedEpsAmount("1,234,567"), "1234567");

  detail::EpsInvoice i;
  i.rucEps = "20100054184";
  i.periodoFac = "201206";
  i.impTotal = "1500";
  i.impCred = "";
  auto cells = detail::invoiceCells(i);
  ASSERT_EQ(cells.size(), 9u);
  EXPECT_EQ(cells[2], "06/2012");
  EXPECT_EQ(cells[7], "1,500");
  EXPECT_EQ(cells[8], "");
  i.periodoFac = "2012";
  EXPECT_EQ(detail::invoiceCells(i)[2], "2012") << "an incomplete period is shown as it is";
}

}  // namespace
}  // namespace korventa::test
