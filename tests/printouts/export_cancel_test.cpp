// Cancelling an export half-way: it says so, keeps no file (not even the reports already
// through), leaves the files of an earlier export as they were and registers no pay statement.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "printouts/exports.h"
#include "printouts/payslip.h"
#include "support/printouts_fixture.h"
#include "support/recording_progress.h"

namespace korventa::printouts {
namespace {

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
  std::vector<std::string> out;
  if (!std::filesystem::exists(dir)) return out;
  for (const auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

class ExportCancel : public ::testing::Test {
 protected:
  void SetUp() override {
    test::buildFixedDeclaration(db_.db());
    form_ = std::make_unique<ReportExportForm>(db_.session(), false);
    ASSERT_EQ(form_->requery().size(), 1u);
  }
  test::TestDb db_;
  std::unique_ptr<ReportExportForm> form_;
};

TEST_F(ExportCancel, CancelledExportKeepsNothing) {
  struct Case {
    const char* name;
    std::vector<int> formats;
    bool workbook;
    std::string cancelStep;  // empty: runs to the end
    long long at;
  };
  const std::string second = findReport(25)->title;
  const std::vector<Case> cases = {
      {"second report, first one written", {20, 25}, false, second, 1},
      {"second report, with the workbook", {20, 25}, true, second, 1},
      {"pay statements after the reports", {20, 27}, false, steps::kPayStatements, 1},
      {"pay statements alone", {27}, false, steps::kPayStatements, 1},
      {"not cancelled", {20, 25}, false, "", 0},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.workbook && !workbookAvailable()) continue;
    auto dir = db_.dir() / ("out" + std::to_string(n++));
    std::filesystem::create_directories(dir);
    // An earlier export of report 20 in the same folder.
    auto earlier = dir / "PE_601_20100000001_20_DAT.TXT";
    std::ofstream(earlier) << "anterior";
    const auto before = filesIn(dir);
    const auto spooled = db_.db().integer("SELECT count(*) FROM SPOOL");
    db_.messenger().clear();

    test::RecordingProgress progress(c.cancelStep, c.at);
    ExportRequest req{c.formats, true, c.workbook, dir, "20120415_0930", {}};
    auto result = form_->cmdAccion(0, req, progress);

    if (c.cancelStep.empty()) {
      EXPECT_TRUE(result.ok);
      EXPECT_FALSE(result.cancelled);
      EXPECT_NE(test::readFile(earlier), "anterior");
      EXPECT_EQ(filesIn(dir).size(), 2u);
      continue;
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(db_.messenger().last(), kCancelledText);
    EXPECT_EQ(filesIn(dir), before);  // no new file, no temporary one
    EXPECT_EQ(test::readFile(earlier), "anterior");
    EXPECT_FALSE(form_->payslipReport);
    EXPECT_EQ(db_.db().integer("SELECT count(*) FROM SPOOL"), spooled);
  }
}

}  // namespace
}  // namespace korventa::printouts
