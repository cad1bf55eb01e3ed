// Import files: the first byte chooses the kind (".rem" … ".sct"), the rest is the file. Runs
// the whole import of one file into the demo declaration 20503987610 06/2012 (decoding, the
// whole-file checks, every line's field checks and writes) inside a transaction that is rolled
// back afterwards, so each input starts from the same working set. One importer per form serves
// every input, as one serves every file of a run: what it keeps between files are its lookups of
// the registry and the reference lists, which no import writes; the per-file state is its own.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unistd.h>

#include "common/messenger.h"
#include "data/session.h"
#include "data/servicios_comunes.h"
#include "declaration/declaration_form.h"
#include "fuzz_support.h"
#include "import/import_errors.h"
#include "import/import_file.h"
#include "import/importer.h"

namespace korventa::fuzz {
namespace {

namespace fs = std::filesystem;
using import::Kind;

constexpr Kind kKinds[] = {Kind::Rem,    Kind::Pen,      Kind::Jor,   Kind::Sub, Kind::Not, Kind::Tes,
                           Kind::Cuarta, Kind::ForTrans, Kind::ForMF, Kind::Mfe, Kind::Sct};

struct World {
  RecordingMessenger messenger;
  Session session;
  std::unique_ptr<declaration::DeclarationForm> form;
  fs::path workDir;
  std::set<std::string> errorCodes;  // CodError of table ERROR
  std::map<import::Form, import::ErrorCatalog> catalogs;
  std::map<import::Form, std::unique_ptr<import::Importer>> importers;

  World() {
    session.db = memoryDatabase(true);
    session.messenger = &messenger;
    session.servicios->setMessenger(&messenger);
    session.user = "CONTADOR";
    workDir = fs::temp_directory_path() / ("korventa-fuzz-import-" + std::to_string(::getpid()));
    fs::create_directories(workDir);
    session.paths.tmpDir = workDir.string() + "/";
    form = std::make_unique<declaration::DeclarationForm>(session);
    form->newDeclaration();
    form->CmbRuc_Click("20503987610");
    FUZZ_CHECK(form->acceptPeriod("06/2012").ok, messenger.last());
    for (const auto& r : session.database().rows("SELECT TRIM(CodError) FROM ERROR")) errorCodes.insert(r.text(0));
    for (auto f : {import::Form::TranPer, import::Form::Transferencia, import::Form::ImportMF, import::Form::TransPT}) {
      catalogs.emplace(f, import::ErrorCatalog(session.database(), f));
      importers[f] = std::make_unique<import::Importer>(session, form->declaration(), f, workDir);
    }
  }
  ~World() {
    std::error_code ec;
    fs::remove_all(workDir, ec);
  }
};

World& world() {
  static World w;
  return w;
}

std::size_t countLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t n = 0;
  for (std::size_t p = all.find("\r\n"); p != std::string::npos; p = all.find("\r\n", p + 2)) ++n;
  return n;
}

void checkResult(World& w, Kind kind, std::string_view body, const import::FileResult& r) {
  const auto& k = import::info(kind);
  if (r.refused) {
    FUZZ_CHECK(r.transferred == 0 && r.rejected == 0 && r.skipped == 0 && r.errors.empty(), r.refusal);
    FUZZ_CHECK(!w.messenger.entries().empty(), "a refused file must say why");
    // A line of a file never makes the database fail: every bad value has its rejection code.
    FUZZ_CHECK(r.refusal.rfind("Error Tecnico:", 0) != 0, r.refusal);
    return;
  }
  auto text = import::decodeImportText(std::string(body), "x");
  FUZZ_CHECK(text.ok(), "accepted a file the reader refuses: " + text.problem);
  std::size_t records = 0;
  for (auto line : text.lines)
    if (!import::isBlank(line)) ++records;
  FUZZ_CHECK(
      static_cast<std::size_t>(r.transferred + r.rejected + r.skipped) == records,
      "lines counted " + std::to_string(r.transferred + r.rejected + r.skipped) + " of " + std::to_string(records));
  bool skips = kind == Kind::Jor || kind == Kind::Sub || kind == Kind::Not;
  FUZZ_CHECK(skips || r.skipped == 0, "skipped lines in a file that has none");
  FUZZ_CHECK(static_cast<std::size_t>(r.rejected) == r.errors.size(), "every rejection is kept");
  const import::ErrorCatalog& catalog = w.catalogs.at(k.form);
  std::size_t previous = 0;
  for (const auto& e : r.errors) {
    FUZZ_CHECK(w.errorCodes.count(e.code) == 1, "code " + e.code + " is not in table ERROR");
    FUZZ_CHECK(e.message == catalog.message(e.code) && e.message != import::kOtroError, e.code + ": " + e.message);
    FUZZ_CHECK(e.line > previous && e.line <= text.lines.size(), "line " + std::to_string(e.line));
    previous = e.line;
  }
  if (r.rejected > 0) {
    FUZZ_CHECK(countLines(r.errFile) == static_cast<std::size_t>(r.rejected), "the .Err file misses rejections");
    FUZZ_CHECK(countLines(r.logFile) == static_cast<std::size_t>(r.rejected), "the .Log file misses rejections");
  }
}

}  // namespace
}  // namespace korventa::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korventa;
  using namespace korventa::fuzz;
  if (size == 0) return -1;
  World& w = world();
  Kind kind = kKinds[data[0] % std::size(kKinds)];
  std::string_view body = bytes(data + 1, size - 1);
  auto& db = w.session.database();
  w.messenger.clear();
  import::FileResult r;
  {
    // Rolled back at the end of the block: nothing of this input stays for the next one.
    data::Transaction scope(db);
    auto& importer = *w.importers.at(import::info(kind).form);
    r = importer.importBytes(kind, std::string(body), import::importFileName("20503987610", "201206", kind));
  }
  FUZZ_CHECK(db.depth() == 0, "a transaction was left open");
  checkResult(w, kind, body, r);
  return 0;
}
