#include "declaration/decl_fixture.h"
#include "declaration/person_list.h"
#include "declaration/working_set.h"

namespace korventa::test {
namespace {

using declaration::DeclarationForm;

class WorkingSetTest : public DeclarationTest {
 protected:
  // Loads a new declaration of the period; returns the outcome.
  declaration::Outcome load(DeclarationForm& f, const std::string& mmyyyy, const std::string& ruc = kRuc) {
    f.newDeclaration();
    f.CmbRuc_Click(ruc);
    return f.acceptPeriod(mmyyyy);
  }
  std::string days(const std::string& doc) {
    auto r = db().row("SELECT dias_lab FROM TEMP1_F601 WHERE doc_id_a = ?", {doc});
    if (!r) return "<no cargado>";
    return r->isNull("dias_lab") ? "<null>" : r->text(0);
  }
};

// The period field on its own, then the checks of "accept" in their order.
TEST_F(WorkingSetTest, EntryChecksInOrder) {
  struct Case {
    const char* name;
    const char* text;
    bool ok;
    const char* message;
  };
  const Case cases[] = {
      {"12/2007 is before 2008", "12/2007", false, "El período no es válido."},
      {"12/2012 with the clock in 2013", "12/2012", true, nullptr},
      {"01/2013 reaches the usage limit", "01/2013", false,
       "Este ZEL solo puede ser utilizado hasta el período 12/2012, para períodos posteriores utilice el ZEL VARNO"},
      {"month 13", "13/2012", false, "El período no es válido."},
      {"after the current month", "04/2013", false, "El período no es válido."},
      {"incomplete passes the field check", "05/20__", true, nullptr},
  };
  for (const auto& c : cases) {
    msg().clear();
    DeclarationForm f(session());
    f.newDeclaration();
    auto o = f.MkePeriodo_LostFocus(c.text);
    EXPECT_EQ(o.ok, c.ok) << c.name;
    if (c.message) {
      EXPECT_EQ(msg().last(), c.message) << c.name;
      EXPECT_EQ(o.focus, "MkePeriodo") << c.name;
    } else {
      EXPECT_TRUE(msg().entries().empty()) << c.name;
    }
  }

  standardRegistry();
  DeclarationForm f(session());
  f.newDeclaration();
  auto o = f.acceptPeriod("05/2012");
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(msg().last(), "Debe seleccionar un Contribuyente.");
  EXPECT_EQ(o.focus, "CmbRuc");

  f.CmbRuc_Click(kRuc);
  o = f.acceptPeriod("__/____");
  EXPECT_EQ(msg().last(), "Debe ingresar Período.");

  f.setTelefono("44A");
  o = f.acceptPeriod("05/2012");
  EXPECT_EQ(msg().last(), "Ingrese correctamente el teléfono.");
  EXPECT_EQ(o.focus, "TxtTelefono");

  ASSERT_TRUE(createAndSave("201205"));
  msg().clear();
  DeclarationForm g(session());
  auto o2 = load(g, "05/2012");
  EXPECT_FALSE(o2.ok);
  EXPECT_EQ(msg().last(), "La declaración ya ha sido registrada.");
  EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601"), 0);
}

TEST_F(WorkingSetTest, NewDeclarationFromTheRegistry) {
  standardRegistry();
  auto r = registry();
  // Two periods in June: 1-10 and 21-30.
  r.person(kRuc, 10, 1, 1, "40000010", "GOMEZ", "GINA", "21", "11", 2)
      .period(kRuc, 10, 1, 1, "40000010", "21", "2012-06-01", "2012-06-10")
      .period(kRuc, 10, 1, 1, "40000010", "21", "2012-06-21", "2012-06-30");
  // Ended the month before.
  r.person(kRuc, 11, 1, 1, "40000011", "HUAMAN", "HUGO", "21", "11", 2)
      .period(kRuc, 11, 1, 1, "40000011", "21", "2011-01-01", "2012-05-31");
  // Situation 18: labour period ended in March.
  r.person(kRuc, 12, 1, 1, "40000012", "IBARRA", "IRMA", "21", "18", 2)
      .period(kRuc, 12, 1, 1, "40000012", "21", "2011-01-01", "2012-03-15");
  // Third party whose removal was in May.
  r.person(kRuc, 13, 4, 1, "40000013", "JUAREZ", "JOSE", "21", "11", 2);
  db().run("UPDATE ASEG_DET_LAB SET sctr = 1 WHERE correl_a = 13");
  db().run("UPDATE ASEGVKRS SET fec_insc = '2011-01-01', fec_baja = '2012-05-20' WHERE correl_a = 13");

  DeclarationForm f(session());
  ASSERT_TRUE(load(f, "06/2012").ok);
  EXPECT_EQ(days("40000010"), "20");
  EXPECT_EQ(days("40000011"), "<no cargado>");
  EXPECT_EQ(days("40000001"), "30");
  EXPECT_EQ(days("40000003"), "<null>") << "type 98 has no days";
  EXPECT_EQ(days("40000004"), "<null>") << "pensioners have no days";
  EXPECT_EQ(days("40000012"), "<null>") << "situation 18 is loaded without days";
  EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra = 1"), 5);
  EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra = 2"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM TEMP2_F601"), 1) << "the third party removed in May is left out";
  EXPECT_EQ(count("SELECT count(*) FROM TMPF601MFCAB"), 1);
  EXPECT_EQ(fields("SELECT Nombre, fec_nac, periodo, doc_id_d FROM TEMP1_F601 WHERE doc_id_a = '40000001'"),
            "ALVAREZ X, ANA|01/01/1980|201206|" + kRuc);
  EXPECT_TRUE(f.modified());
  EXPECT_TRUE(f.declaration().refreshed);
}

// A new declaration's working rows hold the registry's values as the refresh writes them, whatever
// their storage class: a blob goes in as the text the refresh reads it as, not as a blob.
TEST_F(WorkingSetTest, NewWorkingRowsHoldTheRegistryValuesAsTheRefreshWritesThem) {
  standardRegistry();
  struct Case {
    const char* name;
    const char* table;
    const char* column;  // of the registry and of TEMP1_F601
    const char* value;   // SQL literal
  };
  const Case cases[] = {
      {"blob", "ASEG_DET_LAB", "num_cuenta", "X'3132'"},
      {"integer in a text column", "ASEG_DET_LAB", "cod_eps", "7"},
      {"real", "ASEGVKRS", "ipss_vida", "2.5"},
      {"null", "ASEGVKRS", "Nombre_2", "NULL"},
      {"text in an integer column", "ASEGVKRS", "envio", "'X'"},
  };
  for (const auto& c : cases)
    db().run(std::string("UPDATE ") + c.table + " SET " + c.column + " = " + c.value +
             " WHERE correl_a = 1 AND cod_cat_tra = 1");
  model::OpenDeclaration d;
  d.ruc = kRuc;
  d.periodo = "201206";
  declaration::WorkingSet ws(session(), d);
  ws.loadNew();
  auto held = [&](const Case& c) {
    return db().text(std::string("SELECT quote(") + c.column + ") FROM TEMP1_F601 WHERE Correl_a = 1");
  };
  std::vector<std::string> loaded;
  for (const auto& c : cases) loaded.push_back(held(c));
  EXPECT_EQ(loaded[0], "'12'") << "a blob is held as text";
  std::string rows = dump("TEMP1_F601");
  ws.refresh();
  EXPECT_EQ(dump("TEMP1_F601"), rows);
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(held(cases[i]), loaded[i]) << cases[i].name;
}

TEST_F(WorkingSetTest, TraineeWithoutEndIsLoadedFromHisStartMonthOn) {
  standardRegistry();  // trainee from 2012-01-01, no end
  for (auto [period, n] : {std::pair{"12/2011", 0}, std::pair{"01/2012", 1}, std::pair{"12/2012", 1}}) {
    DeclarationForm f(session());
    ASSERT_TRUE(load(f, period).ok);
    EXPECT_EQ(count("SELECT count(*) FROM TMPF601MFCAB WHERE doc_id_a = '40000006'"), n) << period;
  }
}

TEST_F(WorkingSetTest, DaysBeyondTheMonthAreReported) {
  registry()
      .person(kRuc, 1, 1, 1, "40000001", "ALVAREZ", "ANA", "21", "11", 2)
      .period(kRuc, 1, 1, 1, "40000001", "21", "2011-01-01", "")
      .period(kRuc, 1, 1, 1, "40000001", "21", "2012-05-20", "");
  DeclarationForm f(session());
  ASSERT_TRUE(load(f, "05/2012").ok);
  EXPECT_TRUE(
      sawMessage("Los dias laborados exceden los dias del mes. Corregir los periodos laborales en el registro "
                 "del trabajador 40000001"));
  EXPECT_EQ(days("40000001"), "43");
}

TEST_F(WorkingSetTest, SuccessorFormReminderThresholds) {
  struct Case {
    const char* name;
    const char* period;
    int persons;
    bool reminder;
  };
  const Case cases[] = {
      {"11/2012 with exactly 50", "11/2012", 50, false}, {"11/2012 with 51", "11/2012", 51, true},
      {"10/2012 with 5", "10/2012", 5, false},           {"10/2012 with 6", "10/2012", 6, true},
      {"09/2012 never", "09/2012", 60, false},
  };
  for (const auto& c : cases) {
    TestDb t;
    RegistryBuilder r{t.db()};
    r.declarant(kRuc, "EMPRESA DEMO SAC").user("DEMO", "0");
    for (int i = 1; i <= c.persons; ++i)
      r.person(kRuc, i, 1, 1, "4100" + std::to_string(1000 + i), "P", "N", "21", "11", 2);
    t.db().run("UPDATE ASEGVKRS SET ind_cat_trab = 1");
    DeclarationForm f(t.session());
    f.newDeclaration();
    f.CmbRuc_Click(kRuc);
    ASSERT_TRUE(f.acceptPeriod(c.period).ok) << c.name;
    bool shown = false;
    for (const auto& e : t.messenger().entries()) shown = shown || e.text == declaration::reminderText();
    EXPECT_EQ(shown, c.reminder) << c.name;
  }
}

TEST_F(WorkingSetTest, ConceptSetCompletedOnChoosingTheDeclarant) {
  DeclarationForm f(session());
  f.newDeclaration();
  auto o = f.CmbRuc_Click(kRuc);
  EXPECT_EQ(o.focus, "MkePeriodo");
  auto has = [&](const char* code) {
    return count("SELECT count(*) FROM CON_AFEC WHERE doc_id_d = ? AND cod_concepto = ?", {kRuc, code}) == 1;
  };
  for (const char* c : {"0406", "0407", "0312", "0313", "0616", "0617", "0121", "0804"}) EXPECT_TRUE(has(c)) << c;
  EXPECT_FALSE(has("2041")) << "regime 1";
  EXPECT_FALSE(has("0614")) << "only the general declarant";
  EXPECT_EQ(f.declaration().name, "EMPRESA DEMO SAC");
}

// A refresh that fails late leaves the working set and the stored declaration as they were; one
// that goes through reconciles the working set with the registry.
TEST_F(WorkingSetTest, RefreshReconcilesWithTheRegistryOrLeavesEverythingOnFailure) {
  standardRegistry();
  ASSERT_TRUE(createAndSave("201205"));
  // Registry changes: worker 2 leaves in April, worker 1 changes type, a new worker arrives, the
  // trainee's period ends in January.
  db().run("UPDATE PERIODOLAB SET fec_fin = '2012-04-30' WHERE correl_a = 2");
  db().run("UPDATE ASEG_DET_LAB SET tipo = '20' WHERE correl_a = 1");
  db().run("UPDATE PERIODOLAB SET tipo = '20' WHERE correl_a = 1");
  registry()
      .person(kRuc, 20, 1, 1, "40000020", "ZEVALLOS", "ZOE", "21", "11", 2)
      .period(kRuc, 20, 1, 1, "40000020", "21", "2012-05-16", "");
  db().run("UPDATE PERIODOLAB SET fec_fin = '2012-01-31' WHERE correl_a = 6");
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  db().run(
      "INSERT OR REPLACE INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto) "
      "VALUES (1, '40000002', 2, '0121', 1, '1000.00')");
  auto workingSet = [&] {
    return dump("TEMP1_F601") + dump("TEMP2_F601") + dump("TMPF601MFCAB") + dump("TMPF601CONCEP");
  };
  std::string before = workingSet() + dumpStored();
  failOn("TMPF601MFCAB", "DELETE");  // late in the refresh, after the persons were reconciled
  msg().queueAnswer(Answer::Yes);
  EXPECT_FALSE(f.refresh());
  EXPECT_NE(msg().last().find("falla forzada"), std::string::npos);
  EXPECT_EQ(workingSet() + dumpStored(), before);
  EXPECT_FALSE(f.declaration().refreshed);
  db().script("DROP TRIGGER fail_TMPF601MFCAB_DELETE");

  msg().clear();
  msg().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refresh());
  EXPECT_EQ(msg().last(), "La información ha sido refrescada satisfactoriamente.");
  EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601 WHERE doc_id_a = '40000002'"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM TMPF601CONCEP WHERE doc_id_a = '40000002'"), 0);
  EXPECT_EQ(db().text("SELECT Tipo FROM TEMP1_F601 WHERE doc_id_a = '40000001'"), "20");
  EXPECT_EQ(days("40000020"), "16");
  EXPECT_EQ(count("SELECT count(*) FROM TMPF601MFCAB"), 0);
  EXPECT_TRUE(f.declaration().refreshed);

  // Answering No leaves everything as it was.
  before = dump("TEMP1_F601");
  db().run("UPDATE PERIODOLAB SET fec_fin = '2012-04-30' WHERE correl_a = 1");
  msg().queueAnswer(Answer::No);
  EXPECT_FALSE(f.refresh());
  EXPECT_EQ(dump("TEMP1_F601"), before);
}

// An opened declaration's concept rows carry the declarant's own description of the concept,
// else the general one, else none; and the working table still refuses a second row of a concept.
TEST_F(WorkingSetTest, OpenedConceptRowsTakeTheirDescriptions) {
  standardRegistry();
  ASSERT_TRUE(createAndSave("201205"));
  struct Case {
    const char* name;
    const char* code;
    const char* general;   // CONCEPTOS_REM.Descripc, nullptr: no such concept
    const char* own;       // conceptos_remu.desc_concepto of the declarant, nullptr: none
    const char* expected;  // TMPF601CONCEP.descrip after opening
  };
  const Case cases[] = {
      {"own over general", "0121", "GENERAL 0121", "PROPIA 0121", "PROPIA 0121"},
      {"general only", "0105", "GENERAL 0105", nullptr, "GENERAL 0105"},
      {"own only", "1001", nullptr, "PROPIA 1001", "PROPIA 1001"},
      {"neither", "9999", nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    db().run("DELETE FROM CONCEPTOS_REM WHERE Codigo = ?", {c.code});
    db().run("DELETE FROM conceptos_remu WHERE cod_concepto = ?", {c.code});
    if (c.general)
      db().run("INSERT INTO CONCEPTOS_REM (Codigo, Descripc, indica) VALUES (?, ?, '0')", {c.code, c.general});
    if (c.own)
      db().run("INSERT INTO conceptos_remu (tip_doc_d, doc_id_d, cod_concepto, desc_concepto) VALUES (6, ?, ?, ?)",
               {kRuc, c.code, c.own});
    // Another declarant's own description is not this one's.
    db().run(
        "INSERT INTO conceptos_remu (tip_doc_d, doc_id_d, cod_concepto, desc_concepto) VALUES (6, '20999999999', ?, "
        "'AJENA')",
        {c.code});
    db().run("DELETE FROM F601_REMUNERA WHERE doc_id_a = '40000001' AND cod_concep = ?", {c.code});
    db().run(
        "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, periodo, "
        "formulario, cod_concep, base_calculo, monto, monto_pag, monto_dif) VALUES (6, ?, 1, 1, 1, '40000001', "
        "'201205', '0601', ?, '', '100.00', '100.00', '')",
        {kRuc, c.code});
  }
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  for (const auto& c : cases) {
    auto r = db().row("SELECT descrip FROM TMPF601CONCEP WHERE doc_id_a = '40000001' AND codigo = ?", {c.code});
    ASSERT_TRUE(r) << c.name;
    EXPECT_EQ(r->text(0), c.expected) << c.name;
  }
  EXPECT_THROW(db().run("INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra) "
                        "VALUES (1, '40000001', 1, '0121', 1)"),
               std::exception);
}

// A stored worker no longer in the registry is not brought back, nor are his concept rows; the
// others' rows are all loaded.
TEST_F(WorkingSetTest, OpeningLeavesOutTheConceptRowsOfUnregisteredWorkers) {
  standardRegistry();
  ASSERT_TRUE(createAndSave("201205"));
  auto stored = [&](const char* doc) {
    return count("SELECT count(*) FROM F601_REMUNERA WHERE doc_id_a = '" + std::string(doc) + "'");
  };
  auto working = [&](const char* doc) {
    return count("SELECT count(*) FROM TMPF601CONCEP WHERE doc_id_a = '" + std::string(doc) + "'");
  };
  for (int correl : {1, 2})
    db().run(
        "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, periodo, "
        "formulario, cod_concep, base_calculo, monto, monto_pag, monto_dif) VALUES (6, ?, ?, 1, 1, ?, '201205', "
        "'0601', '0121', '', '1500.00', '1500.00', '')",
        {kRuc, correl, "4000000" + std::to_string(correl)});
  ASSERT_GT(stored("40000002"), 0);
  ASSERT_GT(stored("40000001"), 0);
  db().run("DELETE FROM ASEG_DET_LAB WHERE correl_a = 2 AND cod_cat_tra = 1");
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  EXPECT_EQ(working("40000002"), 0);
  EXPECT_EQ(working("40000001"), stored("40000001"));
}

TEST_F(WorkingSetTest, LoadFailureLeavesTheWorkingTablesAsTheyWere) {
  standardRegistry();
  ASSERT_TRUE(createAndSave("201204"));
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201204"));
  std::string before = dump("TEMP1_F601") + dump("TEMP2_F601");
  failOn("TMPF601MFCAB");
  DeclarationForm g(session());
  EXPECT_FALSE(load(g, "05/2012").ok);
  EXPECT_FALSE(g.loaded());
  EXPECT_EQ(dump("TEMP1_F601") + dump("TEMP2_F601"), before);
}

TEST_F(WorkingSetTest, GridsReadRowsOnDemandAndSearch) {
  standardRegistry();
  DeclarationForm f(session());
  ASSERT_TRUE(load(f, "05/2012").ok);
  declaration::PersonList workers(db(), declaration::Grid::Workers);
  workers.requery();
  EXPECT_EQ(workers.count(), 3);
  EXPECT_EQ(workers.cells(2)[2], "CASTRO X, CARLA");
  EXPECT_EQ(workers.find(declaration::SearchBy::Name, "carla"), 2);
  EXPECT_EQ(workers.find(declaration::SearchBy::Document, "40000002"), 1);
  EXPECT_EQ(workers.find(declaration::SearchBy::Document, "4%"), -1) << "search text is not a pattern";
  auto k = workers.key(1);
  ASSERT_TRUE(k);
  EXPECT_EQ(k->correl_a, 2);
  EXPECT_EQ(k->cod_cat_tra, 1);
}

// Leaving the period field checks it again only when what the check reads changed: the text,
// the declarant or the telephone. A refused period loads once its cause is put right.
TEST_F(WorkingSetTest, PeriodCheckedAgainWhenWhatItReadsChanged) {
  standardRegistry();
  DeclarationForm f(session());
  f.newDeclaration();
  EXPECT_TRUE(f.periodNeedsCheck("__/____")) << "never checked";
  f.CmbRuc_Click(kRuc);
  f.setTelefono("44A");
  EXPECT_EQ(f.acceptPeriod("05/2012").focus, "TxtTelefono");
  EXPECT_FALSE(f.periodNeedsCheck("05/2012")) << "nothing changed: the same message is not repeated";
  EXPECT_TRUE(f.periodNeedsCheck("06/2012")) << "text changed";
  f.CmbRuc_Click("");
  EXPECT_TRUE(f.periodNeedsCheck("05/2012")) << "declarant changed";
  f.CmbRuc_Click(kRuc);
  EXPECT_FALSE(f.periodNeedsCheck("05/2012")) << "the same declarant again";
  f.setTelefono("4411223");
  ASSERT_TRUE(f.periodNeedsCheck("05/2012")) << "telephone put right";
  EXPECT_TRUE(f.acceptPeriod("05/2012").ok);
  EXPECT_FALSE(f.periodNeedsCheck("05/2012")) << "loaded";
  f.newDeclaration();
  EXPECT_TRUE(f.periodNeedsCheck("05/2012")) << "a new form forgets the last check";
}

// The workers' grid lists names in Spanish order (Ñ after N, accents ignored), not byte order.
TEST_F(WorkingSetTest, GridsSortNamesInSpanishOrder) {
  standardRegistry();
  DeclarationForm f(session());
  ASSERT_TRUE(load(f, "05/2012").ok);
  const char* names[] = {"NUÑEZ, ANA", "CONDORI, LUIS", "CÁCERES, JUAN"};
  auto ids = db().rows("SELECT rowid FROM TEMP1_F601 WHERE cod_cat_tra = 1 ORDER BY rowid");
  ASSERT_EQ(ids.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i)
    db().run("UPDATE TEMP1_F601 SET Nombre = ? WHERE rowid = ?", {std::string(names[i]), ids[i].integer(0)});
  declaration::PersonList workers(db(), declaration::Grid::Workers);
  workers.requery();
  ASSERT_EQ(workers.count(), 3);
  EXPECT_EQ(workers.cells(0)[2], "CÁCERES, JUAN");
  EXPECT_EQ(workers.cells(1)[2], "CONDORI, LUIS");
  EXPECT_EQ(workers.cells(2)[2], "NUÑEZ, ANA");
  EXPECT_EQ(workers.find(declaration::SearchBy::Name, "CONDORI"), 1);
}

}  // namespace
}  // namespace korventa::test
