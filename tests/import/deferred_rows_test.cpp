// An import that leaves its new concept rows to the computation (as korventa-cli import does)
// must end with the very rows an import that writes them itself, followed by the computation,
// leaves: same rowids, amounts, bases, descriptions and summary columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import_fixture.h"

namespace korventa::test {
namespace {

using import::Form;
using import::Kind;

struct File {
  Kind kind;
  const char* name;
  std::string text;
};

// Every row of the concept and person working tables, rowid first, as text.
std::vector<std::string> workingRows(data::Database& db) {
  std::vector<std::string> out;
  for (const char* table : {"TMPF601CONCEP", "TEMP1_F601"})
    for (const auto& row : db.rows(std::string("SELECT rowid, * FROM ") + table + " ORDER BY rowid")) {
      std::string line = table;
      for (std::size_t i = 0; i < row.size(); ++i) line += "|" + row.text(i);
      out.push_back(line);
    }
  return out;
}

class DeferredRows : public ImportFixture {
 public:
  // The files imported with one importer and the affected persons computed; the second file
  // fails half-way on a row already stored (rolled back whole).
  std::vector<std::string> importAndCompute(bool defer, const std::vector<File>& files) {
    amount(p3, "0121", "100.00");  // a row the working set holds before the import
    t.db().script(
        "CREATE TEMP TRIGGER fail_777 BEFORE UPDATE ON TMPF601CONCEP WHEN NEW.monto = '777.00' "
        "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END;");
    import::Importer importer(t.session(), decl, Form::TranPer);
    importer.deferNewConceptRows(defer);
    std::vector<import::FileResult> results;
    for (const auto& f : files) {
      results.push_back(importer.importBytes(f.kind, f.text, f.name));
      refused.push_back(results.back().refused);
    }
    t.db().script("DROP TRIGGER fail_777");
    auto affected = import::affectedPersons(results);
    if (defer)
      import::recomputeAfterImport(t.session(), decl, affected, importer.takeNewConceptRows());
    else
      import::recomputeAfterImport(t.session(), decl, affected);
    return workingRows(t.db());
  }
  std::vector<bool> refused;
};

TEST(DeferredConceptRows, TheComputationWritesWhatTheImportWouldHaveWritten) {
  const std::vector<File> files = {
      {Kind::Rem, "a.rem",
       "01|41000001|0121|1000.00|1000.00|\r\n"
       "01|41000003|0105|20.5|20.5|\r\n"  // interleaved persons keep the file's order
       "01|41000001|0105|250.50|0|\r\n"
       "01|41000003|0121|300.00|300.00|\r\n"    // the row held before takes the amounts
       "01|41000001|0121|1500.00|1500.00|\r\n"  // the same concept again: the last amounts
       "01|41000001|0999|1|1|\r\n"              // rejected (not in the declarant's concepts)
       "01|41000009|0121|1|1|\r\n"},            // rejected (not a worker)
      {Kind::Rem, "b.rem",
       "01|41000001|0121|2000.00|2000.00|\r\n"  // a kept row changed, then the file fails
       "01|41000003|0121|777.00|777.00|\r\n"},
      {Kind::Pen, "c.pen", "01|06000001|0912|1200.00|1200.00|\r\n"},
      {Kind::Rem, "d.rem",
       "01|41000003|0105|40.00|40.00|\r\n"  // a row kept by an earlier file
       "01|41000001|0106|1|1|\r\n"},
  };
  DeferredRows written, deferred;
  auto expected = written.importAndCompute(false, files);
  auto actual = deferred.importAndCompute(true, files);
  EXPECT_EQ(written.refused, (std::vector<bool>{false, true, false, false}));
  EXPECT_EQ(deferred.refused, written.refused);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "row " << i;
  // The import's amounts reached the rows, with their bases computed.
  EXPECT_EQ(deferred.conceptText(deferred.p1, "0121"), "1500.00");
  EXPECT_EQ(deferred.conceptText(deferred.p3, "0105"), "40.00");
  EXPECT_EQ(deferred.conceptText(deferred.p3, "0121"), "300.00");
  EXPECT_EQ(deferred.conceptText(deferred.p1, "0106"), "1.00");
  EXPECT_EQ(deferred.base(deferred.p1, "0804"), "1751.50");
}

}  // namespace
}  // namespace korventa::test
