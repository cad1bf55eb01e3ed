// Two sessions on one file, each with its own connection (two programs, as far as the engine
// knows): private working sets, saves that never overwrite what the other stored after the
// opening, declarations held open in the module, stale marks, registry marks and the upgrade of
// a file of the earlier layout.
#include <sys/wait.h>
#include <unistd.h>

#include "data/sessions.h"
#include "data/servicios_comunes.h"
#include "declaration/catalogue.h"
#include "declaration/copy_declaration.h"
#include "declaration/decl_fixture.h"
#include "declaration/refresh_marker.h"
#include "declaration/send.h"
#include "detail/concept_entry.h"
#include "detail/eps_credit.h"
#include "detail/eps_box_form.h"

namespace korventa::test {
namespace {

using declaration::DeclarationForm;

// Another program on the same file.
struct Other {
  RecordingMessenger msg;
  Session s;
  Other(const Session& like, const std::string& user) {
    s.db = data::Database::open(like.db->path());
    s.messenger = &msg;
    s.servicios->setMessenger(&msg);
    s.user = user;
    s.paths = like.paths;
  }
};

const PersonKey kAna{1, 1, "40000001", 1};
const char* kInvoice =
    "INSERT INTO TMPF600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, Correl, RUC_EPS, Imp_total, "
    "Imp_cred) "
    "VALUES (6, ?, '201205', '0601', '602', '', '20100000001', '900.00', '300.00')";

class ConcurrencyTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
    ASSERT_TRUE(createAndSave("201205")) << msg().last();
    msg().clear();
  }
  std::string amount(data::Database& db) {
    return db.text(
        "SELECT monto FROM F601_REMUNERA WHERE periodo = '201205' AND doc_id_a = '40000001' AND "
        "cod_concep = '0121'");
  }
  // Opens a declaration in a form of the session and types Ana's basic pay, as the concept form does.
  void openAndType(DeclarationForm& f, Session& s, const std::string& monto, const std::string& periodo = "201205") {
    ASSERT_TRUE(f.openDeclaration(kRuc, periodo));
    f.prepareDetail();
    ASSERT_TRUE(detail::typeConceptAmount(s, f.declaration(), kAna, "0121", monto));
    f.afterDetail(kAna);
  }
  long long working(data::Database& db) { return db.integer("SELECT count(*) FROM TEMP1_F601"); }
};

TEST_F(ConcurrencyTest, EachConnectionHasItsOwnWorkingSetAndTheFileHasNone) {
  Other b(session(), "DEMO");
  DeclarationForm fa(session(), false), fb(b.s, false);
  ASSERT_TRUE(fa.openDeclaration(kRuc, "201205"));
  EXPECT_EQ(working(b.s.database()), 0) << "another session's working set is not visible";
  ASSERT_TRUE(fb.openDeclaration(kRuc, "201205"));
  fa.closeWithoutSaving();  // empties only its own
  EXPECT_EQ(working(db()), 0);
  EXPECT_EQ(working(b.s.database()), 4);
  EXPECT_EQ(count("SELECT count(*) FROM main.sqlite_master WHERE name LIKE 'TEMP%' OR name LIKE 'TMP%'"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM sqlite_temp_master WHERE name = 'IDX_TMPF601CONCEP'"), 1);
}

// What another session does to the declaration between this one's opening and its save: the save
// writes nothing and says why; the form stays open with what was typed.
TEST_F(ConcurrencyTest, ASaveNeverWritesOverWhatAnotherSessionStoredAfterTheOpening) {
  // Each case on a declaration of its own.
  struct Case {
    const char* name;
    const char* periodo;
    std::function<void(Other&, const std::string&)> meanwhile;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"saved", "201201",
       [&](Other& b, const std::string& p) {
         DeclarationForm f(b.s, false);
         openAndType(f, b.s, "1000.00", p);
         ASSERT_TRUE(f.save().saved);
         f.closeWithoutSaving();
       },
       "La data ha cambiado\nOtra sesión modificó la declaración 20100070970 01/2012 después de que usted la abrió. "
       "No se grabó nada: debe abrir la declaración nuevamente."},
      {"refreshed", "201202",
       [&](Other& b, const std::string& p) {
         DeclarationForm f(b.s, false);
         ASSERT_TRUE(f.openDeclaration(kRuc, p));
         b.msg.queueAnswer(Answer::Yes);
         ASSERT_TRUE(f.refresh());
         f.closeWithoutSaving();
       },
       "La data ha cambiado\n"},
      {"deleted", "201203",
       [&](Other& b, const std::string& p) { ASSERT_TRUE(declaration::deleteDeclaration(b.s, kRuc, p, "")); },
       "Registro ha sido eliminado por otro usuario\nOtra sesión eliminó la declaración 20100070970 03/2012 después "
       "de que usted la abrió. No se grabó nada."},
      {"deleted and copied onto again", "201204",
       [&](Other& b, const std::string& p) {
         ASSERT_TRUE(declaration::deleteDeclaration(b.s, kRuc, p, ""));
         ASSERT_TRUE(declaration::CopyDeclarationForm(b.s, kRuc, "201201").copiar("04/2012"));
       },
       "La data ha cambiado\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(createAndSave(c.periodo));
    Other b(session(), "DEMO");
    DeclarationForm fa(session(), false);
    openAndType(fa, session(), "2500.00", c.periodo);
    c.meanwhile(b, c.periodo);
    std::string stored = dumpStored();
    long long version = data::storedVersion(db(), kRuc, c.periodo);
    msg().clear();
    auto r = fa.save();
    EXPECT_FALSE(r.saved);
    ASSERT_FALSE(msg().entries().empty());
    EXPECT_EQ(msg().entries().front().text.rfind(c.message, 0), 0u) << msg().entries().front().text;
    EXPECT_EQ(dumpStored(), stored);
    EXPECT_EQ(data::storedVersion(db(), kRuc, c.periodo), version);
    EXPECT_TRUE(fa.loaded());
    EXPECT_TRUE(fa.modified());
    EXPECT_EQ(count("SELECT count(*) FROM TMPF601CONCEP WHERE doc_id_a = '40000001' AND monto = '2500.00'"), 1)
        << "what was typed is still there";
    fa.closeWithoutSaving();
  }
}

TEST_F(ConcurrencyTest, OpenedAgainAfterTheRefusalTheSaveGoesThrough) {
  Other b(session(), "DEMO");
  DeclarationForm fa(session(), false), fb(b.s, false);
  openAndType(fa, session(), "2500.00");
  openAndType(fb, b.s, "1000.00");
  ASSERT_TRUE(fb.save().saved);
  EXPECT_FALSE(fa.save().saved);
  EXPECT_EQ(amount(db()), "1000.00");
  fa.closeWithoutSaving();
  openAndType(fa, session(), "2500.00");
  ASSERT_TRUE(fa.save().saved);
  EXPECT_EQ(amount(db()), "2500.00");
  ASSERT_TRUE(fa.save().saved) << "its own saves raise the version it holds";
  EXPECT_FALSE(fb.save().saved);
}

TEST_F(ConcurrencyTest, ANewDeclarationRegisteredMeanwhileIsNotOverwritten) {
  Other b(session(), "DEMO");
  DeclarationForm fa(session(), false);
  fa.newDeclaration();
  fa.CmbRuc_Click(kRuc);
  ASSERT_TRUE(fa.acceptPeriod("06/2012").ok);
  {
    DeclarationForm fb(b.s, false);
    fb.newDeclaration();
    fb.CmbRuc_Click(kRuc);
    ASSERT_TRUE(fb.acceptPeriod("06/2012").ok);
    ASSERT_TRUE(fb.save().saved);
    fb.closeWithoutSaving();
  }
  std::string stored = dumpStored();
  msg().clear();
  EXPECT_FALSE(fa.save().saved);
  EXPECT_EQ(msg().entries().front().text.rfind("Registro ya existe lo ingresaron en ese momento\nOtra sesión registró "
                                               "la declaración 20100070970 06/2012 mientras usted la preparaba.",
                                               0),
            0u)
      << msg().last();
  EXPECT_EQ(dumpStored(), stored);
}

// A declaration open in the module: another session neither opens it nor writes it, and is told
// who has it; the holder itself works on; once it closes, the others can.
TEST_F(ConcurrencyTest, ADeclarationOpenInTheModuleIsNeitherOpenedNorWrittenElsewhere) {
  Other b(session(), "OTRO");
  DeclarationForm fa(session());
  ASSERT_TRUE(fa.openDeclaration(kRuc, "201205"));
  const std::string held =
      "Registro bloqueado. Intente luego\nLa declaración 20100070970 05/2012 está abierta en otra "
      "sesión por el usuario DEMO en el equipo " +
      data::hostName() + " desde el ";
  std::string stored = dumpStored();
  struct Case {
    const char* name;
    std::function<bool()> attempt;
  };
  const std::vector<Case> cases = {
      {"open", [&] { return DeclarationForm(b.s).openDeclaration(kRuc, "201205"); }},
      {"open and save in one go",
       [&] {
         DeclarationForm f(b.s, false);
         return f.openDeclaration(kRuc, "201205") && f.save().saved;
       }},
      {"delete", [&] { return declaration::deleteDeclaration(b.s, kRuc, "201205", ""); }},
      {"send",
       [&] {
         try {
           declaration::enviarDeclaracion(b.s.database(), kRuc, "201205");
           return true;
         } catch (const data::DbError& e) {
           b.msg.show(e.what(), "Error", MsgIcon::Critical);
           return false;
         }
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    b.msg.clear();
    EXPECT_FALSE(c.attempt());
    ASSERT_FALSE(b.msg.entries().empty());
    EXPECT_EQ(b.msg.last().rfind(held, 0), 0u) << b.msg.last();
    EXPECT_EQ(dumpStored(), stored);
  }
  fa.prepareDetail();
  ASSERT_TRUE(detail::typeConceptAmount(session(), fa.declaration(), kAna, "0121", "2500.00"));
  fa.afterDetail(kAna);
  ASSERT_TRUE(fa.save().saved);
  ASSERT_TRUE(fa.leave());
  EXPECT_EQ(count("SELECT count(*) FROM CAB_ABIERTA"), 0);
  DeclarationForm fb(b.s);
  EXPECT_TRUE(fb.openDeclaration(kRuc, "201205"));
  EXPECT_EQ(fields("SELECT usuario, proceso FROM CAB_ABIERTA"), "OTRO|" + std::to_string(::getpid()));
}

// A mark of a session that is gone blocks nobody: not renewed for ten minutes, or its process no
// longer runs on this computer. A live one of another computer does.
TEST_F(ConcurrencyTest, StaleMarksBlockNobody) {
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  struct Case {
    const char* name;
    std::string host;
    long long pid;
    const char* latido;
    bool blocks;
  };
  const std::vector<Case> cases = {
      {"renewed, process running", data::hostName(), ::getpid(), "datetime('now', '-60 seconds')", true},
      {"not renewed for ten minutes", data::hostName(), ::getpid(), "datetime('now', '-600 seconds')", false},
      {"process gone", data::hostName(), gone, "datetime('now')", false},
      {"another computer, renewed", "OTRO-EQUIPO", gone, "datetime('now')", true},
      {"another computer, not renewed", "OTRO-EQUIPO", gone, "datetime('now', '-301 seconds')", false},
  };
  DeclarationForm probe(session());
  ASSERT_TRUE(probe.openDeclaration(kRuc, "201205"));  // brings the tables; released below
  probe.closeWithoutSaving();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    db().run("DELETE FROM CAB_ABIERTA");
    db().run(std::string("INSERT INTO CAB_ABIERTA VALUES (6, ?, '201205', '0601', 'otra', 'PEDRO', ?, ?, "
                         "'2013-03-15 09:30:00', ") +
                 c.latido + ")",
             {kRuc, c.host, c.pid});
    msg().clear();
    DeclarationForm f(session());
    EXPECT_EQ(f.openDeclaration(kRuc, "201205"), !c.blocks) << msg().last();
    if (c.blocks) {
      EXPECT_NE(msg().last().find("por el usuario PEDRO en el equipo " + c.host + " desde el 15/03/2013"),
                std::string::npos)
          << msg().last();
    } else {
      EXPECT_EQ(fields("SELECT usuario FROM CAB_ABIERTA"), "DEMO") << "the stale mark is taken over";
    }
    f.closeWithoutSaving();
  }
}

// Marking the declarant's declarations for refresh is not a change of the declaration: the open
// one still saves, but a working set built from the registry before the mark keeps it marked.
TEST_F(ConcurrencyTest, ARegistryMarkAfterTheRefreshKeepsTheDeclarationMarked) {
  for (bool markedAfter : {false, true}) {
    SCOPED_TRACE(markedAfter ? "marked after the refresh" : "marked before the refresh");
    Other launcher(session(), "DEMO");
    declaration::InsertaIndicadorRefrescar(launcher.s.database(), kRuc);
    DeclarationForm f(session());
    ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
    msg().queueAnswer(Answer::Yes);
    ASSERT_TRUE(f.refresh());
    if (markedAfter) declaration::InsertaIndicadorRefrescar(launcher.s.database(), kRuc);
    ASSERT_TRUE(f.save().saved) << msg().last();
    std::string estado = fields("SELECT estado, ind_ref FROM CAB WHERE periodo = '201205'");
    if (markedAfter)
      EXPECT_EQ(estado, "9|1");
    else
      EXPECT_EQ(estado.substr(1), "|0");
    f.closeWithoutSaving();
  }
}

// The EPS credit box is stored when its form closes; not into a declaration another session
// changed meanwhile.
TEST_F(ConcurrencyTest, TheEpsBoxIsNotWrittenIntoADeclarationChangedMeanwhile) {
  Other b(session(), "DEMO");
  DeclarationForm fa(session(), false);
  ASSERT_TRUE(fa.openDeclaration(kRuc, "201205"));
  db().run(kInvoice, {kRuc});
  {
    DeclarationForm fb(b.s, false);
    openAndType(fb, b.s, "1000.00");
    ASSERT_TRUE(fb.save().saved);
    fb.closeWithoutSaving();
  }
  std::string stored = dumpStored();
  detail::EpsBoxForm eps(session(), fa.declaration(), "602");
  eps.load();
  eps.close();
  EXPECT_EQ(dumpStored(), stored);
  fa.closeWithoutSaving();
  ASSERT_TRUE(fa.openDeclaration(kRuc, "201205"));  // opened again: the box goes in
  db().run(kInvoice, {kRuc});
  detail::EpsBoxForm again(session(), fa.declaration(), "602");
  again.load();
  again.close();
  EXPECT_EQ(count("SELECT i_valor FROM DET WHERE periodo = '201205' AND Casilla = '602'"), 300);
}

// A file of the earlier layout: shared working tables in the file (with rows a crashed program
// left) and no version tables. The working set is the connection's own all the same, and the
// first write of a declaration adds the tables and drops the shared working ones.
TEST_F(ConcurrencyTest, AFileOfTheEarlierLayoutIsBroughtUpToDate) {
  db().script(
      "DROP TABLE CAB_VERSION; DROP TABLE CONTR_MARCA; DROP TABLE CAB_ABIERTA; "
      "CREATE TABLE main.TEMP1_F601 (Tip_doc_d INTEGER, doc_id_d TEXT, Correl_a INTEGER, cod_cat_tra INTEGER); "
      "INSERT INTO main.TEMP1_F601 VALUES (6, 'RESTOS', 99, 1); "
      "CREATE TABLE main.TMPF601CONCEP (tip_doc_a INTEGER, doc_id_a TEXT, correl_a INTEGER, codigo TEXT, "
      "cod_cat_tra INTEGER); "
      "CREATE UNIQUE INDEX main.IDX_TMPF601CONCEP ON TMPF601CONCEP(tip_doc_a, doc_id_a, correl_a, codigo, "
      "cod_cat_tra);");
  Other b(session(), "DEMO");
  DeclarationForm f(b.s, false);
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  EXPECT_EQ(working(b.s.database()), 4);
  EXPECT_EQ(b.s.database().integer("SELECT count(*) FROM TEMP1_F601 WHERE doc_id_d = 'RESTOS'"), 0);
  ASSERT_TRUE(f.save().saved) << b.msg.last();
  EXPECT_EQ(count("SELECT count(*) FROM main.sqlite_master WHERE name IN ('TEMP1_F601', 'TMPF601CONCEP', "
                  "'IDX_TMPF601CONCEP')"),
            0);
  EXPECT_EQ(data::storedVersion(db(), kRuc, "201205"), 1);
  EXPECT_EQ(working(b.s.database()), 4) << "the session's own working set is untouched";
}

}  // namespace
}  // namespace korventa::test
