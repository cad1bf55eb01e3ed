#pragma once
// Draws a report Document with QPainter: on a preview page, on a printer and into a PDF file.
// Positions are twips from the top left corner of the printable area.
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSizeF>
#include <QString>

#include "reports/report_document.h"
#include "reports/report_writer.h"

namespace korventa::reports::ui {

// The unprintable border a printer keeps; PDF files and the preview keep the same, so that what
// is drawn at x = 10 twips is not cut off.
inline constexpr int kMarginTwips = 360;
// A4.
inline constexpr int kSheetWidthTwips = 11906;
inline constexpr int kSheetHeightTwips = 16838;

// The report font: "Courier New" (or "Courier") falls back to the metric-compatible
// "Liberation Mono" where it is not installed. Sizes are kept within 1–400 points.
QFont reportFont(const std::string& family, double pointSize, bool bold);

// Size of a preview page in twips: a portrait A4 sheet, widened or lengthened when the drawing
// reaches beyond it.
QSizeF previewPageSizeTwips(const Page& page);

// Draws the operations of one page. `zoom` scales twips beyond the device's own resolution;
// `origin` is where twip (0, 0) lies, in device units.
void paintPage(QPainter& painter, const Page& page, double zoom = 1.0, QPointF origin = {});

// The glyphs of report texts, shaped once per text and font for one paint device: a run of pay
// statements draws the same captions on every page, and shaping them is most of the cost of
// drawing. The runs hold no blanks (a blank draws nothing; the glyphs after it keep their
// places), which also keeps them out of the page content of a PDF file.
class TextGlyphs {
 public:
  explicit TextGlyphs(QPaintDevice& device, std::size_t capacity = 100000);
  // False for texts with control characters (a tab, say), which a layout would treat as more
  // than a glyph: those are drawn as text.
  static bool shapes(std::string_view text);
  // The glyphs of the text of `op` drawn in `font` (the report font of `op` for the device), with
  // the baseline of the text at y = 0 and its start at x = 0.
  const QList<QGlyphRun>& runs(const DrawOp& op, const QFont& font);

 private:
  QList<QGlyphRun> shape(const QString& text, const QFont& font);
  quint32 blankGlyph(const QRawFont& font);

  struct FontTexts {
    std::string family;
    int size;
    bool bold;
    std::unordered_map<std::string, QList<QGlyphRun>> texts;
  };

  QPaintDevice& device_;
  std::size_t capacity_;
  std::size_t count_ = 0;  // texts held, in all fonts
  std::list<FontTexts> fonts_;
  FontTexts* current_ = nullptr;  // the font of the last text
  std::vector<std::pair<QRawFont, quint32>> blanks_;
};

// Draws the operations of one page as paintPage does, texts from `glyphs` (at zoom 1).
void paintPage(QPainter& painter, const Page& page, TextGlyphs& glyphs);

// Draws the sheets of a print document on a printer or PDF writer, one device page per sheet
// with the sheet's orientation. Returns false with a Spanish message when the device cannot be
// painted on.
bool paintSheets(QPagedPaintDevice& device, const Document& doc, QString* error);

// From this many pages on, writePdf draws the two halves of a document at once, each on a PDF
// writer of its own, and joins them into one file.
inline constexpr std::size_t kPagesForTwoPdfWriters = 200;

// Writes the document into a PDF file (A4, the printer's border). With a preview document each
// preview page becomes a PDF page. Texts are drawn through TextGlyphs. A long document is drawn
// on two writers at once (see kPagesForTwoPdfWriters); when their files cannot be joined it is
// drawn again on one.
bool writePdf(const Document& doc, const QString& fileName, QString* error);

// The "IMPRESORA" destination of the writers: plain lines printed top to bottom in the report
// font, each one line height below the previous, on a printer or PDF writer.
class PrinterLines : public DirectPrinter {
 public:
  explicit PrinterLines(QPagedPaintDevice& device);
  bool isActive() const { return painter_.isActive(); }
  void printLine(std::string_view text, const std::string& font, int size, bool bold) override;
  void newPage() override;
  // Ends the print job; false when the device could not be painted on.
  bool finish();

 private:
  QPagedPaintDevice& device_;
  QPainter painter_;
  double y_ = 0;  // device units
};

}  // namespace korventa::reports::ui
