// The line writers and the listing header.
#include <gtest/gtest.h>

#include "reports/report_reader.h"
#include "reports/report_writer.h"
#include "report_support.h"
#include "support/test_db.h"

namespace korventa::reports {
namespace {

using korventa::test::TempDir;
using test::fileLines;

int countOf(const std::vector<std::string>& lines, const std::string& what) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), what));
}

TEST(ReportWriter, ListingLinesBecomeTextCommandsRawLinesStayAsTheyAre) {
  TempDir dir;
  {
    ReportWriter w(dir / "a.PRN");
    w.ImprimeLineaPag("  primera");
    w.ImprimeLineaPag("segunda | con barra");
    w.ImprimeLinea("pCuadro|150|300|1700|1640|0|");
    w.ImprimeLinea("   ");
    w.ImprimeLinea("");
    w.close();
  }
  // A "|" in the text would end the argument early; blank raw lines keep one blank.
  EXPECT_EQ(fileLines(dir / "a.PRN"),
            (std::vector<std::string>{"pPos|10|175|  primera|False|8|0|", "pPos|10|350|segunda ¦ con barra|False|8|0|",
                                      "pCuadro|150|300|1700|1640|0|", " ", " "}));
  EXPECT_EQ(test::readFile(dir / "a.PRN").substr(0, 34), "pPos|10|175|  primera|False|8|0|\r\n");
  EXPECT_THROW(ReportWriter("/nonexistent-folder/x/00000001.PRN"), std::runtime_error);
}

// Page breaks by line width: 85 lines below 83 characters, else 83.
TEST(ReportWriter, PageLengthsByLineWidth) {
  struct Case {
    const char* name;
    int width;
    int pageLength;
  } cases[] = {{"82 characters", 82, 85}, {"83 characters", 83, 83}, {"132 characters", 132, 83}};
  for (const auto& c : cases) {
    TempDir dir;
    ReportWriter w(dir / "c.PRN");
    w.setLineWidth(c.width);
    const int total = 3 * c.pageLength + 5;
    for (int i = 1; i <= total; ++i) w.ImprimeLineaPag("linea " + std::to_string(i));
    EXPECT_EQ(w.pageNumber(), 4) << c.name;
    EXPECT_EQ(w.lineNumber(), 5) << c.name;
    w.close();
    auto lines = fileLines(dir / "c.PRN");
    ASSERT_EQ(countOf(lines, "pNuevaHoja"), 3) << c.name;
    // The break comes right after the page's last line; the next page starts at the top again.
    auto brk = std::find(lines.begin(), lines.end(), "pNuevaHoja") - lines.begin();
    EXPECT_EQ(brk, c.pageLength) << c.name;
    EXPECT_EQ(lines[brk - 1], "pPos|10|" + std::to_string(175 * c.pageLength) + "|linea " +
                                  std::to_string(c.pageLength) + "|False|8|0|")
        << c.name;
    EXPECT_EQ(lines[brk + 1], "pPos|10|175|linea " + std::to_string(c.pageLength + 1) + "|False|8|1|") << c.name;
    // Read back: one preview page per written page.
    std::istringstream in(test::readFile(dir / "c.PRN"));
    EXPECT_EQ(readReport(in, ReadMode::Preview, {}).pages.size(), 4u) << c.name;
  }
}

TEST(ReportWriter, TagsOnlyOnTheFirstPage) {
  TempDir dir;
  ReportWriter w(dir / "d.PRN");
  w.ImprimeLineaPag("<!Orientacion!>V<!/Orientacion!>");
  for (int i = 0; i < 90; ++i) w.ImprimeLineaPag("x");
  ASSERT_EQ(w.pageNumber(), 2);
  w.ImprimeLineaPag("<!Color!>&H80000005&<!/Color!>");
  w.close();
  auto lines = fileLines(dir / "d.PRN");
  EXPECT_EQ(lines.front(), "<!Orientacion!>V<!/Orientacion!>");
  EXPECT_EQ(countOf(lines, "<!Color!>&H80000005&<!/Color!>"), 0);
  // A tag still counts as a line of its page.
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "pNuevaHoja") - lines.begin(), 85);
}

// Straight to the printer: plain lines with the report font, tags left out, new pages by count.
TEST(ReportWriter, DirectPrinterDestination) {
  struct Sheet : DirectPrinter {
    std::vector<std::string> lines;
    void printLine(std::string_view text, const std::string& font, int size, bool bold) override {
      lines.push_back(std::string(text) + "@" + font + "/" + std::to_string(size) + (bold ? "b" : ""));
    }
    void newPage() override { lines.push_back("--"); }
  } printer;
  ReportWriter w(printer);
  w.fontSize = 10;
  w.ImprimeLineaPag("<!font!>Courier New<!/font!>");
  w.ImprimeLinea("hola");
  for (int i = 0; i < 84; ++i) w.ImprimeLineaPag("l");
  EXPECT_EQ(printer.lines.front(), "hola@Courier New/10");
  EXPECT_EQ(printer.lines.back(), "--");
  EXPECT_EQ(printer.lines.size(), 1u + 84u + 1u);
}

TEST(ListingHeader, FirstPageCarriesTagsAndTitlesLaterPagesNoTags) {
  TempDir dir;
  ReportWriter w(dir / "e.PRN");
  ListingHeader h{"REPORTE DE ERRORES DE TRANSFERENCIA - PERIODO 201205",
                  "20100066603",
                  "EMPRESA DEMO S.A.C.",
                  150,
                  "15/06/2012",
                  "10:20:30"};
  writeListingHeader(w, h);
  w.ImprimeLineaPag(std::string(20, ' ') + "07 12345678  Documento no existe");
  w.close();
  auto l = fileLines(dir / "e.PRN");
  std::vector<std::string> expected = {
      "<!font!>Courier New<!/font!>",
      "<!nHojas!>3<!/nHojas!>",  // 150 lines / 69 + 1
      "<!Orientacion!>V<!/Orientacion!>",
      "<!Color!>&H80000005&<!/Color!>",
      "pPos|10|175||False|8|0|",
      "pPos|10|350||False|8|0|",
      "pPos|10|525||False|8|0|",
      "pPos|10|700|15/06/2012" + std::string(28, ' ') + "ZUMAR" + std::string(34, ' ') + "Pag:1|False|8|0|",
      "pPos|10|875|10:20:30" + std::string(29, ' ') + "ZEL 0601|False|8|0|",
      "pPos|10|1050|" + std::string(15, ' ') + "REPORTE DE ERRORES DE TRANSFERENCIA - PERIODO 201205|False|8|0|",
      "pPos|10|1225||False|8|0|",
      "pPos|10|1400||False|8|0|",
      "pPos|10|1575|CONTRIBUYENTE:  20100066603  EMPRESA DEMO S.A.C." + std::string(110 - 48, ' ') + "|False|8|0|",
      "pPos|10|1750|" + std::string(82, '_') + "|False|8|0|",
      "pPos|10|1925|                    07 12345678  Documento no existe|False|8|0|",
  };
  EXPECT_EQ(l, expected);
  EXPECT_EQ(w.pageEstimate, 3);

  // Repeated, the header has no tags on later pages and announces the pages once.
  h = ListingHeader{"TITULO", "20100066603", "EMPRESA", 10, "15/06/2012", "10:20:30"};
  {  // again on the first page: the tags are not written twice
    ReportWriter again(dir / "g.PRN");
    writeListingHeader(again, h);
    again.ImprimeLineaPag("cuerpo");
    writeListingHeader(again, h);
    again.close();
    auto lines = fileLines(dir / "g.PRN");
    EXPECT_EQ(countOf(lines, "<!nHojas!>1<!/nHojas!>"), 1);
    EXPECT_EQ(lines.size(), 14u + 1u + 7u);
  }
  ReportWriter later(dir / "f.PRN");
  writeListingHeader(later, h);
  while (later.pageNumber() == 1) later.ImprimeLineaPag("cuerpo");
  writeListingHeader(later, h);
  later.close();
  l = fileLines(dir / "f.PRN");
  auto brk = std::find(l.begin(), l.end(), "pNuevaHoja");
  ASSERT_NE(brk, l.end());
  std::vector<std::string> page2(brk + 1, l.end());
  ASSERT_EQ(page2.size(), 7u);
  EXPECT_EQ(page2[0],
            "pPos|10|175|15/06/2012" + std::string(28, ' ') + "ZUMAR" + std::string(34, ' ') + "Pag:2|False|8|1|");
  for (const auto& line : page2) EXPECT_FALSE(line.starts_with("<!")) << line;
  EXPECT_EQ(later.lineWidth(), 82);
}

}  // namespace
}  // namespace korventa::reports
