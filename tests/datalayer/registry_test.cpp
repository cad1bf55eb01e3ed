// The registry as the launcher maintains it: loading a folder of <TABLE>.csv files, editing
// rows one transaction at a time, and creating a database anew over an existing file.
#include <gtest/gtest.h>

#include <fstream>

#include "data/db_errors.h"
#include "data/schema_installer.h"
#include "data/table_editor.h"
#include "declaration/refresh_marker.h"
#include "support/test_db.h"

using namespace korventa;
using data::Database;
using data::DbError;

namespace {
namespace fs = std::filesystem;

void writeFile(const fs::path& p, std::string_view content) {
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << content;
}

std::int64_t count(Database& db, const std::string& table) {
  return db.integer("SELECT count(*) FROM " + table);
}

// Loads a folder and answers the error text ("" when it loaded).
std::string loadError(Database& db, const fs::path& dir) {
  try {
    data::loadRegistryFolder(db, dir);
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

const char* kDeclarants =
    "tip_doc_d,doc_id_d,Nombre,Tipo_ingreso\r\n"
    "6,20100070970,\"PANADERÍA \"\"LA ESPIGA\"\", S.A.C.\",2\r\n"
    "6,20503987610,\"LÍNEA UNO\nLÍNEA DOS\",\r\n";

TEST(RegistryLoad, ReplacesTheTablesFoundAndReportsTheirCounts) {
  test::TestDb t(true);
  auto& db = t.db();
  test::TempDir dir;
  std::int64_t persons = count(db, "ASEGVKRS");
  writeFile(dir / "CONTRVKRS.csv", kDeclarants);
  // Columns in another order and a subset; one person with each date spelling; a
  // Windows-1252 file.
  writeFile(dir / "ASEGVKRS.csv",
            "doc_id_d,tip_doc_d,correl_a,cod_cat_tra,tip_doc_a,doc_id_a,fec_nac,fec_insc,apellido_p\n"
            "20100070970,6,1,1,1,41235678,14/03/1978,2012-01-02,O'HIGGINS PE\xD1"
            "A\n");
  // Two files of one table: both load (the table is emptied once).
  writeFile(dir / "CON_AFEC.csv", "tip_doc_d,doc_id_d,cod_concepto,ind_origen\n6,20100070970,0121,G\n");
  writeFile(dir / "CON_AFEC.general.csv", "tip_doc_d,doc_id_d,cod_concepto,ind_origen\n6,20000000001,0121,G\n");
  writeFile(dir / "notas.txt", "no es un CSV");

  auto report = data::loadRegistryFolder(db, dir.path());
  std::vector<std::pair<std::string, int>> expected = {
      {"ASEGVKRS", 1}, {"CONTRVKRS", 2}, {"CON_AFEC", 1}, {"CON_AFEC", 1}};
  EXPECT_EQ(report.tables, expected);

  auto declarant = db.row("SELECT Nombre, APELLIDO_P, Tipo_ingreso FROM CONTRVKRS WHERE doc_id_d = '20100070970'");
  ASSERT_TRUE(declarant);
  EXPECT_EQ(declarant->text(0), "PANADERÍA \"LA ESPIGA\", S.A.C.");
  EXPECT_EQ(declarant->text(1), "") << "a missing column takes its default";
  EXPECT_EQ(declarant->integer(2), 2);
  EXPECT_EQ(db.text("SELECT Nombre FROM CONTRVKRS WHERE doc_id_d = '20503987610'"), "LÍNEA UNO\nLÍNEA DOS");
  EXPECT_TRUE(db.row("SELECT Tipo_ingreso FROM CONTRVKRS WHERE doc_id_d = '20503987610'")->isNull("Tipo_ingreso"))
      << "an empty integer cell is NULL";

  auto person = db.row("SELECT fec_nac, fec_insc, apellido_p, fec_baja FROM ASEGVKRS");
  ASSERT_TRUE(person);
  EXPECT_EQ(person->text(0), "1978-03-14");
  EXPECT_EQ(person->text(1), "2012-01-02");
  EXPECT_EQ(person->text(2), "O'HIGGINS PEÑA");
  EXPECT_EQ(count(db, "ASEGVKRS"), 1);
  EXPECT_GT(persons, 1);
  EXPECT_GT(count(db, "PERIODOLAB"), 0) << "tables without a file keep their rows";
  EXPECT_EQ(count(db, "CON_AFEC"), 2);
}

TEST(RegistryLoad, AFailingFileLeavesEveryTableAsItWas) {
  struct Case {
    const char* name;
    const char* file;
    const char* content;
    std::vector<std::string> mentions;
  };
  const Case cases[] = {
      {"unknown column",
       "EPS.csv",
       "tip_doc_d,doc_id_d,RUC_EPS,color\n6,20503987610,20414955020,azul\n",
       {"EPS.csv", "color"}},
      {"text in an integer column",
       "EPS.csv",
       "tip_doc_d,doc_id_d,RUC_EPS\nseis,20503987610,20414955020\n",
       {"EPS.csv", "tip_doc_d", "seis"}},
      {"impossible date",
       "PERIODOLAB.csv",
       "tip_doc_d,doc_id_d,correl_a,cod_cat_tra,fec_ini\n6,20503987610,1,1,31/02/2012\n",
       {"PERIODOLAB.csv", "fec_ini"}},
      {"duplicate key",
       "EPS.csv",
       "tip_doc_d,doc_id_d,RUC_EPS\n6,20503987610,20414955020\n6,20503987610,20414955020\n",
       {"EPS.csv", "3"}},
      {"not a registry table", "PARAM.csv", "Numero,Argumento,Funcion\n404,20130101,1\n", {"PARAM.csv", "PARAM"}},
      {"unclosed quote", "EPS.csv", "tip_doc_d,doc_id_d,RUC_EPS\n6,\"20503987610,20414955020\n", {"EPS.csv"}},
      {"a 0-byte file", "PERIODOLAB.csv", "", {"PERIODOLAB.csv", "encabezado"}},
      {"blank lines only", "PERIODOLAB.csv", "\r\n\r\n", {"PERIODOLAB.csv", "encabezado"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestDb t(true);
    auto& db = t.db();
    test::TempDir dir;
    // A good file that sorts first is loaded before the bad one and must be undone too.
    writeFile(dir / "ASEGVKRS.csv", "tip_doc_d,doc_id_d,correl_a,cod_cat_tra\n6,20503987610,99,1\n");
    writeFile(dir / c.file, c.content);
    std::int64_t persons = count(db, "ASEGVKRS"), eps = count(db, "EPS"), periods = count(db, "PERIODOLAB"),
                 params = count(db, "PARAM");
    std::string error = loadError(db, dir.path());
    ASSERT_FALSE(error.empty());
    for (const auto& m : c.mentions) EXPECT_NE(error.find(m), std::string::npos) << error;
    EXPECT_EQ(count(db, "ASEGVKRS"), persons);
    EXPECT_EQ(count(db, "EPS"), eps);
    EXPECT_EQ(count(db, "PERIODOLAB"), periods);
    EXPECT_EQ(count(db, "PARAM"), params);
    EXPECT_EQ(db.depth(), 0);
  }
}

// A header row alone empties its table, as a way to clear it.
TEST(RegistryLoad, HeaderOnlyFileEmptiesItsTable) {
  test::TestDb t(true);
  test::TempDir dir;
  writeFile(dir / "PERIODOLAB.csv", "tip_doc_d,doc_id_d,correl_a,cod_cat_tra\r\n");
  ASSERT_GT(count(t.db(), "PERIODOLAB"), 0);
  auto report = data::loadRegistryFolder(t.db(), dir.path());
  EXPECT_EQ(report.tables, (std::vector<std::pair<std::string, int>>{{"PERIODOLAB", 0}}));
  EXPECT_EQ(count(t.db(), "PERIODOLAB"), 0);
}

class Editor : public ::testing::Test {
 protected:
  test::TestDb t{true};
  Database& db = t.db();
  std::vector<std::string> marked;
  data::TableEditor editor(const char* table) {
    return data::TableEditor(db, table, [this](Database&, const std::string& ruc) { marked.push_back(ruc); });
  }
  std::size_t find(const data::TableEditor& e, std::size_t col, const std::string& value) {
    for (std::size_t r = 0; r < e.rowCount(); ++r)
      if (e.text(r, col) == value) return r;
    ADD_FAILURE() << value << " not found";
    return 0;
  }
  std::size_t column(const data::TableEditor& e, const char* name) {
    for (std::size_t c = 0; c < e.columns().size(); ++c)
      if (e.columns()[c].name == name) return c;
    ADD_FAILURE() << name << " not a column";
    return 0;
  }
};

TEST_F(Editor, TypedInputIsCheckedPerColumn) {
  auto e = editor("ASEGVKRS");
  auto est = column(e, "Est_civil"), nac = column(e, "fec_nac"), name = column(e, "apellido_p"),
       correl = column(e, "correl_a");
  struct Case {
    const char* name;
    std::size_t col;
    const char* typed;
    bool ok;
    data::Value stored;
  };
  const Case cases[] = {
      {"integer", est, " 2 ", true, data::Value(std::int64_t(2))},
      {"empty optional integer", est, "", true, data::Value()},
      {"letters in an integer", est, "dos", false, {}},
      {"decimal in an integer", est, "2.5", false, {}},
      {"empty required integer", correl, "", false, {}},
      {"dd/mm/yyyy date", nac, "05/03/1980", true, data::Value(std::string("1980-03-05"))},
      {"impossible date", nac, "30/02/1980", false, {}},
      {"apostrophe", name, "D'ALESSIO", true, data::Value(std::string("D'ALESSIO"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.ok)
      EXPECT_EQ(e.parse(c.col, c.typed), c.stored);
    else
      EXPECT_THROW(e.parse(c.col, c.typed), data::InputError);
  }
  auto tasas = editor("COR_TASAS_601");
  auto tasa = column(tasas, "tasa");
  EXPECT_NO_THROW(tasas.parse(tasa, "1.25"));
  EXPECT_THROW(tasas.parse(tasa, "1,25"), data::InputError);
}

TEST_F(Editor, EachChangeIsStoredAtOnceAndRefusalsChangeNothing) {
  auto e = editor("ASEGVKRS");
  auto doc = column(e, "doc_id_a"), est = column(e, "Est_civil"), nac = column(e, "fec_nac");
  std::size_t row = find(e, doc, "41235678");
  e.setText(row, nac, "14/03/1979");
  EXPECT_EQ(db.text("SELECT fec_nac FROM ASEGVKRS WHERE doc_id_a = '41235678'"), "1979-03-14");
  EXPECT_EQ(e.text(row, nac), "1979-03-14");

  EXPECT_THROW(e.setText(row, est, "casado"), data::InputError);
  EXPECT_EQ(db.text("SELECT Est_civil FROM ASEGVKRS WHERE doc_id_a = '41235678'"), "2");

  // A row whose key already exists: the engine refuses it, with the duplicate message.
  std::vector<std::string> texts(e.columns().size());
  for (std::size_t c = 0; c < texts.size(); ++c) texts[c] = e.text(row, c);
  std::size_t rows = e.rowCount();
  try {
    e.insert(texts);
    FAIL() << "duplicate inserted";
  } catch (const DbError& err) {
    EXPECT_EQ(data::recordErrorText(err), "Registro ya existe lo ingresaron en ese momento");
  }
  EXPECT_EQ(e.rowCount(), rows);
  EXPECT_EQ(db.depth(), 0);

  texts[column(e, "correl_a")] = "500";
  std::size_t added = e.insert(texts);
  EXPECT_EQ(e.rowCount(), rows + 1);
  EXPECT_EQ(e.text(added, column(e, "correl_a")), "500");
  EXPECT_TRUE(db.exists("SELECT 1 FROM ASEGVKRS WHERE correl_a = 500"));
  e.remove(added);
  EXPECT_FALSE(db.exists("SELECT 1 FROM ASEGVKRS WHERE correl_a = 500"));
  EXPECT_EQ(e.rowCount(), rows);
}

TEST_F(Editor, ARowDeletedByAnotherProgramIsReported) {
  auto e = editor("EPS");
  std::size_t rows = e.rowCount();
  ASSERT_GT(rows, 0u);
  std::string ruc = e.text(0, column(e, "RUC_EPS"));
  db.run("DELETE FROM EPS WHERE RUC_EPS = ? AND rowid = (SELECT min(rowid) FROM EPS)", {ruc});
  try {
    e.setText(0, column(e, "NOMBRE_EPS"), "OTRO");
    FAIL() << "edited a deleted row";
  } catch (const DbError& err) {
    EXPECT_EQ(data::recordErrorText(err), "Registro ha sido modificado o eliminado por otro usuario");
  }
  EXPECT_EQ(e.rowCount(), rows - 1) << "rows read again";
}

TEST_F(Editor, ChangesMarkTheDeclarantsDeclarationsForRefresh) {
  // The launcher passes the refresh marker; here the hook records, and a real marker run checks CAB.
  auto e = editor("ASEGVKRS");
  auto docd = column(e, "doc_id_d"), name = column(e, "apellido_p");
  std::size_t row = find(e, docd, "20503987610");
  e.setText(row, name, "QUISPE HUAMÁN");
  EXPECT_EQ(marked, (std::vector<std::string>{"20503987610"}));
  e.setText(row, column(e, "correl_a"), "900");
  marked.clear();
  e.setText(row, docd, "20131456787");  // moved to the other declarant: both are marked
  EXPECT_EQ(marked, (std::vector<std::string>{"20503987610", "20131456787"}));

  db.run(
      "INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado, ind_ref) VALUES "
      "(6, '20503987610', '201205', '0601', 0, 0), (6, '20503987610', '201206', '0601', 1, 0)");
  data::TableEditor real(db, "LOCAL",
                         [](Database& d, const std::string& ruc) { declaration::InsertaIndicadorRefrescar(d, ruc); });
  real.setText(find(real, column(real, "doc_id_d"), "20503987610"), column(real, "nom_est"), "SEDE PRINCIPAL");
  EXPECT_EQ(db.text("SELECT estado || '/' || ind_ref FROM CAB WHERE periodo = '201205'"), "9/1");
  EXPECT_EQ(db.text("SELECT estado || '/' || ind_ref FROM CAB WHERE periodo = '201206'"), "1/1")
      << "a sent one keeps its state";

  // A failing hook undoes the change it belongs to.
  data::TableEditor failing(db, "LOCAL", [](Database&, const std::string&) { throw std::runtime_error("falla"); });
  std::size_t r = find(failing, column(failing, "nom_est"), "SEDE PRINCIPAL");
  EXPECT_THROW(failing.setText(r, column(failing, "nom_est"), "OTRO NOMBRE"), std::runtime_error);
  EXPECT_EQ(failing.text(r, column(failing, "nom_est")), "SEDE PRINCIPAL");
  EXPECT_TRUE(db.exists("SELECT 1 FROM LOCAL WHERE nom_est = 'SEDE PRINCIPAL'"));
  EXPECT_EQ(db.depth(), 0);
}

TEST(CreateDatabase, ExistingFileIsKeptUnlessReplacedAndThenBackedUpOrMovedAside) {
  test::TempDir dir;
  auto file = dir / "korventa.db";
  auto backup = dir / "korventa.db.bak";
  {
    auto db = data::createDatabase(file, true);
    db->run("INSERT INTO CLAVES (Usuario, tipo) VALUES ('PROPIO', '1')");
  }
  {  // creating again over an existing database leaves it as it is
    auto db = data::createDatabase(file, false);
    EXPECT_TRUE(db->exists("SELECT 1 FROM CLAVES WHERE Usuario = 'PROPIO'"));
    EXPECT_EQ(count(*db, "CONTRVKRS"), 2);
  }
  {
    auto db = data::recreateDatabase(file, false, backup);
    EXPECT_FALSE(db->exists("SELECT 1 FROM CLAVES WHERE Usuario = 'PROPIO'"));
    EXPECT_EQ(count(*db, "CONTRVKRS"), 0);
    EXPECT_GT(count(*db, "PARAM"), 100);
    EXPECT_EQ(db->text("PRAGMA foreign_keys"), "1");
  }
  {
    auto old = Database::open(backup);
    EXPECT_TRUE(old->exists("SELECT 1 FROM CLAVES WHERE Usuario = 'PROPIO'"));
    EXPECT_EQ(count(*old, "CONTRVKRS"), 2);
  }

  // A file that is not a database is moved aside the same way.
  writeFile(file, std::string(8192, 'x'));
  EXPECT_EQ(count(*data::recreateDatabase(file, true, backup), "CONTRVKRS"), 2);
  std::ifstream in(backup, std::ios::binary);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, std::string(8192, 'x'));
}

}  // namespace
