// Reading report files for the preview and for the printer. (A file on disk, whole and by range:
// ReportRender.PdfHasOnePagePerSheetInItsOrientation; a missing file: ReportFormsTest.)
#include <gtest/gtest.h>

#include <random>

#include "reports/report_reader.h"
#include "report_support.h"

namespace korventa::reports {
namespace {

using test::pagedReport;
using test::read;

std::vector<std::string> texts(const Page& page) {
  std::vector<std::string> out;
  for (const auto& op : page.ops)
    if (op.kind != DrawOp::Kind::Box) out.push_back(op.text);
  return out;
}

// Text keeps its leading blanks; boxes, vertical text and the arguments of each command.
TEST(ReportReader, DrawingCommands) {
  auto doc = read(
      "pPos|10|175|     Total de Errores:|False|8|0|\r\n"
      "pCuadro|150|300|1700|1640|0|\n"
      "pPosVerti|500|600|ABC|True|10|0|\n"
      "pPos|1|2|x|1|12|0|trailing|text\n",
      ReadMode::Preview);
  ASSERT_EQ(doc.pages.size(), 1u);
  ASSERT_EQ(doc.pages[0].ops.size(), 4u);
  const auto& op = doc.pages[0].ops[0];
  EXPECT_EQ(op.text, "     Total de Errores:");
  EXPECT_EQ((std::vector<int>{op.x, op.y, op.size}), (std::vector<int>{10, 175, 8}));
  EXPECT_FALSE(op.bold);
  EXPECT_EQ(op.font, "Courier New");
  const auto& box = doc.pages[0].ops[1];
  EXPECT_EQ(box.kind, DrawOp::Kind::Box);
  EXPECT_EQ((std::vector<int>{box.x, box.y, box.x2, box.y2}), (std::vector<int>{150, 300, 1700, 1640}));
  const auto& vertical = doc.pages[0].ops[2];
  EXPECT_EQ(vertical.kind, DrawOp::Kind::VerticalText);
  EXPECT_EQ(vertical.text, "ABC");
  EXPECT_TRUE(vertical.bold);
  EXPECT_EQ(vertical.size, 10);
  EXPECT_TRUE(doc.pages[0].ops[3].bold);  // a number other than 0 is true
}

// Pages 0–2 give three preview pages; printing starts a sheet at each "pNuevaHoja" only; a range
// of pages.
TEST(ReportReader, PreviewPagesPrintedSheetsAndRanges) {
  auto doc = read(pagedReport(3), ReadMode::Preview);
  ASSERT_EQ(doc.pages.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(doc.pages[i].index, i);
    EXPECT_EQ(texts(doc.pages[i]), std::vector<std::string>{"pagina " + std::to_string(i)});
  }
  auto print = read(pagedReport(5), ReadMode::Print);
  ASSERT_EQ(print.pages.size(), 5u);  // the last "pNuevaHoja" leaves no blank sheet
  EXPECT_EQ(texts(print.pages[4]), std::vector<std::string>{"pagina 4"});
  // Without "pNuevaHoja" everything goes on one sheet, whatever the page index says.
  auto one = read("pPos|1|1|a|False|8|0|\npPos|1|1|b|False|8|1|\n", ReadMode::Print);
  ASSERT_EQ(one.pages.size(), 1u);
  EXPECT_EQ(texts(one.pages[0]), (std::vector<std::string>{"a", "b"}));

  PageRange range{true, 2, 3};
  auto printed = read(pagedReport(5), ReadMode::Print, range);
  ASSERT_EQ(printed.pages.size(), 2u) << "new sheets only after pages 2 and 3";
  EXPECT_EQ(texts(printed.pages[0]), std::vector<std::string>{"pagina 1"});
  EXPECT_EQ(texts(printed.pages[1]), std::vector<std::string>{"pagina 2"});

  auto preview = read(pagedReport(5), ReadMode::Preview, range);
  ASSERT_EQ(preview.pages.size(), 2u) << "the range shows on consecutive preview pages";
  EXPECT_EQ(texts(preview.pages[0]), std::vector<std::string>{"pagina 1"});
  EXPECT_EQ(texts(preview.pages[1]), std::vector<std::string>{"pagina 2"});

  auto outside = read(pagedReport(5), ReadMode::Preview, PageRange{true, 7, 9});
  ASSERT_EQ(outside.pages.size(), 1u) << "an empty range still shows one page";
  EXPECT_TRUE(outside.pages[0].ops.empty());
}

// Orientation counts only when printing, colour only in the preview, from the page it is read on;
// the other tags are stored.
TEST(ReportReader, OrientationColourAndTags) {
  const std::string file =
      "<!Orientacion!>H<!/Orientacion!>\n<!Color!>&H0000FF&<!/Color!>\npPos|1|1|a|False|8|0|\npNuevaHoja\n"
      "<!Orientacion!> V <!/Orientacion!>\npPos|1|1|b|False|8|1|\n";
  auto preview = read(file, ReadMode::Preview);
  ASSERT_EQ(preview.pages.size(), 2u);
  for (const auto& p : preview.pages) {
    EXPECT_EQ(p.orientation, Orientation::Portrait);
    EXPECT_EQ(p.background, (Rgb{255, 0, 0}));
  }
  auto print = read(file, ReadMode::Print);
  ASSERT_EQ(print.pages.size(), 2u);
  EXPECT_EQ(print.pages[0].orientation, Orientation::Landscape);
  EXPECT_EQ(print.pages[1].orientation, Orientation::Portrait);
  for (const auto& p : print.pages) EXPECT_EQ(p.background, Rgb{}) << "colour has no effect on paper";
  auto doc = read(
      "pPos|1|1|a|False|8|0|\npPos|1|1|b|False|8|1|\n<!Color!>&H00FF00&<!/Color!>\npPos|1|1|c|False|8|2|\n"
      "<!font!>Arial<!/font!>\n<!nHojas!> 12 <!/nHojas!>\n",
      ReadMode::Preview);
  ASSERT_EQ(doc.pages.size(), 3u);
  EXPECT_EQ(doc.pages[0].background, (Rgb{0, 255, 0}));
  EXPECT_EQ(doc.pages[1].background, Rgb{});
  EXPECT_EQ(doc.pages[2].background, (Rgb{0, 255, 0}));
  EXPECT_EQ(doc.fontName, "Arial");
  EXPECT_EQ(doc.announcedPages, 12);
}

TEST(ReportReader, BadLinesRenderWhatTheyCan) {
  struct Case {
    const char* name;
    std::string line;
    std::size_t ops;  // drawing operations on preview page 0
    int skipped;
  } cases[] = {
      {"empty line", "", 0, 1},
      {"blank line", "     ", 0, 1},
      {"unknown token", "pCirculo|1|2|3|0|", 0, 1},
      {"no terminator", "texto suelto", 0, 1},
      {"missing arguments count as 0", "pPos|10|20", 1, 0},
      {"only the token", "pCuadro|", 1, 0},
      {"tag without its closing tag", "<!font!>Arial", 0, 0},
      {"negative page is not drawn in the preview", "pPos|1|1|x|False|8|-1|", 0, 0},
      {"carriage return only", "\r", 0, 1},
  };
  for (const auto& c : cases) {
    auto doc = read(c.line + "\n", ReadMode::Preview);
    ASSERT_EQ(doc.pages.size(), 1u) << c.name;
    EXPECT_EQ(doc.pages[0].ops.size(), c.ops) << c.name;
    EXPECT_EQ(doc.skippedLines, c.skipped) << c.name;
  }
  auto truncated = read("pPos|10|20", ReadMode::Preview);
  EXPECT_EQ((std::vector<int>{truncated.pages[0].ops[0].x, truncated.pages[0].ops[0].y}), (std::vector<int>{10, 20}));
  EXPECT_EQ(truncated.pages[0].ops[0].text, "");
  // Huge numbers are held within 16 bits: page 0 and page 32767, nothing in between.
  auto huge = read("pPos|999999|-999999|x|False|99999|40000|\n", ReadMode::Preview);
  ASSERT_EQ(huge.pages.size(), 2u);
  EXPECT_EQ(huge.pages[1].index, 32767);
  const auto& op = huge.pages[1].ops.at(0);
  EXPECT_EQ((std::vector<int>{op.x, op.y, op.size}), (std::vector<int>{32767, -32768, 32767}));
  // Bytes that are not UTF-8 are read as Windows-1252.
  auto bytes = read(
      "pPos|1|1|Pe\xF1"
      "a \x80|False|8|0|\npPos|1|1|Año|False|8|0|\n",
      ReadMode::Preview);
  EXPECT_EQ(texts(bytes.pages[0]), (std::vector<std::string>{"Peña €", "Año"}));
}

// Random bytes and valid lines cut anywhere: the reader takes whatever it is given without
// failing, and its preview pages stay in order.
TEST(ReportReader, FuzzRandomAndTruncatedLines) {
  std::mt19937 rng(601);
  const std::string valid =
      "pPos|10|175|  texto|False|8|0|\npPosVerti|5|6|V|True|10|1|\npCuadro|1|3|17|16|2|\n"
      "pNuevaHoja\n<!nHojas!>3<!/nHojas!>\n<!Orientacion!>H<!/Orientacion!>\n"
      "<!Color!>&H80000005&<!/Color!>\npPos|-5|99999999|Peña|1|8|32767|\n";
  for (int round = 0; round < 300; ++round) {
    std::string file;
    for (int i = static_cast<int>(rng() % 40); i > 0; --i) {
      std::size_t from = rng() % valid.size();
      file += rng() % 2 ? valid.substr(from, rng() % 60) : std::string(rng() % 40, static_cast<char>(rng() % 256));
    }
    PageRange range;
    if (rng() % 2) range = PageRange{true, static_cast<int>(rng() % 5), static_cast<int>(rng() % 5)};
    for (auto mode : {ReadMode::Preview, ReadMode::Print}) {
      Document doc;
      ASSERT_NO_THROW(doc = read(file, mode, range)) << "round " << round;
      for (std::size_t i = 1; i < doc.pages.size(); ++i) EXPECT_LT(doc.pages[i - 1].index, doc.pages[i].index);
      if (mode == ReadMode::Preview) {
        EXPECT_FALSE(doc.pages.empty());
      } else {
        for (const auto& p : doc.pages) EXPECT_FALSE(p.ops.empty()) << "no blank sheets";
      }
    }
  }
}

}  // namespace
}  // namespace korventa::reports
