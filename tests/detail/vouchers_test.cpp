// Vouchers of fourth-category providers: the checks in order, retentions, the S/. 1,500
// question, the list-977 window and the writing of vouchers.
#include <gtest/gtest.h>

#include "detail/provider_fixture.h"

namespace korventa::detail {
namespace {

using Fixture = ProviderFixture;

struct CheckCase {
  const char* name;
  const char* periodo;
  const char* kind;
  const char* series;
  const char* number;
  const char* emi;
  const char* ini;
  const char* fin;
  const char* pago;
  const char* amount;
  const char* message;  // "" when the voucher passes
  const char* focus;
};

TEST(VoucherEntry, ChecksInOrder) {
  const CheckCase cases[] = {
      {"same_day_dates_pass", "201205", "R", "0001", "123", "15/05/2012", "15/05/2012", "15/05/2012", "15/05/2012",
       "1000", "", ""},
      {"electronic_on_20_10_2008_passes", "200810", "R", "E001", "5", "20/10/2008", "01/10/2008", "15/10/2008",
       "31/10/2008", "800", "", ""},
      {"electronic_on_19_10_2008_refused", "200810", "R", "E001", "5", "19/10/2008", "01/10/2008", "15/10/2008",
       "31/10/2008", "800", "La fecha de emisión para esta serie debe ser a partir del 20/10/2008", "mskFec_Emi"},
      {"series_E000_refused", "200810", "R", "E000", "5", "20/10/2008", "01/10/2008", "15/10/2008", "31/10/2008", "800",
       "El número de serie no debe ser E000.", "TxtSerie"},
      {"payment_next_month_refused", "201205", "R", "0001", "9", "10/05/2012", "01/05/2012", "05/05/2012", "01/06/2012",
       "1000", "Fecha fin debe corresponder al periodo", "mskFec_Pago"},
      {"no_kind", "201205", "", "", "9", "", "", "", "", "", "Debe ingresar el Tipo de Servicio", "cboTipoServ"},
      {"no_series", "201205", "R", "", "9", "", "", "", "", "", "Debe ingresar el Número de Serie", "TxtSerie"},
      {"short_series", "201205", "R", "001", "9", "", "", "", "", "", "El número de serie es de cuatro dígitos.",
       "TxtSerie"},
      {"malformed_series", "201205", "R", "A001", "9", "", "", "", "", "", "Número de serie inválido", "TxtSerie"},
      {"no_number", "201205", "R", "0001", "", "", "", "", "", "", "Debe ingresar el Número del comprobante de pago",
       "TxtNumero"},
      {"number_zero", "201205", "R", "0001", "000", "", "", "", "", "", "Número de comprobante inválido", "TxtNumero"},
      {"no_issue_date", "201205", "R", "0001", "9", "__/__/____", "", "", "", "", "Debe registrar la Fecha de emisión ",
       "mskFec_Emi"},
      {"impossible_issue_date", "201205", "R", "0001", "9", "31/02/2012", "", "", "", "", "Fecha de emisión no válida",
       "mskFec_Emi"},
      {"issue_after_period", "201205", "R", "0001", "9", "01/06/2012", "", "", "", "",
       "Fecha de emisión no debe ser posterior al periodo", "mskFec_Emi"},
      {"no_start", "201205", "R", "0001", "9", "10/05/2012", "", "", "", "",
       "Debe registrar la Fecha de inicio de prestación de servicio ", "mskFec_ini"},
      {"no_end", "201205", "R", "0001", "9", "10/05/2012", "01/05/2012", "", "", "",
       "Debe registrar la Fecha fin de prestación de servicio ", "mskFec_Fin"},
      {"end_after_period", "201205", "R", "0001", "9", "10/05/2012", "01/05/2012", "02/06/2012", "", "",
       "Fecha fin no debe ser posterior al periodo", "mskFec_Fin"},
      {"no_payment", "201205", "R", "0001", "9", "10/05/2012", "01/05/2012", "02/05/2012", "", "",
       "Debe registrar la Fecha de Pago", "mskFec_Pago"},
      {"start_after_end", "201205", "R", "0001", "9", "10/05/2012", "05/05/2012", "04/05/2012", "20/05/2012", "100",
       "La fecha de inicio debe ser menor a la fecha fin", "mskFec_ini"},
      {"start_after_issue", "201205", "R", "0001", "9", "10/05/2012", "11/05/2012", "12/05/2012", "20/05/2012", "100",
       "La fecha de inicio debe ser menor a la fecha de emisión", "mskFec_ini"},
      {"end_after_issue", "201205", "R", "0001", "9", "10/05/2012", "01/05/2012", "12/05/2012", "20/05/2012", "100",
       "La fecha fin debe ser menor a la fecha de emisión", "mskFec_Fin"},
      {"issue_after_payment", "201205", "R", "0001", "9", "21/05/2012", "01/05/2012", "12/05/2012", "20/05/2012", "100",
       "La fecha de emisión debe ser menor a la fecha de pago", "mskFec_Emi"},
      {"positive_credit_note_refused", "201205", "N", "0001", "9", "10/05/2012", "01/05/2012", "02/05/2012",
       "20/05/2012", "300.00", "El monto de la nota de crédito debe ser negativo.", "TxtMonto"},
      {"amount_zero", "201205", "R", "0001", "9", "10/05/2012", "01/05/2012", "02/05/2012", "20/05/2012", "0.00",
       "Debe ingresar el Monto del comprobante de pago", "TxtMonto"},
      {"board_fee_without_amount", "201205", "D", "", "9", "10/05/2012", "01/05/2012", "02/05/2012", "20/05/2012", "",
       "Debe ingresar el monto", "TxtMonto"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(c.periodo);
    VoucherEntry v(f.t.session(), f.context());
    fill(v, c.kind, c.series, c.number, c.emi, c.ini, c.fin, c.pago, c.amount);
    bool ok = v.Valida_Recibo();
    if (std::string(c.message).empty()) {
      EXPECT_TRUE(ok) << f.t.messenger().last();
      EXPECT_TRUE(f.m().texts().empty());
    } else {
      EXPECT_FALSE(ok);
      ASSERT_EQ(f.m().texts().size(), 1u);
      EXPECT_EQ(f.m().texts()[0], c.message);
      EXPECT_EQ(v.focus(), c.focus);
    }
  }
}

struct RetentionCase {
  const char* name;
  const char* periodo;
  const char* kind;
  const char* amount;
  bool retain;
  const char* rate;
  bool ies;
  const char* shown;
  const char* iesShown;
  bool iesVisible;
};

TEST(VoucherEntry, RetentionComputation) {
  const RetentionCase cases[] = {
      {"credit_note_in_parentheses", "201205", "N", "-200.00", true, "10.00", false, "(20.00)", "0.00", false},
      {"rounded_to_cents", "201209", "R", "1234.56", true, "10.00", false, "123.46", "0.00", false},
      {"no_retention", "201209", "R", "2000", false, "10.00", false, "0.00", "0.00", false},
      {"ies_before_200412", "200311", "R", "1000", true, "10.00", true, "100.00", "20.00", true},
      {"no_ies_from_200412", "200412", "R", "1000", true, "10.00", true, "100.00", "0.00", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(c.periodo);
    VoucherEntry v(f.t.session(), f.context());
    v.setKind(c.kind);
    v.setRetain(c.retain);
    v.setRate(c.rate);
    v.setIesRetain(c.ies);
    v.setAmount(c.amount);
    EXPECT_EQ(v.retentionDisplay(), c.shown);
    EXPECT_EQ(v.iesDisplay(), c.iesShown);
    EXPECT_EQ(v.iesVisible(), c.iesVisible);
    EXPECT_EQ(v.rateEnabled(), c.retain && v.retentionEnabled());
  }
  // A non-domiciled provider is offered 24 %.
  Fixture f;
  VoucherEntry nonDom(f.t.session(), f.context(false, {}, "2"));
  EXPECT_EQ(nonDom.rate(), "24.00");
  nonDom.setAmount("1000");
  EXPECT_EQ(nonDom.retentionDisplay(), "240.00");
}

struct AmountLeftCase {
  const char* name;
  const char* periodo;
  const char* kind;
  const char* amount;
  Answer answer;
  bool asked;
  bool retain;
  bool frameEnabled;
};

TEST(VoucherEntry, FeeReceiptQuestionAndRetentionFrame) {
  const AmountLeftCase cases[] = {
      {"exactly_1500_asks_yes", "201209", "R", "1500.00", Answer::Yes, true, true, true},
      {"exactly_1500_asks_no", "201209", "R", "1500.00", Answer::No, true, false, true},
      {"above_1500_enables_without_asking", "201209", "R", "1500.01", Answer::No, false, true, true},
      {"credit_note_never_asks", "201209", "N", "1000", Answer::No, false, true, true},
      {"first_half_below_977_amount", "201205", "R", "2000", Answer::No, false, true, false},
      {"first_half_above_977_amount", "201205", "R", "2661.47", Answer::No, false, true, true},
      {"second_half_ignores_977_amount", "201207", "R", "2000", Answer::No, false, true, true},
      {"before_2001_frame_disabled", "200006", "R", "5000", Answer::No, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(c.periodo);
    VoucherEntry v(f.t.session(), f.context());
    v.setKind(c.kind);
    v.setAmount(c.amount);
    f.t.messenger().queueAnswer(c.answer);
    v.amountLeft();
    const auto& e = f.t.messenger().entries();
    EXPECT_EQ(!e.empty(), c.asked);
    if (c.asked) {
      EXPECT_EQ(e[0].title, "Confirmación");
      EXPECT_EQ(e[0].text,
                "Los recibos por honorarios que no excedan el monto de S/. 1,500, no se encuentran sujetos a "
                "retenciones por impuesto a la renta por 4ta categoría. ¿Se efectuará la retención?");
    }
    EXPECT_EQ(v.retain(), c.retain);
    EXPECT_EQ(v.retentionEnabled(), c.frameEnabled);
  }
}

TEST(VoucherEntry, SuspensionOptionAndItsNumber) {
  Fixture f;
  VoucherEntry v(f.t.session(), f.context());
  EXPECT_FALSE(v.numForEnabled());
  EXPECT_EQ(v.suspensionCaption(), "No tiene autorización de suspensión de Cuarta");
  v.setRetain(false);
  EXPECT_TRUE(v.numForEnabled());
  EXPECT_EQ(v.suspensionCaption(), "Tiene autorización de suspensión de Cuarta");
  v.setNumFor("123");
  v.numForLeft();
  EXPECT_EQ(v.numFor(), "00000123");
  EXPECT_FALSE(v.rateEnabled());
  // The series keys (upper-cased letters and digits, "Caracter no permitido") are typed in the
  // voucher dialog's QTest.
}

TEST(VoucherEntry, WritesVoucherAndHeaderInOneGoThenModifiesItAndNumbersSeriesXxx) {
  Fixture f("201209");
  auto& db = f.t.db();
  VoucherEntry v(f.t.session(), f.context(true));
  fill(v, "N", "0002", "77", "10/09/2012", "01/09/2012", "05/09/2012", "20/09/2012", "-200");
  ASSERT_TRUE(v.accept()) << f.t.messenger().last();
  EXPECT_EQ(f.t.messenger().last(), "La información fue grabada satisfactoriamente. ");
  EXPECT_EQ(rowTexts(db.row("SELECT tip_doc_d, doc_id_d, periodo, formulario, num_ser, num_rec, fec_emi, fec_pago, "
                            "mto_rec, ind_rta, por_rta, mto_rta, ind_ies, mto_ies FROM TMPF601RDDET")),
            (std::vector<std::string>{"6", kRuc, "201209", "0601", "0002", "77", "10/09/2012", "20/09/2012", "-200.00",
                                      "1", "10.00", "-20.00", "0", "0.00"}));
  EXPECT_EQ(rowTexts(db.row("SELECT tip_retencion, Des_Pat, Des_No1, ind_domicilio FROM TMPF601RDCAB")),
            (std::vector<std::string>{"N", "GUTIÉRREZ", "PATRICIA", "1"}));

  // Modifying the voucher does not count it as its own duplicate.
  auto stored = listVouchers(db, VoucherSource::Working, f.decl, f.context().person);
  ASSERT_EQ(stored.size(), 1u);
  VoucherEntry m(f.t.session(), f.context());
  m.load(stored[0]);
  EXPECT_EQ(m.amount(), "-200.00");
  m.setAmount("-300");
  ASSERT_TRUE(m.accept()) << f.t.messenger().last();
  EXPECT_EQ(db.text("SELECT group_concat(mto_rec || '/' || mto_rta) FROM TMPF601RDDET"), "-300.00/-30.00");

  // Board fees and other vouchers take series XXX, the next number and the first of the month.
  for (const char* kind : {"D", "O"}) {
    VoucherEntry v(f.t.session(), f.context());
    fill(v, kind, "", "", "15/09/2012", "01/09/2012", "10/09/2012", "20/09/2012", "500");
    ASSERT_TRUE(v.accept()) << f.t.messenger().last();
  }
  EXPECT_EQ(db.text("SELECT group_concat(tip_retencion || ' ' || num_ser || ' ' || num_rec || ' ' || fec_emi, ', ') "
                    "FROM (SELECT * FROM TMPF601RDDET WHERE num_ser = 'XXX' ORDER BY rowid)"),
            "D XXX 00000001 01/09/2012, O XXX 00000002 01/09/2012");
}

struct DuplicateCase {
  const char* name;
  const char* emi;
  const char* pago;
  const char* amount;
  const char* message;
};

TEST(VoucherEntry, DuplicatesAreRefused) {
  const DuplicateCase cases[] = {
      {"same_key_same_amount", "10/09/2012", "20/09/2012", "1800",
       "El número de serie, Número de documento y Fecha de pago ya fueron ingresados. "},
      {"other_issue_date", "11/09/2012", "21/09/2012", "1800",
       "Para un mismo número de serie y número de documento  no puede ingresar distintas fechas de emision. "},
      {"other_payment_same_issue", "10/09/2012", "21/09/2012", "1800", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f("201209");
    VoucherEntry first(f.t.session(), f.context());
    fill(first, "R", "0001", "55", "10/09/2012", "01/09/2012", "05/09/2012", "20/09/2012", "1800");
    ASSERT_TRUE(first.accept());
    f.t.messenger().clear();
    VoucherEntry second(f.t.session(), f.context());
    fill(second, "R", "0001", "55", c.emi, "01/09/2012", "05/09/2012", c.pago, c.amount);
    bool ok = second.accept();
    EXPECT_EQ(ok, std::string(c.message).empty());
    if (!ok) {
      EXPECT_EQ(f.t.messenger().last(), c.message);
    }
    EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601RDDET"), ok ? 2 : 1);
  }
}

TEST(VoucherEntry, NewHeaderRefusesAKindThePersonAlreadyHasAndAFailedWriteLeavesNothing) {
  Fixture f("201209");
  VoucherEntry v(f.t.session(), f.context(true, {"R"}));
  fill(v, "R", "0001", "5", "10/09/2012", "01/09/2012", "05/09/2012", "20/09/2012", "1800");
  EXPECT_FALSE(v.accept());
  ASSERT_EQ(f.t.messenger().entries().size(), 1u);
  EXPECT_EQ(f.t.messenger().entries()[0].text,
            "Ya se ha ingresado un documento de este tipo. Ingrese otro tipo o ingrese por modificar");
  EXPECT_EQ(f.t.messenger().entries()[0].title, "Error");
  v.setKind("N");
  v.setSeries("0001");
  v.setAmount("-1800");
  // A write that fails leaves no header behind, and the same voucher can be accepted afterwards
  // (the rollback of every detail write, which shares this path).
  f.t.db().run("CREATE TRIGGER no_det BEFORE INSERT ON TMPF601RDDET BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  EXPECT_FALSE(v.accept());
  EXPECT_EQ(f.t.messenger().entries().back().title, "Mensaje");  // the record-level failure
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601RDCAB"), 0);
  f.t.db().run("DROP TRIGGER no_det");
  f.t.messenger().clear();
  EXPECT_TRUE(v.accept()) << f.t.messenger().last();
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601RDCAB"), 1);
}

}  // namespace
}  // namespace korventa::detail
