// The printed declaration, its text variant, the exported reports, the workbook, the pay
// statements and the tax-base consultation, on the fixed declaration of printouts_fixture.
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "common/text.h"
#include "model/open_declaration.h"
#include "printouts/declaration_printout.h"
#include "printouts/exports.h"
#include "printouts/payslip.h"
#include "support/printouts_fixture.h"
#include "printouts/tax_base_consultation.h"
#include "printouts/individual_report_form.h"
#include "printouts/tax_base_consultation_form.h"
#include "reports/report_reader.h"
#include "reports/spool.h"

namespace korventa::printouts {
namespace {

using test::kPeriodo;
using test::kRuc;

class Printouts : public ::testing::Test {
 protected:
  void SetUp() override { test::buildFixedDeclaration(db_.db()); }
  Session& s() { return db_.session(); }
  StoredDeclaration decl(const std::string& correl = {}) {
    auto d = readDeclaration(s(), {kRuc, kPeriodo, correl});
    EXPECT_TRUE(d.has_value());
    return *d;
  }
  std::vector<std::string> lines(const std::filesystem::path& p) { return text::split(test::readFile(p), '\n'); }
  // Texts drawn on the preview pages of a report file.
  std::vector<std::vector<std::string>> pageTexts(const std::filesystem::path& p) {
    auto doc = reports::pDesencripta(p, "PresPrevia", reports::PageRange{}, db_.messenger());
    std::vector<std::vector<std::string>> out;
    for (const auto& page : doc->pages) {
      out.emplace_back();
      for (const auto& op : page.ops)
        if (op.kind == reports::DrawOp::Kind::Text) out.back().push_back(op.text);
    }
    return out;
  }
  static bool has(const std::vector<std::string>& v, const std::string& t) {
    return std::find(v.begin(), v.end(), t) != v.end();
  }
  test::TestDb db_;
};

TEST_F(Printouts, DeclarationWithAnnexesMatchesReference) {
  PrintChoice choice{PrintWhat::DeclaracionYAnexos, true, true};
  auto path = producePrintout(s(), decl(), choice);
  test::expectGolden(path, "declaracion_20100000001_201203.PRN");
  EXPECT_EQ(reports::LeeNroHojas(path), 6);  // two declaration pages and one per annex box
  auto pages = pageTexts(path);
  ASSERT_EQ(pages.size(), 6u);
  EXPECT_TRUE(has(pages[0], "Pag. 01/06"));
  EXPECT_TRUE(has(pages[5], "Pag. 06/06"));
  // The reference holds the labels of boxes 736 and 733, an invoice of an EPS missing from list
  // 701 and the negative compensation in parentheses; the reader finds the annexes in order.
  EXPECT_TRUE(has(pages[2], "Detalle de Casilla 602"));
  EXPECT_TRUE(has(pages[4], "Detalle de Casilla 612"));
  auto spool = s().database().row("SELECT CodRep, Secuencia FROM SPOOL");
  EXPECT_EQ(spool->text(0), "PR0040");
  EXPECT_EQ(spool->text(1), "000001");
}

TEST_F(Printouts, TextVariantMatchesReference) {
  auto dir = db_.dir() / "salida";
  auto path = writeDeclarationTextFile(s(), decl(), dir);
  ASSERT_TRUE(path);
  EXPECT_EQ(path->filename(), "ZEL0600_20100000001_201203.txt");
  test::expectGolden(*path, "ZEL0600_20100000001_201203.txt");
  ASSERT_EQ(db_.messenger().entries().size(), 1u);
  EXPECT_EQ(db_.messenger().entries()[0].text, "La declaración se encuentra en el directorio " + dir.string() +
                                                   " con el nombre: ZEL0600_20100000001_201203.txt");
}

TEST_F(Printouts, SentDeclarationPrintsControlAndOrderNumbers) {
  test::sendFixedDeclaration(s().database(), "1", "ABC123XYZ", "870012345");
  DeclarationPrintoutForm sent(s(), true);
  ASSERT_EQ(sent.requery().size(), 1u);
  EXPECT_EQ(sent.cells(sent.rows()[0]),
            (std::vector<std::string>{kRuc, "EMPRESA DE PRUEBA S.A.C.", "03/2012", "0601", "NO", "1", "870012345"}));
  auto page = pageTexts(*sent.producir(0))[0];
  EXPECT_TRUE(has(page, "Nro. Control: ABC123XYZ"));
  EXPECT_TRUE(has(page, "Nro. Orden: 870012345"));
  DeclarationPrintoutForm prepared(s(), false);
  prepared.requery();
  page = pageTexts(*prepared.producir(0))[0];
  EXPECT_TRUE(has(page, "Nro. Control: "));
  EXPECT_TRUE(has(page, "Nro. Orden: "));
}

TEST_F(Printouts, DeclarationOptionClearsAnnexes) {
  DeclarationPrintoutForm f(s(), false);
  f.requery();
  f.setOptImp(0);
  f.setChkAnexo(0, true);  // disabled: ignored
  EXPECT_FALSE(f.chkAnexo(0));
  f.setOptImp(2);
  f.setChkAnexo(0, true);
  f.setChkAnexo(1, true);
  f.setOptImp(0);
  EXPECT_FALSE(f.annexesEnabled());
  EXPECT_FALSE(f.chkAnexo(0));
  EXPECT_FALSE(f.chkAnexo(1));
  f.setOptImp(2);  // enabling again does not bring the ticks back
  EXPECT_FALSE(f.chkAnexo(0));
  reports::RangeDialogPlan plan;
  auto path = f.producir(0, &plan);
  EXPECT_EQ(reports::LeeNroHojas(*path), 2);
  EXPECT_TRUE(plan.openDialog);
  EXPECT_EQ(plan.lastPage, 2);
  // Annexes only: the pages start with the first annex.
  f.setOptImp(1);
  f.setChkAnexo(1, true);
  auto pages = pageTexts(*f.producir(0));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_TRUE(has(pages[0], "Detalle de Casilla 612"));
  EXPECT_TRUE(has(pages[1], "Detalle de Casilla 428"));
  // No row selected: nothing.
  EXPECT_FALSE(f.producir(5));
  EXPECT_FALSE(f.producir(-1));
}

TEST_F(Printouts, DeclarationOpenInTheFormPrintsItsWorkingInvoices) {
  model::OpenDeclaration open;
  open.ruc = kRuc;
  open.periodo = kPeriodo;
  open.name = "EMPRESA DE PRUEBA S.A.C.";
  s().database().run(
      "INSERT INTO TMPF600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, RUC_EPS, "
      "Periodo_fac, Num_Serie, Num_Fac, Imp_total, Imp_cred) VALUES (6, ?, ?, '0601', '602', "
      "'20514372251', '201202', '009', '777', '10', '1')",
      {kRuc, kPeriodo});
  DeclarationPrintoutForm f(s(), false, &open);
  f.requery();
  EXPECT_TRUE(f.isOpenInForm(0));
  f.setOptImp(1);
  f.setChkAnexo(0, true);
  auto pages = pageTexts(*f.producir(0));
  EXPECT_TRUE(has(pages[0], "777"));
  EXPECT_FALSE(has(pages[0], "5001"));  // the stored invoices are not what the form holds now
  // The stored invoices stay as they were, and so does the working table.
  EXPECT_EQ(s().database().integer("SELECT count(*) FROM F600INFEPS"), 3);
  EXPECT_EQ(s().database().integer("SELECT count(*) FROM TMPF600INFEPS"), 1);
  DeclarationPrintoutForm withoutForm(s(), false);
  withoutForm.requery();
  EXPECT_FALSE(withoutForm.isOpenInForm(0));
}

// The annex names each provider as the invoice list of the EPS form does.
TEST_F(Printouts, AnnexNamesProvidersAsTheEpsForm) {
  auto& db = s().database();
  db.run(
      "INSERT INTO EPS (tip_doc_d, doc_id_d, RUC_EPS, NOMBRE_EPS) VALUES (6, ?, '20600000011', 'CLÍNICA DEL "
      "DECLARANTE')",
      {kRuc});
  struct Case {
    const char* name;
    const char* casilla;
    const char* rucEps;
    const char* shown;
  } cases[] = {
      {"an EPS of list 701", "602", "20514372251", "PERSALUD S.A. EPS"},
      {"the declarant's own health service", "602", "20100000009", "SERVICIOS PROPIOS"},
      {"a provider of the declarant's own table", "612", "20600000011", "CLÍNICA DEL DECLARANTE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    db.run("DELETE FROM F600INFEPS");
    db.run(
        "INSERT INTO F600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, RUC_EPS, Periodo_fac, "
        "Num_Serie, Num_Fac, Imp_total, Imp_cred) VALUES (6, ?, ?, '0601', ?, ?, '201202', '001', '9', '10', '1')",
        {kRuc, kPeriodo, c.casilla, c.rucEps});
    auto pages = pageTexts(producePrintout(s(), decl(), PrintChoice{PrintWhat::Anexos, true, true}));
    ASSERT_EQ(pages.size(), 4u);
    const auto& page = pages[std::string(c.casilla) == "602" ? 0 : 2];
    EXPECT_TRUE(has(page, c.rucEps));
    EXPECT_TRUE(has(page, c.shown));
  }
}

TEST_F(Printouts, LongPrintoutProposesTenPages) {
  auto& db = s().database();
  for (int i = 0; i < 400; ++i)
    db.run(
        "INSERT INTO F600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, RUC_EPS, Periodo_fac, Num_Serie, "
        "Num_Fac, Imp_total, Imp_cred) VALUES (6, ?, ?, '0601', '408', '20514372251', '201202', '002', ?, '10', '1')",
        {kRuc, kPeriodo, std::to_string(10000 + i)});
  DeclarationPrintoutForm f(s(), false);
  f.requery();
  f.setOptImp(2);
  f.setChkAnexo(0, true);
  reports::RangeDialogPlan plan;
  auto path = f.producir(0, &plan);
  int expected = 2 + 1 + (400 + kAnnexRowsPerPage - 1) / kAnnexRowsPerPage;
  EXPECT_EQ(reports::LeeNroHojas(*path), expected);
  EXPECT_EQ(pageTexts(*path).size(), static_cast<std::size_t>(expected));
  EXPECT_TRUE(plan.openDialog);
  EXPECT_EQ(plan.caption, "Impresión por páginas");
  EXPECT_EQ(plan.totalPages, expected);
  EXPECT_EQ(plan.lastPage, 10);
}

TEST_F(Printouts, TextFilesMatchReferences) {
  ExportRequest req;
  for (const auto& r : reportCatalogue()) req.formats.push_back(r.number);
  req.dir = db_.dir() / "reportes";
  auto result = generateReports(s(), decl(), req);
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(db_.messenger().entries().empty());
  ASSERT_EQ(result.textFiles.size(), 15u);  // 20 to 35 without the pay statement
  // The references also show persons without rows left out (report 21 holds worker 1 only),
  // suspensions split by kind (29 and 30), the hours as h:mm, overtime summed (28), and a
  // contribution base without amount that the total of group 06 leaves out (22: worker 2's
  // total is his 395, not 4345).
  for (const auto& f : result.textFiles) {
    EXPECT_TRUE(text::startsWith(f.filename().string(), "PE_601_20100000001_"));
    test::expectGolden(f, f.filename().string());
  }
  EXPECT_FALSE(result.workbook);
}

TEST_F(Printouts, SentDeclarationExportsAndConsultsHistory) {
  test::sendFixedDeclaration(s().database(), "1", "ABC", "870012345");
  // The declaration in preparation changes afterwards; the sending keeps its amounts.
  s().database().run("UPDATE F601_REMUNERA SET monto_pag = '9999.00' WHERE cod_concep = '0121'");
  ExportRequest req{{20}, true, false, db_.dir() / "h", {}, {}};
  auto result = generateReports(s(), decl("1"), req);
  ASSERT_TRUE(result.ok);
  ASSERT_EQ(result.textFiles.size(), 1u);
  EXPECT_EQ(result.textFiles[0].filename(), "HPE_601_20100000001_20_DAT.TXT");
  auto sent = test::readFile(result.textFiles[0]);
  EXPECT_NE(sent.find("|2400|2400|"), std::string::npos);
  EXPECT_EQ(sent.find("9999"), std::string::npos);
  // Generating again overwrites the text file.
  result = generateReports(s(), decl("1"), req);
  EXPECT_EQ(test::readFile(result.textFiles[0]), sent);
  // The consultation of the sending reads its history even when the declaration's rows are gone.
  s().database().run("DELETE FROM F601_TRAB");
  s().database().run("DELETE FROM F601RDDET");
  TaxBaseConsultationForm f(s(), true);
  ASSERT_EQ(f.requery().size(), 1u);
  EXPECT_EQ(f.cmdBuscar(0, 1, ""), 5);
  auto rows = taxBaseRows(s());
  EXPECT_EQ(rows[0].text("CORREL"), "1");
  EXPECT_EQ(rows[3].text("base_4ta"), "2600.00");
}

std::string unzipEntry(const std::filesystem::path& zip, const std::string& entry) {
  std::string cmd = "unzip -p '" + zip.string() + "' '" + entry + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  std::string out;
  char buf[4096];
  std::size_t n;
  while (p && (n = fread(buf, 1, sizeof buf, p.get())) > 0) out.append(buf, n);
  return out;
}

TEST_F(Printouts, WorkbookOpensWithOneSheetPerReport) {
  if (!workbookAvailable()) GTEST_SKIP() << "built without the workbook writer";
  test::sendFixedDeclaration(s().database(), "1", "ABC", "870012345");
  ExportRequest req{{20, 25, 32}, false, true, db_.dir() / "x", "20120415_0930", {}};
  auto result = generateReports(s(), decl("1"), req);
  ASSERT_TRUE(result.ok);
  ASSERT_TRUE(result.workbook);
  EXPECT_EQ(result.workbook->filename(), "HPE_601_20100000001_20120415_0930_ALL.xlsx");
  EXPECT_TRUE(result.textFiles.empty());
  auto book = unzipEntry(*result.workbook, "xl/workbook.xml");
  for (const char* sheet : {"name=\"Formato 20\"", "name=\"Formato 25\"", "name=\"Formato 32\""})
    EXPECT_NE(book.find(sheet), std::string::npos) << sheet;
  auto strings = unzipEntry(*result.workbook, "xl/sharedStrings.xml");
  for (const char* t : {"Formato 20: Datos de Ingresos del Trabajador", "RUC: ", "Numero de Orden: ", "870012345",
                        "03/2012", "EMPRESA DE PRUEBA S.A.C.", "Total Ingresos", "O'BRIEN", "DÍAZ"})
    EXPECT_NE(strings.find(t), std::string::npos) << t;
  auto sheet = unzipEntry(*result.workbook, "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheet.find("<v>2400</v>"), std::string::npos);  // amounts are numbers
  EXPECT_NE(sheet.find("<v>1500</v>"), std::string::npos);
  auto styles = unzipEntry(*result.workbook, "xl/styles.xml");
  EXPECT_NE(styles.find("formatCode=\"#########,###.00\""), std::string::npos);
  // A later generation gets its own name.
  req.stamp = "20120415_0931";
  auto again = generateReports(s(), decl("1"), req);
  ASSERT_TRUE(again.workbook);
  EXPECT_NE(*again.workbook, *result.workbook);
  EXPECT_TRUE(std::filesystem::exists(*result.workbook));
}

TEST_F(Printouts, FormMessages) {
  ReportExportForm f(s(), false);
  ASSERT_EQ(f.requery().size(), 1u);
  EXPECT_EQ(f.cells(f.rows()[0]), (std::vector<std::string>{kRuc, "EMPRESA DE PRUEBA S.A.C.", "03/2012"}));
  auto& m = db_.messenger();
  // No report chosen and the notice of the end are checked through the form (QTest).
  f.cmdAccion(0, ExportRequest{{20}, false, false, db_.dir().path(), {}, {}});
  ASSERT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.entries()[0].text, "Debe seleccionar por lo menos un modo de salida para los reportes.");
  EXPECT_EQ(m.entries()[0].icon, MsgIcon::Critical);
  EXPECT_TRUE(std::filesystem::is_empty(db_.dir() / "RPT"));
  EXPECT_TRUE(f.cmdAccion(0, ExportRequest{{25, 27}, true, false, db_.dir() / "ok", {}, {}}).ok);
  ASSERT_TRUE(f.payslipReport);  // 27 prints the pay statements
  if (workbookAvailable()) {
    // A workbook that cannot be written.
    std::ofstream(db_.dir() / "ocupado") << "x";
    auto bad = db_.dir() / "ocupado" / "sub";
    auto r = generateReports(s(), decl(), ExportRequest{{20}, false, true, bad, "20120415_0930", {}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(m.entries().back().text, "El archivo " + (bad / "PE_601_20100000001_20120415_0930").string() +
                                           "_ALL.xlsx está siendo utilizado. Cerrar el archivo y volver a generar el "
                                           "reporte.");
  }
}

TEST_F(Printouts, PayStatementsOnePagePerWorker) {
  auto path = producePayslips(s(), decl());
  test::expectGolden(path, "boletas_20100000001_201203.PRN");
  auto pages = pageTexts(path);
  ASSERT_EQ(pages.size(), 4u);  // three workers and the pensioner
  for (const auto& p : pages) EXPECT_TRUE(has(p, "Boleta de Pago"));
  // The reference holds the order by document, the latest labour period and the captions.
  EXPECT_TRUE(has(pages[0], "QUISPE"));
  EXPECT_TRUE(has(pages[3], "O'BRIEN"));
  EXPECT_EQ(s().database().text("SELECT CodRep FROM SPOOL"), "PR0045");
  EXPECT_EQ(reports::LeeNroHojas(path), 4);
}

TEST_F(Printouts, TaxBaseConsultation) {
  TaxBaseConsultationForm f(s(), false);
  f.requery();
  // An empty number lists every person of the type; the provider's three receipts sum into one row.
  EXPECT_EQ(f.cmdBuscar(0, 1, ""), 5);
  auto rows = taxBaseRows(s());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].text("doc_id_a"), "41000001");
  EXPECT_EQ(rows[0].text("categoria"), "Trabajador");
  EXPECT_EQ(rows[0].text("base_pens"), "2500.00");
  EXPECT_EQ(rows[3].text("categoria"), "P.S. 4ta. Categoria");
  EXPECT_EQ(rows[3].text("base_4ta"), "2600.00");
  EXPECT_EQ(rows[3].text("trib_4ta"), "220.00");
  EXPECT_EQ(rows[4].text("categoria"), "Personal de Terceros");
  EXPECT_EQ(rows[4].text("sctrs"), "12.00");
  EXPECT_TRUE(db_.messenger().entries().empty());
  // A prefix; a percent sign is a character, not a wildcard.
  EXPECT_EQ(f.cmdBuscar(0, 1, "4100"), 2);
  EXPECT_EQ(f.cmdBuscar(0, 1, "4%"), 0);
  EXPECT_EQ(db_.messenger().entries().back().text,
            "No se ha encontrado información para el criterio de búsqueda ingresado");
  EXPECT_TRUE(taxBaseRows(s()).empty());
  EXPECT_EQ(f.cmdBuscar(0, 4, "X1"), 1);
  // The individual report: Formato 25 of the persons found.
  IndividualReportForm r(s(), false);
  r.requery();
  auto res = r.cmdAccion(0, 1, "41", true, false, db_.dir() / "ind");
  ASSERT_TRUE(res.ok);
  ASSERT_EQ(res.textFiles.size(), 1u);
  EXPECT_EQ(res.textFiles[0].filename(), "PE_601_20100000001_25_DAT.TXT");
  auto l = lines(res.textFiles[0]);
  EXPECT_EQ(l.size(), 3u);
  EXPECT_TRUE(text::startsWith(l[0], "1|41000001|PEREZ|GOMEZ|ANA|Trabajador|2500|225|"));
}

TEST_F(Printouts, RectifyingDeclarationAndAwkwardNames) {
  auto& db = s().database();
  db.run("UPDATE CAB SET rectifica = '1'");
  db.run("UPDATE ASEGVKRS SET apellido_p = 'PEREZ|GOMEZ' WHERE doc_id_a = '41000001'");
  auto d = decl();
  EXPECT_TRUE(d.rectifica);
  auto page = pageTexts(producePrintout(s(), d, PrintChoice{}))[0];
  EXPECT_TRUE(has(page, "RECTIFICA"));
  EXPECT_TRUE(has(page, "SI"));
  auto lines = declarationTextLines(d);
  EXPECT_TRUE(std::find(lines.begin(), lines.end(), "RECTIFICA : SI") != lines.end());
  EXPECT_TRUE(d.rectifiedColumns.empty());  // nothing sent before
  // Rectifying a sending: the columns whose base or tax changed are named.
  test::sendFixedDeclaration(db, "1", "ABC", "870012345");
  db.run("UPDATE DET SET i_valor = '420' WHERE Casilla = '411'");
  db.run("UPDATE DET SET i_valor = '1600' WHERE Casilla = '459'");  // not a rectifiable column
  db.run("UPDATE DET SET i_valor = '5460' WHERE Casilla = '455'");
  d = decl();
  EXPECT_EQ(d.rectifiedColumns, (std::vector<std::string>{"PENS D.LEY 19990", "RETENC.5TA"}));
  page = pageTexts(producePrintout(s(), d, PrintChoice{}))[0];
  EXPECT_TRUE(has(page, "CONCEPTOS A LOS QUE RECTIFICA: PENS D.LEY 19990-RETENC.5TA"));
  lines = declarationTextLines(d);
  EXPECT_TRUE(std::find(lines.begin(), lines.end(),
                        "                 CONCEPTOS A LOS QUE RECTIFICA: PENS D.LEY 19990-RETENC.5TA") != lines.end());
  // A "|" inside a name would shift every later field of the line.
  auto result = generateReports(s(), d, ExportRequest{{20}, true, false, db_.dir() / "r", {}, {}});
  auto f20 = test::readFile(result.textFiles[0]);
  EXPECT_NE(f20.find("|41000001|PEREZ GOMEZ|GOMEZ|ANA|"), std::string::npos);
  auto payslips = test::readFile(producePayslips(s(), d));
  EXPECT_NE(payslips.find("PEREZ¦GOMEZ"), std::string::npos);
}

// The employer's name stays inside its box (4600–9250) whole, its final "." included; a long
// name is written smaller, and only one too long at any size is cut.
TEST_F(Printouts, EmployerNameFitsItsBox) {
  struct Case {
    const char* name;
    std::string nombre;
    std::string shown;
    int size;
  };
  const std::string demo = "CORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A.";  // 48 characters
  const std::string huge = "ASOCIACIÓN DE TRABAJADORES DE LA INDUSTRIA TEXTIL Y CONFECCIONES DEL PERÚ S.A.";
  const Case cases[] = {
      {"short, as it was", "EMPRESA DE PRUEBA S.A.C.", "EMPRESA DE PRUEBA S.A.C.", 8},
      {"48 characters with accents, smaller and whole", demo, demo, 7},
      {"too long at any size, cut", huge, text::left(huge, 59), 6},
  };
  for (const auto& c : cases) {
    auto d = decl();
    d.nombre = c.nombre;
    auto doc = reports::pDesencripta(producePrintout(s(), d, PrintChoice{}), "PresPrevia", reports::PageRange{},
                                     db_.messenger());
    ASSERT_TRUE(doc) << c.name;
    const reports::DrawOp* op = nullptr;
    for (const auto& o : doc->pages[0].ops)
      if (o.kind == reports::DrawOp::Kind::Text && o.x == 4720 && o.y == 1120) op = &o;
    ASSERT_TRUE(op) << c.name;
    EXPECT_EQ(op->text, c.shown) << c.name;
    EXPECT_EQ(op->size, c.size) << c.name;
    // Courier: 0.6 em a character, 12 twips a point.
    EXPECT_LE(4720 + static_cast<int>(text::length(op->text)) * op->size * 12, 9250) << c.name;
  }
}

// The text files for other programs are Windows-1252 (what it lacks becomes "?" and the notice
// says how many), or UTF-8 when asked; through the forms' calls and through korventa-cli.
TEST_F(Printouts, TextFilesAreWindows1252UnlessUtf8IsAsked) {
  auto& db = s().database();
  db.run("UPDATE ASEGVKRS SET apellido_m = 'GÓMEZ-ŁUKASZ' WHERE doc_id_a = '41000001'");
  db.run("UPDATE CONTRVKRS SET Nombre = 'EMPRESA ÑANDÚ Ω'");
  auto d = decl();
  auto& m = db_.messenger();
  struct Case {
    const char* name;
    TextEncoding encoding;
    std::string report20, textVariant, note;
  } cases[] = {
      {"Windows-1252", TextEncoding::Windows1252, "|PEREZ|G\xD3MEZ-?UKASZ|ANA|",
       "EMPLEADOR : EMPRESA \xD1"
       "AND\xDA ?",
       "1 carácter sin equivalente en Windows-1252 se escribió como \"?\"."},
      {"UTF-8", TextEncoding::Utf8, "|PEREZ|GÓMEZ-ŁUKASZ|ANA|", "EMPLEADOR : EMPRESA ÑANDÚ Ω", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReportExportForm f(s(), false);
    f.requery();
    ExportRequest req{{20}, true, false, db_.dir() / c.name, {}, {}};
    req.encoding = c.encoding;
    auto result = f.cmdAccion(0, req);
    ASSERT_EQ(result.textFiles.size(), 1u);
    EXPECT_NE(test::readFile(result.textFiles[0]).find(c.report20), std::string::npos);
    EXPECT_EQ(result.replaced, c.note.empty() ? 0u : 1u);
    EXPECT_EQ(m.entries().back().text,
              "Se terminaron de generar los reportes solicitados." + (c.note.empty() ? c.note : "\n" + c.note));
    auto path = writeDeclarationTextFile(s(), d, db_.dir() / c.name, c.encoding);
    ASSERT_TRUE(path);
    EXPECT_NE(test::readFile(*path).find(c.textVariant + "\r\n"), std::string::npos);
    EXPECT_EQ(m.entries().back().text, "La declaración se encuentra en el directorio " + (db_.dir() / c.name).string() +
                                           " con el nombre: ZEL0600_20100000001_201203.txt" +
                                           (c.note.empty() ? c.note : "\n" + c.note));
  }
}

TEST(ExportCommands, TextFilesInWindows1252OrUtf8) {
  test::CliRunner cli;
  if (!cli.available()) GTEST_SKIP() << "korventa-cli no está construido";
  ASSERT_EQ(cli.run("init --demo").rc, 0);
  ASSERT_EQ(cli.run("new 20503987610 201206").rc, 0);
  // FLORES CHÁVEZ MARÍA of the demo registry, and the declarant's name.
  struct Case {
    const char* flag;
    std::string name, declarant;
  } cases[] = {{"",
                "|FLORES|CH\xC1VEZ|MAR\xCD"
                "A|",
                "CORPORACI\xD3N INDUSTRIAL"},
               {"--utf8", "|FLORES|CHÁVEZ|MARÍA|", "CORPORACIÓN INDUSTRIAL"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flag);
    auto dir = cli.dir() / (std::string("salida") + c.flag);
    auto r = cli.run("export 20503987610 201206 --formats 28 --dir '" + dir.string() + "' " + c.flag);
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(test::readFile(dir / "PE_601_20503987610_28_DAT.TXT").find(c.name), std::string::npos);
    r = cli.run("print 20503987610 201206 --text '" + dir.string() + "' " + c.flag);
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(test::readFile(dir / "ZEL0600_20503987610_201206.txt").find(c.declarant), std::string::npos);
  }
  EXPECT_EQ(cli.run("print 20503987610 201206 --pdf x.pdf --utf8").rc, 2) << "--utf8 goes with --text";
}

// The text references hold plain amounts and h:mm hours; not a negative amount nor empty hours.
TEST(ExportTexts, NegativeAmountsAndEmptyHours) {
  EXPECT_EQ(plainAmount("-15.00"), "-15");
  EXPECT_EQ(HorasDecimal_to_HorasMinutos(""), "");
  EXPECT_EQ(SumaHorasNormalesMasSobretiempo("", ""), "");
}

}  // namespace
}  // namespace korventa::printouts
