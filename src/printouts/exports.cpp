#include "printouts/exports.h"

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <stdexcept>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"
#include "detail/days_hours.h"
#include "printouts/payslip.h"
#include "printouts/report_builders.h"
#include "printouts/sheet_sink.h"
#include "printouts/text_sink.h"
#include "printouts/workbook.h"

namespace korventa::printouts {

std::string plainAmount(const std::string& stored) {
  std::string t = text::trim(stored);
  if (t.empty()) return {};
  return Money::parse(t) ? data::numberText(t) : t;
}

std::string HorasDecimal_to_HorasMinutos(const std::string& horas) {
  std::string h = detail::LeerHorasMinutos(horas, 'H');
  if (h.empty()) return {};
  std::string m = detail::LeerHorasMinutos(horas, 'M');
  return h + ":" + (m.size() < 2 ? std::string(2 - m.size(), '0') + m : m);
}

std::string SumaHorasNormalesMasSobretiempo(const std::string& normales, const std::string& sobretiempo) {
  if (text::trim(normales).empty() && text::trim(sobretiempo).empty()) return {};
  auto minutes = [](const std::string& v) -> long long {
    std::string h = detail::LeerHorasMinutos(v, 'H'), m = detail::LeerHorasMinutos(v, 'M');
    long long hh = text::isDigits(h) ? std::stoll(h) : 0, mm = text::isDigits(m) ? std::stoll(m) : 0;
    return hh * 60 + mm;
  };
  long long total = minutes(normales) + minutes(sobretiempo);
  return std::to_string(total / 60) + ":" + vbFormat(total % 60, "00");
}

std::filesystem::path exportPrefix(const std::filesystem::path& dir, const DeclarationRef& ref) {
  return dir / ((ref.sent() ? "HPE_601_" : "PE_601_") + ref.ruc);
}

std::filesystem::path workbookPath(const std::filesystem::path& dir, const DeclarationRef& ref,
                                   const std::string& stamp) {
  auto p = exportPrefix(dir, ref);
  return p.parent_path() / (p.filename().string() + "_" + stamp + "_ALL.xlsx");
}

std::string currentStamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H%M", &tm);
  return Clock::today().yyyymmdd() + "_" + buf;
}

bool workbookAvailable() {
  return Workbook::available();
}

namespace {

class Tee : public ReportSink {
 public:
  void add(ReportSink* s) { sinks_.push_back(s); }
  void begin(const ReportHeader& h) override {
    for (auto* s : sinks_) s->begin(h);
  }
  void row(const std::vector<Cell>& cells) override {
    for (auto* s : sinks_) s->row(cells);
  }
  void end() override {
    for (auto* s : sinks_) s->end();
  }

 private:
  std::vector<ReportSink*> sinks_;
};

}  // namespace

void writeReport(Session& session, const StoredDeclaration& decl, int number, ReportSink& sink,
                 const std::optional<PersonFilter>& filter, const std::function<void(long)>& tickFn) {
  Ctx c(session, decl, filter);
  Ticker tick(tickFn);
  switch (number) {
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
      conceptReport(c, number, sink, tick);
      break;
    case 25:
      report25(c, sink, tick);
      break;
    case 26:
      report26(c, sink, tick);
      break;
    case 28:
      report28(c, sink, tick);
      break;
    case 29:
    case 30:
      suspensions(c, number, sink, tick);
      break;
    case 31:
    case 35:
      establishments(c, number, sink, tick);
      break;
    case 32:
      report32(c, sink, tick);
      break;
    case 33:
      report33(c, sink, tick);
      break;
    case 34:
      report34(c, sink, tick);
      break;
    default:
      throw std::invalid_argument("Formato " + std::to_string(number) + " no se exporta");
  }
}

namespace {

// A text file written under a temporary name and given its own name only when the whole export
// is through, so that a cancel or a failure leaves no half-written file and the files of an
// earlier export as they were.
struct PendingFile {
  std::filesystem::path part, final;
};

void dropFiles(const std::vector<PendingFile>& files) {
  std::error_code ec;
  for (const auto& f : files) std::filesystem::remove(f.part, ec);
}

// Writes the chosen reports into `wb` and into temporary text files (added to `files` as they
// start). Each report is a step; cancel is looked at every few hundred rows.
void writeChosen(Session& session, const StoredDeclaration& decl, const ExportRequest& request,
                 const std::vector<const ReportEntry*>& chosen, Workbook* wb, std::vector<PendingFile>& files,
                 ExportResult& result, Progress& progress) {
  auto prefix = exportPrefix(request.dir, decl.ref);
  const auto count = static_cast<long long>(chosen.size());
  int index = 0;
  for (const auto* entry : chosen) {
    progress.step(entry->title);
    progress.tick(index, count);
    Tee tee;
    std::unique_ptr<TextSink> text;
    std::unique_ptr<SheetSink> sheet;
    if (request.text) {
      auto path = prefix.parent_path() / (prefix.filename().string() + entry->suffix);
      files.push_back({path.string() + ".part", path});
      text = std::make_unique<TextSink>(files.back().part, request.encoding, result.replaced);
      tee.add(text.get());
    }
    if (wb) {
      sheet = std::make_unique<SheetSink>(*wb, decl);
      tee.add(sheet.get());
    }
    // Every few hundred rows: the same count again, so that a window showing it stays painted.
    std::function<void(long)> tick = [&, i = index](long) { progress.tick(i, count); };
    writeReport(session, decl, entry->number, tee, request.filter, tick);
    text.reset();  // the file is closed before it is renamed
    ++index;
    progress.tick(index, count);
  }
}

void showWorkbookInUse(Session& session, const std::filesystem::path& wbPath) {
  std::string shown = wbPath.string();
  shown = shown.substr(0, shown.size() - std::string("_ALL.xlsx").size());
  session.msg().show(
      "El archivo " + shown + "_ALL.xlsx está siendo utilizado. Cerrar el archivo y volver a generar el reporte.",
      "Error", MsgIcon::Critical);
}

}  // namespace

ExportResult generateReports(Session& session, const StoredDeclaration& decl, const ExportRequest& request,
                             Progress& progress, const std::function<void()>& beforeKeeping) {
  ExportResult result;
  std::vector<const ReportEntry*> chosen;
  for (const auto& entry : reportCatalogue())
    if (!entry.suffix.empty() &&
        std::find(request.formats.begin(), request.formats.end(), entry.number) != request.formats.end())
      chosen.push_back(&entry);
  std::filesystem::path wbPath;
  std::unique_ptr<Workbook> wb;  // dropped unwritten unless closed
  std::vector<PendingFile> files;
  try {
    std::error_code ec;
    std::filesystem::create_directories(request.dir, ec);
    if (request.workbook) {
      wbPath = workbookPath(request.dir, decl.ref, request.stamp.empty() ? currentStamp() : request.stamp);
      wb = std::make_unique<Workbook>(wbPath);
    }
    writeChosen(session, decl, request, chosen, wb.get(), files, result, progress);
    if (beforeKeeping) beforeKeeping();
    if (wb && !wb->close()) {
      dropFiles(files);
      showWorkbookInUse(session, wbPath);
      return result;
    }
    for (const auto& f : files) {
      std::filesystem::rename(f.part, f.final);  // throws on failure
      result.textFiles.push_back(f.final);
    }
  } catch (const Cancelled&) {
    dropFiles(files);
    result.textFiles.clear();
    result.cancelled = true;
    session.msg().info(kCancelledText);
    return result;
  } catch (const std::exception&) {
    dropFiles(files);
    session.msg().show("No se pudieron generar los reportes.", "Error", MsgIcon::Critical);
    return result;
  }
  if (wb) result.workbook = wbPath;
  result.ok = true;
  return result;
}

void showReportsDone(Session& session, const ExportResult& result) {
  std::string note = replacedNote(result.replaced);
  session.msg().show("Se terminaron de generar los reportes solicitados." + (note.empty() ? note : "\n" + note),
                     "Mensaje", MsgIcon::Information);
}

ReportExportForm::ReportExportForm(Session& session, bool sent) : s_(session), sent_(sent) {}

std::vector<std::string> ReportExportForm::columns() const {
  std::vector<std::string> c = {"RUC", "Razón Social", "Periodo"};
  if (sent_) c.push_back("Correl");
  return c;
}

std::vector<std::string> ReportExportForm::cells(const declaration::CatalogueRow& r) const {
  std::vector<std::string> c = {r.ruc, r.nombre, periodToDisplay(r.periodo)};
  if (sent_) c.push_back(r.correl);
  return c;
}

const std::vector<declaration::CatalogueRow>& ReportExportForm::requery() {
  rows_ = storedDeclarations(s_, sent_);
  return rows_;
}

std::optional<StoredDeclaration> ReportExportForm::declarationAt(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  const auto& r = rows_[static_cast<std::size_t>(row)];
  return readDeclaration(s_, {r.ruc, r.periodo, sent_ ? r.correl : std::string()});
}

ExportResult ReportExportForm::cmdAccion(int row, const ExportRequest& request, Progress& progress) {
  payslipReport.reset();
  if (request.formats.empty()) {
    s_.msg().show("Debe seleccionar por lo menos uno de los reportes que generar.", "Error", MsgIcon::Critical);
    return {};
  }
  bool onlyPayslips = std::all_of(request.formats.begin(), request.formats.end(), [](int n) { return n == 27; });
  if (!onlyPayslips && !request.text && !request.workbook) {
    s_.msg().show("Debe seleccionar por lo menos un modo de salida para los reportes.", "Error", MsgIcon::Critical);
    return {};
  }
  auto d = declarationAt(row);
  if (!d) return {};
  const bool payslips = std::find(request.formats.begin(), request.formats.end(), 27) != request.formats.end();
  // The pay statements are made last, before the exported files are kept: cancelled, neither
  // stays.
  auto makePayslips = [&] { payslipReport = producePayslips(s_, *d, progress); };
  ExportResult result;
  if (!onlyPayslips) {
    result = generateReports(s_, *d, request, progress, payslips ? makePayslips : std::function<void()>());
    if (!result.ok) return result;
  } else {
    try {
      makePayslips();
    } catch (const Cancelled&) {
      s_.msg().info(kCancelledText);
      result.cancelled = true;
      return result;
    }
    result.ok = true;
  }
  showReportsDone(s_, result);
  return result;
}

}  // namespace korventa::printouts
