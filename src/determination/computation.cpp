#include "determination/computation.h"

#include <atomic>
#include <exception>
#include <thread>

#include "common/text.h"
#include "data/param.h"

namespace korventa::determination {

ComputationContext loadContext(data::Database& db, const model::OpenDeclaration& decl) {
  ComputationContext ctx;
  ctx.periodo = decl.periodo;
  data::ParamTable param(db);
  ctx.uit = decl.uit.isZero() ? param.uit(decl.periodo).value_or(Money()) : decl.uit;
  ctx.rmv = decl.rmv.isZero() ? param.rmv(decl.periodo).value_or(Money()) : decl.rmv;
  for (const auto& r : db.rows("SELECT CODIGO, FUNCION FROM PARAM_REMUNERA"))
    ctx.affectations.general[text::trim(r.text(0))] = text::trim(r.text(1));
  for (const auto& r :
       db.rows("SELECT CODIGO, AFECTACION FROM TRIBUT_AFECTA WHERE tip_doc_d = 6 AND doc_id_d = ?", {decl.ruc}))
    ctx.affectations.own[text::trim(r.text(0))] = text::trim(r.text(1));
  ctx.types = ConceptTypes::load(db);
  for (const auto& r : db.rows("SELECT Codigo, Descripc FROM CONCEPTOS_REM ORDER BY Codigo"))
    ctx.catalogue.push_back({text::trim(r.text(0)), r.text(1)});
  // Own concepts are described by the declarant; the others by the catalogue.
  for (const auto& r : db.rows("SELECT a.cod_concepto, COALESCE(NULLIF(o.desc_concepto, ''), c.Descripc, '') "
                               "FROM CON_AFEC a LEFT JOIN CONCEPTOS_REM c ON c.Codigo = a.cod_concepto "
                               "LEFT JOIN conceptos_remu o ON o.tip_doc_d = a.tip_doc_d AND o.doc_id_d = a.doc_id_d "
                               "AND o.cod_concepto = a.cod_concepto "
                               "WHERE a.tip_doc_d = 6 AND a.doc_id_d = ? ORDER BY a.cod_concepto",
                               {decl.ruc})) {
    std::string code = text::trim(r.text(0));
    if (code.size() != 4 || text::right(code, 2) == "00") continue;
    ctx.conceptSet.push_back({code, r.text(1)});
  }
  return ctx;
}

Computation::Computation(data::Database& db, const model::OpenDeclaration& decl)
    : ctx_(loadContext(db, decl)), rates_(db, decl.periodo, DeclarantOptions::load(db, decl.ruc)) {}

namespace {

void computeOne(Computation& computation, std::vector<PersonData>& persons, std::size_t i, Offer offer,
                const PersonSteps& steps) {
  if (steps.before) steps.before(i);
  computation.compute(persons[i], nullptr, offer);
  if (steps.after) steps.after(i);
}

// The second half of a batch computed on a thread of its own; joined however the caller leaves.
class OtherHalf {
 public:
  OtherHalf(Computation computation, std::vector<PersonData>& persons, std::size_t from, Offer offer,
            const PersonSteps& steps)
      : computation_(std::move(computation)), failedAt_(persons.size()) {
    thread_ = std::thread([this, &persons, from, offer, &steps] {
      std::size_t i = from;
      try {
        for (; i < persons.size() && !stop_; ++i) computeOne(computation_, persons, i, offer, steps);
      } catch (...) {
        failure_ = std::current_exception();
        failedAt_ = i;
      }
    });
  }
  OtherHalf(const OtherHalf&) = delete;
  OtherHalf& operator=(const OtherHalf&) = delete;
  ~OtherHalf() {
    stop_ = true;
    join();
  }
  void join() {
    if (thread_.joinable()) thread_.join();
  }
  // After join(): throws what the computation of person `i` threw, if it threw.
  void rethrowAt(std::size_t i) const {
    if (failure_ && i == failedAt_) std::rethrow_exception(failure_);
  }

 private:
  Computation computation_;
  std::atomic<bool> stop_{false};
  std::exception_ptr failure_;
  std::size_t failedAt_;
  std::thread thread_;
};

}  // namespace

void computeBatch(Computation& computation, std::vector<PersonData>& persons, Offer offer, Progress& progress,
                  int threads, const PersonSteps& steps) {
  const auto total = static_cast<long long>(persons.size());
  const std::size_t split = threads > 1 ? persons.size() / 2 : persons.size();
  std::optional<OtherHalf> other;
  if (split < persons.size()) {
    // Every rate the other thread needs is read here: it never touches the connection.
    for (std::size_t i = split; i < persons.size(); ++i) computation.rates().forType(persons[i].tipo);
    other.emplace(computation.frozen(), persons, split, offer, steps);
  }
  long long done = 0;
  for (std::size_t i = 0; i < split; ++i) {
    progress.tick(done++, total);
    computeOne(computation, persons, i, offer, steps);
  }
  if (other) {
    other->join();
    // The count goes on as if this thread had computed them, and stops where the computation did.
    for (std::size_t i = split; i < persons.size(); ++i) {
      progress.tick(done++, total);
      other->rethrowAt(i);
    }
  }
  progress.advance(total, total);
}

int batchThreads(std::size_t persons) {
  // A person takes some microseconds: below a few hundred the thread costs more than it saves.
  return persons >= 500 && std::thread::hardware_concurrency() > 1 ? 2 : 1;
}

}  // namespace korventa::determination
