// compare: a stored declaration against another period (the one before by default) or a sending.
#include <iostream>
#include <memory>

#include "analysis/comparison_output.h"
#include "analysis/declaration_comparison.h"
#include "cli/cli.h"
#include "cli/drawing.h"
#include "common/text.h"
#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"

namespace korventa::cli {
namespace {

using namespace korventa::analysis;

struct CompareArgs {
  std::string ruc, period, otherPeriod, correl, otherCorrel, threshold = "1.00", pdf, xlsx;
};

Money thresholdOf(const std::string& text) {
  auto m = Money::parse(text::trim(text));
  if (!m || m->isNegative()) throw std::runtime_error("--threshold: indique un importe no negativo, p.ej. 1.00");
  return *m;
}

void writePdfOf(Context& ctx, const Comparison& c, const std::string& pdf) {
  auto prn = comparisonReportFile(ctx.sessionForReading(), c);
  auto doc = reports::pDesencripta(prn, "IMPRIMIR", reports::PageRange{}, ctx.messenger);
  if (!doc) throw std::runtime_error("No se pudo leer el reporte " + prn.string());
  auto app = drawingApplication();
  QString error;
  if (!reports::ui::writePdf(*doc, QString::fromStdString(pdf), &error)) throw std::runtime_error(error.toStdString());
  std::cerr << pdf << "\n";
}

int compare(Context& ctx, const CompareArgs& a) {
  // Only reads the database; the PDF's report file goes to the work folder.
  Session& s = ctx.sessionForReading();
  ComparisonRequest req;
  req.current = {text::trim(a.ruc), periodArg(a.period), text::trim(a.correl)};
  std::string other = text::trim(a.otherPeriod);
  req.other = {req.current.ruc, other.empty() ? std::string() : periodArg(other), text::trim(a.otherCorrel)};
  req.threshold = thresholdOf(a.threshold);
  auto c = compareDeclarations(s, req);
  if (!c) return 1;
  auto l = plainListing(*c);
  ctx.print(Table{l.columns, l.rows});
  std::cerr << comparisonTitle(*c) << ": " << comparisonSummary(*c) << "\n";
  if (!a.xlsx.empty()) {
    if (!writeComparisonWorkbook(*c, a.xlsx)) throw std::runtime_error("No se pudo grabar el libro " + a.xlsx);
    std::cerr << a.xlsx << "\n";
  }
  if (!a.pdf.empty()) writePdfOf(ctx, *c, a.pdf);
  return 0;
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  auto a = std::make_shared<CompareArgs>();
  auto* c = app.add_subcommand("compare",
                               "Compara una declaración grabada con la de otro período (por defecto el anterior) "
                               "o con una declaración enviada");
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->period, "Período AAAAMM o MM/AAAA de la declaración")->required();
  c->add_option("OTHER_PERIOD", a->otherPeriod, "Período con el que se compara (por defecto el anterior)");
  c->add_option("--sent", a->otherCorrel,
                "Correlativo de la declaración enviada de OTHER_PERIOD con la que se compara");
  c->add_option("--current-sent", a->correl, "Correlativo, cuando la declaración de PERIOD es una enviada");
  c->add_option("--threshold", a->threshold, "Diferencia mínima por persona, en soles (por defecto 1.00)");
  c->add_option("--pdf", a->pdf, "Escribe además el reporte de la comparación en PDF");
  c->add_option("--xlsx", a->xlsx, "Escribe además la comparación en un libro de hoja de cálculo");
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return compare(ctx, *a); }); });
});

}  // namespace
}  // namespace korventa::cli
