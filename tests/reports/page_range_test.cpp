// Page-range rules: when callers offer the dialog, and what it accepts.
#include <gtest/gtest.h>

#include "common/messenger.h"
#include "reports/page_range.h"

namespace korventa::reports {
namespace {

TEST(PageRange, WhenTheDialogIsOffered) {
  struct Case {
    const char* name;
    RangeDialogPlan plan;
    bool open;
    std::string caption;
    int last;
  } cases[] = {
      {"printout without announced pages", planForDeclarationPrintout(0), false, "", 0},
      {"printout of 10 pages", planForDeclarationPrintout(10), true, "Impresión por páginas", 10},
      {"printout of 25 pages proposes 10", planForDeclarationPrintout(25), true, "Impresión por páginas", 10},
      {"import result of 15 pages", planForImportResult(15), false, "", 0},
      {"import result of 16 pages", planForImportResult(16), true, "Impresión de 16 páginas", 16},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.plan.openDialog, c.open) << c.name;
    EXPECT_EQ(c.plan.caption, c.caption) << c.name;
    EXPECT_EQ(c.plan.lastPage, c.last) << c.name;
  }
}

TEST(PageRange, AcceptedPages) {
  RecordingMessenger m;
  PageRangeForm form;
  ASSERT_TRUE(form.accept(m, " 2 ", "4", "5"));
  EXPECT_TRUE(form.range.active);
  EXPECT_EQ(form.range.first, 2);
  EXPECT_EQ(form.range.last, 4);
  // The last page may lie beyond the report: the pages that exist are taken.
  ASSERT_TRUE(form.accept(m, "5", "99999", "5"));
  EXPECT_EQ(form.range.last, 32767);
  EXPECT_TRUE(m.entries().empty());
  EXPECT_TRUE(form.range.contains(4));
  EXPECT_FALSE(form.range.contains(3));
}

// Pages are whole: a typed text counts as the page it names, so no accepted range is empty.
TEST(PageRange, TypedPagesAreWholePages) {
  struct Case {
    const char* name;
    const char *desde, *hasta, *total;
    const char* message;  // "" when accepted
    int first, last;
  } cases[] = {
      {"a first page below one half names no page", "0.3", "0.4", "5", "Página inicial debe ser a partir de 1.", 0, 0},
      {"first and last naming the same page", "2.4", "2.2", "5", "", 2, 2},
  };
  for (const auto& c : cases) {
    RecordingMessenger m;
    PageRangeForm form;
    bool ok = form.accept(m, c.desde, c.hasta, c.total);
    EXPECT_EQ(ok, std::string(c.message).empty()) << c.name;
    EXPECT_EQ(m.last(), c.message) << c.name;
    if (!ok) continue;
    EXPECT_EQ(form.range.first, c.first) << c.name;
    EXPECT_EQ(form.range.last, c.last) << c.name;
  }
}

}  // namespace
}  // namespace korventa::reports
