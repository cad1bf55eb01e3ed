// Report files: render to PDF, preview in a window, list the spool.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QGuiApplication>

#include "cli/cli.h"
#include "cli/drawing.h"
#include "reports/page_range.h"
#include "reports/report_reader.h"
#include "reports/spool.h"
#include "reports/ui/report_renderer.h"

namespace korventa::cli {
namespace {

struct RenderOptions {
  std::string file, pdf;
  int from = 0, to = 0;
  bool preview = false;
};

int render(Context& ctx, const RenderOptions& o) {
  using namespace reports;
  PageRange range;
  if (o.from != 0 || o.to != 0) {
    // The same checks as the page-range dialog, against the pages the file draws on.
    auto all = pDesencripta(o.file, "PresPrevia", PageRange{}, ctx.messenger);
    if (!all) return 1;
    int total = all->pages.back().index + 1;
    PageRangeForm check;
    if (!check.accept(ctx.messenger, std::to_string(o.from == 0 ? 1 : o.from),
                      o.to == 0 ? std::to_string(total) : std::to_string(o.to), std::to_string(total)))
      return 2;
    range = check.range;
  }
  auto doc = pDesencripta(o.file, o.preview ? "PresPrevia" : "IMPRIMIR", range, ctx.messenger);
  if (!doc) return 1;

  auto app = drawingApplication();
  QString error;
  if (!reports::ui::writePdf(*doc, QString::fromStdString(o.pdf), &error))
    throw std::runtime_error(error.toStdString());
  std::size_t pages = std::max<std::size_t>(1, doc->pages.size());
  std::cout << o.pdf << ": " << pages << (pages == 1 ? " página" : " páginas") << "\n";
  return 0;
}

// The preview is a window of the program korventa (beside this one, or on the PATH); the
// command line itself draws no windows.
int preview(Context& ctx, const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path program = fs::read_symlink("/proc/self/exe", ec).parent_path() / "korventa";
  std::string path = !ec && fs::exists(program, ec) ? program.string() : std::string("korventa");
  std::cout.flush();
  ::execlp(path.c_str(), path.c_str(), "--preview", file.c_str(), static_cast<char*>(nullptr));
  throw std::runtime_error("No se pudo iniciar " + path + " para la vista preliminar: " + std::strerror(errno));
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  {
    auto o = std::make_shared<RenderOptions>();
    auto* c = app.add_subcommand("render", "Convierte un archivo de reporte (.PRN) en PDF");
    c->add_option("FILE", o->file, "Archivo de reporte")->required();
    c->add_option("--pdf", o->pdf, "Archivo PDF a escribir")->required();
    c->add_option("--from", o->from, "Primera página (desde 1)");
    c->add_option("--to", o->to, "Última página");
    c->add_flag("--preview", o->preview, "Una hoja por página del reporte, como en la vista preliminar");
    c->callback([&ctx, o] { ctx.run([&ctx, o] { return render(ctx, *o); }); });
  }
  {
    auto file = std::make_shared<std::string>();
    auto* c = app.add_subcommand("preview", "Muestra un archivo de reporte (.PRN) en la vista preliminar");
    c->add_option("FILE", *file, "Archivo de reporte")->required();
    c->callback([&ctx, file] { ctx.run([&ctx, file] { return preview(ctx, *file); }); });
  }
  {
    auto* c = app.add_subcommand("spool", "Reportes registrados (SPOOL)");
    auto* list = c->add_subcommand("list", "Lista los reportes registrados");
    c->require_subcommand(1);
    list->callback([&ctx] {
      ctx.run([&ctx] {
        auto& s = ctx.sessionForReading();
        Table t{{"CodRep", "Secuencia", "Archivo", "Fecha", "Usuario", "tip_doc_d", "doc_id_d", "Ruta"}, {}};
        for (const auto& r : reports::spoolEntries(s.database())) {
          std::vector<std::string> row;
          for (std::size_t i = 0; i < r.size(); ++i) row.push_back(r.text(i));
          row.push_back((std::filesystem::path(s.paths.rptDir) / r.text("Archivo")).string());
          t.rows.push_back(std::move(row));
        }
        ctx.print(t);
        return 0;
      });
    });
  }
});

}  // namespace
}  // namespace korventa::cli
