// The stamp of a declaration's last save: a save of the unchanged declaration and its validation
// answered from it give exactly what the full road gives, and any input they depend on, changed,
// sends them down the full road.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "data/sessions.h"
#include "declaration/catalogue.h"
#include "declaration/declaration_form.h"
#include "declaration/refresh_marker.h"
#include "declaration/save_stamp.h"
#include "determination/validation.h"
#include "decl_fixture.h"

namespace korventa::test {
namespace {

const std::string kPeriodo = "201205";

std::string shownText(const std::vector<determination::ShownMessage>& shown) {
  std::string out;
  for (const auto& m : shown) out += std::to_string(static_cast<int>(m.icon)) + "|" + m.title + "|" + m.text + "\n";
  return out;
}

class SaveStampTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
  }

  // Every table of the file, row by row with its row id.
  std::string dumpAll() {
    std::string out;
    for (const auto& t : db().rows("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                   "'sqlite%' ORDER BY name")) {
      bool rowid = t.text(1).find("WITHOUT ROWID") == std::string::npos;
      out += t.text(0) + ":\n";
      for (const auto& r : db().rows("SELECT " + std::string(rowid ? "rowid, " : "") + "* FROM \"" + t.text(0) +
                                     "\" ORDER BY " + (rowid ? "rowid" : "1"))) {
        for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "|" : "") + r.text(i);
        out += "\n";
      }
    }
    return out;
  }

  std::string messages() {
    std::string out;
    for (const auto& e : msg().entries())
      out += std::to_string(static_cast<int>(e.icon)) + "|" + e.title + "|" + e.text + "\n";
    return out;
  }

  // The full road of `save`: the stored declaration opened and saved.
  declaration::SaveResult fullSave() {
    declaration::DeclarationForm f(session(), false);
    if (!f.openDeclaration(kRuc, kPeriodo)) return {};
    auto r = f.save();
    f.closeWithoutSaving();
    return r;
  }

  struct Saved {
    bool fromStamp = false, saved = false, inconsistent = false;
    std::string tables, shown;
  };
  // A save, fast or full, on the database as it is; everything it wrote is rolled back after.
  Saved save(bool fast) {
    data::Transaction scope(db());
    msg().clear();
    Saved s;
    declaration::SaveResult r;
    if (fast) {
      auto f = declaration::saveUnchanged(session(), kRuc, kPeriodo);
      s.fromStamp = f.has_value();
      if (f) r = *f;
    } else {
      r = fullSave();
    }
    s.saved = r.saved;
    s.inconsistent = r.inconsistent;
    s.tables = dumpAll();
    s.shown = messages();
    return s;
  }

  struct Validated {
    declaration::ValidationReplay r;
    std::string mens, shown;
    long long writes = 0;  // none when answered from the stamp
  };
  Validated validate(bool full) {
    msg().clear();
    auto mens = determination::mensPath(session());
    std::ofstream(mens) << "de una corrida anterior\r\n";
    Validated v;
    auto before = db().totalChanges();
    v.r = declaration::validateStored(session(), kRuc, kPeriodo, full);
    v.writes = db().totalChanges() - before;
    v.shown = messages();
    if (std::filesystem::exists(mens)) {
      std::ifstream in(mens, std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      v.mens = text.str();
    } else {
      v.mens = "<no file>";
    }
    return v;
  }

  void expectSameValidation(const Validated& fast, const Validated& full, const std::string& what) {
    EXPECT_EQ(fast.r.exitCode, full.r.exitCode) << what;
    EXPECT_EQ(fast.r.lines, full.r.lines) << what;
    EXPECT_EQ(shownText(fast.r.messages), shownText(full.r.messages)) << what;
    EXPECT_EQ(fast.shown, full.shown) << what;
    EXPECT_EQ(fast.mens, full.mens) << what;
  }
};

// Declarations in the states a save leaves them: the fast answers are the full road's, stored
// rows (row ids included), messages, validation lines, exit code and "Mens.txt" alike.
TEST_F(SaveStampTest, FastAnswersAreTheFullRoadsOnes) {
  struct Case {
    const char* name;
    std::function<void()> prepare;
    int exitCode;
  };
  const std::vector<Case> cases = {
      {"new declaration, inconsistent", [&] { ASSERT_TRUE(createAndSave(kPeriodo)); }, 3},
      {"completed declaration, consistent", [&] { ASSERT_TRUE(createConsistent(kPeriodo)); }, 0},
      {"refreshed and saved",
       [&] {
         ASSERT_TRUE(createAndSave(kPeriodo));
         declaration::DeclarationForm f(session(), false);
         ASSERT_TRUE(f.openDeclaration(kRuc, kPeriodo));
         ASSERT_TRUE(f.refresh());
         ASSERT_TRUE(f.save().saved);
         f.closeWithoutSaving();
       },
       3},
      {"saved again after a registry mark",
       [&] {
         ASSERT_TRUE(createConsistent(kPeriodo));
         declaration::InsertaIndicadorRefrescar(db(), kRuc, kPeriodo);
         ASSERT_TRUE(fullSave().saved);
       },
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    {
      data::Transaction scope(db());  // each case on the registry alone
      c.prepare();
      // The validation recorded by the save itself.
      auto fast = validate(false), full = validate(true);
      EXPECT_EQ(full.r.exitCode, c.exitCode);
      expectSameValidation(fast, full, c.name);
      auto again = validate(false);
      EXPECT_EQ(again.writes, 0) << "answered from the stamp";
      expectSameValidation(again, full, c.name);

      auto quick = save(true), slow = save(false);
      EXPECT_TRUE(quick.fromStamp);
      EXPECT_TRUE(quick.saved);
      EXPECT_EQ(quick.saved, slow.saved);
      EXPECT_EQ(quick.inconsistent, slow.inconsistent);
      EXPECT_EQ(quick.shown, slow.shown);
      EXPECT_FALSE(quick.shown.empty());
      EXPECT_EQ(quick.tables, slow.tables);
      // The save answered from the stamp is stamped in turn: the next one is answered too.
      {
        data::Transaction inner(db());
        ASSERT_TRUE(declaration::saveUnchanged(session(), kRuc, kPeriodo));
        EXPECT_TRUE(declaration::saveUnchanged(session(), kRuc, kPeriodo));
      }
    }
    Clock::setFixed(Date{2013, 3, 15});
  }
}

// Each input the outcome depends on, changed alone, makes the stamp miss: the save and the
// validation take the full road and give its (new) result.
TEST_F(SaveStampTest, AnyChangedInputSendsTheFullRoad) {
  ASSERT_TRUE(createAndSave(kPeriodo));
  validate(true);  // the stamp holds the validation too
  struct Case {
    const char* name;
    std::function<void()> change;
    bool hit;
  };
  const std::vector<Case> cases = {
      {"nothing changed", [] {}, true},
      {"another program wrote the declaration", [&] { data::claimDeclaration(db(), kRuc, kPeriodo); }, false},
      {"registry marked for refresh", [&] { data::raiseRegistryMark(db(), kRuc); }, false},
      {"registry edit the checks read",
       [&] {
         db().run(
             "UPDATE ASEG_DET_LAB SET situac = '13' WHERE doc_id_d = ? AND rowid = (SELECT min(rowid) FROM "
             "ASEG_DET_LAB WHERE doc_id_d = ? AND cod_cat_tra = 1)",
             {kRuc, kRuc});
       },
       false},
      {"registry edit of another declarant",
       [&] { db().run("UPDATE CONTRVKRS SET Nombre = 'X' WHERE doc_id_d = ?", {kOtherRuc}); }, false},
      {"a rate of the parameters",
       [&] {
         db().run(
             "UPDATE PARAM SET Funcion = Funcion || ' ' WHERE rowid = (SELECT min(rowid) FROM PARAM WHERE Numero = "
             "'713')");
       },
       false},
      {"parameter version", [&] { db().run("UPDATE PARAM SET Funcion = '9999' WHERE Numero = '981'"); }, false},
      {"another user", [&] { session().user = "OTRO"; }, false},
      {"another day",
       [] {
         Clock::setFixed(Date{2013, 3, 16});
       },
       false},
      {"another program version", [&] { session().version = "9.9"; }, false},
      {"header written without raising the version",
       [&] {
         db().run("UPDATE CAB SET Semana = 'X' WHERE doc_id_d = ? AND periodo = ?", {kRuc, kPeriodo});
       },
       false},
      {"boxes written without raising the version",
       [&] {
         db().run("UPDATE DET SET i_valor = '1' WHERE doc_id_d = ? AND periodo = ? AND Casilla = '028'",
                  {kRuc, kPeriodo});
       },
       false},
  };
  const std::string user = session().user, version = session().version;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    {
      data::Transaction scope(db());
      c.change();
      auto fast = validate(false);
      EXPECT_EQ(fast.writes == 0, c.hit);
      expectSameValidation(fast, validate(true), c.name);
      data::Transaction inner(db());
      EXPECT_EQ(declaration::saveUnchanged(session(), kRuc, kPeriodo).has_value(), c.hit);
    }
    session().user = user;
    session().version = version;
    Clock::setFixed(Date{2013, 3, 15});
  }
}

// Concept rows the save leaves out: what the save's checks saw is recorded as the validation only
// when their absence cannot change it; either way `validate` prints what the full validation does.
TEST_F(SaveStampTest, RowsTheSaveLeavesOutKeepTheValidationExact) {
  struct Case {
    const char* name;
    const char* codigo;
    const char* base;
    bool pay;  // the worker also has an amount of pay
    bool recorded;
  };
  const std::vector<Case> cases = {
      {"0807 without amounts, base zero", "0807", "0.00", true, false},
      {"0807 without amounts, worker without other concepts", "0807", "100.00", false, false},
      {"0807 without amounts beside the worker's pay", "0807", "100.00", true, true},
      {"row declaring nothing of an ESSALUD concept", "0121", "", false, false},
  };
  const std::string insert =
      "INSERT OR REPLACE INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, monto_pag, "
      "base_calculo) SELECT tip_doc_a, doc_id_a, Correl_a, ?, 1, ?, ?, ? FROM TEMP1_F601 WHERE cod_cat_tra = 1 "
      "ORDER BY rowid LIMIT 1";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    data::Transaction scope(db());
    ASSERT_TRUE(createAndSave(kPeriodo));
    declaration::DeclarationForm f(session(), false);
    ASSERT_TRUE(f.openDeclaration(kRuc, kPeriodo));
    if (c.pay) db().run(insert, {"0122", "1000.00", "1000.00", ""});
    db().run(insert, {c.codigo, "", "", c.base});
    f.setModified();
    ASSERT_TRUE(f.save().saved);
    f.closeWithoutSaving();
    auto fast = validate(false);
    EXPECT_EQ(fast.writes == 0, c.recorded);
    expectSameValidation(fast, validate(true), c.name);
  }
}

// Another live session holding the declaration open: neither command answers from the stamp (the
// full save says who holds it; the validation reads the stored declaration all the same).
TEST_F(SaveStampTest, HeldElsewhereTakesTheFullRoad) {
  ASSERT_TRUE(createAndSave(kPeriodo));
  validate(true);
  db().run(
      "INSERT INTO CAB_ABIERTA (tip_doc_d, doc_id_d, periodo, Formulario, sesion, usuario, equipo, proceso, desde, "
      "latido) VALUES (6, ?, ?, '0601', 'otra', 'OTRO', ?, ?, datetime('now'), datetime('now'))",
      {kRuc, kPeriodo, data::hostName(), static_cast<std::int64_t>(::getpid())});
  EXPECT_FALSE(declaration::saveUnchanged(session(), kRuc, kPeriodo));
  auto v = validate(false);
  EXPECT_GT(v.writes, 0);
  expectSameValidation(v, validate(true), "held");
}

TEST_F(SaveStampTest, DeletedDeclarationTakesItsStampAlong) {
  ASSERT_TRUE(createAndSave(kPeriodo));
  ASSERT_TRUE(data::saveStamp(db(), kRuc, kPeriodo));
  ASSERT_TRUE(declaration::deleteDeclaration(session(), kRuc, kPeriodo, ""));
  EXPECT_FALSE(data::saveStamp(db(), kRuc, kPeriodo));
  EXPECT_FALSE(declaration::saveUnchanged(session(), kRuc, kPeriodo));
}

}  // namespace
}  // namespace korventa::test
