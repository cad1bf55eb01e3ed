#pragma once
// Reads a report file into a Document, for the preview or for the printer, honouring the
// page-range selection. Garbage lines, missing arguments, huge numbers and bytes that are not
// UTF-8 (read as Windows-1252) never stop the reading: what can be drawn is drawn.
#include <filesystem>
#include <istream>
#include <map>
#include <optional>
#include <string_view>

#include "common/messenger.h"
#include "reports/report_document.h"

namespace korventa::reports {

// "PresPrevia" reads for the preview; any other mode text for the printer.
ReadMode readModeOf(std::string_view mode);

class ReportReader {
 public:
  ReportReader(ReadMode mode, PageRange range);
  // One line of the file (a trailing CR is dropped).
  void feed(std::string_view rawLine);
  Document finish();

 private:
  void draw(DrawOp op, int page);
  Page& previewPage(int page);

  Document doc_;
  PageRange range_;
  std::map<int, Page> preview_;
  Rgb colour_;
  bool colourSet_ = false;
  Orientation orientation_ = Orientation::Portrait;
  bool newSheetPending_ = false;
  int lastDrawnPage_ = 0;  // page index of the last drawing command read
};

Document readReport(std::istream& in, ReadMode mode, const PageRange& range);

// Reads the report file at `path`; a missing file shows "Archivo Físico del Reporte no Existe."
// titled "Error al Imprimir" and gives nothing.
std::optional<Document> pDesencripta(const std::filesystem::path& path, std::string_view mode, const PageRange& range,
                                     Messenger& messenger);

}  // namespace korventa::reports
