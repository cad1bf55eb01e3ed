// korventa-cli on a server: no display, no Wayland, no Qt platform chosen, no XDG_RUNTIME_DIR.
// Every command works, the PDF is written off screen and Qt's own warnings stay out of the output.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cli_runner.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

// What Qt writes on its own when it lacks a display or a runtime folder.
::testing::AssertionResult noQtWarning(const CliRun& r) {
  for (const char* marker :
       {"QStandardPaths", "XDG_RUNTIME_DIR", "qt.qpa", "platform plugin", "Could not connect to display"})
    if (r.err.find(marker) != std::string::npos || r.out.find(marker) != std::string::npos)
      return ::testing::AssertionFailure() << "Qt wrote \"" << marker << "\":\n" << r.err;
  return ::testing::AssertionSuccess();
}

TEST(CliWithoutDisplay, CommandsRunAndPdfIsWrittenWithoutQtWarnings) {
  CliRunner cli;
  if (!cli.available()) GTEST_SKIP() << "korventa-cli no está construido";
  const std::string decl = "20503987610 201206";
  fs::path pdf = cli.dir() / "declaracion.pdf";
  struct Step {
    const char* name;
    std::string args;
    int rc;
  };
  const Step steps[] = {
      {"init", "init --demo", 0},
      {"new", "new " + decl, 0},
      // The demo declaration keeps inconsistencies: the validation lists them and ends with 3.
      {"validate", "validate " + decl, 3},
      {"print", "print " + decl + " --pdf '" + pdf.string() + "'", 0},
  };
  for (const auto& s : steps) {
    auto r = cli.runBare(s.args);
    EXPECT_EQ(r.rc, s.rc) << s.name << "\n" << r.err;
    EXPECT_TRUE(noQtWarning(r)) << s.name;
  }
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(slurp(pdf).substr(0, 5), "%PDF-");
}

}  // namespace
}  // namespace korventa::test
