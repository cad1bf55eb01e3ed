// Drawing report pages with Qt: raster pages and PDF files.
#include <gtest/gtest.h>

#include <regex>

#include <QGuiApplication>
#include <QImage>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"
#include "report_support.h"
#include "support/test_db.h"

namespace korventa::reports {
namespace {

using korventa::test::TempDir;

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QGuiApplication::instance()) {
      qputenv("QT_QPA_PLATFORM",
              qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
      app_ = new QGuiApplication(argc_, argv_);
    }
  }
  void TearDown() override { delete app_; }

 private:
  int argc_ = 1;
  char name_[12] = "test_report";
  char* argv_[2] = {name_, nullptr};
  QGuiApplication* app_ = nullptr;
};
const auto* qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Pages of a PDF file, counted by its page objects.
int pdfPages(const std::filesystem::path& file) {
  std::string pdf = test::readFile(file);
  static const std::regex page(R"(/Type\s*/Page[^s])");
  return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// A page drawn at 144 dpi on white.
QImage raster(const Page& page) {
  QImage img(1700, 2400, QImage::Format_RGB32);
  img.setDotsPerMeterX(qRound(144 / 0.0254));
  img.setDotsPerMeterY(qRound(144 / 0.0254));
  img.fill(Qt::white);
  QPainter p(&img);
  ui::paintPage(p, page);
  return img;
}

// A page drawn at 300 dpi on white, texts drawn with drawText or from `glyphs`.
QImage fine(const Page& page, ui::TextGlyphs* glyphs = nullptr) {
  QImage img(2480, 3508, QImage::Format_RGB32);
  img.setDotsPerMeterX(qRound(300 / 0.0254));
  img.setDotsPerMeterY(qRound(300 / 0.0254));
  img.fill(Qt::white);
  QPainter p(&img);
  if (glyphs)
    ui::paintPage(p, page, *glyphs);
  else
    ui::paintPage(p, page);
  return img;
}

// Leftmost column with a dark pixel between rows y0 and y1; -1 when none.
int firstInkColumn(const QImage& img, int y0, int y1) {
  for (int x = 0; x < img.width(); ++x)
    for (int y = y0; y < y1; ++y)
      if (qGray(img.pixel(x, y)) < 128) return x;
  return -1;
}

// Leading blanks shift the text (by the width of a fixed-pitch font); boxes and vertical text are
// drawn where they are placed; garbage renders without failing.
TEST(ReportRender, RasterPages) {
  auto doc = test::read(
      "pPos|1440|1440|X|False|10|0|\npPos|1440|2880|   X|False|10|0|\n"
      "pCuadro|1440|4320|2880|5760|0|\npPosVerti|4320|4320|IIII|True|10|0|\n",
      ReadMode::Preview);
  QImage img = raster(doc.pages[0]);
  int plain = firstInkColumn(img, 144, 288);
  int shifted = firstInkColumn(img, 288, 432);
  ASSERT_GT(plain, 0);
  // Three blanks of a 10-point fixed-pitch font: 3 x 6 points = 18 points = 36 pixels at 144 dpi.
  EXPECT_NEAR(shifted - plain, 36, 2);
  EXPECT_LT(qGray(img.pixel(144, 488)), 128);  // left side
  EXPECT_LT(qGray(img.pixel(288, 488)), 128);  // right side
  EXPECT_LT(qGray(img.pixel(200, 432)), 128);  // top
  EXPECT_EQ(qGray(img.pixel(200, 488)), 255);  // inside stays empty
  // Four characters, 190 twips apart, downwards from y = 4320.
  int inkRows = 0;
  for (int y = 432; y < 432 + 4 * 19 + 20; ++y)
    for (int x = 432; x < 460; ++x)
      if (qGray(img.pixel(x, y)) < 128) {
        ++inkRows;
        break;
      }
  EXPECT_GT(inkRows, 30);

  // Garbage at the limits of the numbers renders without failing.
  auto garbage = test::read("pPos|32767|-32768|\xFF\xFE texto|True|32767|0|\npPosVerti|-5|-5|" + std::string(500, 'V') +
                                "|1|0|0|\npCuadro|-32768|-32768|32767|32767|0|\npPos|||||\n",
                            ReadMode::Preview);
  ASSERT_EQ(garbage.pages.size(), 1u);
  EXPECT_EQ(garbage.pages[0].ops.size(), 4u);
  EXPECT_FALSE(raster(garbage.pages[0]).isNull());
  QSizeF size = ui::previewPageSizeTwips(garbage.pages[0]);
  EXPECT_LE(size.width(), 32767 + 2 * ui::kMarginTwips);
}

// Each text keeps its own font when consecutive texts change size or weight: every band of
// a page drawn with all of them matches the same text drawn alone.
TEST(ReportRender, ConsecutiveTextsKeepTheirOwnFont) {
  const std::vector<std::string> texts = {
      "pPos|1440|1440|Boleta 123|False|8|0|", "pPos|1440|2160|Boleta 123|True|8|0|",
      "pPos|1440|2880|Boleta 123|True|14|0|", "pPos|1440|3600|Boleta 123|True|14|0|",
      "pPos|1440|4320|Boleta 123|False|7|0|", "pPos|1440|5040|Boleta 123|False|8|0|"};
  std::string all;
  for (const auto& t : texts) all += t + "\n";
  QImage together = raster(test::read(all, ReadMode::Preview).pages[0]);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    QImage alone = raster(test::read(texts[i] + "\n", ReadMode::Preview).pages[0]);
    const int top = 144 + static_cast<int>(i) * 72;  // 720 twips = 72 pixels at 144 dpi
    EXPECT_EQ(together.copy(0, top, together.width(), 72), alone.copy(0, top, alone.width(), 72));
  }
}

// Texts drawn from glyphs shaped once (blanks left out) look exactly as texts drawn one by one:
// the first time, from the cache, and after the cache started over.
TEST(ReportRender, ShapedOnceDrawsAsDrawnEachTime) {
  const std::string page =
      "pPos|4100|400|Boleta de Pago|True|14|0|\n"
      "pPos|400|1400|Per\xEDodo Tributario: 06/2012|True|8|0|\n"
      "pPos|360|1830|C\xF3"
      "d. Trabajador|True|7|0|\n"
      "pPos|5700|4450|        107.10|False|8|0|\n"                // leading blanks of an amount
      "pPos|1200|4670|TRABAJO EN   SOBRETIEMPO 25%|False|8|0|\n"  // blanks inside
      "pPos|7200|4670|      |False|8|0|\n"                        // nothing but blanks
      "pPos|1200|4890|Aportes Empleador S/.  |True|8|0|\n"        // trailing blanks
      "pPos|1200|5110|a\tb|False|8|0|\n"                          // a control character: drawn as text
      "pPos|1200|5330|Ingresos \x80 \xA9|False|10|0|\n"
      "pPos|5700|4450|        107.10|False|8|0|\n"  // again, from the cache
      "pPos|4100|6300|Boleta de Pago|False|8|0|\n"  // the title's text in another font
      "pPos|360|6000|C\xF3"
      "d. Trabajador|True|7|0|\n";
  auto doc = test::read(page, ReadMode::Print);
  ASSERT_EQ(doc.pages.size(), 1u);
  const QImage drawn = fine(doc.pages[0]);
  QImage probe(1, 1, QImage::Format_RGB32);
  probe.setDotsPerMeterX(qRound(300 / 0.0254));
  probe.setDotsPerMeterY(qRound(300 / 0.0254));
  for (std::size_t capacity : {std::size_t(100), std::size_t(2)}) {
    SCOPED_TRACE(capacity);
    ui::TextGlyphs glyphs(probe, capacity);
    EXPECT_EQ(fine(doc.pages[0], &glyphs), drawn);
    EXPECT_EQ(fine(doc.pages[0], &glyphs), drawn) << "drawn a second time, from the cache";
  }
}

// The glyphs of a text are its characters less its blanks, each where the text put it.
TEST(ReportRender, ShapedTextsLeaveBlanksOut) {
  QImage probe(1, 1, QImage::Format_RGB32);
  probe.setDotsPerMeterX(qRound(1200 / 0.0254));
  probe.setDotsPerMeterY(qRound(1200 / 0.0254));
  ui::TextGlyphs glyphs(probe);
  const QFont font = ui::reportFont("Courier New", 8, false);
  const double advance = QFontMetricsF(font, &probe).horizontalAdvance(QStringLiteral("0"));
  struct Case {
    const char* name;
    std::string text;
    std::vector<int> columns;  // of the glyphs drawn
  } cases[] = {
      {"amount", "    107.10", {4, 5, 6, 7, 8, 9}},
      {"words", "AB  C D", {0, 1, 4, 6}},
      {"blanks only", "   ", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DrawOp op;
    op.text = c.text;
    std::vector<QPointF> at;
    for (const auto& run : glyphs.runs(op, font))
      for (const auto& p : run.positions()) at.push_back(p);
    ASSERT_EQ(at.size(), c.columns.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
      EXPECT_NEAR(at[i].x(), c.columns[i] * advance, 0.05) << i;
      EXPECT_EQ(at[i].y(), 0.0) << i;
    }
  }
}

TEST(ReportRender, PdfHasOnePagePerSheetInItsOrientation) {
  TempDir dir;
  RecordingMessenger m;
  auto file = test::fixture("cinco_paginas.PRN");
  struct Case {
    const char* name;
    ReadMode mode;
    PageRange range;
    int pages;
  } cases[] = {
      {"whole file printed", ReadMode::Print, {}, 5},
      {"pages 2 to 3", ReadMode::Print, {true, 2, 3}, 2},
      {"preview pages", ReadMode::Preview, {}, 5},
      {"nothing in the range still gives a page", ReadMode::Print, {true, 8, 9}, 1},
  };
  for (const auto& c : cases) {
    auto doc = pDesencripta(file, c.mode == ReadMode::Print ? "IMPRIMIR" : "PresPrevia", c.range, m);
    ASSERT_TRUE(doc.has_value());
    auto pdf = dir / "out.pdf";
    QString error;
    ASSERT_TRUE(ui::writePdf(*doc, QString::fromStdString(pdf.string()), &error)) << error.toStdString();
    EXPECT_EQ(pdfPages(pdf), c.pages) << c.name;
  }
  // A landscape sheet is wider than high.
  auto landscape = test::read("<!Orientacion!>H<!/Orientacion!>\npPos|100|100|apaisada|False|8|0|\n", ReadMode::Print);
  ASSERT_TRUE(ui::writePdf(landscape, QString::fromStdString((dir / "h.pdf").string()), nullptr));
  std::string content = test::readFile(dir / "h.pdf");
  std::smatch box;
  ASSERT_TRUE(std::regex_search(content, box, std::regex(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])")));
  EXPECT_GT(std::stod(box[1]), std::stod(box[2]));
  QString error;
  EXPECT_FALSE(
      ui::writePdf(test::read("pPos|1|1|x|False|8|0|\n", ReadMode::Print), "/nonexistent-folder/x/o.pdf", &error));
  EXPECT_TRUE(error.startsWith("No se pudo escribir el archivo PDF")) << error.toStdString();
}

// Lines sent straight to a printer: a sheet per page of the listing writer.
TEST(ReportRender, ListingLinesStraightToAPrinter) {
  TempDir dir;
  auto pdf = dir / "directo.pdf";
  QPdfWriter writer(QString::fromStdString(pdf.string()));
  ui::PrinterLines printer(writer);
  ASSERT_TRUE(printer.isActive());
  ReportWriter w(printer);
  w.ImprimeLineaPag("<!font!>Courier New<!/font!>");
  for (int i = 1; i < 100; ++i) w.ImprimeLineaPag("  linea " + std::to_string(i));
  ASSERT_TRUE(printer.finish());
  EXPECT_EQ(pdfPages(pdf), 2);
}

}  // namespace
}  // namespace korventa::reports
