#include "analysis/compare_fixture.h"

#include <filesystem>

#include "data/servicios_comunes.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

std::string demoImport(const std::string& ext) {
  return "'" + (fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import" / ("0601" + kDemoRuc + "201206." + ext)).string() +
         "'";
}

// The template database, made by the first test that needs it (empty when it could not be).
const fs::path& templateFile() {
  static TempDir dir;
  static fs::path file = [] {
    CliRunner r;
    if (!r.available()) return fs::path();
    for (const std::string& args :
         {std::string("init --demo"), "new " + kDemoRuc + " 201206",
          "import " + kDemoRuc + " 201206 " + demoImport("rem"), "copy " + kDemoRuc + " 201206 201207",
          "save " + kDemoRuc + " 201207", "copy " + kDemoRuc + " 201207 201208"}) {
      auto run = r.run(args);
      // new, import and save store the demo declaration with inconsistencies (exit 0 all the same).
      if (run.rc != 0) {
        ADD_FAILURE() << args << "\n" << run.err;
        return fs::path();
      }
    }
    fs::copy_file(r.db(), dir / "template.db");
    return dir / "template.db";
  }();
  return file;
}

}  // namespace

std::string CompareTest::demoFile(const std::string& ext) {
  return demoImport(ext);
}

void CompareTest::SetUp() {
  runner_ = std::make_unique<CliRunner>();
  if (!runner_->available()) GTEST_SKIP() << "korventa-cli no está construido";
  ASSERT_FALSE(templateFile().empty());
  fs::copy_file(templateFile(), runner_->db(), fs::copy_options::overwrite_existing);
}

void CompareTest::TearDown() {
  session_.reset();
}

void CompareTest::cli(const std::string& args) {
  auto r = runner_->run(args);
  ASSERT_EQ(r.rc, 0) << args << "\n" << r.err;
}

Session& CompareTest::session() {
  if (!session_) {
    session_ = std::make_unique<Session>();
    session_->db = data::Database::open(runner_->db());
    session_->messenger = &messenger_;
    session_->servicios->setMessenger(&messenger_);
    session_->user = "CONTADOR";
    session_->paths.tmpPath = runner_->dir().path().string();
  }
  return *session_;
}

analysis::Comparison CompareTest::compare(const std::string& periodo, const std::string& other, Money threshold,
                                          const std::string& otherCorrel) {
  analysis::ComparisonRequest req;
  req.current = {kDemoRuc, periodo, ""};
  req.other = {kDemoRuc, other, otherCorrel};
  req.threshold = threshold;
  auto c = analysis::compareDeclarations(session(), req);
  if (!c) {
    ADD_FAILURE() << "no comparison: " << messenger_.last();
    return {};
  }
  return *c;
}

}  // namespace korventa::test
