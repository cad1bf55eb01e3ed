// Header of fourth-category providers: identity checks and questions, counters, deleting and
// leaving.
#include <algorithm>

#include <gtest/gtest.h>

#include "data/servicios_comunes.h"
#include "detail/provider_fixture.h"
#include "detail/provider_header.h"

namespace korventa::detail {
namespace {

using Fixture = ProviderFixture;

TEST(ProviderHeader, RegisteredProvidersListedNoVoucherBeforeTheRucAndAnInvalidRucMarked) {
  Fixture f;
  ProviderHeader h(f.t.session(), f.decl);
  ASSERT_EQ(h.registered().size(), 3u);
  // Ordered by document type and number; each shows the name and the RUC.
  EXPECT_EQ(h.registered()[0].caption, "NÚÑEZ ESPINOZA CARLOS ENRIQUE  -  10422334454");
  EXPECT_EQ(h.registered()[2].key.doc_id_a, "XDA123456");
  EXPECT_EQ(h.registered()[2].indDomicilio, "2");
  // Nothing chosen nor typed: no voucher yet.
  EXPECT_FALSE(h.newVoucher());
  EXPECT_EQ(f.m().texts(), std::vector<std::string>{"Debe ingresar el Número de RUC."});
  // An invalid RUC the user goes on with is marked on the header.
  h.setDocId("10411223342");
  h.setDesNo1("ANA");
  f.m().queueAnswer(Answer::Yes);
  auto ctx = h.newVoucher();
  ASSERT_TRUE(ctx);
  f.addVoucher(*ctx, "R", "1", "2000");
  EXPECT_EQ(f.t.db().text("SELECT ruc_estado FROM TMPF601RDCAB"), "0");
}

// A document typed into a new header: a provider already entered is opened (after saying so)
// with names and vouchers, instead of new vouchers joining its header unseen; a registered
// one brings its names.
TEST(ProviderHeader, TypedDocumentOfAnEnteredProviderOpensIt) {
  Fixture f;
  {
    ProviderHeader first(f.t.session(), f.decl);
    first.setDocId("10411223341");
    first.setDesPat("QUISPE");
    first.setDesNo1("ANA");
    auto ctx = first.newVoucher();
    ASSERT_TRUE(ctx);
    f.addVoucher(*ctx, "R", "1", "2000");
  }
  const std::string said =
      "El documento 10411223341 ya fue ingresado en la declaración: se muestran sus datos y comprobantes.";
  struct Case {
    const char* name;
    bool throughNewVoucher;  // the document left by "Nuevo" rather than by leaving the field
  };
  for (const Case c : {Case{"leaving the field", false}, Case{"pressing Nuevo", true}}) {
    f.m().clear();
    ProviderHeader h(f.t.session(), f.decl);
    h.setDocId("10411223341");
    if (c.throughNewVoucher)
      EXPECT_FALSE(h.newVoucher()) << c.name;
    else
      EXPECT_TRUE(h.documentEntered()) << c.name;
    EXPECT_EQ(f.m().texts(), std::vector<std::string>{said}) << c.name;
    EXPECT_FALSE(h.isNew()) << c.name;
    EXPECT_EQ(h.identity().desPat, "QUISPE") << c.name;
    EXPECT_EQ(h.identity().desNo1, "ANA") << c.name;
    ASSERT_EQ(h.vouchers().size(), 1u) << c.name;
    EXPECT_EQ(h.count("R"), 1) << c.name;
    EXPECT_FALSE(h.documentEntered()) << c.name;  // said once
  }

  // A registered provider not yet entered: its names, no message, still a new header.
  f.m().clear();
  ProviderHeader h(f.t.session(), f.decl);
  const auto& nunez = h.registered()[0];
  h.setTipDoc(nunez.key.tip_doc_a);
  h.setDocId(nunez.key.doc_id_a);
  EXPECT_TRUE(h.documentEntered());
  EXPECT_TRUE(f.m().texts().empty());
  EXPECT_TRUE(h.isNew());
  EXPECT_EQ(h.identity().desPat, "NÚÑEZ");
  EXPECT_EQ(h.person().correl_a, nunez.key.correl_a);
  EXPECT_TRUE(h.vouchers().empty());
  // Nor for a document nobody has.
  ProviderHeader other(f.t.session(), f.decl);
  other.setDocId("10400000001");
  EXPECT_FALSE(other.documentEntered());
  EXPECT_TRUE(other.identity().desPat.empty());
}

struct IdentityCase {
  const char* name;
  int tipDoc;
  const char* doc;
  const char* nombre;
  std::vector<Answer> answers;
  bool ok;
  std::vector<std::string> messages;
  const char* focus;
};

TEST(ProviderHeader, IdentityChecksInOrder) {
  ASSERT_TRUE(ServiciosComunes::rucValido("10411223341"));
  ASSERT_FALSE(ServiciosComunes::rucValido("10411223342"));
  using Answers = std::vector<Answer>;
  using Texts = std::vector<std::string>;
  const IdentityCase cases[] = {
      {"no_document", 6, "", "ANA", Answers{}, false, Texts{"Debe ingresar el Número de documento"}, "TxtNumDoc"},
      {"ruc_too_short", 6, "1041122334", "ANA", Answers{}, false, Texts{"Verifique la longitud del documento"},
       "TxtNumDoc"},
      {"declarant_ruc", 6, kRuc, "ANA", Answers{}, false,
       Texts{"Número de RUC del independiente es igual al del declarante "}, "TxtNumDoc"},
      {"invalid_ruc_refused", 6, "10411223342", "ANA", Answers{Answer::No}, false,
       Texts{"Número de RUC no es válido.\nLa ZUMAR verificara esta información \n¿Desea continuar?"}, "TxtNumDoc"},
      {"no_first_name_refused", 6, "10411223341", "", Answers{Answer::No}, false,
       Texts{"No ha ingresado el Primer Nombre. ¿Desea continuar?"}, "TxtNombre1"},
      {"no_first_name_accepted", 6, "10411223341", "", Answers{Answer::Yes}, true,
       Texts{"No ha ingresado el Primer Nombre. ¿Desea continuar?"}, ""},
      {"valid", 6, "10411223341", "PATRICIA", Answers{}, true, Texts{}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    ProviderHeader h(f.t.session(), f.decl);
    h.setTipDoc(c.tipDoc);
    h.setDocId(c.doc);
    h.setDesNo1(c.nombre);
    for (auto a : c.answers) f.m().queueAnswer(a);
    EXPECT_EQ(h.Valida_Cab(), c.ok);
    EXPECT_EQ(f.m().texts(), c.messages);
    EXPECT_EQ(h.focus(), c.focus);
  }
}

// GUTIÉRREZ chosen from the registry in a new header, with one fee receipt.
VoucherContext withReceipt(Fixture& f, ProviderHeader& h) {
  h.chooseRegistered(1);
  auto ctx = h.newVoucher();
  EXPECT_TRUE(ctx) << f.m().last();
  if (!ctx) return {};
  f.addVoucher(*ctx, "R", "1", "2000");
  return *ctx;
}

TEST(ProviderHeader, RegisteredProviderTwoKindsAndCounters) {
  Fixture f;
  ProviderHeader h(f.t.session(), f.decl);
  auto ctx = withReceipt(f, h);
  EXPECT_EQ(ctx.person.correl_a, 17);
  f.addVoucher(ctx, "N", "2", "-200");
  h.Refresh_Recibos();
  EXPECT_EQ(h.counterTexts(),
            (std::vector<std::string>{"Cantidad de Dietas: 0", "Cantidad de Notas de Crédito: 1",
                                      "Cantidad de Otros Comprobantes: 0", "Cantidad de Recibos x Honorarios: 1"}));
  f.m().clear();
  h.setDesNo2("MARÍA");
  ASSERT_TRUE(h.accept());
  EXPECT_EQ(f.t.db().text("SELECT group_concat(tip_retencion || ':' || Des_No2) FROM (SELECT * FROM TMPF601RDCAB "
                          "ORDER BY tip_retencion)"),
            "N:MARÍA,R:MARÍA");

  // A new header given the same provider opens the one entered, after saying so, and goes on
  // from there.
  f.m().clear();
  ProviderHeader again(f.t.session(), f.decl);
  again.chooseRegistered(1);
  EXPECT_FALSE(again.newVoucher());
  ASSERT_EQ(f.m().texts().size(), 1u);
  EXPECT_TRUE(f.m().texts()[0].ends_with(" ya fue ingresado en la declaración: se muestran sus datos y comprobantes."));
  EXPECT_FALSE(again.isNew());
  EXPECT_EQ(again.vouchers().size(), 2u);
  auto next = again.newVoucher();
  ASSERT_TRUE(next);
  std::sort(next->kindsBefore.begin(), next->kindsBefore.end());
  EXPECT_EQ(next->kindsBefore, (std::vector<std::string>{"N", "R"}));
  EXPECT_FALSE(next->headerIsNew);
}

TEST(ProviderHeader, EmptyListQuestionsAndDelete) {
  Fixture f;
  ProviderHeader h(f.t.session(), f.decl);
  h.chooseRegistered(1);
  EXPECT_FALSE(h.modifyVoucher(-1));
  EXPECT_FALSE(h.Eliminar(-1));
  EXPECT_FALSE(h.accept());
  EXPECT_EQ(f.m().texts(),
            (std::vector<std::string>{"No existen registros para modificar", "No existen registros para eliminar",
                                      "Debe ingresar al menos un Recibo"}));
  withReceipt(f, h);
  h.Refresh_Recibos();
  f.m().clear();
  f.m().queueAnswer(Answer::No);
  EXPECT_FALSE(h.Eliminar(0));
  EXPECT_EQ(f.m().entries().back().text, "¿Está seguro de Eliminar?. Esta información no podrá ser recuperada");
  EXPECT_EQ(f.m().entries().back().title, "Eliminar Registro");
  EXPECT_EQ(h.vouchers().size(), 1u);
  f.m().queueAnswer(Answer::Yes);
  EXPECT_TRUE(h.Eliminar(0));
  EXPECT_TRUE(h.vouchers().empty());

  // Leaving a header without vouchers asks, and Yes deletes the header.
  f.m().clear();
  f.m().queueAnswer(Answer::No);
  EXPECT_FALSE(h.leave());
  EXPECT_EQ(f.m().last(), "No hay recibos o dietas para este PS-4ta. Si sale se borrará este registro. ¿Está seguro?");
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601RDCAB"), 1);
  f.m().queueAnswer(Answer::Yes);
  EXPECT_TRUE(h.leave());
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601RDCAB"), 0);
}

TEST(ProviderHeader, LeavingAChangedHeaderAsksToSave) {
  Fixture f;
  ProviderHeader h(f.t.session(), f.decl);
  auto ctx = withReceipt(f, h);
  ASSERT_TRUE(h.openExisting(ctx.person));
  EXPECT_FALSE(h.isNew());
  EXPECT_EQ(h.identity().desNo1, "PATRICIA");
  h.setDesNo1("PATTY");
  f.m().clear();
  f.m().queueAnswer(Answer::Yes);
  EXPECT_TRUE(h.leave());
  EXPECT_EQ(f.m().entries()[0].text, "El formulario ha sido modificado. ¿Desea guardar los cambios?");
  EXPECT_EQ(f.m().entries()[0].title, "Confirma Salir");
  EXPECT_EQ(f.t.db().text("SELECT Des_No1 FROM TMPF601RDCAB"), "PATTY");
}

}  // namespace
}  // namespace korventa::detail
