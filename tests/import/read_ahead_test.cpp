// Import files read one ahead on a thread of their own: each comes back as reading it then
// would have given it (its lines, or the problem that refuses it), in the order asked for; and
// the fields of consecutive lines split into one reused buffer.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "import/import_file.h"
#include "import/read_ahead.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;
using namespace korventa::import;

TEST(ReadAhead, EachFileAsReadingItThenWouldGiveIt) {
  TempDir dir;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir / name;
  };
  struct Case {
    const char* name;
    fs::path file;
    std::vector<std::string> lines;  // when readable
    std::string problem;             // the start of the refusal otherwise
  };
  std::string big;
  for (int i = 0; i < 20000; ++i) big += "01|" + std::to_string(10000000 + i) + "|0121|10.00|10.00|\r\n";
  const std::vector<Case> cases = {
      {"text", write("a.rem", "01|1|0121|1.00|1.00|\r\n\r\n01|2|"), {"01|1|0121|1.00|1.00|", "", "01|2|"}, ""},
      {"missing", dir / "no-existe.rem", {}, "En la ruta indicada, no se encuentra el archivo"},
      {"empty", write("b.rem", ""), {}, "El archivo \"b.rem\" está vacío."},
      {"blanks only", write("c.rem", " \r\n\t\n"), {}, "El archivo \"c.rem\" está vacío."},
      {"not text", write("d.rem", std::string("01|1|\n0\0|", 8)), {}, "El archivo \"d.rem\" no es un archivo de texto"},
      {"a folder", dir.path(), {}, "En la ruta indicada, no se encuentra el archivo"},
      {"windows-1252", write("e.rem", "01|\xD1U\xD1O|\n"), {"01|\xC3\x91U\xC3\x91O|"}, ""},
      {"large", write("f.rem", big), {}, ""},
  };
  std::vector<fs::path> files;
  for (const auto& c : cases) files.push_back(c.file);
  ReadAhead reader(files);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    ImportText text = reader.take(i);
    ImportText direct = readImportFile(c.file);
    EXPECT_EQ(text.problem, direct.problem);
    EXPECT_EQ(text.lines, direct.lines);
    EXPECT_EQ(text.problem.rfind(c.problem, 0), 0u) << text.problem;
    if (c.problem.empty() && !c.lines.empty()) {
      EXPECT_EQ(std::vector<std::string>(text.lines.begin(), text.lines.end()), c.lines);
    }
  }
  EXPECT_EQ(reader.take(cases.size() - 1).lines.size(), 20000u) << "a file taken again is read again";
}

TEST(ImportLines, FieldsOfConsecutiveLinesInOneBuffer) {
  struct Case {
    const char* name;
    const char* line;
    std::vector<std::string> fields;
  };
  const std::vector<Case> cases = {
      {"long fields first",
       " 01 |un documento largo de texto|\t0121 |9.99|",
       {"01", "un documento largo de texto", "0121", "9.99", ""}},
      {"fewer fields than asked", "01|41000002|", {"01", "41000002", "", "", ""}},
      {"more fields than asked", "a|b|c|d|e|f|g|", {"a", "b", "c", "d", "e"}},
      {"no separator", "  texto  ", {"texto", "", "", "", ""}},
      {"empty", "", {"", "", "", "", ""}},
  };
  std::vector<std::string> buffer;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    splitFields(c.line, 5, buffer);
    EXPECT_EQ(buffer, c.fields);
    EXPECT_EQ(splitFields(c.line, 5), c.fields);
  }
}

}  // namespace
}  // namespace korventa::test
