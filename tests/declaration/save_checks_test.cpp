// The checks of the save: a declaration with an inconsistency is stored with estado 9 and with 0
// once corrected; a registry that counts other active persons stops the save.
#include "declaration/decl_fixture.h"
#include "declaration/save.h"
#include "determination/validation.h"

namespace korventa::test {
namespace {

using declaration::Frm402;

class SaveChecksTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
  }
  std::string estado() { return db().text("SELECT estado FROM CAB WHERE periodo = '201205'"); }
};

TEST_F(SaveChecksTest, InconsistentSaveThenCorrected) {
  ASSERT_TRUE(createAndSave("201205"));
  EXPECT_EQ(estado(), "0");
  Frm402 f(session());
  ASSERT_TRUE(f.abrir(kRuc, "201205"));
  // An amount to pay in a column without tax nor balance.
  f.declaration().typedBoxes = {{"800", "25"}};
  f.declaration().typedBoxesRead = true;
  auto r = f.grabar();
  ASSERT_TRUE(r.saved);
  EXPECT_TRUE(r.inconsistent);
  EXPECT_EQ(estado(), "9");
  EXPECT_EQ(msg().last(), "La información de la declaración fue guardada con inconsistencias. En estas condiciones "
                          "no podrá ser enviada a la ZUMAR.");
  EXPECT_EQ(db().text("SELECT i_valor FROM DET WHERE Casilla = '800'"), "25");
  EXPECT_EQ(db().text("SELECT efectivo FROM CAB"), "25");

  f.declaration().typedBoxes = {};
  r = f.grabar();
  ASSERT_TRUE(r.saved);
  EXPECT_FALSE(r.inconsistent);
  EXPECT_EQ(estado(), "0");
  EXPECT_EQ(count("SELECT count(*) FROM DET WHERE Casilla = '800'"), 0);
}

TEST_F(SaveChecksTest, RegistryCountDifferenceStopsTheSave) {
  ASSERT_TRUE(createAndSave("201205"));
  Frm402 f(session());
  ASSERT_TRUE(f.abrir(kRuc, "201205"));
  // A worker hired in the registry after the declaration was built.
  registry()
      .person(kRuc, 8, 1, 1, "40000008", "GOMEZ", "GINA", "21", "11", 2)
      .period(kRuc, 8, 1, 1, "40000008", "21", "2012-05-02", "");
  // A worker who left before the period does not count.
  registry()
      .person(kRuc, 9, 1, 1, "40000009", "HUAMAN", "HUGO", "21", "11", 2)
      .period(kRuc, 9, 1, 1, "40000009", "21", "2011-01-01", "2011-12-31");
  std::string before = dumpStored();
  db().run("UPDATE TEMP1_F601 SET Tot_Ingresos = '1.00'");
  msg().clear();
  auto r = f.grabar();
  EXPECT_FALSE(r.saved);
  ASSERT_EQ(msg().entries().size(), 1u);
  EXPECT_EQ(msg().entries()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(msg().last(), "Existen diferencias entre la cantidad de Registros Activos (Situación 10 y 11) en la DDJJ y "
                          "el Padrón de trabajadores : DDJJ=3     Padrón=4");
  EXPECT_EQ(dumpStored(), before);
  // Refreshed from the registry, the counts agree.
  msg().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refrescar());
  EXPECT_TRUE(f.grabar().saved);
}

TEST_F(SaveChecksTest, ValidationOfAStoredDeclarationDoesNotWrite) {
  ASSERT_TRUE(createAndSave("201205"));
  Frm402 f(session());
  ASSERT_TRUE(f.abrir(kRuc, "201205"));
  std::string before = dumpStored();
  auto r = determination::Validacion(session(), f.declaration()).CmdValidar_Click(t_.dir() / "Mens.txt");
  EXPECT_FALSE(r.stopped);
  EXPECT_TRUE(r.inconsistent) << "nothing is paid";
  EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), "Debe declarar algun tributo"), r.lines.end());
  EXPECT_EQ(dumpStored(), before);
}

}  // namespace
}  // namespace korventa::test
