#include "data/numero_control.h"
#include "data/servicios_comunes.h"
#include "declaration/catalogue.h"
#include "declaration/sent_declaration_chooser_form.h"
#include "declaration/declaration_chooser_form.h"
#include "declaration/copy_declaration.h"
#include "declaration/decl_fixture.h"
#include "declaration/recovery.h"
#include "declaration/send.h"

namespace korventa::test {
namespace {

using namespace declaration;

class CatalogueTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
  }
  // A saved declaration with a receipt, a non-worked day and EPS credit boxes, as the copy meets it.
  void richDeclaration(const std::string& periodo) {
    ASSERT_TRUE(createAndSave(periodo));
    auto key = data::Params{kRuc, periodo};
    db().run(
        "INSERT INTO F601RDCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
        "tip_doc_a, doc_id_a) VALUES (6, ?, ?, '0601', 7, 3, 'R', 1, '40000007')",
        key);
    db().run(
        "INSERT INTO F601RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
        "tip_doc_a, doc_id_a, num_ser, num_rec, mto_rec) VALUES (6, ?, ?, '0601', 7, 3, 'R', 1, '40000007', "
        "'0001', '123', '2000.00')",
        key);
    db().run(
        "INSERT INTO F601DIAS_NOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
        "tipo_suspen, dias_no_lab) VALUES (6, ?, 1, 1, '40000001', ?, '0601', '07', '2')",
        key);
    for (const char* b : {"602", "612", "408", "428", "802"})
      db().run(
          "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla) "
          "VALUES (6, ?, ?, '0601', ?, '100', '01')",
          {kRuc, periodo, b});
    db().run("UPDATE CAB SET bcolibrad = '02', nrocheque = '777', cheque = '100', rectifica = '1' WHERE periodo = ?",
             {periodo});
  }
  bool copy(const std::string& from, const std::string& to) {
    CopyDeclarationForm c(session(), kRuc, from);
    return c.copiar(to);
  }
};

TEST_F(CatalogueTest, ChooserListSortAndUserRestriction) {
  ASSERT_TRUE(createAndSave("201204"));
  ASSERT_TRUE(createConsistent("201205"));
  ASSERT_TRUE(createAndSave("201203", kOtherRuc));
  DeclarationChooserForm modify(session(), Mode::Modify, false);
  const auto& rows = modify.requery();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].periodo, "201205") << "newest first";
  EXPECT_EQ(modify.cells(rows[0]), (std::vector<std::string>{kRuc, "EMPRESA DEMO SAC", "052012", "0601", "0", "0"}));
  modify.sortByColumn(1);
  EXPECT_EQ(modify.rows()[0].nombre, "EMPRESA DEMO SAC");
  EXPECT_EQ(modify.rows()[2].nombre, "OTRA EMPRESA SAC");

  // A restricted user sees only his declarants.
  db().run("UPDATE CLAVES SET tipo = '1'");
  db().run("UPDATE CONTRVKRS SET Usuario = 'OTRO' WHERE doc_id_d = ?", {kOtherRuc});
  EXPECT_EQ(modify.requery().size(), 2u);
}

// A delete that fails half-way puts back what it had deleted; one confirmed removes every row.
TEST_F(CatalogueTest, DeleteAskedRolledBackOnFailureAndComplete) {
  richDeclaration("201205");
  std::string before = dumpStored();
  failOn("DET", "DELETE");
  EXPECT_FALSE(deleteDeclaration(session(), kRuc, "201205"));
  ASSERT_FALSE(msg().entries().empty());
  EXPECT_EQ(msg().entries().back().title, "Error");
  EXPECT_EQ(msg().last(), "falla forzada\n19");
  EXPECT_EQ(dumpStored(), before) << "the detail rows deleted before DET are back";
  db().script("DROP TRIGGER fail_DET_DELETE");

  DeclarationChooserForm del(session(), Mode::Delete, false);
  del.requery();
  msg().queueAnswer(Answer::No);
  EXPECT_FALSE(del.eliminar(0));
  EXPECT_EQ(msg().entries().back().text, "¿Confirma que va a eliminar la declaración seleccionada?");
  EXPECT_EQ(dumpStored(), before);
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(del.eliminar(0));
  std::string empty = dumpStored();
  EXPECT_EQ(empty.find('|'), std::string::npos) << empty;
  EXPECT_TRUE(del.rows().empty());
  EXPECT_FALSE(del.eliminar(0)) << "an empty list does nothing";
}

TEST_F(CatalogueTest, DeletingOneOfTwoSendings) {
  ASSERT_TRUE(createConsistent("201205"));
  auto first = enviarDeclaracion(db(), kRuc, "201205");
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  ASSERT_TRUE(f.save().saved);
  f.leave();
  auto second = enviarDeclaracion(db(), kRuc, "201205");
  EXPECT_EQ(first.correl, "1");
  EXPECT_EQ(second.correl, "2");
  long long perSending = count("SELECT count(*) FROM HF601_TRAB WHERE correl = '1'");
  ASSERT_GT(perSending, 0);
  ASSERT_TRUE(deleteDeclaration(session(), kRuc, "201205", "1"));
  EXPECT_EQ(count("SELECT count(*) FROM HCAB"), 1);
  EXPECT_EQ(db().text("SELECT correl FROM HCAB"), "2");
  EXPECT_EQ(count("SELECT count(*) FROM HF601_TRAB WHERE correl = '2'"), perSending);
  EXPECT_EQ(count("SELECT count(*) FROM HF601_TRAB WHERE correl = '1'"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM HDET WHERE correl = '1'"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM CAB"), 1) << "the declaration in preparation stays";

  DeclarationChooserForm sent(session(), Mode::Delete, true);
  sent.requery();
  ASSERT_EQ(sent.rows().size(), 1u);
  EXPECT_EQ(sent.cells(sent.rows()[0]).back(), "2");
}

TEST_F(CatalogueTest, CopyChecksInOrder) {
  ASSERT_TRUE(createAndSave("201205"));
  ASSERT_TRUE(createAndSave("201207"));
  struct Case {
    const char* name;
    const char* target;
    const char* message;
  };
  const Case cases[] = {
      {"same period: the source itself exists", "05/2012",
       "Ya existe una declaración para este período. Primero debe eliminar la declaración."},
      {"01/2013 reaches the usage limit", "01/2013",
       "Este ZEL solo puede ser utilizado hasta el período 12/2012, para períodos posteriores utilice el ZEL VARNO"},
      {"earlier period", "04/2012", "Debe ingresar un periodo posterior a 05/2012"},
      {"incomplete field", "__/____", "Debe ingresar periodo a copiar."},
      {"target exists", "07/2012",
       "Ya existe una declaración para este período. Primero debe eliminar la declaración."},
  };
  for (const auto& c : cases) {
    msg().clear();
    EXPECT_FALSE(copy("201205", c.target)) << c.name;
    EXPECT_EQ(msg().last(), c.message) << c.name;
  }
  msg().clear();
  EXPECT_TRUE(copy("201205", "12/2012"));
  EXPECT_EQ(msg().last(),
            "Se terminó de copiar la información satisfactoriamente. Deberá ingresar a la declaración y usar la opción "
            "refrescar");
}

// A copy that fails on its last table leaves nothing behind; the copy that goes through.
TEST_F(CatalogueTest, CopiedDeclarationContents) {
  richDeclaration("201205");
  std::string before = dumpStored();
  failOn("F601MFCAB");  // the last table copied
  EXPECT_FALSE(copy("201205", "06/2012"));
  EXPECT_NE(msg().last().find("falla forzada"), std::string::npos);
  EXPECT_EQ(msg().entries().back().title, "Mensaje");
  EXPECT_EQ(dumpStored(), before);
  db().script("DROP TRIGGER fail_F601MFCAB_INSERT");

  ASSERT_TRUE(copy("201205", "06/2012"));
  auto key = data::Params{kRuc, "201206"};
  const std::string where = " WHERE doc_id_d = ? AND periodo = ?";
  // Receipts and non-worked days are not copied.
  for (auto [table, rows] : {std::pair{"F601RDCAB", 0}, std::pair{"F601RDDET", 0}, std::pair{"F601DIAS_NOLAB", 0},
                             std::pair{"F601_TRAB", 4}, std::pair{"F601_SCTR", 1}, std::pair{"F601MFCAB", 1}})
    EXPECT_EQ(count(std::string("SELECT count(*) FROM ") + table + where, key), rows) << table;
  for (const char* b : {"602", "612", "408", "428"})
    EXPECT_EQ(count("SELECT count(*) FROM DET" + where + " AND Casilla = '" + b + "'", key), 0) << b;
  EXPECT_EQ(count("SELECT count(*) FROM DET" + where + " AND Casilla = '802'", key), 1);
  // Days: type 98 and the pensioner (type 24) get none, the others the 30 days of June.
  EXPECT_EQ(db().text("SELECT dias_lab FROM F601_TRAB" + where + " AND doc_id_a = '40000001'", key), "30");
  EXPECT_EQ(db().text("SELECT dias_lab || '/' || dias_no_lab || '/' || dias_sub FROM F601_TRAB" + where +
                          " AND doc_id_a = '40000003'",
                      key),
            "//");
  EXPECT_EQ(db().text("SELECT dias_lab FROM F601_TRAB" + where + " AND doc_id_a = '40000004'", key), "");
  EXPECT_EQ(fields("SELECT estado, ind_ref, bcolibrad, nrocheque, cheque, rectifica, fec_pro FROM CAB" + where, key),
            "9|1|02|777|100|1|15/03/2013");
  // Control numbers are those of the copied rows.
  for (auto [table, n] : {std::pair{"F601_TRAB", 6}, std::pair{"DET", 6}, std::pair{"CAB", 5}}) {
    for (const auto& r : db().rows(std::string("SELECT * FROM ") + table + where, key)) {
      auto c = static_cast<std::size_t>(r.index("cNumero"));
      std::vector<data::Value> f(r.values().begin(), r.values().begin() + static_cast<long>(c) + 1);
      EXPECT_EQ(r.text(c), data::NumeroControl(f, n)) << table;
    }
  }
  // The source is untouched.
  EXPECT_EQ(count("SELECT count(*) FROM F601RDDET WHERE periodo = '201205'"), 1);
}

// Sending and recovering, each also failing half-way first: a failure leaves the stored rows as
// they were.
TEST_F(CatalogueTest, SendAndRecover) {
  richDeclaration("201205");
  // Saved with estado 9 (pending refresh) it cannot be sent.
  db().run("UPDATE CAB SET estado = 9");
  EXPECT_THROW(enviarDeclaracion(db(), kRuc, "201205"), std::runtime_error);
  EXPECT_TRUE(declaracionesPorEnviar(db()).empty());
  db().run("UPDATE CAB SET estado = 0");
  ASSERT_EQ(declaracionesPorEnviar(db()).size(), 1u);
  EXPECT_EQ(declaracionesPorEnviar(db())[0].nombre, "EMPRESA DEMO SAC");
  // A sending that fails when its header is written (it goes last) leaves nothing behind.
  std::string before = dumpStored();
  failOn("HCAB");
  EXPECT_THROW(enviarDeclaracion(db(), kRuc, "201205"), data::DbError);
  EXPECT_EQ(dumpStored(), before);
  db().script("DROP TRIGGER fail_HCAB_INSERT");
  auto receipt = enviarDeclaracion(db(), kRuc, "201205");
  EXPECT_TRUE(declaracionesPorEnviar(db()).empty()) << "sent, it waits to be saved again";
  EXPECT_EQ(receipt.correl, "1");
  EXPECT_EQ(receipt.fecEnv, "15/03/2013");
  EXPECT_TRUE(
      ServiciosComunes::Verifica_Digito(receipt.numeroOrden, ServiciosComunes::textoVerificacion(kRuc, "201205", "1")));
  EXPECT_EQ(fields("SELECT estado, fec_env, control, COALESCE(norden, '') FROM HCAB"),
            "1|15/03/2013|" + receipt.control + "|");
  EXPECT_EQ(db().text("SELECT estado FROM CAB"), "1");
  EXPECT_EQ(count("SELECT count(*) FROM HF601RDDET WHERE correl = '1'"), 1);

  SentDeclarationChooserForm chooser(session(), Mode::Recover);
  ASSERT_EQ(chooser.requery().size(), 1u);
  EXPECT_EQ(chooser.rows()[0].correl, "1");

  // The period field of the recovery: from 01/1993 to the current month; incomplete passes.
  for (auto [text, ok] : {std::pair{"01/1993", true}, std::pair{"12/1992", false}, std::pair{"03/2013", true},
                          std::pair{"04/2013", false}, std::pair{"0_/2012", true}})
    EXPECT_EQ(ValidaPeriodo(msg(), text), ok) << text;
  EXPECT_EQ(msg().last(), "El período no es válido.");
  RecoveryForm rec(session(), kRuc, "201205", "1");
  EXPECT_FALSE(rec.recuperar());
  EXPECT_EQ(msg().last(), "Ya existe una declaración para este período. Primero debe eliminar la declaración.");
  ASSERT_TRUE(deleteDeclaration(session(), kRuc, "201205"));
  before = dumpStored();
  failOn("CAB");
  EXPECT_FALSE(rec.recuperar());
  EXPECT_NE(msg().last().find("falla forzada"), std::string::npos);
  EXPECT_EQ(dumpStored(), before);
  db().script("DROP TRIGGER fail_CAB_INSERT");
  ASSERT_TRUE(rec.recuperar());
  EXPECT_EQ(msg().last(), "Se termino de recuperar la información satisfactoriamente.");
  auto key = data::Params{kRuc, "201205"};
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref || '/' || rectifica FROM CAB"), "9/1/1");
  EXPECT_EQ(count("SELECT count(*) FROM F601RDDET"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM F601DIAS_NOLAB"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM F601_TRAB"), count("SELECT count(*) FROM HF601_TRAB"));
  EXPECT_EQ(count("SELECT count(*) FROM DET"), count("SELECT count(*) FROM HDET"));
  EXPECT_EQ(count("SELECT count(*) FROM HCAB"), 1) << "the sending stays in the history";
}

}  // namespace
}  // namespace korventa::test
