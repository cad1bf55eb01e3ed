#include "reports/ui/report_renderer.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <thread>

#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPainterPath>
#include <QPageSize>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

#include "common/text.h"
#include "reports/pdf_join.h"
#include "reports/print_outcome.h"

namespace korventa::reports::ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

QString lookUpFamily(const std::string& family) {
  QString f = QString::fromStdString(family).trimmed();
  if (f.isEmpty()) f = QStringLiteral("Courier New");
  if (QFontDatabase::hasFamily(f)) return f;
  if (f.compare("Courier New", Qt::CaseInsensitive) == 0 || f.compare("Courier", Qt::CaseInsensitive) == 0) {
    static const QString mono = [] {
      for (const char* candidate : {"Liberation Mono", "Cousine", "DejaVu Sans Mono"})
        if (QFontDatabase::hasFamily(candidate)) return QString(candidate);
      return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return mono;
  }
  return f;
}

// Asking the font database costs a fontconfig substitution each time (milliseconds), and a
// report draws thousands of texts in the same one or two families: each name is looked up once.
QString resolvedFamily(const std::string& family) {
  static std::mutex mutex;
  static std::map<std::string, QString> known;
  std::lock_guard lock(mutex);
  auto it = known.find(family);
  if (it == known.end()) it = known.emplace(family, lookUpFamily(family)).first;
  return it->second;
}

// Rough extent of a text for sizing preview pages: Courier advances are 0.6 em.
int textWidthTwips(const DrawOp& op) {
  return static_cast<int>(text::length(op.text) * op.size * 20 * 0.6);
}

}  // namespace

QFont reportFont(const std::string& family, double pointSize, bool bold) {
  QFont font(resolvedFamily(family));
  font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
  font.setFixedPitch(true);
  font.setPointSizeF(std::clamp(pointSize, 1.0, 400.0));
  font.setBold(bold);
  font.setKerning(false);
  return font;
}

QSizeF previewPageSizeTwips(const Page& page) {
  double w = kSheetWidthTwips, h = kSheetHeightTwips;
  for (const auto& op : page.ops) {
    double right = 0, bottom = 0;
    switch (op.kind) {
      case DrawOp::Kind::Text:
        right = op.x + textWidthTwips(op);
        bottom = op.y + op.size * 20 * 1.2;
        break;
      case DrawOp::Kind::VerticalText:
        right = op.x + op.size * 20;
        bottom = op.y + static_cast<double>(text::length(op.text)) * kVerticalStep + op.size * 20;
        break;
      case DrawOp::Kind::Box:
        right = std::max(op.x, op.x2);
        bottom = std::max(op.y, op.y2);
        break;
    }
    w = std::max(w, right + 2.0 * kMarginTwips);
    h = std::max(h, bottom + 2.0 * kMarginTwips);
  }
  // Nothing is drawn beyond the 16-bit coordinates, so the page never grows past them.
  return {std::min(w, 32767.0 + 2 * kMarginTwips), std::min(h, 32767.0 + 2 * kMarginTwips)};
}

namespace {

// Draws the page's operations; texts go through `glyphs` when given, else through drawText.
void paintOps(QPainter& painter, const Page& page, double zoom, QPointF origin, TextGlyphs* glyphs) {
  QPaintDevice* device = painter.device();
  const double sx = device->logicalDpiX() / kTwipsPerInch * zoom;
  const double sy = device->logicalDpiY() / kTwipsPerInch * zoom;
  auto at = [&](double x, double y) { return QPointF(origin.x() + x * sx, origin.y() + y * sy); };

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setPen(QPen(Qt::black, std::max(1.0, 10 * sx)));
  painter.setBrush(Qt::NoBrush);
  struct FontInUse {
    std::string family;
    int size;
    bool bold;
    double ascent;
    QFont font;
  };
  std::optional<FontInUse> current;
  for (const auto& op : page.ops) {
    if (op.kind == DrawOp::Kind::Box) {
      painter.drawLine(at(op.x, op.y), at(op.x, op.y2));
      painter.drawLine(at(op.x2, op.y), at(op.x2, op.y2));
      painter.drawLine(at(op.x, op.y), at(op.x2, op.y));
      painter.drawLine(at(op.x, op.y2), at(op.x2, op.y2));
      continue;
    }
    if (op.text.empty()) continue;
    // Texts mostly come in runs of the same font: set it and measure it only when it changes.
    if (!current || op.font != current->family || op.size != current->size || op.bold != current->bold) {
      QFont font = reportFont(op.font, op.size * zoom, op.bold);
      painter.setFont(font);
      current = FontInUse{op.font, op.size, op.bold, QFontMetricsF(font, device).ascent(), font};
    }
    const double ascent = current->ascent;
    if (op.kind == DrawOp::Kind::Text) {
      // The command gives the top left corner of the text; Qt draws on the baseline.
      QPointF p = at(op.x, op.y);
      QPointF baseline(p.x(), p.y() + ascent);
      if (glyphs && TextGlyphs::shapes(op.text))
        for (const auto& run : glyphs->runs(op, current->font)) painter.drawGlyphRun(baseline, run);
      else
        painter.drawText(baseline, QString::fromStdString(op.text));
    } else {
      auto chars = text::codepoints(op.text);
      for (std::size_t i = 0; i < chars.size(); ++i) {
        QPointF p = at(op.x, op.y + static_cast<double>(i) * kVerticalStep);
        painter.drawText(QPointF(p.x(), p.y() + ascent), QString::fromStdString(text::fromCodepoint(chars[i])));
      }
    }
  }
  painter.restore();
}

}  // namespace

TextGlyphs::TextGlyphs(QPaintDevice& device, std::size_t capacity) : device_(device), capacity_(capacity) {}

bool TextGlyphs::shapes(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

const QList<QGlyphRun>& TextGlyphs::runs(const DrawOp& op, const QFont& font) {
  // Texts come in runs of the same font: look the font up only when it changes.
  if (!current_ || current_->family != op.font || current_->size != op.size || current_->bold != op.bold) {
    auto f = std::find_if(fonts_.begin(), fonts_.end(), [&](const FontTexts& t) {
      return t.family == op.font && t.size == op.size && t.bold == op.bold;
    });
    current_ = f != fonts_.end() ? &*f : &fonts_.emplace_back(FontTexts{op.font, op.size, op.bold, {}});
  }
  auto& known = current_->texts;
  auto it = known.find(op.text);
  if (it != known.end()) return it->second;
  // Texts that do not repeat (amounts, names) would fill the memory of a long report: start over.
  if (++count_ > capacity_) {
    for (auto& f : fonts_) f.texts.clear();
    count_ = 1;
  }
  return known.emplace(op.text, shape(QString::fromStdString(op.text), font)).first->second;
}

quint32 TextGlyphs::blankGlyph(const QRawFont& font) {
  for (const auto& [known, glyph] : blanks_)
    if (known == font) return glyph;
  // A blank draws nothing, so it can be left out; 0 (no glyph) where the font draws it.
  const auto indexes = font.glyphIndexesForString(QStringLiteral(" "));
  const quint32 glyph = indexes.size() == 1 && font.pathForGlyph(indexes[0]).isEmpty() ? indexes[0] : 0;
  blanks_.emplace_back(font, glyph);
  return glyph;
}

QList<QGlyphRun> TextGlyphs::shape(const QString& text, const QFont& font) {
  QTextLayout layout(text, font, &device_);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setPosition(QPointF(0, 0));
  layout.endLayout();
  const QPointF baseline(0, line.ascent());
  QList<QGlyphRun> out;
  for (QGlyphRun run : layout.glyphRuns()) {
    const quint32 blank = blankGlyph(run.rawFont());
    QList<quint32> indexes;
    QList<QPointF> positions;
    const auto allIndexes = run.glyphIndexes();
    const auto allPositions = run.positions();
    for (qsizetype i = 0; i < allIndexes.size(); ++i) {
      if (blank != 0 && allIndexes[i] == blank) continue;  // the glyphs after it keep their places
      indexes.append(allIndexes[i]);
      positions.append(allPositions[i] - baseline);
    }
    if (indexes.isEmpty()) continue;
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    out.append(run);
  }
  return out;
}

void paintPage(QPainter& painter, const Page& page, double zoom, QPointF origin) {
  paintOps(painter, page, zoom, origin, nullptr);
}

void paintPage(QPainter& painter, const Page& page, TextGlyphs& glyphs) {
  paintOps(painter, page, 1.0, {}, &glyphs);
}

namespace {

// With `glyphs` the texts are drawn from glyphs shaped once per text (see TextGlyphs).
bool paintSheetsWith(QPagedPaintDevice& device, std::span<const Page> pages, QString* error, TextGlyphs* glyphs) {
  auto orientationOf = [](const Page& p) {
    return p.orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
  };
  if (!pages.empty()) device.setPageOrientation(orientationOf(pages.front()));
  QPainter painter;
  if (!painter.begin(&device)) {
    if (error) *error = QString::fromStdString(reports::printFailureText(reports::PrintFailure::Start));
    return false;
  }
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) {
      device.setPageOrientation(orientationOf(pages[i]));
      if (!device.newPage()) {
        painter.end();
        if (error) *error = QString::fromStdString(reports::printFailureText(reports::PrintFailure::NextSheet));
        return false;
      }
    }
    paintOps(painter, pages[i], 1.0, {}, glyphs);
  }
  if (!painter.end()) {
    if (error) *error = QString::fromStdString(reports::printFailureText(reports::PrintFailure::Finish));
    return false;
  }
  return true;
}

void setUpPdf(QPdfWriter& pdf) {
  pdf.setCreator(QStringLiteral("Korventa 0601"));
  pdf.setResolution(1200);
  const double margin = kMarginTwips / kTwipsPerInch * 72.0;  // points
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(margin, margin, margin, margin), QPageLayout::Point));
}

bool pdfFailure(const QString& fileName, QString* error) {
  if (error)
    *error = QString::fromStdString(reports::printFailureText(reports::PrintFailure::PdfFile, fileName.toStdString()));
  return false;
}

// The whole document on one writer, straight into the file.
bool writePdfOnOneWriter(const Document& doc, const QString& fileName, QString* error) {
  QPdfWriter pdf(fileName);
  setUpPdf(pdf);
  TextGlyphs glyphs(pdf);
  if (!paintSheetsWith(pdf, doc.pages, error, &glyphs)) return pdfFailure(fileName, error);
  return true;
}

// Some pages as a PDF file in memory; nothing when they could not be drawn.
std::optional<QByteArray> pdfInMemory(std::span<const Page> pages) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    setUpPdf(pdf);
    TextGlyphs glyphs(pdf);  // one per thread: it is not shared
    if (!paintSheetsWith(pdf, pages, nullptr, &glyphs)) return std::nullopt;
  }
  return buffer.data();
}

// The two halves of the document drawn at once, each on a writer of its own, and joined into
// `file`. False when they could not be drawn, joined or written.
bool writeOnTwoWriters(const Document& doc, QFile& file) {
  const std::span<const Page> pages(doc.pages);
  const std::size_t half = pages.size() / 2;
  std::optional<QByteArray> second;
  std::thread worker([&] { second = pdfInMemory(pages.subspan(half)); });
  std::optional<QByteArray> first = pdfInMemory(pages.first(half));
  worker.join();
  if (!first || !second) return false;
  auto write = [&file](std::string_view piece) {
    return file.write(piece.data(), static_cast<qint64>(piece.size())) == static_cast<qint64>(piece.size());
  };
  return reports::joinPdfs(std::string_view(first->constData(), static_cast<std::size_t>(first->size())),
                           std::string_view(second->constData(), static_cast<std::size_t>(second->size())), write) &&
         file.flush();
}

}  // namespace

bool paintSheets(QPagedPaintDevice& device, const Document& doc, QString* error) {
  return paintSheetsWith(device, doc.pages, error, nullptr);
}

bool writePdf(const Document& doc, const QString& fileName, QString* error) {
  if (doc.pages.size() < kPagesForTwoPdfWriters) return writePdfOnOneWriter(doc, fileName, error);
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return pdfFailure(fileName, error);
  if (!writeOnTwoWriters(doc, file)) {
    // Drawn again on one writer, over whatever was written, rather than leave a file that a
    // viewer could not read.
    file.close();
    return writePdfOnOneWriter(doc, fileName, error);
  }
  file.close();
  return file.error() == QFileDevice::NoError || pdfFailure(fileName, error);
}

PrinterLines::PrinterLines(QPagedPaintDevice& device) : device_(device) {
  painter_.begin(&device_);
}

void PrinterLines::printLine(std::string_view line, const std::string& font, int size, bool bold) {
  if (!painter_.isActive()) return;
  QFont f = reportFont(font, size, bold);
  painter_.setFont(f);
  QFontMetricsF fm(f, &device_);
  const double pageHeight = device_.height();
  if (y_ > 0 && y_ + fm.height() > pageHeight) newPage();
  painter_.drawText(QPointF(0, y_ + fm.ascent()), QString::fromStdString(std::string(line)));
  y_ += fm.height();
}

void PrinterLines::newPage() {
  if (!painter_.isActive()) return;
  device_.newPage();
  y_ = 0;
}

bool PrinterLines::finish() {
  return painter_.isActive() && painter_.end();
}

}  // namespace korventa::reports::ui
