// Formative-modality trainees: identity and amount checks, establishments replaced on accept.
#include <gtest/gtest.h>

#include "detail/provider_fixture.h"

namespace korventa::detail {
namespace {

struct Fixture : ProviderFixture {
  Fixture() { addTrainee(); }  // the working set loads the trainees active in the period
  std::string stored() {
    return t.db().text(
        "SELECT group_concat(cod_estab || ':' || cNumero) FROM (SELECT * FROM TMPF601_ESTABMF "
        "WHERE correl_a = 23 ORDER BY cod_estab)");
  }
};

TEST(TraineeDetail, SavedWithThreeThenOneKeepsOneRowAndANewEstablishmentIsListedUnselected) {
  Fixture f;
  {
    TraineeDetail d(f.t.session(), f.decl);
    ASSERT_TRUE(d.openExisting(kDiana));
    EXPECT_EQ(d.nombre1(), "DIANA");
    ASSERT_EQ(d.establishments().size(), 7u);
    EXPECT_EQ(d.establishments()[5].caption,
              "6  SEDE PRODUCTIVA  20548761230  TALLER DE MANTENIMIENTO MINERO - LA OROYA");
    EXPECT_EQ(d.selectedCount(), 0);
    d.setAmount("930");
    f.select(d, {1, 3, 7});
    ASSERT_TRUE(d.accept()) << f.m().last();
  }
  EXPECT_EQ(f.stored(), "1:000000,3:000000,7:000000");
  EXPECT_EQ(f.t.db().text("SELECT mto_renta FROM TMPF601MFCAB WHERE correl_a = 23"), "930.00");
  f.t.db().run(
      "INSERT INTO LOCAL (tip_doc_d, doc_id_d, cod_est, nom_est, cod_tipest, doc_ruc_emp, IND_SCTR) VALUES "
      "(6, ?, 8, 'OFICINA AREQUIPA', '07', ?, 0)",
      {kRuc, kRuc});
  TraineeDetail d(f.t.session(), f.decl);
  ASSERT_TRUE(d.openExisting(kDiana));
  EXPECT_EQ(d.amount(), "930.00");
  EXPECT_EQ(d.selectedCount(), 3);
  ASSERT_EQ(d.establishments().size(), 8u);
  EXPECT_EQ(d.establishments().back().caption, "8  OFICINA ADMINISTRATIVA  20503987610  OFICINA AREQUIPA");
  EXPECT_FALSE(d.establishments().back().selected);
  EXPECT_TRUE(d.establishments()[2].selected);
  f.select(d, {3});
  ASSERT_TRUE(d.accept());
  EXPECT_EQ(f.stored(), "3:000000");
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601MFCAB"), 1);
}

struct TraineeCase {
  const char* name;
  bool existing;
  int tipDoc;
  const char* doc;
  const char* amount;
  bool anyEstablishment;
  const char* message;
  const char* title;
  const char* focus;
};

TEST(TraineeDetail, ChecksInOrder) {
  const TraineeCase cases[] = {
      {"document_of_another_trainee", false, 1, "72345678", "100", true, "El número de documento ya fue ingresado",
       "Error", "TxtNumDoc"},
      {"no_amount", true, 1, "", "", true, "Debe ingresar el monto", "Mensaje", "TxtMonto"},
      {"no_establishment_even_with_valid_amount", true, 1, "", "950.50", false,
       "Debe seleccionar por lo menos un establecimeinto", "Mensaje", "lstHorario"},
      {"new_trainee_from_registry", false, 1, "73456789", "500", true, "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    TraineeDetail d(f.t.session(), f.decl);
    if (c.existing) {
      ASSERT_TRUE(d.openExisting(kDiana));
    } else {
      d.setTipDoc(c.tipDoc);
      d.setDocId(c.doc);
    }
    d.setAmount(c.amount);
    if (c.anyEstablishment) f.select(d, {1});
    bool ok = d.accept();
    if (std::string(c.message).empty()) {
      EXPECT_TRUE(ok) << f.m().last();
      EXPECT_EQ(f.t.db().integer("SELECT correl_a FROM TMPF601MFCAB WHERE doc_id_a = ?", {c.doc}), 24);
      continue;
    }
    EXPECT_FALSE(ok);
    ASSERT_EQ(f.m().entries().size(), 1u);
    EXPECT_EQ(f.m().entries()[0].text, c.message);
    EXPECT_EQ(f.m().entries()[0].title, c.title);
    EXPECT_EQ(d.focus(), c.focus);
    EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601_ESTABMF"), 0);
  }
}

TEST(TraineeDetail, AmountBoxLeaveAndDeleteQuestions) {
  Fixture f;
  TraineeDetail d(f.t.session(), f.decl);
  ASSERT_TRUE(d.openExisting(kDiana));
  EXPECT_TRUE(d.leave());
  EXPECT_TRUE(f.m().entries().empty());
  EXPECT_FALSE(d.amountEnter());
  EXPECT_EQ(f.m().last(), "Debe ingresar el Monto pagado");
  d.setAmount("1234567.5");
  EXPECT_EQ(d.amountDisplay(), "1,234,567.50");
  f.m().clear();
  d.setAmount("10");
  f.m().queueAnswer(Answer::No);  // the question's text is the provider header's (ProviderHeader tests)
  EXPECT_TRUE(d.leave());
  EXPECT_EQ(f.t.db().text("SELECT ifnull(mto_renta, '') FROM TMPF601MFCAB"), "");
  f.m().queueAnswer(Answer::Yes);
  EXPECT_TRUE(d.Eliminar());
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601MFCAB"), 0);
}

}  // namespace
}  // namespace korventa::detail
