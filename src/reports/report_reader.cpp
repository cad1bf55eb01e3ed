#include "reports/report_reader.h"

#include <fstream>
#include <string>

#include "common/text.h"

namespace korventa::reports {

ReadMode readModeOf(std::string_view mode) {
  return mode == "PresPrevia" ? ReadMode::Preview : ReadMode::Print;
}

ReportReader::ReportReader(ReadMode mode, PageRange range) : range_(range) {
  doc_.mode = mode;
  // The first preview page exists before anything is read.
  if (mode == ReadMode::Preview && !range_.active) previewPage(0);
}

Page& ReportReader::previewPage(int page) {
  auto [it, created] = preview_.try_emplace(page);
  if (created) {
    it->second.index = page;
    it->second.background = colour_;
  }
  return it->second;
}

void ReportReader::draw(DrawOp op, int page) {
  lastDrawnPage_ = page;
  if (doc_.mode == ReadMode::Preview) {
    if (page < 0) return;  // no such page to draw on
    if (range_.active && !range_.contains(page)) return;
    previewPage(page).ops.push_back(std::move(op));
    return;
  }
  if (range_.active && !range_.contains(page)) return;
  if (doc_.pages.empty() || newSheetPending_) {
    Page sheet;
    sheet.index = static_cast<int>(doc_.pages.size());
    sheet.orientation = orientation_;
    doc_.pages.push_back(std::move(sheet));
    newSheetPending_ = false;
  }
  doc_.pages.back().ops.push_back(std::move(op));
}

void ReportReader::feed(std::string_view rawLine) {
  while (!rawLine.empty() && (rawLine.back() == '\r' || rawLine.back() == '\n')) rawLine.remove_suffix(1);
  // Lines are UTF-8; other bytes are taken as Windows-1252 so that nothing is lost.
  std::string decoded;
  bool ascii = true;
  for (char c : rawLine)
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
  if (!ascii) {
    decoded = text::decodeInput(rawLine);
    rawLine = decoded;
  }

  auto token = extractToken(rawLine);
  if (!token) {
    ++doc_.skippedLines;
    return;
  }
  const std::string& name = token->name;
  if (name == "pPos" || name == "pPosVerti") {
    ArgReader a(token->rest);
    DrawOp op;
    op.kind = name == "pPos" ? DrawOp::Kind::Text : DrawOp::Kind::VerticalText;
    op.x = a.number();
    op.y = a.number();
    op.text = std::string(a.next());
    op.bold = a.boolean();
    op.size = a.number();
    int page = a.number();
    draw(std::move(op), page);
  } else if (name == "pCuadro") {
    ArgReader a(token->rest);
    DrawOp op;
    op.kind = DrawOp::Kind::Box;
    op.x = a.number();
    op.y = a.number();
    op.x2 = a.number();
    op.y2 = a.number();
    int page = a.number();
    draw(std::move(op), page);
  } else if (name == "pNuevaHoja") {
    if (doc_.mode == ReadMode::Print && !doc_.pages.empty() && (!range_.active || range_.contains(lastDrawnPage_)))
      newSheetPending_ = true;
  } else if (name == "<!font!>") {
    doc_.fontName = std::string(tagValue(token->rest, "<!/font!>"));
  } else if (name == "<!nHojas!>") {
    doc_.announcedPages = numberArg(text::trim(tagValue(token->rest, "<!/nHojas!>")));
  } else if (name == "<!Color!>") {
    if (doc_.mode != ReadMode::Preview) return;
    if (auto c = parseColour(tagValue(token->rest, "<!/Color!>"))) {
      colour_ = *c;
      colourSet_ = true;
    }
  } else if (name == "<!Orientacion!>") {
    if (doc_.mode != ReadMode::Print) return;
    std::string o = text::upper(text::trim(tagValue(token->rest, "<!/Orientacion!>")));
    if (o == "H")
      orientation_ = Orientation::Landscape;
    else if (o == "V")
      orientation_ = Orientation::Portrait;
  } else {
    ++doc_.skippedLines;
  }
}

Document ReportReader::finish() {
  if (doc_.mode == ReadMode::Preview) {
    if (preview_.empty()) previewPage(0);  // a range with nothing in it still shows one page
    for (auto& [index, page] : preview_) doc_.pages.push_back(std::move(page));
    preview_.clear();
    // The colour tag repaints the first preview page whenever it comes.
    if (colourSet_) doc_.pages.front().background = colour_;
  }
  return std::move(doc_);
}

Document readReport(std::istream& in, ReadMode mode, const PageRange& range) {
  ReportReader reader(mode, range);
  std::string line;
  while (std::getline(in, line)) reader.feed(line);
  return reader.finish();
}

std::optional<Document> pDesencripta(const std::filesystem::path& path, std::string_view mode, const PageRange& range,
                                     Messenger& messenger) {
  std::error_code ec;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open() || !in) {
    messenger.show("Archivo Físico del Reporte no Existe.", "Error al Imprimir", MsgIcon::Critical);
    return std::nullopt;
  }
  return readReport(in, readModeOf(mode), range);
}

}  // namespace korventa::reports
