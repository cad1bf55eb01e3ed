#include "common/text.h"
#include "data/numero_control.h"
#include "data/servicios_comunes.h"
#include "data/working_tables.h"
#include "declaration/decl_fixture.h"
#include "declaration/save.h"
#include "declaration/send.h"
#include "detail/concept_entry.h"
#include "determination/debt_grid.h"
#include "determination/declaration_computation.h"
#include "determination/validation.h"
#include "reference/tax_affectation.h"

namespace korventa::test {
namespace {

using declaration::DeclarationForm;

class SaveTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
  }
  void loadNew(DeclarationForm& f, const std::string& mmyyyy) {
    f.newDeclaration();
    f.CmbRuc_Click(kRuc);
    ASSERT_TRUE(f.acceptPeriod(mmyyyy).ok);
  }
  std::string box(const std::string& casilla, const std::string& periodo = "201205") {
    return db().text("SELECT i_valor FROM DET WHERE doc_id_d = ? AND periodo = ? AND Casilla = ?",
                     {kRuc, periodo, casilla});
  }
  void expectBoxes(std::initializer_list<std::pair<const char*, std::string>> boxes) {
    for (const auto& [casilla, value] : boxes) EXPECT_EQ(box(casilla), value) << "casilla " << casilla;
  }
};

TEST_F(SaveTest, SavingTwiceLeavesOneSetOfRows) {
  DeclarationForm f(session());
  loadNew(f, "05/2012");
  db().run(
      "INSERT OR REPLACE INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, monto_pag) "
      "VALUES (1, '40000001', 1, '0121', 1, '1500', '1500.456')");
  db().run("INSERT INTO TMP_ESTTURNOS_JL VALUES (1, 1, '40000001', 1, '05', 1)");
  // As the concept form leaves it: computed.
  determination::recomputePerson(session(), f.declaration(), PersonKey{1, 1, "40000001", 1});
  f.afterDetail(PersonKey{1, 1, "40000001", 1});
  ASSERT_TRUE(f.save().saved);
  std::string first = dumpStored();
  ASSERT_TRUE(f.save().saved);
  EXPECT_EQ(dumpStored(), first);
  for (auto [table, rows] : {std::pair{"CAB", 1}, std::pair{"F601_TRAB", 4}, std::pair{"F601_ESTAB", 1},
                             std::pair{"F601_SCTR", 1}, std::pair{"F601MFCAB", 1}})
    EXPECT_EQ(count(std::string("SELECT count(*) FROM ") + table), rows) << table;
  EXPECT_EQ(count("SELECT count(*) FROM F601_REMUNERA"), count("SELECT count(*) FROM TMPF601CONCEP"));
  EXPECT_FALSE(f.modified());
  // Amounts are stored with two decimals.
  EXPECT_EQ(fields("SELECT monto, monto_pag, monto_dif FROM F601_REMUNERA WHERE doc_id_a = '40000001' AND "
                   "cod_concep = '0121'"),
            "1500.00|1500.46|");
  // The other persons lack their pay and nothing is paid: stored, with inconsistencies.
  EXPECT_EQ(fields("SELECT estado, ind_ref, fec_pro FROM CAB"), "9|0|15/03/2013");
}

// A concept row that declares nothing is not stored; one stored empty by an earlier save is left
// out when the declaration is opened and is gone after the next save.
TEST_F(SaveTest, EmptyConceptRowsAreNeitherStoredNorBroughtBack) {
  {
    DeclarationForm f(session());
    loadNew(f, "05/2012");
    db().run(
        "INSERT OR REPLACE INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, "
        "monto_pag) VALUES (1, '40000001', 1, '0121', 1, '1500', '1500'), (1, '40000001', 1, '0201', 1, '', '')");
    determination::recomputePerson(session(), f.declaration(), PersonKey{1, 1, "40000001", 1});
    f.afterDetail(PersonKey{1, 1, "40000001", 1});
    ASSERT_TRUE(f.save().saved);
    EXPECT_GE(count("SELECT count(*) FROM F601_REMUNERA WHERE doc_id_a = '40000001'"), 2);  // 0121 and 0804
    EXPECT_EQ(count("SELECT count(*) FROM F601_REMUNERA WHERE COALESCE(monto, '') || COALESCE(monto_pag, '') || "
                    "COALESCE(base_calculo, '') = ''"),
              0);
    f.closeWithoutSaving();
  }
  db().run(
      "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, periodo, "
      "formulario, cod_concep, base_calculo, monto, monto_pag, monto_dif) VALUES (6, ?, 1, 1, 1, '40000001', "
      "'201205', '0601', '0202', '', '', '', '')",
      {kRuc});
  DeclarationForm g(session());
  g.openDeclaration(kRuc, "201205");
  EXPECT_FALSE(db().exists("SELECT 1 FROM TMPF601CONCEP WHERE codigo = '0202'"));
  EXPECT_EQ(db().text("SELECT monto FROM TMPF601CONCEP WHERE doc_id_a = '40000001' AND codigo = '0121'"), "1500.00");
  ASSERT_TRUE(g.save().saved);
  EXPECT_FALSE(db().exists("SELECT 1 FROM F601_REMUNERA WHERE cod_concep = '0202'"));
  EXPECT_EQ(db().text("SELECT monto FROM F601_REMUNERA WHERE doc_id_a = '40000001' AND cod_concep = '0121'"),
            "1500.00");
  g.closeWithoutSaving();
}

TEST_F(SaveTest, HeaderBoxesInTheirOrderAndControlNumbers) {
  DeclarationForm f(session());
  f.newDeclaration();
  f.CmbRuc_Click(kRuc);
  f.setTelefono("4411223");
  ASSERT_TRUE(f.acceptPeriod("05/2012").ok);
  ASSERT_TRUE(f.save().saved);
  std::vector<std::string> order;
  for (const auto& r : db().rows("SELECT Casilla FROM DET ORDER BY rowid")) order.push_back(r.text(0));
  const std::vector<std::string> expected = {"028", "002", "012", "007", "721", "719", "737", "720", "732",
                                             "733", "734", "736", "738", "739", "722", "723", "724", "725",
                                             "726", "727", "728", "729", "730", "731", "748", "749", "735",
                                             "871", "201", "987", "986", "985", "005", "999"};
  EXPECT_EQ(order, expected);
  expectBoxes({{"028", "4411223"},
               {"002", kRuc},
               {"007", "201205"},
               {"719", "3"},
               {"736", "1"},
               {"739", "1"},
               {"738", "1"},
               {"722", determination::parameterVersion(db())},
               {"005", "0"},
               {"985", "SC"},
               {"999", "33"}});
  EXPECT_EQ(db().text("SELECT idcasilla FROM DET WHERE Casilla = '002'"), "01");
  // Every stored row carries the control number of its fields.
  for (auto [table, n] : {std::pair{"CAB", 5}, std::pair{"DET", 6}, std::pair{"F601_TRAB", 6},
                          std::pair{"F601_SCTR", 5}, std::pair{"F601MFCAB", 8}}) {
    auto rows = db().rows(std::string("SELECT * FROM ") + table);
    ASSERT_FALSE(rows.empty()) << table;
    for (const auto& r : rows) {
      auto control = static_cast<std::size_t>(r.index("cNumero"));
      std::vector<data::Value> fields(r.values().begin(), r.values().begin() + static_cast<long>(control) + 1);
      EXPECT_EQ(r.text(control), data::NumeroControl(fields, n)) << table;
    }
  }
}

// The header's counts are of workers only (the pensioner matches every condition and is not
// counted); the days, hours and income are summed over workers and pensioners.
TEST_F(SaveTest, HeaderCountsAndSumsOfThePersons) {
  DeclarationForm f(session());
  loadNew(f, "05/2012");
  auto set = [&](const std::string& doc, const std::string& assignments) {
    db().run("UPDATE TEMP1_F601 SET " + assignments + " WHERE doc_id_a = ?", {doc});
  };
  const auto docs = db().rows("SELECT doc_id_a FROM TEMP1_F601 WHERE cod_cat_tra = 1 ORDER BY doc_id_a");
  ASSERT_EQ(docs.size(), 3u);
  const std::string everything =
      "Tipo = ' 22', essalud_vida = '1', ind_afieps = '1', sctr = 1, pension = 21, ind_quinta = '1', "
      "ind_domicilio = '2', dias_lab = '30', horas_nor = '240', Tot_Ingresos = '1000.40'";
  set(docs[0].text(0), everything);
  set(docs[1].text(0),
      "Tipo = '01', essalud_vida = ' 1 ', ind_afieps = '1', sctr = 0, pension = 24, ind_quinta = '1', "
      "ind_domicilio = '1', dias_lab = '15', horas_nor = '120', Tot_Ingresos = '500.35'");
  set(docs[2].text(0),
      "Tipo = '99', essalud_vida = NULL, ind_afieps = '1', sctr = NULL, pension = 2, ind_quinta = '1', "
      "ind_domicilio = NULL, dias_lab = NULL, horas_nor = '8', Tot_Ingresos = 'x'");
  db().run("UPDATE TEMP1_F601 SET " + everything + " WHERE cod_cat_tra = 2");
  ASSERT_TRUE(f.save().saved);
  expectBoxes({{"719", "3"},
               {"720", "3"},
               {"736", "1"},
               {"737", "1"},
               {"723", "2"},
               {"724", "3"},
               {"725", "1"},
               {"726", "2"},
               {"727", "1"},
               {"728", "3"},
               {"729", "1"},
               {"730", "75"},
               {"731", "608"},
               {"748", "2501"}});
}

TEST_F(SaveTest, ChequeAndCashPayments) {
  DeclarationForm f(session());
  loadNew(f, "05/2012");
  f.setPaymentType("C");
  f.setBank("02");
  f.setChequeNumber("00012345");
  // The total paid is the sum of the amounts to pay of the grid.
  f.declaration().typedBoxes = {{"801", "1000"}, {"805", "500"}};
  f.declaration().typedBoxesRead = true;
  ASSERT_TRUE(f.save().saved);
  const std::string payment = "SELECT bcolibrad, nrocheque, cheque, efectivo FROM CAB";
  EXPECT_EQ(fields(payment), "02|00012345|1500|");
  expectBoxes({{"012", "00012345"}, {"015", "2"}});
  // Typed amounts to pay are boxes of kind "05"; the payment boxes "01".
  EXPECT_EQ(db().text("SELECT group_concat(Casilla || idcasilla) FROM (SELECT * FROM DET WHERE Casilla IN ('801', "
                      "'805', '012', '015') ORDER BY Casilla)"),
            "01201,01501,80105,80505");

  f.setPaymentType("E");
  ASSERT_TRUE(f.save().saved);
  EXPECT_EQ(fields(payment), " | ||1500");
  EXPECT_EQ(count("SELECT count(*) FROM DET WHERE Casilla = '015'"), 0);

  // Reopened, the payment comes back.
  f.leave();
  DeclarationForm g(session());
  ASSERT_TRUE(g.openDeclaration(kRuc, "201205"));
  EXPECT_EQ(g.declaration().payment.type, "E");
  EXPECT_EQ(g.declaration().payment.total, "1500");
}

// A declaration saved with an older parameter version must be refreshed before it is saved again
// (one whose registry changed saves with estado 9 until it is refreshed: the own-concept test).
TEST_F(SaveTest, RefreshNeededBeforeSaving) {
  ASSERT_TRUE(createAndSave("201205"));
  db().run("UPDATE DET SET i_valor = '201101' WHERE Casilla = '722'");
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  std::string before = dumpStored();
  EXPECT_FALSE(f.save().saved);
  EXPECT_EQ(msg().last(), "Debe refrescar antes de guardar. Declaración ha sido grabada con versión anterior.");
  EXPECT_EQ(dumpStored(), before);
  msg().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refresh());
  EXPECT_TRUE(f.save().saved);
  EXPECT_EQ(box("722"), determination::parameterVersion(db()));
}

// The checks of the save: validating a stored declaration writes nothing; one with an
// inconsistency is stored with estado 9 and with 0 once corrected.
TEST_F(SaveTest, InconsistentSaveThenCorrected) {
  ASSERT_TRUE(createConsistent("201205"));
  EXPECT_EQ(db().text("SELECT estado FROM CAB"), "0");
  const long long paid = std::stoll(db().text("SELECT efectivo FROM CAB"));
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  std::string before = dumpStored();
  auto v = determination::DeclarationValidator(session(), f.declaration()).CmdValidar_Click(t_.dir() / "Mens.txt");
  EXPECT_FALSE(v.inconsistent) << (v.lines.empty() ? "" : v.lines.front());
  EXPECT_EQ(dumpStored(), before);
  // An amount to pay in a column without tax nor balance.
  auto typeBox = [&](const char* box, const char* value) {
    determination::DebtDetermination g(session(), f.declaration());
    g.load();
    ASSERT_TRUE(g.setBox(box, value));
    f.declaration().typedBoxes = g.typedBoxes();
    f.declaration().typedBoxesRead = true;
  };
  typeBox("800", "25");
  auto r = f.save();
  ASSERT_TRUE(r.saved);
  EXPECT_TRUE(r.inconsistent);
  EXPECT_EQ(db().text("SELECT estado FROM CAB"), "9");
  EXPECT_EQ(msg().last(),
            "La información de la declaración fue guardada con inconsistencias. En estas condiciones "
            "no podrá ser enviada a la ZUMAR.");
  EXPECT_EQ(db().text("SELECT i_valor || '/' || idcasilla FROM DET WHERE Casilla = '800'"), "25/05");
  EXPECT_EQ(std::stoll(db().text("SELECT efectivo FROM CAB")), paid + 25);

  typeBox("800", "");
  r = f.save();
  ASSERT_TRUE(r.saved);
  EXPECT_FALSE(r.inconsistent);
  EXPECT_EQ(db().text("SELECT estado FROM CAB"), "0");
  EXPECT_EQ(msg().last(), "La declaración fue grabada satisfactoriamente.");
  EXPECT_EQ(count("SELECT count(*) FROM DET WHERE Casilla = '800'"), 0);
}

TEST_F(SaveTest, RegistryCountDifferenceStopsTheSave) {
  ASSERT_TRUE(createAndSave("201205"));
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
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
  auto r = f.save();
  EXPECT_FALSE(r.saved);
  ASSERT_EQ(msg().entries().size(), 1u);
  EXPECT_EQ(msg().entries()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(msg().last(),
            "Existen diferencias entre la cantidad de Registros Activos (Situación 10 y 11) en la DDJJ y "
            "el Padrón de trabajadores : DDJJ=3     Padrón=4");
  EXPECT_EQ(dumpStored(), before);
  // Refreshed from the registry, the counts agree.
  msg().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refresh());
  EXPECT_TRUE(f.save().saved);
}

TEST_F(SaveTest, RucOfEightDigitsIsRefusedNoActiveWorkerIsNoticed) {
  DeclarationForm f(session());
  f.newDeclaration();
  f.declaration().ruc = "10203040";
  f.declaration().periodo = "201205";
  auto r = declaration::CmdGrabar(session(), f.declaration());
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(msg().last(),
            "No puede grabar declaraciones con RUC de 8, modifique el RUC de 8 a 11 en el Modulo de Registro de "
            "Declarantes.");
  EXPECT_EQ(count("SELECT count(*) FROM CAB"), 0);

  // Without active workers the save goes through with its notice.
  db().run("UPDATE ASEG_DET_LAB SET situac = '13' WHERE cod_cat_tra = 1");
  DeclarationForm g(session());
  loadNew(g, "05/2012");
  ASSERT_TRUE(g.save().saved);
  EXPECT_TRUE(sawMessage(determination::noActiveNotice(false)));
  EXPECT_FALSE(sawMessage(determination::noActiveNotice(true)));
}

TEST_F(SaveTest, FailureInTheMiddleLeavesTheStoredDeclarationAsItWas) {
  ASSERT_TRUE(createAndSave("201205"));
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  db().run("UPDATE TEMP1_F601 SET Tot_Ingresos = '999.00'");
  std::string stored = dumpStored();
  std::string working = dump("TMPF601CONCEP") + dump("TEMP1_F601");
  failOn("F601_SCTR");  // the last table written
  msg().clear();
  auto r = f.save();
  EXPECT_FALSE(r.saved);
  ASSERT_EQ(msg().entries().size(), 1u);
  EXPECT_EQ(msg().entries()[0].title, "Mensaje");
  EXPECT_NE(msg().last().find("falla forzada"), std::string::npos);
  EXPECT_EQ(dumpStored(), stored);
  EXPECT_EQ(dump("TMPF601CONCEP") + dump("TEMP1_F601"), working);
}

TEST_F(SaveTest, OrderNumberOfASentDeclaration) {
  ASSERT_TRUE(createConsistent("201205"));
  auto receipt = declaration::enviarDeclaracion(db(), kRuc, "201205");
  DeclarationForm f(session());
  ASSERT_TRUE(f.openSent(kRuc, "201205", receipt.correl));
  EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601"), 4) << "the sent declaration is shown";

  f.setNumOrden("");
  EXPECT_FALSE(f.save().saved);
  EXPECT_EQ(msg().last(), "Debe registrar Número de orden.");
  std::string wrong = receipt.numeroOrden;
  wrong.back() = wrong.back() == '9' ? '0' : static_cast<char>(wrong.back() + 1);
  f.setNumOrden(wrong);
  EXPECT_FALSE(f.save().saved);
  EXPECT_EQ(msg().last(), "Número de Orden Ingresado No corresponde a la declaración enviada.");
  EXPECT_EQ(db().text("SELECT COALESCE(norden, '') FROM HCAB"), "");

  f.setNumOrden(receipt.numeroOrden);
  EXPECT_TRUE(f.save().saved);
  EXPECT_EQ(msg().last(), "El número de orden fue registrado satisfactoriamente.");
  EXPECT_EQ(db().text("SELECT norden FROM HCAB"), receipt.numeroOrden);
  EXPECT_EQ(db().text("SELECT i_valor || '/' || idcasilla FROM HDET WHERE Casilla = '970'"),
            receipt.numeroOrden + "/01");
  // Registering again updates the same box.
  EXPECT_TRUE(f.save().saved);
  EXPECT_EQ(count("SELECT count(*) FROM HDET WHERE Casilla = '970'"), 1);
}

TEST_F(SaveTest, CloseAsksToSaveAModifiedDeclaration) {
  {
    DeclarationForm f(session());
    loadNew(f, "05/2012");
    msg().queueAnswer(Answer::No);
    EXPECT_TRUE(f.leave());
    EXPECT_EQ(msg().entries().back().text, "¿El formulario ha sido modificado, desea guardar los cambios?");
    EXPECT_EQ(count("SELECT count(*) FROM CAB"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601"), 0);
  }
  {
    DeclarationForm f(session());
    loadNew(f, "05/2012");
    msg().queueAnswer(Answer::Yes);
    EXPECT_TRUE(f.leave());
    EXPECT_EQ(count("SELECT count(*) FROM CAB"), 1);
  }
  {
    // A save that does not go through keeps the form open.
    DeclarationForm f(session());
    ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
    f.setTelefono("123");
    failOn("DET");
    msg().queueAnswer(Answer::Yes);
    EXPECT_FALSE(f.leave());
    EXPECT_GT(count("SELECT count(*) FROM TEMP1_F601"), 0);
  }
}

TEST_F(SaveTest, ReceiptsAndTheirBoxes) {
  DeclarationForm f(session());
  loadNew(f, "05/2012");
  db().run(
      "INSERT INTO TMPF601RDCAB (correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, Des_Pat, Des_No1, "
      "ind_domicilio) VALUES (7, 3, 'R', 6, '10411223341', 'QUISPE', 'LUIS', '1')");
  for (const char* v : {"0001|100|2000.00|200.00", "0001|101|1500.40|0.00"}) {
    auto p = text::split(v, '|');
    db().run(
        "INSERT INTO TMPF601RDDET (correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, num_ser, num_rec, "
        "mto_rec, mto_rta, mto_ies) VALUES (7, 3, 'R', 6, '10411223341', ?, ?, ?, ?, '0.00')",
        {p[0], p[1], p[2], p[3]});
  }
  ASSERT_TRUE(f.save().saved);
  EXPECT_EQ(count("SELECT count(*) FROM F601RDCAB"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM F601RDDET"), 2);
  expectBoxes({{"320", "3500"}, {"321", "200"}, {"547", "2"}, {"733", "1"}, {"734", "2"}});
  // Reopened, the provider and his receipts are back in the working set.
  f.leave();
  DeclarationForm g(session());
  ASSERT_TRUE(g.openDeclaration(kRuc, "201205"));
  EXPECT_EQ(count("SELECT count(*) FROM TMPF601RDDET"), 2);
  // The provider deleted from the providers' page goes with his receipts of that kind.
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(g.removeProvider(1, PersonKey{7, 6, "10411223341", kProvider}, "R"));
  EXPECT_EQ(count("SELECT count(*) FROM TMPF601RDCAB"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM TMPF601RDDET"), 0);
}

// Closing a detail form that only showed the person leaves the declaration unmodified (no "save
// the changes?" question on leaving); one that wrote a row makes it modified.
TEST_F(SaveTest, DetailFormsLeaveTheDeclarationModifiedOnlyWhenTheyWrote) {
  ASSERT_TRUE(createAndSave("201205"));
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  ASSERT_FALSE(f.modified());
  f.prepareDetail();
  f.afterDetail(PersonKey{0, 0, {}, kProvider});
  EXPECT_FALSE(f.modified());
  PersonKey ana{1, 1, "40000001", kWorker};
  f.prepareDetail();
  f.afterDetail(ana);
  EXPECT_FALSE(f.modified());
  f.prepareDetail();
  ASSERT_TRUE(detail::typeConceptAmount(session(), f.declaration(), ana, "0121", "800.00", std::nullopt));
  f.afterDetail(ana);
  EXPECT_TRUE(f.modified());
  EXPECT_EQ(db().text("SELECT base_calculo FROM TMPF601CONCEP WHERE doc_id_a = '40000001' AND codigo = '0804'"),
            "800.00");
  f.closeWithoutSaving();
}

// An own concept of the declarant: its amount enters no base until its tax affectation says so;
// changing the affectation marks the saved declaration for refresh, and after the refresh the
// amount is in the bases the string names.
TEST_F(SaveTest, OwnConceptAffectationReachesTheBasesAfterRefresh) {
  db().run(
      "INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) SELECT 6, ?, Codigo, ind_origen "
      "FROM CONCEPTOS_REM WHERE Codigo IN ('0121', '1001')",
      {kRuc});
  auto stored = [&](const std::string& code, const std::string& column) {
    return db().text("SELECT " + column + " FROM F601_REMUNERA WHERE doc_id_a = '40000001' AND cod_concep = ?", {code});
  };
  ASSERT_TRUE(createAndSave("201205"));
  {
    DeclarationForm f(session());
    ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
    PersonKey ana{1, 1, "40000001", 1};
    f.prepareDetail();
    ASSERT_TRUE(detail::typeConceptAmount(session(), f.declaration(), ana, "0121", "1000.00", std::nullopt));
    ASSERT_TRUE(detail::typeConceptAmount(session(), f.declaration(), ana, "1001", "500.00", std::nullopt));
    f.afterDetail(ana);
    ASSERT_TRUE(f.save().saved);
    f.closeWithoutSaving();
  }
  // Without an affectation the own concept enters no base: EsSalud (0804) on 1000.00 only.
  EXPECT_EQ(stored("1001", "monto"), "500.00");
  EXPECT_EQ(stored("0804", "base_calculo"), "1000.00");
  // The other persons have no pay: every save below finds inconsistencies (estado 9).
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref FROM CAB"), "9/0");

  reference::TaxAffectation a(session());
  ASSERT_TRUE(a.load(kRuc, "1001"));
  ASSERT_TRUE(a.set("1000000000000"));  // affected to EsSalud only
  ASSERT_TRUE(a.accept());
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref FROM CAB"), "9/1");

  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  ASSERT_TRUE(f.save().saved);
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref FROM CAB"), "9/1") << "saved before its refresh";
  msg().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refresh());
  ASSERT_TRUE(f.save().saved);
  EXPECT_EQ(stored("0804", "base_calculo"), "1500.00");
  EXPECT_EQ(stored("0804", "monto"), "135.00");  // 9 % of 1500.00
  EXPECT_EQ(db().text("SELECT estado || '/' || ind_ref FROM CAB"), "9/0") << "refreshed: no longer waiting for it";
  f.closeWithoutSaving();
}

// A declaration opened again notes the persons whose stored rows the registry or an earlier
// program left otherwise than a save would write them: the save after the opening stores what a
// save of every person stores.
TEST_F(SaveTest, ASaveAfterOpeningStoresWhatASaveOfEverybodyStores) {
  {
    DeclarationForm f(session());
    loadNew(f, "05/2012");
    db().run(
        "INSERT OR REPLACE INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, "
        "monto_pag) VALUES (1, '40000002', 2, '0121', 1, '1800', '1800')");
    f.afterDetail(PersonKey{2, 1, "40000002", 1});
    ASSERT_TRUE(f.save().saved);
    f.closeWithoutSaving();
  }
  struct Case {
    const char* name;
    const char* change;
  };
  const Case cases[] = {
      {"pension system changed in the registry", "UPDATE ASEG_DET_LAB SET pension = 2 WHERE doc_id_a = '40000002'"},
      {"SCTR changed in the registry",
       "UPDATE ASEG_DET_LAB SET sctr = 1 - COALESCE(sctr, 0) WHERE doc_id_a = '40000001'"},
      {"stored concept row of a person not in the declaration",
       "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, periodo, "
       "formulario, cod_concep, base_calculo, monto, monto_pag, monto_dif) SELECT 6, doc_id_d, 77, 1, 1, '47777777', "
       "'201205', '0601', '0121', '', '10.00', '10.00', '' FROM CAB"},
      {"stored person not in the declaration",
       "INSERT INTO F601_TRAB (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, doc_id_a) "
       "SELECT 6, doc_id_d, 78, '201205', '0601', 1, 1, '47777778' FROM CAB"},
  };
  for (const auto& c : cases) {
    db().run(c.change);
    DeclarationForm g(session());
    ASSERT_TRUE(g.openDeclaration(kRuc, "201205")) << c.name;
    ASSERT_TRUE(g.save().saved) << c.name;
    std::string some = dumpStored();
    data::markAllPersonsChanged(db());
    ASSERT_TRUE(g.save().saved) << c.name;
    EXPECT_EQ(some, dumpStored()) << c.name;
    g.closeWithoutSaving();
  }
}

}  // namespace
}  // namespace korventa::test
