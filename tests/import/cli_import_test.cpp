// korventa-cli import on the demo registry with the demo files: counts on stdout, the work files,
// the error listing and its PDF, the imported amounts saved with the declaration.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/database.h"
#include "support/cli_runner.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

class CliImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runner_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    ASSERT_EQ(run("init --demo").rc, 0);
    ASSERT_EQ(run("new 20503987610 201206").rc, 0);
  }
  CliRun run(const std::string& args) { return runner_.run(args); }
  std::string demo(const std::string& ext) {
    return "'" + (fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import" / ("060120503987610201206." + ext)).string() + "'";
  }
  CliRunner runner_;
  const TempDir& dir_ = runner_.dir();
  const fs::path& db_ = runner_.db();
};

TEST_F(CliImportTest, DemoFilesImportedSavedAndListed) {
  fs::path work = dir_ / "trabajo";
  auto r = run("import 20503987610 201206 " + demo("rem") + " " + demo("jor") + " --work-dir '" + work.string() +
               "' --pdf '" + (dir_ / "errores.pdf").string() + "'");
  ASSERT_EQ(r.rc, 0) << r.err;
  // The hours run before the concepts, whatever the order on the command line.
  auto jor = r.out.find("060120503987610201206.jor: 2 transferidos, 3 rechazados, 1 omitidos");
  auto rem = r.out.find("060120503987610201206.rem: 6 transferidos, 9 rechazados");
  ASSERT_NE(jor, std::string::npos) << r.out;
  ASSERT_NE(rem, std::string::npos) << r.out;
  EXPECT_LT(jor, rem);
  EXPECT_NE(r.out.find("Declaración grabada: 20503987610 06/2012"), std::string::npos);
  EXPECT_TRUE(fs::exists(work / "201206.Err"));
  EXPECT_TRUE(fs::exists(work / "060120503987610201206.rem.Log"));
  EXPECT_TRUE(fs::exists(dir_ / "errores-1.pdf"));
  EXPECT_TRUE(fs::exists(dir_ / "errores-2.pdf"));
  EXPECT_EQ(slurp(dir_ / "errores-1.pdf").rfind("%PDF", 0), 0u);

  auto db = data::Database::open(db_);
  EXPECT_EQ(db->text("SELECT monto FROM F601_REMUNERA WHERE doc_id_a = '42987651' AND cod_concep = '0121' AND "
                     "periodo = '201206'"),
            "5150.00");
  EXPECT_EQ(db->text("SELECT horas_nor FROM F601_TRAB WHERE doc_id_a = '41235678' AND periodo = '201206'"), "160.50");
  EXPECT_EQ(db->integer("SELECT count(*) FROM SPOOL WHERE CodRep IN ('PR0043', 'PR0046')"), 2);
}

// The files are read ahead, while the declaration opens and the file before is imported; a file
// that cannot be read is still reported in its turn, after the files before it.
TEST_F(CliImportTest, AnUnreadableFileIsReportedInItsTurn) {
  std::ofstream(dir_ / "060120503987610201206.pen") << " \r\n";
  auto r = run("import 20503987610 201206 '" + (dir_ / "060120503987610201206.pen").string() + "' '" +
               (dir_ / "no-existe" / "060120503987610201206.rem").string() + "' " + demo("jor"));
  EXPECT_EQ(r.rc, 1) << r.err;
  const std::vector<std::string> inOrder = {
      "060120503987610201206.jor: 2 transferidos",
      "060120503987610201206.rem: no importado (En la ruta indicada, no se encuentra el archivo a transferir",
      "060120503987610201206.pen: no importado (El archivo \"060120503987610201206.pen\" está vacío.)",
      "Declaración grabada: 20503987610 06/2012"};
  std::size_t at = 0;
  for (const auto& text : inOrder) {
    auto found = r.out.find(text, at);
    ASSERT_NE(found, std::string::npos) << text << "\n" << r.out;
    at = found + text.size();
  }
  auto missing = r.err.find("En la ruta indicada, no se encuentra el archivo");
  auto empty = r.err.find("está vacío");
  ASSERT_NE(missing, std::string::npos) << r.err;
  EXPECT_LT(missing, empty) << r.err;
}

// A run that fails after the files went in (here the PDF cannot be written) saves nothing and
// leaves no working rows behind (the file has no working tables at all); nor do runs refused
// before (unknown kind, no such declaration).
TEST_F(CliImportTest, AFailedOrRefusedRunSavesNothingAndLeavesNoWorkingRows) {
  auto r = run("import 20503987610 201206 " + demo("rem") + " --pdf '" + (dir_ / "no-existe" / "e.pdf").string() + "'");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.out.find("060120503987610201206.rem: 6 transferidos"), std::string::npos) << r.out;
  auto unknown = run("import 20503987610 201206 datos.txt");
  EXPECT_EQ(unknown.rc, 1);
  EXPECT_NE(unknown.err.find("No se reconoce el tipo de archivo"), std::string::npos);
  fs::copy_file(fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import/060120503987610201206.rem",
                dir_ / "060120503987610201306.rem");
  auto missing = run("import 20503987610 201306 '" + (dir_ / "060120503987610201306.rem").string() + "'");
  EXPECT_EQ(missing.rc, 1) << "no such declaration";
  auto db = data::Database::open(db_);
  EXPECT_FALSE(db->exists("SELECT 1 FROM F601_REMUNERA WHERE cod_concep = '0121' AND monto = '5150.00'"));
  EXPECT_EQ(db->integer("SELECT count(*) FROM main.sqlite_master WHERE name LIKE 'TEMP%' OR name LIKE 'TMP%'"), 0);
}

// The command line takes only the files named after the declaration, as the forms do (the case
// of the extension aside); when every file is refused nothing is saved nor said to be.
TEST_F(CliImportTest, FilesOfAnotherDeclarationAreRefusedAndNothingRefusedIsSaved) {
  auto copy = [&](const std::string& name, const std::string& content = {}) {
    auto p = dir_ / name;
    if (content.empty())
      fs::copy_file(fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import/060120503987610201206.rem", p);
    else
      std::ofstream(p) << content;
    return "'" + p.string() + "'";
  };
  struct Case {
    const char* name;
    std::string files;
    int rc;
    const char* err;  // "" = saved
  } cases[] = {
      {"another declarant and period", copy("060120131456787201207.rem"), 1,
       "El archivo 060120131456787201207.rem no corresponde a la declaración 20503987610 06/2012: su nombre debe ser "
       "060120503987610201206.rem. No se importó ningún archivo."},
      {"a good file does not carry a stranger in", copy("060120503987610201206.rem") + " " + copy("otro.jor"), 1,
       "El archivo otro.jor no corresponde a la declaración"},
      {"every file refused", copy("060120503987610201206.pen", "01|123|\n"), 1,
       "No se importó ningún archivo; la declaración no se grabó."},
      {"the extension in capitals", copy("060120503987610201206.REM"), 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = run("import 20503987610 201206 " + c.files);
    EXPECT_EQ(r.rc, c.rc) << r.err;
    bool saved = *c.err == 0;
    EXPECT_EQ(r.out.find("Declaración grabada") != std::string::npos, saved) << r.out;
    // The demo declaration is incomplete, so a save says it was stored with inconsistencies.
    EXPECT_EQ(r.err.find("fue guardada con inconsistencias") != std::string::npos, saved) << r.err;
    if (!saved) {
      EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    auto db = data::Database::open(db_);
    EXPECT_EQ(db->exists("SELECT 1 FROM F601_REMUNERA WHERE cod_concep = '0121' AND monto = '5150.00'"), saved);
  }
}

}  // namespace
}  // namespace korventa::test
