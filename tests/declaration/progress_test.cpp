// Long work of the declaration form reports its steps and counts, and a cancellation rolls the
// whole operation back and says so instead of reporting success.
#include "declaration/decl_fixture.h"
#include "declaration/working_set.h"
#include "support/recording_progress.h"

namespace korventa::test {
namespace {

using declaration::DeclarationForm;

class ProgressTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
  }
  std::string working() { return dump("TEMP1_F601") + dump("TMPF601CONCEP") + dump("TEMP2_F601"); }
  bool cancelNoticeShown() { return sawMessage(kCancelledText); }
  // Each step's last count is its total, and counts never go back.
  static void expectEveryStepComplete(const RecordingProgress& p) {
    for (const auto& s : p.steps) {
      ASSERT_FALSE(s.counts.empty()) << s.text;
      EXPECT_EQ(s.counts.back().first, s.counts.back().second) << s.text;
      EXPECT_GT(s.counts.back().second, 0) << s.text;
      for (std::size_t i = 1; i < s.counts.size(); ++i) EXPECT_LE(s.counts[i - 1].first, s.counts[i].first) << s.text;
    }
  }
  static std::vector<std::string> stepTexts(const RecordingProgress& p) {
    std::vector<std::string> out;
    for (const auto& s : p.steps) out.push_back(s.text);
    return out;
  }
};

TEST_F(ProgressTest, NewAndSaveReportEveryStepToItsTotal) {
  DeclarationForm f(session());
  f.newDeclaration();
  f.CmbRuc_Click(kRuc);
  RecordingProgress load;
  ASSERT_TRUE(f.acceptPeriod("05/2012", load).ok);
  EXPECT_EQ(stepTexts(load), (std::vector<std::string>{steps::kLoadingWorkers, steps::kComputing}));
  expectEveryStepComplete(load);
  EXPECT_EQ(load.steps[0].counts.back().second, 4);  // three workers and the pensioner of the registry

  RecordingProgress save;
  auto r = f.save(save);
  ASSERT_TRUE(r.saved);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(stepTexts(save), (std::vector<std::string>{steps::kValidating, steps::kSaving}));
  expectEveryStepComplete(save);

  RecordingProgress refresh;
  msg().queueAnswer(Answer::Yes);
  ASSERT_TRUE(f.refresh(refresh));
  EXPECT_EQ(stepTexts(refresh), (std::vector<std::string>{steps::kRefreshingWorkers, steps::kComputing}));
  expectEveryStepComplete(refresh);
}

TEST_F(ProgressTest, CancelledNewLoadsNothingAndCanBeAskedAgain) {
  for (const auto& [name, step, at] : {std::tuple{"while reading the registry", steps::kLoadingWorkers, 2LL},
                                       std::tuple{"while computing", steps::kComputing, 3LL}}) {
    SCOPED_TRACE(name);
    msg().clear();
    DeclarationForm f(session());
    f.newDeclaration();
    f.CmbRuc_Click(kRuc);
    RecordingProgress cancel(step, at);
    auto o = f.acceptPeriod("05/2012", cancel);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.cancelled);
    EXPECT_FALSE(f.loaded());
    EXPECT_TRUE(cancelNoticeShown());
    EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM TMPF601CONCEP"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM CAB"), 0);
    // Leaving the unchanged period again loads it.
    EXPECT_TRUE(f.periodNeedsCheck("05/2012"));
    ASSERT_TRUE(f.acceptPeriod("05/2012").ok);
    EXPECT_EQ(count("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)"), 4);
    f.closeWithoutSaving();
  }
}

TEST_F(ProgressTest, CancelledRefreshKeepsTheWorkingSet) {
  DeclarationForm f(session());
  f.newDeclaration();
  f.CmbRuc_Click(kRuc);
  ASSERT_TRUE(f.acceptPeriod("05/2012").ok);
  // A worker registered since: a refresh that went through would bring him in.
  registry()
      .person(kRuc, 7, 1, 1, "40000007", "GARCIA", "GINO", "21", "11", 2)
      .period(kRuc, 7, 1, 1, "40000007", "21", "2011-01-01", "");
  const std::string before = working();
  for (const auto& [name, step, at] : {std::tuple{"while refreshing", steps::kRefreshingWorkers, 3LL},
                                       std::tuple{"while computing", steps::kComputing, 4LL}}) {
    SCOPED_TRACE(name);
    msg().clear();
    msg().queueAnswer(Answer::Yes);
    RecordingProgress cancel(step, at);
    EXPECT_FALSE(f.refresh(cancel));
    EXPECT_TRUE(f.cancelled());
    EXPECT_TRUE(cancelNoticeShown());
    EXPECT_FALSE(sawMessage("La información ha sido refrescada satisfactoriamente."));
    EXPECT_EQ(working(), before);
  }
}

TEST_F(ProgressTest, CancelledSaveLeavesTheStoredDeclarationAsItWas) {
  ASSERT_TRUE(createAndSave("201205"));
  DeclarationForm f(session());
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  f.setTelefono("4445566");
  const std::string stored = dumpStored();
  for (const auto& [name, step, at] :
       {std::tuple{"while checking", steps::kValidating, 5LL}, std::tuple{"at the last write", steps::kSaving, 7LL}}) {
    SCOPED_TRACE(name);
    msg().clear();
    RecordingProgress cancel(step, at);
    auto r = f.save(cancel);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.saved);
    EXPECT_TRUE(f.modified());
    EXPECT_TRUE(cancelNoticeShown());
    EXPECT_EQ(dumpStored(), stored);
  }
  // Not cancelled, the same save goes through.
  ASSERT_TRUE(f.save().saved);
  EXPECT_NE(dumpStored(), stored);
}

}  // namespace
}  // namespace korventa::test
