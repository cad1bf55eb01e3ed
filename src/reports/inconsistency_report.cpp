#include "reports/inconsistency_report.h"

#include <fstream>
#include <sstream>

#include "common/dates.h"
#include "common/text.h"

namespace korventa::reports {
namespace {

constexpr int kCut = 90;
// 9-point type keeps a cut line (four blanks, 90 characters and the mark) inside the printable
// width of an A4 sheet.
constexpr int kSize = 9;

std::string pPos(int x, int y, std::string_view textValue, bool bold, int page) {
  return "pPos|" + std::to_string(x) + "|" + std::to_string(y) + "|" + commandText(textValue) + "|" +
         (bold ? "True" : "False") + "|" + std::to_string(kSize) + "|" + std::to_string(page) + "|";
}

}  // namespace

std::optional<std::vector<std::string>> readInconsistencyFile(const std::filesystem::path& mens) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(mens, ec)) return std::nullopt;
  std::ifstream in(mens, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream all;
  all << in.rdbuf();
  std::string decoded = text::decodeInput(all.str());
  std::vector<std::string> lines;
  std::istringstream s(decoded);
  std::string line;
  while (std::getline(s, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> inconsistencyRows(const std::vector<std::string>& messages) {
  std::vector<std::string> rows;
  for (const auto& message : messages) {
    if (text::length(message) <= kCut) {
      rows.push_back(message + " ");
      continue;
    }
    rows.push_back(text::left(message, kCut) + "-");
    std::string rest = text::mid(message, kCut + 1);
    while (text::length(rest) > kCut) {
      rows.push_back("    " + text::left(rest, kCut) + "-");
      rest = text::mid(rest, kCut + 1);
    }
    rows.push_back("    " + rest);
  }
  return rows;
}

int writeInconsistencyReport(ReportWriter& w, const std::vector<std::string>& messages, std::string date,
                             std::string time) {
  if (date.empty()) date = Clock::today().dmy();
  if (time.empty()) time = currentTime();
  auto rows = inconsistencyRows(messages);
  int pages =
      rows.empty() ? 1 : static_cast<int>((rows.size() + kInconsistencyLinesPerPage - 1) / kInconsistencyLinesPerPage);

  w.ImprimeLinea("<!font!>Courier New<!/font!>");
  w.ImprimeLinea("<!nHojas!>" + std::to_string(pages) + "<!/nHojas!>");
  w.ImprimeLinea("<!Orientacion!>V<!/Orientacion!>");
  w.ImprimeLinea("<!Color!>&H80000005&<!/Color!>");
  std::size_t next = 0;
  for (int page = 0; page < pages; ++page) {
    if (page > 0) w.ImprimeLinea("pNuevaHoja");
    w.ImprimeLinea(pPos(400, 30, "ZUMAR", true, page));
    w.ImprimeLinea(pPos(400, 300, date + " " + time, true, page));
    w.ImprimeLinea(pPos(4000, 300, "INCONSISTENCIAS DETECTADAS ", true, page));
    w.ImprimeLinea(pPos(9000, 300, "PAG. " + std::to_string(page + 1) + " ", true, page));
    w.ImprimeLinea(pPos(4200, 570, "KORVENTAS", true, page));
    for (int n = 0; n < kInconsistencyLinesPerPage && next < rows.size(); ++n, ++next)
      w.ImprimeLinea(pPos(400, 1000 + n * 270, rows[next], false, page));
  }
  return pages;
}

std::optional<std::filesystem::path> writeInconsistencyReportFile(Session& session, const std::filesystem::path& mens) {
  auto messages = readInconsistencyFile(mens);
  if (!messages) {
    session.msg().show(kNoInconsistencyFile, "Error al Imprimir", MsgIcon::Critical);
    return std::nullopt;
  }
  std::filesystem::path dir = session.paths.tmpPath.empty() ? std::filesystem::temp_directory_path()
                                                            : std::filesystem::path(session.paths.tmpPath);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::filesystem::path out = dir / "Inconsistencias.PRN";
  ReportWriter w(out);
  writeInconsistencyReport(w, *messages);
  w.close();
  return out;
}

}  // namespace korventa::reports
