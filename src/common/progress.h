#pragma once
// Long work (loading, refreshing, saving, importing, exporting, validating a large declaration)
// says how far it is through a Progress: the forms show a progress dialog, the command line
// prints lines with --progress, and the default does nothing and never cancels.
#include <string>
#include <string_view>

namespace korventa {

class Progress {
 public:
  virtual ~Progress() = default;
  // A new step begins ("Cargando trabajadores…"); its count starts again.
  virtual void step(std::string_view text) { (void)text; }
  // `done` of `total` items of the current step are through.
  virtual void advance(long long done, long long total) {
    (void)done;
    (void)total;
  }
  // Whether the person asked to stop. Only operations that run in one transaction look at it.
  virtual bool cancelled() { return false; }

  // For the operations that can be cancelled: throws Cancelled when the person asked to stop, so
  // the operation's transaction rolls back on the way out.
  void checkpoint();
  // advance() followed by checkpoint().
  void tick(long long done, long long total) {
    advance(done, total);
    checkpoint();
  }

  // The shared do-nothing instance, the default argument of the operations.
  static Progress& none();
};

// Passes steps and counts on but never cancels: for work that must finish once started (the
// computation that follows an import whose files are already in).
class Uncancellable : public Progress {
 public:
  explicit Uncancellable(Progress& to) : to_(to) {}
  void step(std::string_view text) override { to_.step(text); }
  void advance(long long done, long long total) override { to_.advance(done, total); }

 private:
  Progress& to_;
};

// Thrown by Progress::checkpoint. Deliberately not a std::exception: the handlers that turn a
// failure into an error message let it pass up to the operation, which reports it as cancelled.
struct Cancelled {};

// What an operation tells after it was cancelled and rolled back.
inline constexpr const char* kCancelledText = "Operación cancelada. No se realizó ningún cambio.";

// The texts of the steps.
namespace steps {
inline constexpr const char* kLoadingWorkers = "Cargando trabajadores…";
inline constexpr const char* kRefreshingWorkers = "Refrescando trabajadores…";
inline constexpr const char* kComputing = "Calculando la declaración…";
inline constexpr const char* kValidating = "Validando la declaración…";
inline constexpr const char* kSaving = "Guardando la declaración…";
inline constexpr const char* kPayStatements = "Generando boletas…";
inline constexpr const char* kReports = "Generando reportes…";
// "Importando NAME…"
std::string importing(std::string_view fileName);
}  // namespace steps

}  // namespace korventa
