#pragma once
// What the computation of one declaration reads besides the persons (the periods' values,
// affectations, concept types and sets, rates), loaded once for all the persons it computes.
#include <functional>
#include <optional>
#include <vector>

#include "common/progress.h"
#include "data/database.h"
#include "model/open_declaration.h"
#include "determination/person_computation.h"

namespace korventa::determination {

// Everything one declaration's computation reads besides the persons.
ComputationContext loadContext(data::Database& db, const model::OpenDeclaration& decl);

// The computation of a declaration: context and rates loaded once.
class Computation {
 public:
  Computation(data::Database& db, const model::OpenDeclaration& decl);
  const ComputationContext& context() const { return ctx_; }
  RateCache& rates() { return rates_; }
  PanelRules compute(PersonData& person, model::AmountRecorder* rec = nullptr, Offer offer = Offer::All) {
    return computePerson(ctx_, rates_, person, rec, offer);
  }
  // A copy for another thread: the same context and the rates read so far, never reading more.
  Computation frozen() const { return Computation(ctx_, rates_.frozen()); }

 private:
  Computation(ComputationContext ctx, RateCache rates) : ctx_(std::move(ctx)), rates_(std::move(rates)) {}
  ComputationContext ctx_;
  RateCache rates_;
};

// What a batch does besides computing each person, on the thread that computes it: `before` (say,
// giving person i its imported rows) and `after` the computation of person i. Either may be
// empty; each must touch nothing but what belongs to person i.
struct PersonSteps {
  std::function<void(std::size_t)> before, after;
};

// Computes the persons of a batch as compute(p, nullptr, offer) one after the other does, counting
// them on `progress` (which may cancel) in the same order. With `threads` 2, the second half of
// the batch is computed meanwhile on a thread of its own, by a frozen copy of the computation
// (the rates of every type of the batch read first, on this thread): the persons come out the same.
// A failure of either thread fails the batch as it would have failed on one.
void computeBatch(Computation& computation, std::vector<PersonData>& persons, Offer offer, Progress& progress,
                  int threads = 1, const PersonSteps& steps = {});
// The threads worth using for a batch of this many persons on this machine (1 or 2).
int batchThreads(std::size_t persons);

}  // namespace korventa::determination
