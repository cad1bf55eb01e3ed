// Batch computation of a whole declaration: N workers with 22 declared amounts each and 8
// contribution concepts computed from them (30 rows a worker), recomputed after the load and
// once more with nothing changed.
// Then the determination grid summed from the persons and the whole validation (written to a
// Mens.txt in the temporary folder).
// Usage: bench_computation_bench [N ...]   (default 1000 10000 50000)
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/messenger.h"
#include "data/param.h"
#include "data/schema_installer.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "determination/debt_grid.h"
#include "determination/declaration_computation.h"
#include "determination/validation.h"
#include "bench_support.h"

using namespace korventa;

namespace {

const char* kRuc = "20111111110";
const char* kIncome[] = {"0101", "0105", "0106", "0107", "0114", "0115", "0117", "0118", "0121", "0122", "0201",
                         "0301", "0303", "0304", "0305", "0401", "0405", "0406", "0312", "0907", "0704", "0705"};
const char* kContributions[] = {"0601", "0605", "0607", "0608", "0616", "0804", "0807", "0808"};

void fill(data::Database& db, int persons) {
  data::Transaction tx(db);
  std::vector<const char*> concepts(std::begin(kIncome), std::end(kIncome));
  concepts.insert(concepts.end(), std::begin(kContributions), std::end(kContributions));
  bench::declarant(db, kRuc, concepts);
  // The declared incomes; the contributions' rows come from the computation.
  auto& row = db.prepared(
      "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, monto_pag, "
      "base_calculo) VALUES (1, ?, ?, 1, ?, '', ?, ?, '')");
  bench::workers(
      db, kRuc, persons, [](int i) { return i % 2 ? 2 : 21; },
      [&](int i, const std::string& doc) {
        int k = 0;
        for (const char* c : kIncome) {
          std::string amount = std::to_string(100 + (i * 7 + k * 13) % 900) + "." + std::to_string(10 + k);
          ++k;
          row.reset();
          row.clearBindings();
          row.bind(1, doc);
          row.bind(2, static_cast<int64_t>(i));
          row.bind(3, c);
          row.bind(4, amount);
          row.bind(5, amount);
          row.exec();
        }
      });
  tx.commit();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000, 50000};
  auto dir = std::filesystem::temp_directory_path() / "korventa-computation-bench";
  std::filesystem::create_directories(dir);
  // Wall-clock and CPU seconds: on a shared machine the CPU time is the steadier figure.
  std::printf("%-9s %-9s %-11s %-11s %-11s %-11s %-10s %-9s %-9s\n", "persons", "rows", "first", "first cpu", "again",
              "again cpu", "cpu us/p", "grid", "validate");
  for (int n : sizes) {
    auto file = dir / ("bench-" + std::to_string(n) + ".db");
    std::filesystem::remove(file);
    std::filesystem::remove(file.string() + "-wal");
    std::filesystem::remove(file.string() + "-shm");
    Session session;
    RecordingMessenger messenger;
    session.messenger = &messenger;
    session.db = data::createDatabase(file, false);
    fill(session.database(), n);
    // The load's own writes are not part of the computation: flush them to the file first.
    session.database().script("PRAGMA wal_checkpoint(TRUNCATE)");
    model::OpenDeclaration decl;
    decl.ruc = kRuc;
    decl.periodo = "201206";
    data::ParamTable param(session.database());
    decl.uit = param.uit(decl.periodo).value_or(Money());
    decl.rmv = param.rmv(decl.periodo).value_or(Money());

    if (std::getenv("BENCH_FILL_ONLY")) {
      std::printf("filled %s\n", file.string().c_str());
      continue;
    }
    auto t0 = std::chrono::steady_clock::now();
    std::clock_t c0 = std::clock();
    determination::recomputeDeclaration(session, decl);
    double first = bench::seconds(t0), firstCpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
    auto t1 = std::chrono::steady_clock::now();
    std::clock_t c1 = std::clock();
    determination::recomputeDeclaration(session, decl);
    double again = bench::seconds(t1), againCpu = double(std::clock() - c1) / CLOCKS_PER_SEC;
    auto t2 = std::chrono::steady_clock::now();
    determination::DebtDetermination grid(session, decl);
    grid.load();
    double gridTime = bench::seconds(t2);
    auto t3 = std::chrono::steady_clock::now();
    determination::DeclarationValidator(session, decl).CmdValidar_Click(dir / "Mens.txt");
    double validateTime = bench::seconds(t3);
    long rows = static_cast<long>(session.database().integer("SELECT count(*) FROM TMPF601CONCEP"));
    std::printf("%-9d %-9ld %-11.3f %-11.3f %-11.3f %-11.3f %-10.1f %-9.3f %-9.3f\n", n, rows, first, firstCpu, again,
                againCpu, firstCpu * 1e6 / n, gridTime, validateTime);
    session.db.reset();
    if (!std::getenv("KEEP_BENCH_DB")) std::filesystem::remove(file);
  }
  return 0;
}
