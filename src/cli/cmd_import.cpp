// import: pipe-separated files into an existing declaration, as the import forms do: the kind
// from the extension, one transaction per file, the counts printed, the ".Err" work file and its
// error listing (.PRN, registered in SPOOL) written for a file with rejections, the persons
// computed again and the declaration saved.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "cli/cli.h"
#include "cli/drawing.h"
#include "cli/listings.h"
#include "common/dates.h"
#include "common/text.h"
#include "declaration/declaration_form.h"
#include "declaration/working_set.h"
#include "import/error_listing.h"
#include "import/importer.h"
#include "import/read_ahead.h"
#include "reports/page_range.h"
#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"

namespace korventa::cli {
namespace {

struct ImportArgs {
  std::string ruc, periodo, form, pdf, workDir;
  int category = 0;
  std::vector<std::string> files;
  bool noSave = false, timing = false;
};

int runOrder(import::Kind k) {
  using import::Kind;
  static const Kind order[] = {Kind::Jor,    Kind::Tes,      Kind::Sub,   Kind::Not, Kind::Rem, Kind::Pen,
                               Kind::Cuarta, Kind::ForTrans, Kind::ForMF, Kind::Mfe, Kind::Sct};
  return static_cast<int>(std::find(std::begin(order), std::end(order), k) - std::begin(order));
}

bool writePdf(Context& ctx, const std::filesystem::path& prn, const std::string& out) {
  auto doc = reports::pDesencripta(prn.string(), "IMPRIMIR", reports::PageRange{}, ctx.messenger);
  if (!doc) return false;
  QString error;
  if (!reports::ui::writePdf(*doc, QString::fromStdString(out), &error)) throw std::runtime_error(error.toStdString());
  std::cout << out << ": " << std::max<std::size_t>(1, doc->pages.size()) << " página(s)\n";
  return true;
}

using Clock = std::chrono::steady_clock;
double secs(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

using Jobs = std::vector<std::pair<import::Kind, std::filesystem::path>>;

struct ImportOutcome {
  bool failed = false;       // a file or a listing failed
  bool anyImported = false;  // at least one file was read (not refused as a whole)
};
ImportOutcome importFiles(Context& ctx, const ImportArgs& a, declaration::DeclarationForm& f, const Jobs& jobs,
                          import::ReadAhead& reader);

int runImport(Context& ctx, const ImportArgs& a) {
  std::string ruc = text::trim(a.ruc);
  std::string periodo = periodArg(a.periodo);
  std::optional<import::Form> form;
  if (!a.form.empty()) {
    form = import::formFromName(a.form);
    if (!form) throw CLI::ValidationError("--form", "use frmTranPer, frmTransferencia, frm0601ImportMF o frmTransPT");
  }

  // The kinds and names first: a wrong extension or a file of another declaration stops before
  // anything is opened. The forms take only the file named after the open declaration.
  Jobs jobs;
  for (const auto& f : a.files) {
    std::string name = std::filesystem::path(f).filename().string();
    auto kind = import::kindFromFileName(name, form);
    if (!kind)
      throw std::runtime_error("No se reconoce el tipo de archivo de " + f +
                               " (extensiones .rem .pen .jor .sub .not .tes .4ta .for .mfe .sct)");
    if (a.category != 0 && import::info(*kind).category != a.category)
      throw std::runtime_error("El archivo " + f + " no es de la categoría " + std::to_string(a.category));
    if (!import::isImportFileName(name, ruc, periodo, *kind))
      throw std::runtime_error("El archivo " + name + " no corresponde a la declaración " + ruc + " " +
                               periodToDisplay(periodo) + ": su nombre debe ser " +
                               import::importFileName(ruc, periodo, *kind) + ". No se importó ningún archivo.");
    jobs.emplace_back(*kind, f);
  }
  std::stable_sort(jobs.begin(), jobs.end(),
                   [](const auto& x, const auto& y) { return runOrder(x.first) < runOrder(y.first); });

  // The files are read and decoded while the declaration opens; what cannot be read is said
  // when its turn comes, as before.
  std::vector<std::filesystem::path> paths;
  for (const auto& job : jobs) paths.push_back(job.second);
  import::ReadAhead reader(std::move(paths));

  auto t0 = Clock::now();
  Clock::time_point t3;
  bool opened = false;
  ImportOutcome outcome;
  declaration::SaveResult saved;
  withOpenDeclaration(
      ctx.session(), ruc, periodo,
      [&](declaration::DeclarationForm& f) {
        opened = true;
        if (a.timing) std::cerr << "abrir: " << secs(t0) << " s\n";
        outcome = importFiles(ctx, a, f, jobs, reader);
        t3 = Clock::now();
        // Every file refused: nothing came in, so there is nothing to save.
        if (a.noSave || !outcome.anyImported) return false;
        f.setModified();
        return true;
      },
      &saved, ctx.progress());
  bool failed = outcome.failed;
  if (!opened) return 1;
  if (!outcome.anyImported) {
    std::cerr << "No se importó ningún archivo; la declaración no se grabó.\n";
    return 1;
  }
  if (a.noSave) return failed ? 1 : 0;
  if (a.timing) std::cerr << "grabar: " << secs(t3) << " s\n";
  if (!saved.saved) return 1;
  std::cout << "Declaración grabada: " << ruc << " " << periodToDisplay(periodo)
            << (saved.inconsistent ? " (con inconsistencias, estado 9)" : "") << "\n";
  return failed ? 1 : 0;
}

// Imports the files into the open declaration, computes the persons and writes the listings.
ImportOutcome importFiles(Context& ctx, const ImportArgs& a, declaration::DeclarationForm& f, const Jobs& jobs,
                          import::ReadAhead& reader) {
  Session& s = ctx.session();
  const auto& decl = f.declaration();

  auto t1 = Clock::now();
  std::map<import::Form, std::unique_ptr<import::Importer>> importers;
  std::vector<import::FileResult> results;
  std::vector<std::filesystem::path> listings;
  bool workers = false, failed = false, anyImported = false;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const auto& [kind, file] = jobs[i];
    auto fm = import::info(kind).form;
    auto& imp = importers[fm];
    if (!imp) {
      imp = std::make_unique<import::Importer>(s, decl, fm, a.workDir);
      // The computation below writes the new concept rows, once, with their bases.
      imp->deferNewConceptRows();
    }
    auto r = imp->importRead(kind, reader.take(i), file, ctx.progress());
    std::cout << file.filename().string() << ": ";
    if (r.refused) {
      std::cout << "no importado (" << r.refusal << ")\n";
      failed = true;
    } else {
      std::cout << r.transferred << " transferidos, " << r.rejected << " rechazados";
      if (r.skipped) std::cout << ", " << r.skipped << " omitidos por tipo o situación del trabajador";
      if (kind == import::Kind::Cuarta) std::cout << ", Independientes : " << r.providers;
      std::cout << "\n";
      anyImported = true;
      if (r.rejected > 0) {
        auto prn = import::printErrorListing(s, decl, r.errFile, import::info(kind).spool);
        std::cout << "  errores: " << r.errFile.string() << "\n  registro: " << r.logFile.string() << "\n";
        if (prn) {
          std::cout << "  reporte de errores: " << prn->string() << "\n";
          listings.push_back(*prn);
        }
      }
    }
    if (!r.refused && (kind == import::Kind::Rem || kind == import::Kind::Jor || kind == import::Kind::Sub ||
                       kind == import::Kind::Not || kind == import::Kind::Tes))
      workers = true;
    results.push_back(std::move(r));
  }
  if (a.timing) std::cerr << "importar: " << secs(t1) << " s\n";
  model::ImportedConcepts newRows;
  for (auto& [fm, imp] : importers) {
    auto kept = imp->takeNewConceptRows();
    if (newRows.rows.empty()) {
      newRows = std::move(kept);
      continue;
    }
    for (auto& r : kept.rows) newRows.rows.push_back(std::move(r));
    newRows.descrip.merge(kept.descrip);
  }
  if (!anyImported) return {true, false};

  auto t2 = Clock::now();
  if (workers) declaration::WorkingSet(s, f.declaration()).recomputeDays();
  // The command saves (or not) and closes the declaration right after: nothing edits it further.
  import::recomputeAfterImport(s, decl, import::affectedPersons(results), std::move(newRows), ctx.progress(), true);
  if (a.timing) std::cerr << "recalcular: " << secs(t2) << " s\n";

  if (!a.pdf.empty()) {
    auto app = listings.empty() ? nullptr : drawingApplication();
    for (std::size_t i = 0; i < listings.size(); ++i) {
      std::filesystem::path out = a.pdf;
      if (listings.size() > 1)
        out = out.parent_path() / (out.stem().string() + "-" + std::to_string(i + 1) + out.extension().string());
      if (!writePdf(ctx, listings[i], out.string())) failed = true;
    }
    if (listings.empty()) std::cout << "Sin errores: no hay reporte de errores que convertir en PDF.\n";
  }

  return {failed, true};
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  auto a = std::make_shared<ImportArgs>();
  auto* c = app.add_subcommand("import", "Importa archivos de texto separados por | a una declaración en preparación");
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("FILE", a->files, "Archivos 0601RUCPERIODO.rem/.pen/.jor/.sub/.not/.tes/.4ta/.for/.mfe/.sct")
      ->required();
  c->add_option("--form", a->form,
                "Formulario de importación cuando la extensión sirve a dos (.for: frm0601ImportMF, por omisión, o "
                "frmTransferencia)");
  c->add_option("--category", a->category,
                "Categoría esperada de los archivos (1 trabajadores … 5 modalidad formativa)")
      ->check(CLI::Range(1, 5));
  c->add_option("--pdf", a->pdf, "Escribe el reporte de errores en PDF");
  c->add_option("--work-dir", a->workDir, "Carpeta de los archivos .Log y .Err (por omisión la carpeta temporal)");
  c->add_flag("--no-save", a->noSave, "No graba la declaración después de importar");
  c->add_flag("--timing", a->timing, "Muestra en stderr los tiempos de cada etapa");
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return runImport(ctx, *a); }); });
});

}  // namespace
}  // namespace korventa::cli
