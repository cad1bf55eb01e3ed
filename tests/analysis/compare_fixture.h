#pragma once
// The demo declarant's declarations for the comparison tests, made through korventa-cli as a user
// makes them: 06/2012 created and its ".rem" file imported, copied to 07/2012 and saved there,
// and copied again to 08/2012 (so 07/2012 and 08/2012 are the same declaration). The template
// is made once per run; each test works on a copy.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "analysis/declaration_comparison.h"
#include "data/session.h"
#include "support/cli_runner.h"

namespace korventa::test {

inline const std::string kDemoRuc = "20503987610";

class CompareTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs a korventa-cli command on the test's database; it must succeed.
  void cli(const std::string& args);
  // The file of a demo import of 06/2012 ("rem", "4ta", …), quoted for the shell.
  static std::string demoFile(const std::string& ext);

  // Compares the stored declaration of `periodo` with `other` (empty: the one before).
  analysis::Comparison compare(const std::string& periodo, const std::string& other = {},
                               Money threshold = Money::fromUnits(1), const std::string& otherCorrel = {});
  Session& session();
  RecordingMessenger& msg() { return messenger_; }

  std::unique_ptr<CliRunner> runner_;

 private:
  RecordingMessenger messenger_;
  std::unique_ptr<Session> session_;
};

}  // namespace korventa::test
