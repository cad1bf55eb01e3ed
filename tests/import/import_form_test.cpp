// The import forms' run: files of the directory, order, messages and question, the error
// listing with its sub-totals, registered in SPOOL.
#include <gtest/gtest.h>

#include <fstream>

#include "import/import_form.h"
#include "import_fixture.h"
#include "support/recording_progress.h"

namespace korventa::test {
namespace {

using import::Form;
using import::ImportForm;
using import::Kind;

class ImportFormTest : public ImportFixture, public ::testing::Test {
 protected:
  std::filesystem::path dir() { return t.dir() / "archivos"; }
  void write(const std::string& ext, const std::string& content) {
    std::filesystem::create_directories(dir());
    std::ofstream(dir() / ("0601" + decl.ruc + "201206." + ext), std::ios::binary) << content;
  }
  int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
  }
};

TEST_F(ImportFormTest, WorkersFilesRunInTheirOrderWithTheirMessages) {
  write("rem", "01|41000001|0121|100.00|100.00|\r\n");
  write("jor", "01|41000001|160|30|10|0|\r\n");
  write("TES", "01|41000001|" + decl.ruc + "|1|1.53|\r\n");  // upper-case extension on disk
  write("pen", "01|06000001|0912|1.00|1.00|\r\n");
  std::ofstream(dir() / "otro.txt") << "x";
  ImportForm f(t.session(), decl, Form::TranPer, kWorker);
  EXPECT_EQ(f.caption(), "Detalle de remuneración");
  EXPECT_EQ(f.pattern(), "*.JOR;*.TES;*.SUB;*.NOT;*.REM");
  f.setDirectory(dir());
  EXPECT_EQ(f.files().size(), 3u);  // .rem .jor .TES; not .pen nor .txt
  EXPECT_TRUE(f.checked(Kind::Rem));
  EXPECT_FALSE(f.checked(Kind::Sub));
  auto results = f.cmdTransferir_Click();
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].kind, Kind::Jor);
  EXPECT_EQ(results[1].kind, Kind::Tes);
  EXPECT_EQ(results[2].kind, Kind::Rem);
  auto texts = t.messenger().texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Archivo : 0601" + decl.ruc + "201206.jor transferido");
  EXPECT_EQ(texts[1], "Archivo : 0601" + decl.ruc + "201206.TES transferido");
  EXPECT_EQ(f.lblTransferidos(), "3 Transferidos");  // all three files
  EXPECT_EQ(f.lblRechazados(), "0 Rechazados");
  ImportForm pens(t.session(), decl, Form::TranPer, kPensioner);
  pens.setDirectory(dir());
  EXPECT_EQ(pens.files(), std::vector<std::string>{"0601" + decl.ruc + "201206.pen"});

  // Nothing ticked.
  t.messenger().clear();
  ImportForm mf(t.session(), decl, Form::ImportMF, kTrainee);
  std::ofstream(dir() / "otro.for") << "01|72000001|1|\r\n";
  mf.setDirectory(dir());
  EXPECT_TRUE(mf.files().empty());  // only the declaration's own ".for" and ".mfe"
  EXPECT_TRUE(mf.cmdTransferir_Click().empty());
  EXPECT_EQ(t.messenger().last(), "Debe seleccionar por lo menos un archivo a importar");
}

TEST_F(ImportFormTest, RejectionsAskForTheListingWithSubTotalsEvery69Errors) {
  std::string lines;
  for (int i = 0; i < 150; ++i) lines += "01|4999" + std::to_string(1000 + i) + "|0121|1.00|1.00|\r\n";
  lines += "01|41000001|0121|1.00|1.00|\r\n";
  write("rem", lines);
  ImportForm f(t.session(), decl, Form::TranPer, kWorker);
  f.setDirectory(dir());
  std::vector<std::filesystem::path> shown;
  f.showListing = [&](const std::filesystem::path& p) { shown.push_back(p); };
  t.messenger().queueAnswer(Answer::Yes);
  auto results = f.cmdTransferir_Click();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(f.lblTransferidos(), "1 Transferidos");
  EXPECT_EQ(f.lblRechazados(), "150 Rechazados");
  const auto& q = t.messenger().entries().back();
  EXPECT_TRUE(q.question);
  EXPECT_EQ(q.text, "0601" + decl.ruc +
                        "201206.rem: ¡Algunos registros han sido rechazados!\n¿Desea visualizar reporte de errores?");
  EXPECT_EQ(q.title, "Confirmar");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(t.db().text("SELECT Archivo FROM SPOOL WHERE CodRep = 'PR0043'"), shown[0].filename().string());

  std::string prn = slurp(shown[0]);
  EXPECT_EQ(count(prn, "Sub-Total de Errores:  69|"), 1);
  EXPECT_EQ(count(prn, "Sub-Total de Errores:  138|"), 1);
  EXPECT_EQ(count(prn, "Sub-Total de Errores:"), 2);
  EXPECT_EQ(count(prn, "Total de Errores:      150|"), 1);
  EXPECT_EQ(count(prn, "REPORTE DE ERRORES DE TRANSFERENCIA - PERIODO 201206"), 3);
  EXPECT_EQ(count(prn, "<!nHojas!>3<!/nHojas!>"), 1);
  // Each block of 69 errors has a page of its own under its header, as announced.
  EXPECT_EQ(count(prn, "pNuevaHoja"), 2);
  auto line70 = prn.find("|                        70 01 49991069");
  ASSERT_NE(line70, std::string::npos);
  EXPECT_LT(prn.find("|                        69 01 49991068"), prn.find("pNuevaHoja"));
  EXPECT_GT(line70, prn.find("pNuevaHoja"));
  // Every error line is drawn 20 blanks in, with the document and the message.
  EXPECT_EQ(count(prn, "|                         1 01 49991000        0908 No esta registrado este trabajador|"), 1);
  EXPECT_EQ(count(prn, "0908 No esta registrado este trabajador|"), 150);

  // No: nothing is written.
  t.messenger().clear();
  t.messenger().queueAnswer(Answer::No);
  shown.clear();
  f.cmdTransferir_Click();
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(t.db().integer("SELECT count(*) FROM SPOOL"), 1);
}

// Each file's question names it, and the counters add up file by file: what the form shows
// when a question is up includes that file and those before it.
TEST_F(ImportFormTest, CountersAddUpFileByFileAndEachQuestionNamesItsFile) {
  write("jor", "01|41000001|160|30|10|0|\r\n01|49990001|160|0|0|0|\r\n");  // 1 + 1 rejected
  write("rem", "01|41000001|0121|1.00|1.00|\r\n01|49990002|0121|1.00|1.00|\r\n01|49990003|0121|1.00|1.00|\r\n");
  write("not", "01|41000001|x|\r\n");  // wrong number of fields: refused whole
  ImportForm f(t.session(), decl, Form::TranPer, kWorker);
  f.setDirectory(dir());
  std::vector<std::string> seen;
  f.countsChanged = [&] { seen.push_back(f.lblTransferidos() + " / " + f.lblRechazados()); };
  t.messenger().queueAnswer(Answer::No);
  t.messenger().queueAnswer(Answer::No);
  auto results = f.cmdTransferir_Click();
  ASSERT_EQ(results.size(), 3u);  // .jor, .not, .rem
  EXPECT_EQ(seen, (std::vector<std::string>{"1 Transferidos / 1 Rechazados", "1 Transferidos / 1 Rechazados",
                                            "2 Transferidos / 3 Rechazados"}));
  std::vector<std::string> questions;
  for (const auto& e : t.messenger().entries())
    if (e.question) questions.push_back(e.text);
  const std::string rest = ": ¡Algunos registros han sido rechazados!\n¿Desea visualizar reporte de errores?";
  EXPECT_EQ(questions, (std::vector<std::string>{"0601" + decl.ruc + "201206.jor" + rest,
                                                 "0601" + decl.ruc + "201206.rem" + rest}));
  EXPECT_EQ(f.lblTransferidos(), "2 Transferidos");
  EXPECT_EQ(f.lblRechazados(), "3 Rechazados");
}

TEST_F(ImportFormTest, ProvidersQuestionNamesTheLogFile) {
  write("4ta", "01|42000009|R|0001|1|10.00|01/06/2012|02/06/2012|1|\r\n");
  ImportForm f(t.session(), decl, Form::Transferencia, kProvider);
  f.setDirectory(dir());
  t.messenger().queueAnswer(Answer::No);
  auto r = f.cmdTransferir_Click();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(t.messenger().last(), "0601" + decl.ruc +
                                      "201206.4ta: !Algunos registros han sido rechazados!\nVerifique Archivo Log: " +
                                      r[0].logFile.string() + "\n¿Desea visualizar reporte de errores?");
  EXPECT_EQ(slurp(r[0].logFile), "01|42000009|R|0001|1|10.00|01/06/2012|02/06/2012|1|\r\n");
  EXPECT_EQ(f.lblResultado(), "Independientes : 0");
}

TEST(ImportResultLine, OneLinePerFile) {
  struct Case {
    const char* name;
    bool refused;
    int transferred, rejected, skipped;
    const char* line;
  } cases[] = {
      {"refused", true, 0, 0, 0, "0601.jor: no transferido"},
      {"transferred", false, 3, 1, 0, "0601.jor: 3 transferidos, 1 rechazados"},
      {"with skipped lines", false, 3, 0, 2, "0601.jor: 3 transferidos, 0 rechazados, 2 omitidos"},
  };
  for (const auto& c : cases) {
    import::FileResult r;
    r.file = "/tmp/datos/0601.jor";
    r.refused = c.refused;
    r.transferred = c.transferred;
    r.rejected = c.rejected;
    r.skipped = c.skipped;
    EXPECT_EQ(import::resultLine(r), c.line) << c.name;
  }
}

TEST_F(ImportFormTest, CancelledRunLeavesTheDeclarationAsItWasAndSaysSo) {
  write("jor", "01|41000001|160|30|10|0|\r\n");
  write("rem", "01|41000001|0121|100.00|100.00|\r\n01|41000003|0121|200.00|200.00|\r\n");
  auto dumpWorking = [&] {
    std::string out;
    for (const char* table : {"TEMP1_F601", "TMPF601CONCEP", "TMP_ESTTURNOS_JL", "TMPF601DIAS_NOLAB"})
      for (const auto& r : t.db().rows(std::string("SELECT * FROM ") + table + " ORDER BY rowid")) {
        for (std::size_t i = 0; i < r.size(); ++i) out += r.text(i) + "|";
        out += "\n";
      }
    return out;
  };
  const std::string before = dumpWorking();
  ImportForm f(t.session(), decl, Form::TranPer, kWorker);
  f.setDirectory(dir());
  // Cancelled on the second line of the second file: the first file, already through, goes too.
  RecordingProgress cancel(steps::importing("0601" + decl.ruc + "201206.rem"), 1);
  auto results = f.cmdTransferir_Click(cancel);
  EXPECT_TRUE(f.cancelled());
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(f.lblTransferidos(), "0");
  EXPECT_EQ(f.lblRechazados(), "0");
  EXPECT_EQ(t.messenger().last(), kCancelledText);
  EXPECT_EQ(dumpWorking(), before);

  // The same run, not cancelled, imports both files and counts each to its end.
  t.messenger().clear();
  RecordingProgress seen;
  results = f.cmdTransferir_Click(seen);
  EXPECT_FALSE(f.cancelled());
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(f.lblTransferidos(), "3 Transferidos");
  EXPECT_NE(dumpWorking(), before);
  ASSERT_EQ(seen.steps.size(), 2u);
  EXPECT_EQ(seen.steps[0].text, steps::importing("0601" + decl.ruc + "201206.jor"));
  EXPECT_EQ(seen.steps[1].counts.back(), (std::pair<long long, long long>{2, 2}));
}

}  // namespace
}  // namespace korventa::test
