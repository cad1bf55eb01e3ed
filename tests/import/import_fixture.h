#pragma once
// A declaration of 06/2012 with workers, a pensioner, providers, trainees, personnel of third
// parties, establishments, rates and intermediation companies for the import files of
// tests/data/import.
#include <filesystem>
#include <string>

#include "detail/days_fixture.h"
#include "determination/working_fixture.h"
#include "import/importer.h"
#include "support/cli_runner.h"

namespace korventa::test {

inline std::filesystem::path importData(const std::string& name) {
  return std::filesystem::path(KORVENTA_TEST_DATA_DIR) / "import" / name;
}

class ImportFixture : public WorkingFixture {
 public:
  ImportFixture() : WorkingFixture("201206") {
    auto& db = t.db();
    t.session().paths.tmpDir = (t.dir() / "TMP").string() + "/";
    t.session().paths.rptDir = (t.dir() / "RPT").string();
    std::filesystem::create_directories(t.dir() / "RPT");
    p1 = person("41000001", {.tipo = "21", .pension = 21, .sctr = 1});
    p2 = person("41000002", {.tipo = "67", .pension = 2});
    p3 = person("41000003", {.tipo = "21", .pension = 2, .domicilio = "2"});
    p4 = person("41000004", {.tipo = "98", .pension = 2, .sctr = 1});
    p5 = person("41000005", {.tipo = "21", .pension = 2, .situac = "18", .sctr = 1});
    pen = person("06000001", {.tipo = "24", .pension = 2, .category = 2});
    const std::string ruc = decl.ruc;
    RegistryBuilder reg{db};
    reg.person(ruc, 101, 3, 1, "42000001", "PROVEEDOR", "UNO", "", "", 0);
    reg.person(ruc, 102, 3, 7, "PAS12345", "EXTRANJERO", "DOS", "", "", 0);
    reg.person(ruc, 103, 5, 1, "72000001", "PRACTICANTE", "TRES", "", "", 0);
    db.run("UPDATE ASEGVKRS SET ind_domicilio = CASE WHEN doc_id_a = 'PAS12345' THEN '2' ELSE '1' END");
    db.run(
        "INSERT INTO TMPF601MFCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
        "tip_doc_a, doc_id_a, APELLIDO_P, NOMBRE_1, mto_renta) VALUES (6, ?, '201206', '0601', 103, 5, 'O', 1, "
        "'72000001', 'PRACTICANTE', 'TRES', '')",
        {ruc});
    db.run(
        "INSERT INTO TEMP2_F601 (tip_doc_d, doc_id_d, CORREL_A, DOC_ID_A, TIP_DOC, NOMBRE, tip_doc_a) VALUES "
        "(6, ?, 104, '45000001', 'DNI', 'TERCERO CUATRO', 1)",
        {ruc});
    db.run("INSERT INTO LOCAL VALUES (6, ?, 1, 'PLANTA NORTE', '05', ?, 1)", {ruc, ruc});
    db.run("INSERT INTO LOCAL VALUES (6, ?, 6, 'TALLER DE TERCEROS', '05', '20548761230', 1)", {ruc});
    db.run("INSERT INTO COR_TASAS_601 VALUES (6, ?, ?, 1, 1, 1.53)", {ruc, ruc});
    db.run("INSERT INTO INTERMEDIACION VALUES (6, ?, '20548761230', 'INTERMEDIARIA S.A.C.', 1)", {ruc});
    db.run("INSERT INTO INTERMEDIACION VALUES (6, ?, '20601123453', 'TERCERIZADORA S.A.C.', 2)", {ruc});
  }

  import::FileResult run(import::Kind kind, const std::string& dataFile, import::Form form = import::Form::TranPer) {
    import::Importer importer(t.session(), decl, form);
  return importer.importFile(kind, importData(dataFile));
} import::FileResult runBytes(import::Kind kind, const std::string& bytes, const std::string& name = "prueba.rem",
                              import::Form form = import::Form::TranPer) {
  import::Importer importer(t.session(), decl, form);
  return importer.importBytes(kind, bytes, name);
}

PersonKey p1, p2, p3, p4, p5, pen;
};  // namespace korventa::test

}  // namespace korventa::test
