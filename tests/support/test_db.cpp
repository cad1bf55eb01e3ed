#include "support/test_db.h"

#include <atomic>
#include <mutex>
#include <random>
#include <unistd.h>

#include "data/schema_installer.h"
#include "data/servicios_comunes.h"

namespace korventa::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> seq{0};
  std::random_device rd;
  path_ = fs::temp_directory_path() / ("korventa-test-" + std::to_string(::getpid()) + "-" + std::to_string(seq++) +
                                       "-" + std::to_string(rd() % 100000));
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

namespace {

// The template databases are built once per test process.
const fs::path& templateFile(bool withDemo) {
  static TempDir dir;
  static std::once_flag once[2];
  static fs::path files[2];
  int i = withDemo ? 1 : 0;
  std::call_once(once[i], [&] {
    files[i] = dir / (withDemo ? "demo.db" : "seed.db");
    auto db = data::createDatabase(files[i], withDemo);
    db->script("PRAGMA wal_checkpoint(TRUNCATE)");
  });
  return files[i];
}

}  // namespace

TestDb::TestDb(bool withDemo) {
  fs::copy_file(templateFile(withDemo), file(), fs::copy_options::overwrite_existing);
  session_.db = data::Database::open(file());
  session_.messenger = &messenger_;
  session_.servicios->setMessenger(&messenger_);
  session_.user = "DEMO";
  session_.paths.sysPath = dir_.path().string() + "/";
  session_.paths.rptDir = session_.paths.sysPath + "RPT";
  session_.paths.tmpDir = session_.paths.sysPath + "TMP/";
  session_.paths.tmpPath = session_.paths.sysPath + "TMP";
  session_.paths.bmpDir = session_.paths.sysPath + "BMP/";
  session_.paths.dbPath = file().string();
  fs::create_directories(session_.paths.rptDir);
  fs::create_directories(session_.paths.tmpPath);
}

RegistryBuilder& RegistryBuilder::declarant(const std::string& ruc, const std::string& name, int regimenLab,
                                            int admPublica, int senati) {
  db.run(
      "INSERT INTO CONTRVKRS (tip_doc_d, doc_id_d, Nombre, nom_razon, Tipo_ingreso, Usuario, Ind_RegimenLab, "
      "ind_adm_publica, Ind_senati) VALUES (6, ?, ?, ?, 2, 'DEMO', ?, ?, ?)",
      {ruc, name, name, regimenLab, admPublica, senati});
  return *this;
}

RegistryBuilder& RegistryBuilder::person(const std::string& ruc, long correl, int category, int tipDoc,
                                         const std::string& doc, const std::string& apellidoP,
                                         const std::string& nombre, const std::string& tipo, const std::string& situac,
                                         int pension, const std::string& sexo) {
  db.run(
      "INSERT INTO ASEGVKRS (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, fec_nac, apellido_p, "
      "apellido_m, nombre_1, sexo, ind_domicilio, tipo, pension) VALUES (6, ?, ?, ?, ?, ?, '1980-01-01', ?, 'X', ?, ?, "
      "1, ?, ?)",
      {ruc, correl, category, tipDoc, doc, apellidoP, nombre, sexo, tipo, pension});
  db.run(
      "INSERT INTO ASEG_DET_LAB (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, situac, tipo, "
      "pension) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?)",
      {ruc, correl, category, tipDoc, doc, situac, tipo, pension});
  return *this;
}

RegistryBuilder& RegistryBuilder::period(const std::string& ruc, long correl, int category, int tipDoc,
                                         const std::string& doc, const std::string& tipo, const std::string& fecIni,
                                         const std::string& fecFin) {
  db.run(
      "INSERT INTO PERIODOLAB (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, fec_ini, fec_fin, "
      "tipo) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?)",
      {ruc, correl, category, tipDoc, doc, fecIni, fecFin.empty() ? data::Value() : data::Value(fecFin), tipo});
  return *this;
}

RegistryBuilder& RegistryBuilder::user(const std::string& name, const std::string& tipo) {
  db.run("INSERT INTO CLAVES (Usuario, tipo) VALUES (?, ?)", {name, tipo});
  return *this;
}

}  // namespace korventa::test
