// An own concept of the declarant: its amount enters no base until its tax affectation says so;
// changing the affectation marks the saved declaration for refresh, and after the refresh the
// amount is in the bases the string names.
#include "declaration/decl_fixture.h"
#include "detail/concept_entry.h"
#include "reference/tax_affectation.h"

namespace korventa::test {
namespace {

using declaration::Frm402;

class OwnConceptTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
    db().run("INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) SELECT 6, ?, Codigo, ind_origen "
             "FROM CONCEPTOS_REM WHERE Codigo IN ('0121', '1001')",
             {kRuc});
  }
  std::string stored(const std::string& code, const std::string& column) {
    return db().text("SELECT " + column + " FROM F601_REMUNERA WHERE doc_id_d = ? AND periodo = '201205' AND "
                     "doc_id_a = '40000001' AND cod_concep = ?",
                     {kRuc, code});
  }
};

TEST_F(OwnConceptTest, AffectationReachesTheBasesAfterRefresh) {
  ASSERT_TRUE(createAndSave("201205"));
  {
    Frm402 f(session());
    ASSERT_TRUE(f.abrir(kRuc, "201205"));
    PersonKey ana{1, 1, "40000001", 1};
    f.prepararDetalle(ana);
    ASSERT_TRUE(detail::typeConceptAmount(session(), f.declaration(), ana, "0121", "1000.00", std::nullopt));
    ASSERT_TRUE(detail::typeConceptAmount(session(), f.declaration(), ana, "1001", "500.00", std::nullopt));
    f.despuesDeDetalle(ana);
    ASSERT_TRUE(f.grabar().saved);
    f.cerrarSinGuardar();
  }
  // Without an affectation the own concept enters no base: EsSalud (0804) on 1000.00 only.
  EXPECT_EQ(stored("1001", "monto"), "500.00");
  EXPECT_EQ(stored("0804", "base_calculo"), "1000.00");
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref FROM CAB WHERE doc_id_d = ?", {kRuc}), "0/0");

  reference::TaxAffectation a(session());
  ASSERT_TRUE(a.load(kRuc, "1001"));
  ASSERT_TRUE(a.set("1000000000000"));  // affected to EsSalud only
  ASSERT_TRUE(a.accept());
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref FROM CAB WHERE doc_id_d = ?", {kRuc}), "9/1");

  {
    Frm402 f(session());
    ASSERT_TRUE(f.abrir(kRuc, "201205"));
    msg().queueAnswer(Answer::Yes);
    ASSERT_TRUE(f.refrescar());
    ASSERT_TRUE(f.grabar().saved);
    f.cerrarSinGuardar();
  }
  EXPECT_EQ(stored("0804", "base_calculo"), "1500.00");
  EXPECT_EQ(stored("0804", "monto"), "135.00");  // 9 % of 1500.00
  EXPECT_EQ(db().text("SELECT ind_ref FROM CAB WHERE doc_id_d = ?", {kRuc}), "0");
}

}  // namespace
}  // namespace korventa::test
