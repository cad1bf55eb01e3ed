#pragma once
// Helpers of the report tests.
#include <filesystem>
#include <fstream>
#include <vector>
#include <sstream>
#include <string>

#include "data/database.h"
#include "reports/report_reader.h"
#include "support/cli_runner.h"

namespace korventa::reports::test {

inline std::filesystem::path fixture(const std::string& name) {
  return std::filesystem::path(KORVENTA_TEST_DATA_DIR) / "reports" / name;
}

inline Document read(const std::string& text, ReadMode mode, PageRange range = {}) {
  std::istringstream in(text);
  return readReport(in, mode, range);
}

inline std::string readFile(const std::filesystem::path& p) {
  return korventa::test::slurp(p);
}

// Lines of a report file without their CR LF.
inline std::vector<std::string> fileLines(const std::filesystem::path& p) {
  std::vector<std::string> lines;
  std::istringstream in(readFile(p));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A report of `pages` pages (index 0 … pages-1), each with one text naming its page and ended by
// "pNuevaHoja".
inline std::string pagedReport(int pages) {
  std::string s = "<!Orientacion!>V<!/Orientacion!>\r\n";
  for (int p = 0; p < pages; ++p) {
    s += "pPos|100|100|pagina " + std::to_string(p) + "|False|8|" + std::to_string(p) + "|\r\n";
    s += "pCuadro|50|50|500|500|" + std::to_string(p) + "|\r\n";
    s += "pNuevaHoja\r\n";
  }
  return s;
}

}  // namespace korventa::reports::test
