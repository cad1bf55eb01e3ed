// Boxes summed from the receipts and the copy of receipts and trainees into the stored tables.
#include <gtest/gtest.h>

#include "data/numero_control.h"
#include "detail/provider_fixture.h"
#include "detail/receipts_save.h"

namespace korventa::detail {
namespace {

struct Fixture : ProviderFixture {
  void voucher(long correl, const char* doc, int tipDoc, const char* kind, const char* number, const char* amount) {
    addVoucher(context(false, {}, "1", {correl, tipDoc, doc, kProvider}), kind, number, amount);
  }
  void trainee(std::initializer_list<std::int64_t> codes) {
    addTrainee();
    TraineeDetail d(t.session(), decl);
    ASSERT_TRUE(d.openExisting(kDiana));
    d.setAmount("930.4");
    select(d, codes);
    ASSERT_TRUE(d.accept());
  }
  // Every stored row of the declaration carries the control number of its own columns.
  void expectControlNumbers(const std::string& table, int n) {
    auto rows = t.db().rows("SELECT * FROM " + table + " WHERE periodo = ?", {decl.periodo});
    ASSERT_FALSE(rows.empty()) << table;
    for (const auto& r : rows) {
      std::string stored = r.text(r.size() - 1);
      EXPECT_EQ(stored, data::NumeroControl(r.values(), n)) << table;
      EXPECT_EQ(stored.size(), 6u) << table;
    }
  }
};

TEST(SumaMontos, BoxesFromTheReceipts) {
  Fixture f;
  auto none = Suma_Montos(f.t.db(), f.decl);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.value("320"), "");
  EXPECT_EQ(none.display("547"), "");
  f.voucher(17, "10411223341", 6, "N", "2", "-200");
  auto credit = Suma_Montos(f.t.db(), f.decl);
  EXPECT_EQ(credit.display("320"), "(200)");  // a negative total in parentheses
  EXPECT_EQ(credit.display("321"), "(20)");
  EXPECT_EQ(credit.value("320"), "-200");
  f.voucher(17, "10411223341", 6, "R", "1", "2000.40");
  f.voucher(19, "XDA123456", 7, "D", "", "1234567.50");
  auto b = Suma_Montos(f.t.db(), f.decl);
  EXPECT_EQ(b.vouchers, 3);
  EXPECT_EQ(b.value("320"), "1236368");  // 2000.40 - 200 + 1234567.50 = 1236367.90
  EXPECT_EQ(b.value("321"), "123637");   // 200.04 - 20 + 123456.75 = 123636.79
  EXPECT_EQ(b.value("322"), "0");
  EXPECT_EQ(b.value("547"), "3");
  EXPECT_EQ(b.display("320"), "1,236,368");
}

TEST(GrabaRta, SavingTwiceKeepsOneSetWithControlNumbersAndOtherDeclarationsAlone) {
  Fixture f;
  f.t.db().run(
      "INSERT INTO F601RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, num_ser) VALUES "
      "(6, ?, '201208', '0601', 17, '0009')",
      {kRuc});
  f.voucher(17, "10411223341", 6, "R", "1", "2000");
  f.voucher(17, "10411223341", 6, "N", "2", "-200");
  f.voucher(19, "XDA123456", 7, "O", "", "700");
  Graba_Rta(f.t.db(), f.decl);
  Graba_Rta(f.t.db(), f.decl);
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM F601RDCAB"), 3);
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM F601RDDET WHERE doc_id_d = ? AND periodo = '201209' AND "
                             "formulario = '0601'",
                             {kRuc}),
            3);
  f.expectControlNumbers("F601RDCAB", 8);
  f.expectControlNumbers("F601RDDET", 10);
  // The stored declaration is read back as it was entered.
  auto stored = Suma_Montos(f.t.db(), f.decl, VoucherSource::Stored);
  EXPECT_EQ(stored.value("320"), "2500");
  EXPECT_EQ(stored.value("321"), "250");
  auto rows = declarationVouchers(f.t.db(), f.decl, VoucherSource::Stored);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].person.doc_id_a, "10411223341");
  EXPECT_EQ(rows[2].voucher.num_ser, "XXX");
  // Emptied working set: the stored rows of the declaration go too.
  f.t.db().run("DELETE FROM TMPF601RDDET");
  f.t.db().run("DELETE FROM TMPF601RDCAB");
  Graba_Rta(f.t.db(), f.decl);
  EXPECT_EQ(f.t.db().text("SELECT group_concat(periodo) FROM F601RDDET"), "201208");
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM F601RDCAB"), 0);
}

TEST(GrabaModForm, TraineesAndEstablishmentsStoredAndKeptWhenASaveFails) {
  Fixture f;
  f.trainee({1, 3});
  Graba_ModForm(f.t.db(), f.decl);
  Graba_ModForm(f.t.db(), f.decl);
  EXPECT_EQ(f.t.db().text("SELECT mto_renta FROM F601MFCAB"), "930.40");
  EXPECT_EQ(f.t.db().text("SELECT group_concat(cod_estab) FROM (SELECT cod_estab FROM F601_ESTABMF ORDER BY 1)"),
            "1,3");
  f.expectControlNumbers("F601MFCAB", 8);
  f.expectControlNumbers("F601_ESTABMF", 8);
  auto rows = declarationTrainees(f.t.db(), f.decl, VoucherSource::Stored);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "PÉREZ CAMPOS DIANA");
  EXPECT_EQ(rows[0].establishments, (std::vector<std::int64_t>{1, 3}));
  // A failure inside the save leaves the previous rows.
  f.t.db().run("CREATE TRIGGER boom BEFORE INSERT ON F601_ESTABMF BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  EXPECT_THROW(Graba_ModForm(f.t.db(), f.decl), data::DbError);
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM F601MFCAB"), 1);
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM F601_ESTABMF"), 2);
}

}  // namespace
}  // namespace korventa::detail
