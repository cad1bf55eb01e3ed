// Import of a ".rem" file of concept amounts: N workers with 30 concepts each, read, validated
// and written into the working set of the workers (which holds no concept rows yet), then every
// worker computed again.
// Usage: bench_import_bench [WORKERS ...]   (default 1000 10000 33334: 30,000 / 300,000 /
// 1,000,000 lines)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/messenger.h"
#include "data/param.h"
#include "data/schema_installer.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "determination/declaration_computation.h"
#include "import/importer.h"
#include "bench_support.h"

using namespace korventa;

namespace {

const char* kRuc = "20111111110";
const char* kConcepts[] = {"0101", "0105", "0106", "0107", "0114", "0115", "0117", "0118", "0121", "0122",
                           "0201", "0301", "0303", "0304", "0305", "0401", "0405", "0406", "0312", "0907",
                           "0704", "0705", "0601", "0605", "0607", "0608", "0616", "0804", "0807", "0808"};

// Peak resident memory (kB) since the last reset.
long peakKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}
void resetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// The declarant and its workers, without concept rows: a working set holds only the rows that
// declare something, and nothing is declared yet.
void fill(data::Database& db, int persons) {
  data::Transaction tx(db);
  bench::declarant(db, kRuc, std::vector<const char*>(std::begin(kConcepts), std::end(kConcepts)));
  bench::workers(
      db, kRuc, persons, [](int) { return 21; }, [](int, const std::string&) {});
  tx.commit();
}

void writeFile(const std::filesystem::path& file, int persons) {
  std::ofstream out(file, std::ios::binary);
  for (int i = 1; i <= persons; ++i) {
    int k = 0;
    for (const char* c : kConcepts) {
      bool contribution = c[0] == '0' && (c[1] == '6' || c[1] == '8');
      char line[96];
      int cents = 10 + k;
      int whole = 100 + (i * 7 + k * 13) % 900;
      int paid = contribution ? whole : whole - (k % 3);
      std::snprintf(line, sizeof line, "01|%08d|%s|%d.%02d|%d.%02d|\r\n", 10000000 + i, c, whole, cents, paid, cents);
      out << line;
      ++k;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000, 33334};
  auto dir = std::filesystem::temp_directory_path() / "korventa-import-bench";
  std::filesystem::create_directories(dir);
  std::printf("%-8s %-9s %-9s %-9s %-9s %-9s %-9s %-9s %-8s\n", "workers", "lines", "rejected", "import", "imp cpu",
              "recomp", "total", "tot cpu", "peak MB");
  for (int n : sizes) {
    auto file = dir / ("bench-" + std::to_string(n) + ".db");
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
    auto rem = dir / "060120111111110201206.rem";
    writeFile(rem, n);
    Session session;
    RecordingMessenger messenger;
    session.messenger = &messenger;
    session.paths.tmpDir = dir.string() + "/";
    session.db = data::createDatabase(file, false);
    fill(session.database(), n);
    session.database().script("PRAGMA wal_checkpoint(TRUNCATE)");
    model::OpenDeclaration decl;
    decl.ruc = kRuc;
    decl.periodo = "201206";
    data::ParamTable param(session.database());
    decl.uit = param.uit(decl.periodo).value_or(Money());
    decl.rmv = param.rmv(decl.periodo).value_or(Money());

    resetPeak();
    long before = peakKb();
    auto t0 = std::chrono::steady_clock::now();
    std::clock_t c0 = std::clock();
    import::Importer importer(session, decl, import::Form::TranPer);
    auto r = importer.importFile(import::Kind::Rem, rem);
    double imp = bench::seconds(t0), impCpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
    auto t1 = std::chrono::steady_clock::now();
    import::recomputeAfterImport(session, decl, r.affected);
    double rec = bench::seconds(t1), total = bench::seconds(t0), totCpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
    long peak = peakKb();
    std::printf("%-8d %-9d %-9d %-9.3f %-9.3f %-9.3f %-9.3f %-9.3f %-8.0f\n", n, r.transferred + r.rejected, r.rejected,
                imp, impCpu, rec, total, totCpu, (peak > before ? peak : before) / 1024.0);
    if (r.refused || !r.errors.empty()) {
      for (std::size_t i = 0; i < r.errors.size() && i < 5; ++i)
        std::printf("  line %zu: %s %s\n", r.errors[i].line, r.errors[i].code.c_str(), r.errors[i].message.c_str());
      if (r.refused) std::printf("  refused: %s\n", r.refusal.c_str());
    }
    session.db.reset();
    if (!std::getenv("KEEP_BENCH_DB")) {
      for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
      std::filesystem::remove(rem);
    }
  }
  return 0;
}
