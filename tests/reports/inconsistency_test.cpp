// The printed inconsistency report.
#include <gtest/gtest.h>

#include "reports/inconsistency_report.h"
#include "reports/report_reader.h"
#include "report_support.h"
#include "support/test_db.h"

namespace korventa::reports {
namespace {

using korventa::test::TempDir;
using test::fileLines;

std::string chars(std::size_t n, char c = 'x') {
  return std::string(n, c);
}

TEST(InconsistencyReport, SplitAtNinetyCharacters) {
  struct Case {
    const char* name;
    std::string message;
    std::vector<std::string> rows;
  } cases[] = {
      {"empty message", "", {" "}},
      {"short message", "Falta RUC", {"Falta RUC "}},
      {"exactly 90 characters: one line", chars(90), {chars(90) + " "}},
      {"91 characters: one more after four blanks", chars(89) + "ab", {chars(89) + "a-", "    b"}},
      {"90 accented characters are 90 characters", chars(89) + "ó", {chars(89) + "ó "}},
      {"181 characters: the continuation is cut too",
       chars(90) + chars(90, 'y') + "z",
       {chars(90) + "-", "    " + chars(90, 'y') + "-", "    z"}},
  };
  for (const auto& c : cases) EXPECT_EQ(inconsistencyRows({c.message}), c.rows) << c.name;
}

// The header of every page, one message per line from y 1000 on, and more than 45 lines continued
// on a new page.
TEST(InconsistencyReport, PagesOfMessagesUnderTheirHeader) {
  TempDir dir;
  std::vector<std::string> messages;
  for (int i = 1; i <= 44; ++i) messages.push_back("mensaje " + std::to_string(i));
  messages.push_back(chars(100));  // lines 45 and 46: the cut falls on the page break
  messages.push_back("ultimo");
  ReportWriter w(dir / "p.PRN");
  EXPECT_EQ(writeInconsistencyReport(w, messages, "15/06/2012", "10:20:30"), 2);
  w.close();

  std::istringstream in(test::readFile(dir / "p.PRN"));
  auto preview = readReport(in, ReadMode::Preview, {});
  ASSERT_EQ(preview.pages.size(), 2u);
  auto textAt = [](const Page& p, int x, int y) {
    for (const auto& op : p.ops)
      if (op.x == x && op.y == y) return op.text;
    return std::string("<nada>");
  };
  EXPECT_EQ(preview.announcedPages, 2);
  EXPECT_EQ(textAt(preview.pages[0], 400, 300), "15/06/2012 10:20:30");
  EXPECT_EQ(textAt(preview.pages[0], 4000, 300), "INCONSISTENCIAS DETECTADAS ");
  EXPECT_EQ(textAt(preview.pages[0], 4200, 570), "KORVENTAS");
  EXPECT_EQ(textAt(preview.pages[0], 9000, 300), "PAG. 1 ");
  EXPECT_EQ(textAt(preview.pages[0], 400, 1000), "mensaje 1 ");
  EXPECT_EQ(textAt(preview.pages[0], 400, 1000 + 44 * 270), chars(90) + "-");
  EXPECT_EQ(textAt(preview.pages[1], 9000, 300), "PAG. 2 ");
  EXPECT_EQ(textAt(preview.pages[1], 400, 30), "ZUMAR");
  EXPECT_EQ(textAt(preview.pages[1], 400, 1000), "    " + chars(10));
  EXPECT_EQ(textAt(preview.pages[1], 400, 1270), "ultimo ");
  EXPECT_EQ(preview.pages[0].ops.size(), 5u + 45u);

  std::istringstream again(test::readFile(dir / "p.PRN"));
  EXPECT_EQ(readReport(again, ReadMode::Print, {}).pages.size(), 2u);
}

TEST(InconsistencyReport, FileInTheWorkFolder) {
  korventa::test::TestDb db;
  auto& s = db.session();
  auto mens = db.dir() / "Mens.txt";
  EXPECT_FALSE(writeInconsistencyReportFile(s, mens).has_value()) << "no file yet (its message: FrmConsist's test)";

  // Windows-1252 text is read as such.
  std::ofstream(mens, std::ios::binary) << "C\xF3"
                                           "digo de concepto inv\xE1lido\r\nSegunda l\xEDnea\r\n";
  auto out = writeInconsistencyReportFile(s, mens);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->parent_path(), std::filesystem::path(s.paths.tmpPath));
  auto lines = fileLines(*out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "pPos|400|1000|Código de concepto inválido |False|9|0|"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "pPos|400|1270|Segunda línea |False|9|0|"), lines.end());
}

}  // namespace
}  // namespace korventa::reports
