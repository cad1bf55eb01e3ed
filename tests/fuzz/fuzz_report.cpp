// Report files and the page-range dialog. The first byte chooses preview or print and whether a
// page range is typed; with a range, the next three NUL-terminated texts are what is typed in
// txtPagDesde, txtPagHasta and txtTotPaginas of frmImpxPag. The rest is the report file, read by
// pDesencripta with the range the dialog accepted.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "common/messenger.h"
#include "fuzz_support.h"
#include "reports/page_range.h"
#include "reports/report_reader.h"
#include "reports/spool.h"

namespace korventa::fuzz {
namespace {

namespace fs = std::filesystem;
using namespace reports;

const fs::path& reportFile() {
  static const fs::path file = fs::temp_directory_path() / ("korventa-fuzz-" + std::to_string(::getpid()) + ".PRN");
  return file;
}

struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    fs::remove(reportFile(), ec);
  }
} cleanup;

// What the dialog accepted is a range of real pages: from page 1 on, no further than the total,
// and not ending before it starts.
PageRange typedRange(std::string_view& in) {
  std::string_view desde = takePart(in), hasta = takePart(in), total = takePart(in);
  RecordingMessenger m;
  PageRangeForm form;
  if (!form.accept(m, desde, hasta, total)) {
    FUZZ_CHECK(m.entries().size() == 1 && m.entries()[0].icon == MsgIcon::Critical, "one error message");
    FUZZ_CHECK(form.focus == "txtPagDesde" || form.focus == "txtPagHasta", form.focus);
    return {};
  }
  const PageRange& r = form.range;
  std::string shown = std::to_string(r.first) + "-" + std::to_string(r.last);
  FUZZ_CHECK(m.entries().empty() && r.active, shown);
  FUZZ_CHECK(r.first >= 1 && r.first <= r.last, shown);
  FUZZ_CHECK(r.first <= numberArg(total), shown + " of " + std::string(total));
  return r;
}

void checkDocument(const Document& doc, ReadMode mode, const PageRange& range) {
  FUZZ_CHECK(doc.mode == mode, "mode");
  for (const auto& page : doc.pages)
    for (const auto& op : page.ops) FUZZ_CHECK(op.text.find('|') == std::string::npos, op.text);
  if (mode == ReadMode::Preview) {
    FUZZ_CHECK(!doc.pages.empty(), "a preview shows at least one page");
    if (!range.active) FUZZ_CHECK(doc.pages.front().index == 0, "the first preview page is page 0");
    int previous = -1;
    for (const auto& page : doc.pages) {
      FUZZ_CHECK(page.index > previous, "preview pages in ascending order");
      previous = page.index;
      if (range.active && !page.ops.empty())
        FUZZ_CHECK(range.contains(page.index), "page " + std::to_string(page.index) + " is outside the range");
    }
    return;
  }
  for (std::size_t i = 0; i < doc.pages.size(); ++i) {
    FUZZ_CHECK(doc.pages[i].index == static_cast<int>(i), "sheets numbered in order");
    FUZZ_CHECK(!doc.pages[i].ops.empty(), "no blank sheet is printed");
  }
}

}  // namespace
}  // namespace korventa::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korventa;
  using namespace korventa::fuzz;
  if (size == 0) return -1;
  std::uint8_t flags = data[0];
  std::string_view in = bytes(data + 1, size - 1);
  reports::PageRange range = (flags & 2) ? typedRange(in) : reports::PageRange{};
  {
    std::ofstream out(reportFile(), std::ios::binary | std::ios::trunc);
    out.write(in.data(), static_cast<std::streamsize>(in.size()));
  }
  const char* modeText = (flags & 1) ? "IMPRIMIR" : "PresPrevia";
  RecordingMessenger m;
  auto doc = reports::pDesencripta(reportFile(), modeText, range, m);
  FUZZ_CHECK(doc.has_value() && m.entries().empty(), m.last());
  checkDocument(*doc, reports::readModeOf(modeText), range);
  int pages = reports::LeeNroHojas(reportFile());
  FUZZ_CHECK(pages >= -32768 && pages <= 32767, std::to_string(pages));
  return 0;
}
