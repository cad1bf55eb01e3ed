// The determination grid: sums of the persons into bases and taxes, balances, amounts to pay,
// IGV of the SCTR column, the total and the enabling of the EPS credit boxes.
#include <gtest/gtest.h>

#include <algorithm>

#include "determination/debt_grid.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

using determination::DebtDetermination;

class DebtGrid : public ::testing::Test {
 protected:
  DebtGrid() : f("201206") { f.decl.typedBoxesRead = true; }
  DebtDetermination loaded() {
    DebtDetermination g(f.t.session(), f.decl);
    g.load();
    return g;
  }
  WorkingFixture f;
};

TEST_F(DebtGrid, BasesAndTaxesAreSummedPerColumnAndRounded) {
  f.worker("10000001", "rem_pens = '1000.40', pens = '130.05', rem_salud = '1000.40', salud = '90.04'");
  f.worker("10000002", "rem_pens = '2000.10', pens = '260.01', rem_salud = '2000.10', salud = '180.01'");
  f.worker("10000003", "rem_salud = '900', salud_agrario = '36'", "64");
  f.worker("10000004", "rem_salud = '800', cbssp = '72.50'", "36");
  f.worker("10000005", "rem_afecta = '5000', tributo = '119.60', sctr_essalud = '0', sctr_tributo = ''");
  auto g = loaded();
  EXPECT_EQ(g.value("451"), "3001");  // 3000.50 rounds up
  EXPECT_EQ(g.value("411"), "390");   // 390.06
  EXPECT_EQ(g.value("452"), "3001");  // agrarian and CBSSP workers have their own columns
  EXPECT_EQ(g.value("412"), "270");
  EXPECT_EQ(g.value("456"), "900");
  EXPECT_EQ(g.value("416"), "36");
  EXPECT_EQ(g.value("458"), "800");
  EXPECT_EQ(g.value("418"), "73");
  EXPECT_EQ(g.value("415"), "120");
  // Nothing carried: empty, not "0".
  EXPECT_EQ(g.value("460"), "");
  EXPECT_EQ(g.value("420"), "");
  EXPECT_EQ(g.display("451"), "3,001");
}

TEST_F(DebtGrid, BalanceRulesAndTheTotalToPay) {
  f.worker("10000001", "pens = '1200', rem_pens = '9000', rem_salud = '5000', salud = '1000'");
  auto g = loaded();
  // Nothing typed: the total to pay is empty, a typed 0 makes it "0".
  EXPECT_EQ(g.total(), "");
  ASSERT_TRUE(g.setBox("801", "1200"));
  ASSERT_TRUE(g.setBox("800", "0"));
  EXPECT_EQ(g.total(), "1,200");
  ASSERT_TRUE(g.setBox("801", ""));
  EXPECT_EQ(g.total(), "0");
  ASSERT_TRUE(g.setBox("800", ""));
  EXPECT_EQ(g.total(), "");
  EXPECT_EQ(determination::totalToPay(g.boxes()), "");
  // Tax 1200, previous payments 1500: never negative.
  ASSERT_TRUE(g.setBox("501", "1500"));
  EXPECT_EQ(g.value("711"), "0");
  ASSERT_TRUE(g.setBox("501", "200"));
  ASSERT_TRUE(g.setBox("701", "15"));
  EXPECT_EQ(g.value("711"), "1015");
  // A credit typed negative still reduces the balance.
  ASSERT_TRUE(g.setBox("602", "-100"));
  EXPECT_EQ(g.value("712"), "900");
  EXPECT_EQ(g.display("602"), "(100)");
  EXPECT_EQ(g.editText("602"), "-100");
  // A column without tax, deductions or interest shows an empty balance.
  EXPECT_EQ(g.value("715"), "");
  EXPECT_EQ(g.value("710"), "");
  ASSERT_TRUE(g.setBox("605", "0"));
  EXPECT_EQ(g.value("715"), "0");
  // Computed boxes and text are refused.
  EXPECT_FALSE(g.setBox("711", "5"));
  EXPECT_FALSE(g.setBox("411", "5"));
  EXPECT_FALSE(g.setBox("801", "12a"));
  EXPECT_TRUE(g.setBox("801", "1,015"));
  EXPECT_EQ(g.value("801"), "1015");
}

TEST_F(DebtGrid, EpsCreditBoxesFollowTheirBase) {
  f.worker("10000001", "rem_salud = '5000', salud = '450'");
  f.worker("10000002", "rem_salud = '3000', cbssp = '270'", "26");
  auto g = loaded();
  EXPECT_TRUE(g.enabled("602") && g.enabled("612") && g.enabled("408") && g.enabled("428"));
  ASSERT_TRUE(g.setBox("602", "40"));
  ASSERT_TRUE(g.setBox("612", "10"));
  EXPECT_EQ(g.value("712"), "400");
  // The base of the regular column emptied: its credits are emptied and disabled.
  f.t.db().run("UPDATE TEMP1_F601 SET rem_salud = '', salud = '' WHERE doc_id_a = '10000001'");
  g.recomputeBases();
  EXPECT_EQ(g.value("452"), "");
  EXPECT_EQ(g.value("602"), "");
  EXPECT_EQ(g.value("612"), "");
  EXPECT_FALSE(g.enabled("602"));
  EXPECT_FALSE(g.setBox("602", "5"));
  EXPECT_TRUE(g.enabled("408"));
  // Credits backed by invoices carry the invoices' credit total.
  f.t.db().run(
      "INSERT INTO TMPF600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, casilla, ruc_eps, Imp_total, "
      "Imp_cred) VALUES (6, ?, ?, '0601', '408', '20100000001', '500', '80.50')",
      {f.decl.ruc, f.decl.periodo});
  g.recomputeBases();
  EXPECT_EQ(g.value("408"), "81");
  EXPECT_EQ(g.value("718"), "189");
}

TEST_F(DebtGrid, AmountsThatFollowTheBalanceAndTheSctrIgv) {
  f.worker("10000001",
           "sctr_essalud = '1000', sctr_tributo = '118', ipss_vida = '5', fondo_dsa = '100', "
           "aporte_fdsa = '5'");
  auto g = loaded();
  EXPECT_EQ(g.value("744"), "118");
  EXPECT_EQ(g.value("810"), "118");
  EXPECT_EQ(g.value("812"), "18");  // from 201103 on, 18 %
  EXPECT_EQ(g.value("804"), "5");
  EXPECT_EQ(g.value("803"), "5");
  ASSERT_TRUE(g.setBox("503", "2"));
  EXPECT_EQ(g.value("803"), "3");
  EXPECT_EQ(g.total(), "126");
  EXPECT_FALSE(g.setBox("810", "50")) << "the SCTR amount to pay follows its balance";
  // The base of the artists' fund gone: its previous payments are emptied.
  f.t.db().run("UPDATE TEMP1_F601 SET fondo_dsa = '', aporte_fdsa = ''");
  g.recomputeBases();
  EXPECT_EQ(g.value("503"), "");
  // Before 201103 the IGV is 19 %; the SCTR column emptied empties it.
  WorkingFixture before("201012");
  before.decl.typedBoxesRead = true;
  before.worker("10000001", "sctr_essalud = '1000', sctr_tributo = '119'");
  DebtDetermination old(before.t.session(), before.decl);
  old.load();
  EXPECT_EQ(old.value("812"), "19");
  before.t.db().run("UPDATE TEMP1_F601 SET sctr_essalud = '', sctr_tributo = ''");
  old.recomputeBases();
  EXPECT_EQ(old.value("812"), "");
  EXPECT_EQ(old.value("810"), "");
}

// The IGV contained in the SCTR amount (box 812) on both sides of its switch in March 2011.
TEST(DebtGridIgv, NineteenPercentUntil201102EighteenFrom201103) {
  struct Case {
    const char* periodo;
    const char* igv;  // of an SCTR amount of 118
  } cases[] = {{"201102", "19"}, {"201103", "18"}};
  for (const auto& c : cases) {
    WorkingFixture f(c.periodo);
    f.decl.typedBoxesRead = true;
    f.worker("10000001", "sctr_essalud = '1000', sctr_tributo = '118'");
    DebtDetermination g(f.t.session(), f.decl);
    g.load();
    EXPECT_EQ(g.value("812"), c.igv) << c.periodo;
  }
}

TEST_F(DebtGrid, TypedBoxesComeFromTheDeclarationOrFromDet) {
  f.worker("10000001", "pens = '1200', rem_pens = '9000'");
  f.decl.typedBoxesRead = false;
  f.t.db().run(
      "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla) VALUES "
      "(6, ?, ?, '0601', '801', '1000', '05'), (6, ?, ?, '0601', '711', '99999', '01')",
      {f.decl.ruc, f.decl.periodo, f.decl.ruc, f.decl.periodo});
  auto fromDet = loaded();
  EXPECT_EQ(fromDet.value("801"), "1000");
  EXPECT_EQ(fromDet.value("711"), "1200") << "balances are recomputed, never read";
  f.decl.typedBoxes = {{"801", "700"}, {"501", "500"}};
  f.decl.typedBoxesRead = true;
  auto fromDecl = loaded();
  EXPECT_EQ(fromDecl.value("801"), "700");
  EXPECT_EQ(fromDecl.value("711"), "700");
  auto boxes = fromDecl.boxes();
  ASSERT_EQ(boxes.size(), 97u);
  EXPECT_EQ(boxes.front().casilla, "450");
  EXPECT_EQ(boxes.back().casilla, "535");
}

// The receipts as the voucher form leaves them (its retention of 10 %: VoucherEntry.RetentionComputation).
TEST_F(DebtGrid, FourthCategoryColumnCopiesTheReceiptBoxes) {
  f.t.db().run(
      "INSERT INTO TMPF601RDCAB (correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, Des_Pat, Des_No1, "
      "ind_domicilio) VALUES (17, 3, 'R', 6, '10411223341', 'QUISPE', 'X', '1')");
  f.t.db().run(
      "INSERT INTO TMPF601RDDET (correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, num_ser, num_rec, "
      "mto_rec, mto_rta, mto_ies) VALUES (17, 3, 'R', 6, '10411223341', '0001', '1', '2000.40', '200.04', '0.00')");
  auto g = loaded();
  EXPECT_EQ(g.value("461"), "2000");
  EXPECT_EQ(g.value("421"), "200");
  EXPECT_EQ(g.value("745"), "200");
}

// Only the SCTR column (to pay 810) shows its IGV box, after its amount to pay; the banks of a
// cheque payment leave out "00", the no-bank entry.
TEST_F(DebtGrid, IgvBoxOfTheSctrColumnAndTheBanksOffered) {
  int withIgv = 0;
  for (const auto& c : determination::taxColumns()) {
    const char* igv = determination::igvBox(c);
    if (!igv) continue;
    ++withIgv;
    EXPECT_STREQ(c.toPay, "810");
    EXPECT_STREQ(igv, "812");
  }
  EXPECT_EQ(withIgv, 1);
  auto boxes = loaded().boxes();
  auto at = std::find_if(boxes.begin(), boxes.end(), [](const auto& b) { return b.casilla == "810"; });
  ASSERT_NE(at, boxes.end());
  ASSERT_NE(at + 1, boxes.end());
  EXPECT_EQ((at + 1)->casilla, "812");

  auto banks = determination::paymentBanks(f.t.db());
  ASSERT_FALSE(banks.empty());
  for (const auto& b : banks) {
    EXPECT_NE(b.code, "00");
    EXPECT_EQ(b.caption.rfind(b.code + " - ", 0), 0u) << b.caption;
  }
}

}  // namespace
}  // namespace korventa::test
