// Printouts and exports of a stored declaration: print (PDF of the printout or its text
// variant), export (text files and workbook of the detail reports), payslips (pay statements to
// PDF) and bases (the consultation of declared bases).
#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "cli/drawing.h"
#include "common/dates.h"
#include "common/text.h"
#include "printouts/declaration_printout.h"
#include "printouts/exports.h"
#include "printouts/payslip.h"
#include "printouts/tax_base_consultation.h"
#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"

namespace korventa::cli {
namespace {

using namespace korventa::printouts;

StoredDeclaration declarationOf(Context& ctx, const std::string& ruc, const std::string& period,
                                const std::string& correl) {
  DeclarationRef ref{text::trim(ruc), periodArg(period), text::trim(correl)};
  auto d = readDeclaration(ctx.session(), ref);
  if (!d)
    throw std::runtime_error("No existe la declaración " + ref.ruc + " " + ref.periodo +
                             (ref.sent() ? " enviada con correl " + ref.correl : std::string(" en preparación")));
  return *d;
}

std::vector<int> numbersOf(const std::string& list) {
  std::vector<int> out;
  for (const auto& part : text::split(list, ',')) {
    std::string t = text::trim(part);
    if (t.empty()) continue;
    if (!text::isDigits(t)) throw std::runtime_error("Número no válido en la lista: " + t);
    out.push_back(std::stoi(t));
  }
  return out;
}

// Renders a report file as it would be printed (one PDF page per printed sheet).
int toPdf(Context& ctx, const std::filesystem::path& prn, const std::string& pdf) {
  auto doc = reports::pDesencripta(prn, "IMPRIMIR", reports::PageRange{}, ctx.messenger);
  if (!doc) return 1;
  auto app = drawingApplication();
  QString error;
  if (!reports::ui::writePdf(*doc, QString::fromStdString(pdf), &error)) throw std::runtime_error(error.toStdString());
  std::size_t pages = doc->pages.size();
  std::cout << prn.string() << "\n" << pdf << ": " << pages << (pages == 1 ? " página" : " páginas") << "\n";
  return 0;
}

struct PrintArgs {
  std::string ruc, period, correl, annexes, pdf, textDir, what;
  bool utf8 = false;
};

struct ExportArgs {
  std::string ruc, period, correl, dir, formats, stamp;
  bool txt = false, xlsx = false, utf8 = false;
};

TextEncoding encodingOf(bool utf8) {
  return utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}
constexpr const char* kUtf8Help =
    "Archivos de texto en UTF-8 (por defecto Windows-1252, como los leen los programas de Windows)";

struct BasesArgs {
  std::string ruc, period, correl, doc;
  int tipDoc = 1;
};

// Which parts --annexes and --what ask for.
PrintChoice printChoiceOf(const PrintArgs& a) {
  PrintChoice choice;
  for (int n : numbersOf(a.annexes)) {
    if (n == 602 || n == 408)
      choice.anexo602 = true;
    else if (n == 612 || n == 428)
      choice.anexo612 = true;
    else
      throw std::runtime_error("Anexo desconocido: " + std::to_string(n) + " (use 602 o 612)");
  }
  std::string what = text::trim(a.what);
  if (what.empty()) what = (choice.anexo602 || choice.anexo612) ? "ambos" : "declaracion";
  if (what == "declaracion")
    choice.what = PrintWhat::Declaracion;
  else if (what == "anexos")
    choice.what = PrintWhat::Anexos;
  else if (what == "ambos")
    choice.what = PrintWhat::DeclaracionYAnexos;
  else
    throw std::runtime_error("--what: use declaracion, anexos o ambos");
  return choice;
}

int printDeclaration(Context& ctx, const PrintArgs& a) {
  if (a.pdf.empty() && a.textDir.empty()) throw std::runtime_error("Indique --pdf ARCHIVO o --text CARPETA");
  // The text variant only reads; the printout is registered in SPOOL.
  if (!a.textDir.empty()) ctx.sessionForReading();
  auto d = declarationOf(ctx, a.ruc, a.period, a.correl);
  if (!a.textDir.empty()) {
    auto path = writeDeclarationTextFile(ctx.session(), d, a.textDir, encodingOf(a.utf8));
    if (!path) return 1;
    std::cout << path->string() << "\n";
    return 0;
  }
  PrintChoice choice = printChoiceOf(a);
  auto prn = producePrintout(ctx.session(), d, choice);
  return toPdf(ctx, prn, a.pdf);
}

void addPrint(CLI::App& app, Context& ctx) {
  auto a = std::make_shared<PrintArgs>();
  auto* c = app.add_subcommand("print", "Imprime una declaración grabada (PDF) o escribe su versión en texto");
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->period, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("--sent", a->correl, "Correlativo de la declaración enviada");
  c->add_option("--annexes", a->annexes, "Anexos de crédito EPS: 602 (con 408) y/o 612 (con 428), p.ej. 602,612");
  c->add_option("--what", a->what, "declaracion, anexos o ambos (por defecto: ambos con --annexes, si no declaracion)");
  auto* pdf = c->add_option("--pdf", a->pdf, "Archivo PDF a escribir");
  auto* txt = c->add_option("--text", a->textDir, "Carpeta donde escribir el archivo ZEL0600_RUC_AAAAMM.txt");
  pdf->excludes(txt);
  c->add_flag("--utf8", a->utf8, kUtf8Help)->needs(txt);
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return printDeclaration(ctx, *a); }); });
}

int exportReports(Context& ctx, const ExportArgs& a) {
  ctx.sessionForReading();
  auto d = declarationOf(ctx, a.ruc, a.period, a.correl);
  ExportRequest req;
  req.formats = numbersOf(a.formats);
  if (req.formats.empty())
    for (const auto& r : reportCatalogue())
      if (!r.suffix.empty()) req.formats.push_back(r.number);
  for (int n : req.formats)
    if (!findReport(n)) throw std::runtime_error("No existe el Formato " + std::to_string(n));
  req.text = a.txt || !a.xlsx;
  req.workbook = a.xlsx;
  req.dir = a.dir;
  req.stamp = a.stamp;
  req.encoding = encodingOf(a.utf8);
  auto result = generateReports(ctx.session(), d, req, ctx.progress());
  if (!result.ok) return 1;
  if (auto note = replacedNote(result.replaced); !note.empty()) std::cerr << note << "\n";
  for (const auto& f : result.textFiles) std::cout << f.string() << "\n";
  if (result.workbook) std::cout << result.workbook->string() << "\n";
  return 0;
}

void addExport(CLI::App& app, Context& ctx) {
  auto a = std::make_shared<ExportArgs>();
  auto* c = app.add_subcommand("export", "Exporta los reportes (Formato 20 a 35) en archivos de texto y/o libro");
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->period, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("--dir", a->dir, "Carpeta de salida")->required();
  c->add_option("--formats", a->formats, "Reportes, p.ej. 20,21,25 (por defecto todos)");
  c->add_flag("--txt", a->txt, "Archivos de texto (por defecto cuando no se indica --xlsx)");
  c->add_flag("--xlsx", a->xlsx, "Libro de hoja de cálculo");
  c->add_flag("--utf8", a->utf8, kUtf8Help);
  c->add_option("--sent", a->correl, "Correlativo de la declaración enviada");
  c->add_option("--stamp", a->stamp, "Fecha y hora del nombre del libro (aaaammdd_hhmm); por defecto ahora");
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return exportReports(ctx, *a); }); });
}

int printPayslips(Context& ctx, const PrintArgs& a) {
  auto d = declarationOf(ctx, a.ruc, a.period, a.correl);
  auto prn = producePayslips(ctx.session(), d, ctx.progress());
  return toPdf(ctx, prn, a.pdf);
}

void addPayslips(CLI::App& app, Context& ctx) {
  auto a = std::make_shared<PrintArgs>();
  auto* c =
      app.add_subcommand("payslips", "Boletas de pago de una declaración grabada, una página por trabajador (PDF)");
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->period, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("--sent", a->correl, "Correlativo de la declaración enviada");
  c->add_option("--pdf", a->pdf, "Archivo PDF a escribir")->required();
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return printPayslips(ctx, *a); }); });
}

int consultBases(Context& ctx, const BasesArgs& a) {
  auto d = declarationOf(ctx, a.ruc, a.period, a.correl);
  int n = fillTaxBases(ctx.session(), d, {a.tipDoc, a.doc});
  if (n == 0) {
    ctx.messenger.show("No se ha encontrado información para el criterio de búsqueda ingresado", "Mensaje",
                       MsgIcon::Information);
    return 0;
  }
  Table t;
  for (const auto& [col, caption] : taxBaseColumns()) t.columns.push_back(col);
  for (const auto& r : taxBaseRows(ctx.session())) {
    std::vector<std::string> cells;
    for (const auto& [col, caption] : taxBaseColumns()) cells.push_back(r.text(col));
    t.rows.push_back(std::move(cells));
  }
  ctx.print(t);
  return 0;
}

void addBases(CLI::App& app, Context& ctx) {
  auto a = std::make_shared<BasesArgs>();
  auto* c = app.add_subcommand("bases", "Consulta de bases tributarias declaradas por persona");
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->period, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("--tipdoc", a->tipDoc, "Tipo de documento (lista 044); por defecto 1");
  c->add_option("--doc", a->doc, "Comienzo del número de documento (vacío: todos los de ese tipo)");
  c->add_option("--sent", a->correl, "Correlativo de la declaración enviada");
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return consultBases(ctx, *a); }); });
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  addPrint(app, ctx);
  addExport(app, ctx);
  addPayslips(app, ctx);
  addBases(app, ctx);
});

}  // namespace
}  // namespace korventa::cli
