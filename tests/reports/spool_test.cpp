// Spool registration, report files and the page count.
#include <gtest/gtest.h>

#include "common/dates.h"
#include "reports/spool.h"
#include "report_support.h"
#include "support/test_db.h"

namespace korventa::reports {
namespace {

using korventa::test::TempDir;
using korventa::test::TestDb;

class Spool : public ::testing::Test {
 protected:
  void SetUp() override {
    Clock::setFixed(Date{2012, 6, 15});
    db.session().user = "OPERADOR";
  }
  void TearDown() override { Clock::setFixed(std::nullopt); }
  std::vector<std::vector<std::string>> rows() {
    std::vector<std::vector<std::string>> out;
    for (const auto& r :
         db.db().rows("SELECT CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d FROM SPOOL "
                      "ORDER BY Archivo")) {
      std::vector<std::string> row;
      for (std::size_t i = 0; i < r.size(); ++i) row.push_back(r.text(i));
      out.push_back(row);
    }
    return out;
  }
  TestDb db;
};

TEST_F(Spool, ConsecutiveFileNumbersAndARunningNumberPerKind) {
  auto& s = db.session();
  EXPECT_EQ(RegistraSpool(s, "PR0040", 6, "20100066603"), "00000001.PRN");
  EXPECT_EQ(RegistraSpool(s, "PR0049", 6, "20100066603"), "00000002.PRN");
  EXPECT_EQ(RegistraSpool(s, "PR0040", 6, "20512345678"), "00000003.PRN");
  std::vector<std::vector<std::string>> expected = {
      {"PR0040", "000001", "00000001.PRN", "15/06/2012", "OPERADOR", "6", "20100066603"},
      {"PR0049", "000001", "00000002.PRN", "15/06/2012", "OPERADOR", "6", "20100066603"},
      {"PR0040", "000002", "00000003.PRN", "15/06/2012", "OPERADOR", "6", "20512345678"},
  };
  EXPECT_EQ(rows(), expected);
  // Numbers continue from the highest registered.
  db.db().run("INSERT INTO SPOOL (CodRep, Secuencia, Archivo) VALUES ('PR0045', '000041', '00000120.PRN')");
  EXPECT_EQ(RegistraSpool(db.session(), "PR0045", 6, "20100066603"), "00000121.PRN");
  EXPECT_EQ(db.db().text("SELECT Secuencia FROM SPOOL WHERE Archivo = '00000121.PRN'"), "000042");
}

TEST_F(Spool, CommittedReportKeepsFileAndRowAFailedOneLeavesNothing) {
  std::filesystem::path path;
  {
    SpoolReport report(db.session(), "PR0049", 6, "20100066603");
    EXPECT_EQ(report.archivo(), "00000001.PRN");
    EXPECT_EQ(report.path(), std::filesystem::path(db.session().paths.rptDir) / "00000001.PRN");
    report.writer().ImprimeLineaPag("<!nHojas!>2<!/nHojas!>");
    report.writer().ImprimeLineaPag("linea");
    path = report.commit();
  }
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(LeeNroHojas(path), 2);
  EXPECT_EQ(rows().size(), 1u);

  std::filesystem::path failed;
  try {
    SpoolReport report(db.session(), "PR0049", 6, "20100066603");
    failed = report.path();
    report.writer().ImprimeLineaPag("linea");
    throw std::runtime_error("falla al armar el reporte");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(failed, std::filesystem::path(db.session().paths.rptDir) / "00000002.PRN");
  EXPECT_FALSE(std::filesystem::exists(failed));
  EXPECT_EQ(rows().size(), 1u);
  // The number is free again for the next report.
  EXPECT_EQ(RegistraSpool(db.session(), "PR0049", 6, "20100066603"), "00000002.PRN");
}

// Two databases that share one SysPath write into one report folder: a number whose file exists
// is passed over, and the SPOOL row names the file actually written.
TEST_F(Spool, ReportFilesOfAnotherDatabaseAreNeverOverwritten) {
  TestDb other;
  other.session().paths = db.session().paths;
  auto dir = std::filesystem::path(db.session().paths.rptDir);
  std::ofstream(dir / "00000002.PRN") << "reporte de otra base";
  std::vector<std::string> written;
  for (auto* t : {&db, &other, &db, &other}) {
    SpoolReport report(t->session(), "PR0040", 6, "20100066603");
    report.writer().ImprimeLinea("pPos|1|1|" + report.archivo() + "|False|8|0|");
    written.push_back(report.commit().filename().string());
  }
  EXPECT_EQ(written, (std::vector<std::string>{"00000001.PRN", "00000003.PRN", "00000004.PRN", "00000005.PRN"}));
  EXPECT_EQ(korventa::test::slurp(dir / "00000002.PRN"), "reporte de otra base");
  for (const auto& f : written)
    EXPECT_NE(korventa::test::slurp(dir / f).find(f), std::string::npos) << f << " holds the report of its number";
  EXPECT_EQ(db.db().text("SELECT group_concat(Archivo) FROM (SELECT Archivo FROM SPOOL ORDER BY 1)"),
            "00000001.PRN,00000004.PRN");
  EXPECT_EQ(other.db().text("SELECT group_concat(Archivo) FROM (SELECT Archivo FROM SPOOL ORDER BY 1)"),
            "00000003.PRN,00000005.PRN");
  // The next number of a database follows its own highest one, past the files of the other.
  EXPECT_EQ(RegistraSpool(db.session(), "PR0049", 6, "20100066603"), "00000006.PRN");
}

TEST(LeeNroHojas, PageCountOfAFile) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* content;
    int pages;
  } cases[] = {
      {"blanks around the number", "<!nHojas!> 12 <!/nHojas!>\r\n", 12},
      {"no tag", "pPos|1|1|x|False|8|0|\r\n", 0},
      {"not a number", "<!nHojas!>muchas<!/nHojas!>\r\n", 0},
  };
  for (const auto& c : cases) {
    auto p = dir / "r.PRN";
    std::ofstream(p, std::ios::binary) << c.content;
    EXPECT_EQ(LeeNroHojas(p), c.pages) << c.name;
  }
  EXPECT_EQ(LeeNroHojas(dir / "missing.PRN"), 0);
}

}  // namespace
}  // namespace korventa::reports
