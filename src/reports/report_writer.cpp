#include "reports/report_writer.h"

#include <ctime>
#include <stdexcept>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::reports {
namespace {

std::string padRight(std::string s, std::size_t width) {
  std::size_t n = text::length(s);
  if (n < width) s.append(width - n, ' ');
  return s;
}

// A title centred in the line width by (width - length) / 2 leading blanks, with `leftMargin`
// in the first columns and `rightMargin` ending at the line width, where they fit.
std::string titleLine(std::string_view title, int width, std::string_view leftMargin, std::string_view rightMargin) {
  int len = static_cast<int>(text::length(title));
  int lead = width > len ? (width - len) / 2 : 0;
  std::string line;
  if (!leftMargin.empty() && static_cast<int>(text::length(leftMargin)) < lead) line = std::string(leftMargin);
  line = padRight(line, static_cast<std::size_t>(lead)) + std::string(title);
  if (!rightMargin.empty()) {
    int used = static_cast<int>(text::length(line));
    int room = width - static_cast<int>(text::length(rightMargin));
    line = padRight(line, static_cast<std::size_t>(std::max(room, used + 1))) + std::string(rightMargin);
  }
  return line;
}

}  // namespace

std::string commandText(std::string_view s) {
  std::string o;
  o.reserve(s.size());
  for (char c : s) {
    if (c == '|')
      o += "¦";
    else if (c == '\r' || c == '\n')
      o += ' ';
    else
      o += c;
  }
  return o;
}

ReportWriter::ReportWriter(const std::filesystem::path& file) : destination_(Destination::Archivo), path_(file) {
  out_.open(file, std::ios::binary | std::ios::trunc);
  if (!out_) throw std::runtime_error("No se puede crear el archivo del reporte " + file.string());
}

ReportWriter::ReportWriter(DirectPrinter& printer) : destination_(Destination::Impresora), printer_(&printer) {}

void ReportWriter::writeRaw(std::string_view line) {
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  out_.write("\r\n", 2);
}

void ReportWriter::ImprimeLinea(std::string_view line) {
  if (destination_ == Destination::Archivo) {
    if (text::trim(line).empty())
      writeRaw(" ");
    else
      writeRaw(line);
  } else {
    printer_->printLine(line, fontName, fontSize, fontBold);
  }
}

void ReportWriter::ImprimeLineaPag(std::string_view line) {
  bool tag = line.starts_with("<!");
  if (destination_ == Destination::Archivo) {
    if (!tag) {
      y_ += 175;
      writeRaw("pPos|10|" + std::to_string(y_) + "|" + commandText(line) + "|False|8|" + std::to_string(page_ - 1) +
               "|");
    } else if (page_ <= 1) {
      writeRaw(line);
    }
  } else if (!tag) {
    printer_->printLine(line, fontName, fontSize, fontBold);
  }
  if (++line_ >= pageLength()) {
    ++page_;
    y_ = 0;
    line_ = 0;
    if (destination_ == Destination::Archivo)
      writeRaw("pNuevaHoja");
    else
      printer_->newPage();
  }
}

void ReportWriter::close() {
  if (destination_ != Destination::Archivo || !out_.is_open()) return;
  out_.flush();
  bool ok = static_cast<bool>(out_);
  out_.close();
  if (!ok || out_.fail()) throw std::runtime_error("No se pudo escribir el archivo del reporte " + path_.string());
}

std::string currentTime() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H:%M:%S", &tm);
  return buf;
}

void writeListingHeader(ReportWriter& w, const ListingHeader& h) {
  w.setLineWidth(82);
  const int width = w.lineWidth();
  std::string date = h.date.empty() ? Clock::today().dmy() : h.date;
  std::string time = h.time.empty() ? currentTime() : h.time;
  std::string pageLabel = "Pag:" + vbFormat(static_cast<long long>(w.pageNumber()), "##");

  // The tags belong to the start of the file; a header repeated while the first page is not yet
  // full must not announce them again.
  if (w.headersWritten++ == 0 && w.pageNumber() == 1) {
    w.pageEstimate = static_cast<double>(h.reportLines / 69 + 1);
    w.ImprimeLineaPag("<!font!>Courier New<!/font!>");
    w.ImprimeLineaPag("<!nHojas!>" + std::to_string(static_cast<long long>(w.pageEstimate)) + "<!/nHojas!>");
    w.ImprimeLineaPag("<!Orientacion!>V<!/Orientacion!>");
    w.ImprimeLineaPag("<!Color!>&H80000005&<!/Color!>");
    for (int i = 0; i < 3; ++i) w.ImprimeLineaPag("");
  }
  w.ImprimeLineaPag(titleLine("ZUMAR", width, date, pageLabel));
  w.ImprimeLineaPag(titleLine("ZEL 0601", width, time, ""));
  w.ImprimeLineaPag(titleLine(h.title, width, "", ""));
  w.ImprimeLineaPag("");
  w.ImprimeLineaPag("");
  w.ImprimeLineaPag(padRight("CONTRIBUYENTE:  " + h.ruc + "  " + h.name, 110));
  w.ImprimeLineaPag(std::string(static_cast<std::size_t>(width), '_'));
}

}  // namespace korventa::reports
