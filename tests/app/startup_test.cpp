// Start-up: launcher and instance checks, settings, database open, control numbers, version and
// the general concept set.
#include <fstream>
#include <thread>

#include <gtest/gtest.h>
#include <SQLiteCpp/Database.h>

#include "app/startup.h"
#include "common/ini.h"
#include "data/numero_control.h"
#include "support/test_db.h"

namespace korventa::app {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::TestDb;

// Desktop whose visible window titles the test chooses; titles compare exactly as the real
// finder does.
class DesktopProbe : public cWindows {
 public:
  explicit DesktopProbe(std::vector<std::string> titles = {std::string(kLauncherTitle)}) : titles_(std::move(titles)) {}
  bool CorreApp(std::string_view title) override {
    for (const auto& t : titles_)
      if (t == title) return true;
    return false;
  }
  std::string ClassName(std::string_view) override { return {}; }
  void CloseApp(std::string_view, std::string_view) override {}

 private:
  std::vector<std::string> titles_;
};

class InstanceProbe : public InstanceGuard {
 public:
  explicit InstanceProbe(bool first = true) : first_(first) {}
  bool acquire() override { return first_; }

 private:
  bool first_;
};

// A fresh session started against a settings file that points at a test database.
struct StartFixture {
  TestDb data{true};  // with the demo registry (general concept set included)
  TempDir home;
  RecordingMessenger messages;
  Session session;
  DesktopProbe desktop;
  InstanceProbe instance;
  fs::path ini = home / "VKRS000.INI";

  StartFixture() {
    session.messenger = &messages;
    IniFile f(ini);
    f.write("Options", "SysPath", home.path().string() + "/");
    f.write("Options", "DBPath", data.file().parent_path().string() + "/");
    f.write("Options", "DBName", data.file().filename().string());
    f.write("Options", "SysUser", "CONTADOR");
  }
  Startup startup() { return Startup(session, desktop, instance, ini); }
  StartupOutcome run() { return startup().run(); }
  data::Database& db() { return data.db(); }
  void setVersion856(const std::string& funcion) {
    db().run("DELETE FROM PARAM WHERE Numero = '856'");
    if (!funcion.empty())
      db().run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('856', '0601', ?)", {funcion});
  }
  std::int64_t generalRows(const std::string& ruc = "20000000001") {
    return db().integer("SELECT count(*) FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc});
  }
  std::int64_t general0614(const std::string& ruc = "20000000001") {
    return db().integer("SELECT count(*) FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_concepto = '0614'",
                        {ruc});
  }
};

TEST(Startup, LauncherAndInstanceChecks) {
  struct Case {
    const char* name;
    std::vector<std::string> windows;
    bool firstInstance;
    StartupOutcome outcome;
    const char* text;
    const char* title;
    MsgIcon icon;
  };
  const char* launcherMissing = "Debe ejecutar este módulo desde el Integrador del ZEL.";
  const char* launcherTitle = "Error al ejecutar el módulo";
  const Case cases[] = {
      {"launcher shown", {"Zelvaro"}, true, StartupOutcome::Ready, nullptr, nullptr, MsgIcon::None},
      {"no windows at all",
       {},
       true,
       StartupOutcome::LauncherMissing,
       launcherMissing,
       launcherTitle,
       MsgIcon::Critical},
      {"second copy",
       {"Zelvaro"},
       false,
       StartupOutcome::AlreadyRunning,
       "La Aplicación ya se encuentra en ejecución.",
       "Declaración Pago Anual Impuesto a la Renta",
       MsgIcon::Information},
      {"no launcher and second copy: launcher first",
       {},
       false,
       StartupOutcome::LauncherMissing,
       launcherMissing,
       launcherTitle,
       MsgIcon::Critical},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartFixture f;
    f.desktop = DesktopProbe(c.windows);
    f.instance = InstanceProbe(c.firstInstance);
    EXPECT_EQ(f.run(), c.outcome);
    if (c.text) {
      ASSERT_EQ(f.messages.entries().size(), 1u);
      EXPECT_EQ(f.messages.entries()[0].text, c.text);
      EXPECT_EQ(f.messages.entries()[0].title, c.title);
      EXPECT_EQ(f.messages.entries()[0].icon, c.icon);
      // Nothing has been opened or written before the checks pass.
      EXPECT_EQ(f.session.db, nullptr);
      EXPECT_EQ(IniFile(f.ini).read("Options", "SystemDB"), "");
    } else {
      EXPECT_TRUE(f.messages.entries().empty());
      ASSERT_NE(f.session.db, nullptr);
    }
    EXPECT_NE(f.session.servicios, nullptr);
  }
}

// The settings, the paths derived from them, and the general declarant they name, which receives
// the concept 0614.
TEST(Startup, SettingsDerivedPathsAndTheGeneralDeclarant) {
  StartFixture f;
  const std::string general = "20100000009";
  for (const char* code : {"0121", "0201", "0607"})
    f.db().run("INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) VALUES (6, ?, ?, 'G')",
               {general, code});
  f.db().run("DELETE FROM CON_AFEC WHERE doc_id_d = '20000000001' AND cod_concepto = '0614'");
  IniFile ini(f.ini);
  ini.write("Options", "SysPath", f.home.path().string());  // without its trailing separator
  ini.write("Options", "SysUser", "");
  ini.write("Options", "SysMenu", "MENU.TXT");
  ini.write("Options", "DeclaranteGeneral", general);
  ini.write("Options", "VersionHost", "descargas.ejemplo.pe");
  ASSERT_EQ(f.run(), StartupOutcome::Ready);
  std::string sp = f.home.path().string() + "/";
  const Paths& p = f.session.paths;
  EXPECT_EQ(p.sysPath, sp);
  EXPECT_EQ(p.tmpDir, sp + "TMP/");
  EXPECT_EQ(p.tmpPath, sp + "TMP");
  EXPECT_EQ(p.rptDir, sp + "RPT");
  EXPECT_EQ(p.bmpDir, sp + "BMP/");
  EXPECT_EQ(p.menuPath, sp + "MENU.TXT");
  EXPECT_EQ(p.helpFile, sp + "0601/Vq601.html");
  EXPECT_EQ(p.dbPath, f.data.file().string());
  EXPECT_EQ(f.session.user, " ");
  EXPECT_EQ(f.session.generalDeclarant, general);
  EXPECT_EQ(f.general0614(general), 1);
  EXPECT_EQ(f.general0614("20000000001"), 0);
  EXPECT_EQ(f.session.versionHost, "descargas.ejemplo.pe");
  EXPECT_TRUE(fs::is_directory(p.rptDir));
  EXPECT_TRUE(fs::is_directory(p.tmpPath));
}

// Each start writes SystemDB again (the other keys stay as they were) and gives the EPS invoices
// their control numbers again.
TEST(Startup, EachStartRewritesSystemDBAndRecomputesEpsControlNumbers) {
  StartFixture f;
  auto& db = f.db();
  const char* insert =
      "INSERT INTO F600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, Correl, RUC_EPS, Periodo_fac, "
      "Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, Imp_cred, cNumero) "
      "VALUES (6, '20503987610', ?, '0601', ?, '1', '20514372251', ?, '0001', ?, '05/06/2012', '10/06/2012', ?, ?, ?)";
  db.run(insert, {"201206", "602", "201205", "00000123", "1500", "1000", "999999"});
  db.run(insert, {"201207", "612", "201206", "00004567", "820", "820", ""});
  auto check = [&] {
    auto rows = db.rows("SELECT * FROM F600INFEPS ORDER BY periodo");
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& r : rows) {
      std::string stored = r.text("cNumero");
      EXPECT_EQ(stored, data::NumeroControl(r.values(), 9));
      EXPECT_EQ(stored.size(), 6u);
      EXPECT_NE(stored, "999999");
    }
  };
  ASSERT_EQ(f.run(), StartupOutcome::Ready);
  check();
  // A row changed behind the program's back gets its number again at the next start.
  db.run("UPDATE F600INFEPS SET Imp_cred = '700', cNumero = '000000' WHERE periodo = '201207'");
  IniFile ini(f.ini);
  ini.write("Options", "SystemDB", "C:\\WINDOWS\\SYSTEM.MDW");
  Session again;
  again.messenger = &f.messages;
  Startup second(again, f.desktop, f.instance, f.ini);
  ASSERT_EQ(second.run(), StartupOutcome::Ready);
  check();
  EXPECT_EQ(ini.read("Options", "SystemDB"), f.home.path().string() + "/VKRS000.MDW");
  EXPECT_EQ(ini.read("Options", "SysUser"), "CONTADOR");
  EXPECT_EQ(ini.read("Options", "DBName"), f.data.file().filename().string());
}

// The version and publication date read from list 856, and the concept 0614 that versions from
// 1.8 on add to the general declarant's concept set.
TEST(Startup, VersionAndGeneralConcept0614) {
  struct Case {
    const char* name;
    const char* funcion;  // of list 856, "" = no row
    const char* version;
    const char* date;
    int generalRows;  // rows of the general declarant before start (-1: as delivered)
    bool with0614;
    std::int64_t expected0614;
  };
  const Case cases[] = {
      {"1.8 with many rows adds it", "1.8 15/10/2012", "1.8", "15/10/2012", -1, false, 1},
      {"1.10 sorts before 1.8", "1.1015/10/2012", "1.10", "15/10/2012", -1, false, 0},
      {"no row of 856: version 1.1", "", "1.1", "08/05/2008", -1, false, 0},
      {"already there stays single", "1.8 15/10/2012", "1.8", "15/10/2012", -1, true, 1},
      {"two rows are enough", "1.8 15/10/2012", "1.8", "15/10/2012", 2, false, 1},
      {"no rows keeps its state", "1.8 15/10/2012", "1.8", "15/10/2012", 0, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartFixture f;
    auto& db = f.db();
    f.setVersion856(c.funcion);
    db.run("DELETE FROM CON_AFEC WHERE doc_id_d = '20000000001' AND cod_concepto = '0614'");
    if (c.generalRows >= 0) {
      db.run(
          "DELETE FROM CON_AFEC WHERE doc_id_d = '20000000001' AND rowid NOT IN (SELECT rowid FROM CON_AFEC "
          "WHERE doc_id_d = '20000000001' ORDER BY cod_concepto LIMIT ?)",
          {c.generalRows});
    }
    if (c.with0614)
      db.run(
          "INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) VALUES (6, '20000000001', '0614', "
          "'G')");
    auto before = f.generalRows();
    ASSERT_EQ(f.run(), StartupOutcome::Ready);
    EXPECT_EQ(f.session.version, c.version);
    EXPECT_EQ(f.session.publicationDate, c.date);
    EXPECT_EQ(f.general0614(), c.expected0614);
    EXPECT_EQ(f.generalRows(), before + (c.expected0614 == 1 && !c.with0614 ? 1 : 0));
    if (c.expected0614 == 1) {
      EXPECT_EQ(db.text("SELECT ind_origen FROM CON_AFEC WHERE doc_id_d = '20000000001' AND cod_concepto = '0614'"),
                "G");
    }
    EXPECT_TRUE(f.messages.entries().empty());
  }
}

// A file missing, not a database or without the program's tables, and one locked by another
// program.
TEST(Startup, DatabaseThatCannotBeOpenedOrIsLocked) {
  struct Case {
    const char* name;
    std::function<std::string(StartFixture&)> prepare;  // returns the DBName to use
    std::string expected;                               // the message, "" = only the title is checked
  };
  const Case cases[] = {
      {"missing file", [](StartFixture&) { return std::string("NOEXISTE.db"); }, ""},
      {"not a database",
       [](StartFixture& f) {
         std::ofstream(f.home / "basura.db") << std::string(4096, 'x');
         return std::string("basura.db");
       },
       "file is not a database\n26"},
      {"database without the program's tables",
       [](StartFixture& f) {
         SQLite::Database empty((f.home / "vacia.db").string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
         empty.exec("CREATE TABLE x (a)");
         return std::string("vacia.db");
       },
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartFixture f;
    std::string name = c.prepare(f);
    IniFile ini(f.ini);
    ini.write("Options", "DBPath", f.home.path().string() + "/");
    ini.write("Options", "DBName", name);
    EXPECT_EQ(f.run(), StartupOutcome::ConnectionFailed);
    ASSERT_EQ(f.messages.entries().size(), 1u);
    EXPECT_EQ(f.messages.entries()[0].title, "Error de Conexión");
    EXPECT_EQ(f.messages.entries()[0].icon, MsgIcon::Critical);
    if (!c.expected.empty()) {
      EXPECT_EQ(f.messages.entries()[0].text, c.expected);
    }
    if (name == "vacia.db") {  // another program's file: named, and left as it was
      EXPECT_EQ(f.messages.entries()[0].text,
                "El archivo " + (f.home / name).string() + " no es una base de datos del 0601; se deja sin cambios.");
    }
    EXPECT_EQ(f.session.db, nullptr);
    // SystemDB is written before the open is tried; no file is created for a missing database.
    EXPECT_EQ(ini.read("Options", "SystemDB"), f.home.path().string() + "/VKRS000.MDW");
    EXPECT_FALSE(fs::exists(f.home / "NOEXISTE.db"));
  }

  StartFixture f;
  f.data.session().db.reset();
  // Another program holds the file exclusively (as the launcher does while it rebuilds it).
  SQLite::Database holder(f.data.file().string(), SQLite::OPEN_READWRITE);
  holder.exec("PRAGMA journal_mode = DELETE");
  holder.exec("PRAGMA locking_mode = EXCLUSIVE");
  holder.exec("BEGIN EXCLUSIVE");
  holder.exec("UPDATE PARAM SET Funcion = Funcion WHERE Numero = '856'");
  EXPECT_EQ(f.run(), StartupOutcome::ConnectionFailed);
  ASSERT_EQ(f.messages.entries().size(), 1u);
  EXPECT_EQ(f.messages.entries()[0].text, " 5- Base esta bloqueda");
  EXPECT_EQ(f.messages.entries()[0].title, "Error de Conexión");
  EXPECT_EQ(f.session.db, nullptr);
  holder.exec("ROLLBACK");
}

TEST(Startup, VersionPageAddress) {
  Session s;
  s.versionHost = "descargas.ejemplo.pe";
  // A date without its leading zeros is padded (the main window test follows the menu to a 1.8 address).
  s.version = "1.1";
  s.publicationDate = "8/5/2008";
  EXPECT_EQ(versionPageUrl(s),
            "http://descargas.ejemplo.pe/zel/zeldown/independientes/independientes.htm?p=0601&v=1.1&f=08052008#p601");
  // A version text is data, never part of the address's structure.
  s.version = "1.8&x=1";
  EXPECT_NE(versionPageUrl(s).find("v=1.8%26x%3D1&f="), std::string::npos);
}

}  // namespace
}  // namespace korventa::app
