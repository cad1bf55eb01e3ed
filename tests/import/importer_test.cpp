// Every kind of import file against a small declaration: which lines pass, which are rejected
// with which code, what is written, and what a refused file leaves behind.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "import/import_errors.h"
#include "import_fixture.h"

namespace korventa::test {
namespace {

using import::Form;
using import::Kind;

struct Case {
  const char* name;
  const char* file;
  Kind kind;
  Form form;
  int transferred;
  int skipped;
  std::vector<std::pair<std::size_t, std::string>> rejected;  // line, code
};

class ImporterTest : public ImportFixture, public ::testing::Test {};

TEST_F(ImporterTest, EveryFileKindAcceptsAndRejectsLineByLine) {
  const std::vector<Case> cases = {
      {"concepts of workers",
       "cases.rem",
       Kind::Rem,
       Form::TranPer,
       3,
       0,
       {{3, "0914"},  {4, "0915"},  {5, "0900"},  {6, "0901"},  {7, "0934"},  {8, "0924"},  {9, "0928"},  {10, "0929"},
        {11, "0930"}, {12, "0927"}, {13, "0926"}, {14, "0931"}, {15, "0908"}, {16, "0954"}, {17, "0943"}, {18, "0960"},
        {19, "0959"}, {20, "0962"}, {21, "0963"}, {22, "0937"}, {23, "0944"}, {24, "0945"}, {26, "0900"}}},
      {"concepts of pensioners", "cases.pen", Kind::Pen, Form::TranPer, 1, 0, {{1, "0946"}, {3, "0908"}}},
      {"hours",
       "cases.jor",
       Kind::Jor,
       Form::TranPer,
       1,
       2,
       {{2, "0910"},
        {3, "0906"},
        {4, "0949"},
        {5, "0909"},
        {6, "0952"},
        {7, "0918"},
        {8, "0947"},
        {9, "0919"},
        {10, "0948"},
        {11, "0911"}}},
      {"subsidised suspensions",
       "cases.sub",
       Kind::Sub,
       Form::TranPer,
       2,
       1,
       {{2, "0938"},
        {3, "0922"},
        {4, "0912"},
        {5, "0916"},
        {6, "0920"},
        {7, "0905"},
        {8, "0903"},
        {9, "0904"},
        {10, "0907"},
        {11, "0941"},
        {12, "0939"}}},
      {"other suspensions", "cases.not", Kind::Not, Form::TranPer, 1, 1, {{2, "0938"}, {3, "0912"}, {4, "0940"}}},
      {"establishments",
       "cases.tes",
       Kind::Tes,
       Form::TranPer,
       1,
       0,
       {{2, "0932"}, {3, "0921"}, {4, "0935"}, {5, "0936"}, {6, "0957"}, {7, "0955"}, {8, "0956"}}},
      {"receipts",
       "cases.4ta",
       Kind::Cuarta,
       Form::Transferencia,
       5,
       0,
       {{5, "0940"}, {6, "0939"}, {7, "0934"}, {8, "0936"}, {9, "0941"}, {10, "1125"}, {12, "0935"}}},
      {"trainee premises",
       "cases.mfe",
       Kind::Mfe,
       Form::ImportMF,
       2,
       0,
       {{3, "0942"}, {4, "0941"}, {5, "0943"}, {6, "0944"}, {7, "0937"}}},
      {"trainee amounts", "cases.for", Kind::ForMF, Form::ImportMF, 2, 0, {{3, "0940"}, {4, "0937"}, {5, "0938"}}},
      {"third parties",
       "cases.sct",
       Kind::Sct,
       Form::TransPT,
       1,
       0,
       {{2, "0908"}, {3, "0924"}, {4, "0933"}, {5, "0934"}, {6, "0935"}, {7, "0932"}, {8, "0928"}, {9, "0930"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = run(c.kind, c.file, c.form);
    ASSERT_FALSE(r.refused) << r.refusal;
    EXPECT_EQ(r.transferred, c.transferred);
    EXPECT_EQ(r.skipped, c.skipped);
    std::vector<std::pair<std::size_t, std::string>> got;
    for (const auto& e : r.errors) got.emplace_back(e.line, e.code);
    EXPECT_EQ(got, c.rejected);
    EXPECT_EQ(r.rejected, static_cast<int>(c.rejected.size()));
    // Each rejection is one line of the ".Err" file with the form's message.
    std::string err = slurp(r.errFile);
    import::ErrorCatalog catalog(t.db(), c.form);
    for (const auto& e : r.errors) EXPECT_NE(err.find(e.code + " " + catalog.message(e.code)), std::string::npos);
  }
}

TEST_F(ImporterTest, ConceptAmountsAreWrittenOncePerPersonAndConcept) {
  auto r = run(Kind::Rem, "cases.rem");
  ASSERT_EQ(r.transferred, 3);
  // "1" is read as document type "01"; the second line of the same concept replaces the first.
  EXPECT_EQ(conceptText(p1, "0121"), "1500.00");
  EXPECT_EQ(conceptText(p1, "0121", "monto_pag"), "1500.00");
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF601CONCEP WHERE doc_id_a = '41000001' AND codigo = '0121'"), 1);
  // Blanks around an amount are trimmed and amounts take two decimals.
  EXPECT_EQ(conceptText(p1, "0105"), "250.50");
  EXPECT_EQ(conceptText(p1, "0105", "monto_pag"), "0.00");
  // Nothing of a rejected line is written.
  EXPECT_FALSE(t.db().exists("SELECT 1 FROM TMPF601CONCEP WHERE doc_id_a = ? AND codigo = '0106'", {p1.doc_id_a}));
  ASSERT_EQ(r.affected.size(), 1u);
  EXPECT_EQ(r.affected[0], p1);
}

TEST_F(ImporterTest, HoursDaysAndEstablishmentsReachTheWorkingRows) {
  run(Kind::Jor, "cases.jor");
  EXPECT_EQ(summary(p1, "horas_nor"), "160.50");
  EXPECT_EQ(summary(p1, "horas_sob"), "10.00");
  EXPECT_EQ(summary(p4, "horas_nor"), "");  // type 98 takes no hours

  run(Kind::Sub, "cases.sub");
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF600SUBSID WHERE doc_id_a = '41000001'"), 2);
  EXPECT_EQ(summary(p1, "dias_sub"), "16");  // 10 + 6 days of June
  EXPECT_EQ(t.db().text("SELECT dias_citt FROM TMPF601DIAS_NOLAB WHERE num_citt = 'A-1'"), "10");

  run(Kind::Not, "cases.not");
  EXPECT_EQ(summary(p1, "dias_no_lab"), "3");

  run(Kind::Tes, "cases.tes");
  EXPECT_EQ(t.db().integer("SELECT Indica FROM TMP_ESTTURNOS_JL WHERE doc_id_a = '41000001' AND cod_est = 1"), 1);
  EXPECT_EQ(rowTexts(t.db().row("SELECT ruc, tasa, correl_centro, correl_tasa, centro FROM TMP_F601_SCTR_OTRO WHERE "
                                "doc_id_a = '41000001'")),
            (std::vector<std::string>{decl.ruc, "1.53", "1", "1", "PLANTA NORTE"}));
}

TEST_F(ImporterTest, ReceiptRetentionByDomicileAndIndicator) {
  auto r = run(Kind::Cuarta, "cases.4ta", Form::Transferencia);
  EXPECT_EQ(r.providers, 2);
  struct Expect {
    const char* num;
    const char* por;
    const char* mto;
  };
  // Domiciled: 10 % with the indicator, 0 without; not domiciled: 24 % whatever the indicator.
  for (const auto& e : {Expect{"100", "10", "100.00"}, Expect{"101", "0", "0.00"}, Expect{"200", "24", "240.00"},
                        Expect{"201", "24", "120.00"}, Expect{"106", "10", "100.00"}}) {
    SCOPED_TRACE(e.num);
    auto row = t.db().row("SELECT por_rta, mto_rta, mto_rec FROM TMPF621RDDET WHERE num_rec = ?", {e.num});
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text(0), e.por);
    EXPECT_EQ(row->text(1), e.mto);
    // The same receipt is one of the provider's vouchers of the declaration.
    EXPECT_EQ(t.db().text("SELECT mto_rta FROM TMPF601RDDET WHERE num_rec = ?", {e.num}), e.mto);
  }
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF601RDCAB WHERE cod_cat_tra = 3"), 2);
  EXPECT_EQ(t.db().text("SELECT Des_Pat FROM TMPF601RDCAB WHERE doc_id_a = 'PAS12345'"), "EXTRANJERO");
  // A receipt stored with the declaration is a duplicate too.
  t.db().run(
      "INSERT INTO F621RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, num_doc_ret, "
      "tip_doc_ret, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec) VALUES (6, ?, '201206', "
      "'0601', 101, 3, '42000001', 1, 'R', '0001', '900', '05/06/2012', '15/06/2012', '1000.00')",
      {decl.ruc});
  r = runBytes(Kind::Cuarta, "01|42000001|R|0001|900|1000.00|05/06/2012|15/06/2012|1|\r\n", "x.4ta",
               Form::Transferencia);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].code, "0940");
  EXPECT_EQ(r.errors[0].message,
            "El comprobante ya ha sido registrado, o esta duplicado en el archivo de importación.");
}

TEST_F(ImporterTest, TraineesAndThirdParties) {
  run(Kind::ForMF, "cases.for", Form::ImportMF);
  EXPECT_EQ(t.db().text("SELECT mto_renta FROM TMPF601MFCAB WHERE doc_id_a = '72000001'"), "750.50");
  run(Kind::Mfe, "cases.mfe", Form::ImportMF);
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF601_ESTABMF WHERE doc_id_a = '72000001' AND cod_estab = 6"), 1);
  run(Kind::Sct, "cases.sct", Form::TransPT);
  EXPECT_EQ(
      rowTexts(t.db().row("SELECT Ruc, centro, Tasa, rem_sctrs, sctrs, Correl_centro, Correl_tasa FROM TEMP2_F601")),
      (std::vector<std::string>{decl.ruc, "PLANTA NORTE", "1.53", "2500.00", "38.25", "1", "1"}));

  auto r = runBytes(Kind::ForTrans, "01|72000001|900.00|\r\n01|72000001|950.00|\r\n01|42000001|1|\r\n", "x.for",
                    Form::Transferencia);
  EXPECT_EQ(r.transferred, 2);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].code, "0937");
  // The trainee's payment row is replaced, not added.
  EXPECT_EQ(t.db().text("SELECT group_concat(mto_rec) FROM TMPF621RDDET WHERE cod_cat_tra = 5"), "950.00");
}

TEST_F(ImporterTest, AWrongFileIsRefusedWholeBeforeAnyRecord) {
  struct Refusal {
    const char* name;
    const char* file;  // a file of the test data, or nullptr for the bytes of "prueba.rem"
    std::string bytes;
    Kind kind;
    Form form;
    const char* message;  // the whole message of a test file; the start of it for given bytes
    const char* title;
  };
  constexpr const char* kFields = "El archivo de importación no tiene el número de campos correctos";
  constexpr const char* kFileError = "Error en archivo de importación";
  for (const auto& c : {
           Refusal{"sixth bar", "sixth_bar.rem", "", Kind::Rem, Form::TranPer, kFields, "Error"},
           Refusal{"no terminator", "no_terminator.rem", "", Kind::Rem, Form::TranPer,
                   "Cada línea del archivo debe terminar con el separador |", kFileError},
           Refusal{"two bars in a .for", "two_bars.for", "", Kind::ForMF, Form::ImportMF, kFields, "Error"},
           Refusal{"empty", nullptr, "", Kind::Rem, Form::TranPer, "El archivo \"prueba.rem\" está vacío.", kFileError},
           Refusal{"only blanks", nullptr, " \r\n\r\n", Kind::Rem, Form::TranPer,
                   "El archivo \"prueba.rem\" está vacío.", kFileError},
           Refusal{"binary", nullptr, std::string("01|41000001|0121|1|1|\n\x00\x01\x02\xff", 26), Kind::Rem,
                   Form::TranPer, "El archivo \"prueba.rem\" no es un archivo de texto (línea 2)", kFileError},
           Refusal{"long line", nullptr, std::string(5000, '7') + "|\n", Kind::Rem, Form::TranPer,
                   "La línea 1 del archivo \"prueba.rem\" es demasiado larga", kFileError},
       }) {
    SCOPED_TRACE(c.name);
    t.messenger().clear();
    auto r = c.file ? run(c.kind, c.file, c.form) : runBytes(c.kind, c.bytes);
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(r.transferred, 0);
    ASSERT_EQ(t.messenger().entries().size(), 1u);
    EXPECT_EQ(t.messenger().entries()[0].text.rfind(c.message, 0), 0u) << t.messenger().last();
    if (c.file) {
      EXPECT_EQ(t.messenger().entries()[0].text, c.message);
    }
    EXPECT_EQ(t.messenger().entries()[0].title, c.title);
    EXPECT_EQ(t.messenger().entries()[0].icon, MsgIcon::Critical);
  }
  EXPECT_FALSE(t.db().exists("SELECT 1 FROM TMPF601CONCEP WHERE doc_id_a = ? AND codigo = '0121'", {p1.doc_id_a}));
  EXPECT_EQ(t.db().text("SELECT mto_renta FROM TMPF601MFCAB"), "");

  t.messenger().clear();
  run(Kind::Rem, "no_such_file.rem");
  EXPECT_EQ(t.messenger().last(), "En la ruta indicada, no se encuentra el archivo a transferir, verifique la ruta");
}

TEST_F(ImporterTest, AFailureHalfWayLeavesTheWorkingSetAsBeforeAndARetryWritesTheWholeFile) {
  // The second certificate cannot be written: the first one must not stay behind either.
  t.db().script(
      "CREATE TEMP TRIGGER fail_citt BEFORE INSERT ON TMPF601DIAS_NOLAB WHEN NEW.num_citt = 'A-7' "
      "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END;");
  auto r = run(Kind::Sub, "cases.sub");
  EXPECT_TRUE(r.refused);
  EXPECT_EQ(r.transferred, 0);
  EXPECT_TRUE(r.affected.empty());
  EXPECT_EQ(t.messenger().last(), "Error Tecnico:disco lleno");
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF601DIAS_NOLAB"), 0);
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF600SUBSID"), 0);
  EXPECT_EQ(summary(p1, "dias_sub"), "");
  t.db().script("DROP TRIGGER fail_citt");
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM sqlite_temp_master WHERE type = 'trigger' AND name = 'fail_citt'"), 0);
  r = run(Kind::Sub, "cases.sub");
  EXPECT_FALSE(r.refused) << r.refusal;
  EXPECT_EQ(r.transferred, 2);
  EXPECT_EQ(summary(p1, "dias_sub"), "16");
}

// A large concept file adds its rows with the concept table's indexes built once at the end: a
// concept repeated in the file keeps its last amount in one row, and both indexes are back.
TEST_F(ImporterTest, ALargeConceptFileKeepsOneRowPerConceptAndTheIndexes) {
  std::string file;
  for (int i = 0; i < 2100; ++i) {
    std::string amount = std::to_string(1000 + i) + ".00";
    file += "01|41000001|0121|" + amount + "|" + amount + "|\r\n";
  }
  file += "01|41000001|0105|10.00|10.00|\r\n";
  import::Importer importer(t.session(), decl, Form::TranPer);
  auto r = importer.importBytes(Kind::Rem, file, "big.rem");
  ASSERT_FALSE(r.refused) << r.refusal;
  EXPECT_EQ(r.transferred, 2101);
  EXPECT_EQ(conceptText(p1, "0121"), "3099.00");
  EXPECT_EQ(conceptText(p1, "0105"), "10.00");
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM TMPF601CONCEP WHERE doc_id_a = '41000001' AND codigo IN ('0121', "
                           "'0105')"),
            2);
  EXPECT_EQ(
      t.db().integer("SELECT count(*) FROM sqlite_temp_master WHERE type = 'index' AND name = 'IDX_TMPF601CONCEP'"), 1);
}

TEST_F(ImporterTest, TextInAnyEncodingAndLineEnd) {
  struct Variant {
    const char* name;
    std::string bytes;
  };
  const std::string line1 = "01|41000001|0121|100.00|100.00|", line2 = "01|41000001|0105|5|5|";
  for (const auto& v :
       {Variant{"LF", line1 + "\n" + line2 + "\n"}, Variant{"CR LF", line1 + "\r\n" + line2 + "\r\n"},
        Variant{"CR", line1 + "\r" + line2 + "\r"}, Variant{"BOM, no end", "\xEF\xBB\xBF" + line1 + "\r\n" + line2},
        Variant{"blank lines", "\r\n" + line1 + "\r\n   \r\n" + line2 + "\r\n\r\n"}}) {
    SCOPED_TRACE(v.name);
    auto r = runBytes(Kind::Rem, v.bytes);
    EXPECT_FALSE(r.refused) << r.refusal;
    EXPECT_EQ(r.transferred, 2);
    EXPECT_EQ(r.rejected, 0);
  }
  // A Windows-1252 "Ñ" in a passport number is read as the letter, and the rejection shows it.
  auto r = runBytes(Kind::Rem,
                    "07|ABC\xD1"
                    "12|0121|1|1|\r\n");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].docId, "ABCÑ12");
}

// What a line's document, worker type and concept give is remembered from line to line: the
// answer must still be the one of each line's own document and type, in any order.
TEST_F(ImporterTest, EachLineJudgedOnItsOwnDocumentAndWorkerType) {
  struct Line {
    const char* name;
    const char* text;
    const char* code;  // "" = transferred
  };
  const std::vector<Line> lines = {
      {"type 21 takes 0105", "01|41000001|0105|5.00|5.00|", ""},
      {"type 98 does not", "01|41000004|0105|5.00|5.00|", "0924"},
      {"type 21 again", "01|41000001|0105|6.00|6.00|", ""},
      {"type 67 takes 2040", "01|41000002|2040|1.00|1.00|", ""},
      {"type 21 does not", "01|41000001|2040|1.00|1.00|", "0924"},
      {"same number, type not in the list", "09|41000001|0121|1.00|1.00|", "0900"},
      {"same number, no type", "|41000001|0121|1.00|1.00|", "0914"},
      {"same number, type 1 written short", "1|41000001|0121|1.00|1.00|", ""},
      {"same type, number not of a DNI", "01|4100000A|0121|1.00|1.00|", "0901"},
      {"same type, a worker not in the declaration", "01|41000009|0121|1.00|1.00|", "0908"},
      {"back to a known worker", "01|41000003|0121|1.00|1.00|", ""},
  };
  std::string bytes;
  for (const auto& l : lines) bytes += std::string(l.text) + "\r\n";
  auto r = runBytes(Kind::Rem, bytes);
  ASSERT_FALSE(r.refused) << r.refusal;
  std::vector<std::string> got(lines.size());
  for (const auto& e : r.errors) got.at(e.line - 1) = e.code;
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(got[i], lines[i].code) << lines[i].name;
}

// Concept 0805 needs the SCTR-pension mark: the working row's, or else the registry's.
TEST_F(ImporterTest, SctrPensionMarkOfTheWorkingRowOrElseOfTheRegistry) {
  RegistryBuilder{t.db()}.person(decl.ruc, static_cast<long>(p1.correl_a), 1, 1, "41000001", "TRABAJADOR", "UNO", "21",
                                 "11", 21);
  struct Case {
    const char* name;
    const char* working;   // TEMP1_F601.sctr_pension
    const char* registry;  // ASEG_DET_LAB.sctr_pension
    const char* code;      // "" = transferred
  };
  for (const auto& c :
       {Case{"marked in the working row", "1", "NULL", ""}, Case{"marked only in the registry", "0", "1", ""},
        Case{"working row without a value", "NULL", "1", ""}, Case{"marked nowhere", "0", "0", "0945"},
        Case{"no value anywhere", "NULL", "NULL", "0945"},
        Case{"the working row's other mark wins", "2", "1", "0945"}}) {
    SCOPED_TRACE(c.name);
    t.db().run(std::string("UPDATE TEMP1_F601 SET sctr_pension = ") + c.working + " WHERE doc_id_a = '41000001'");
    t.db().run(std::string("UPDATE ASEG_DET_LAB SET sctr_pension = ") + c.registry + " WHERE doc_id_a = '41000001'");
    auto r = runBytes(Kind::Rem, "01|41000001|0805|5.00|5.00|\r\n");
    ASSERT_FALSE(r.refused) << r.refusal;
    EXPECT_EQ(r.errors.empty() ? "" : r.errors[0].code, c.code);
  }
}

}  // namespace
}  // namespace korventa::test
