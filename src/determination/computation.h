#pragma once
// What the computation of one declaration reads besides the persons (the periods' values,
// affectations, concept types and sets, rates), loaded once for all the persons it computes.
#include <optional>
#include <vector>

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

 private:
  ComputationContext ctx_;
  RateCache rates_;
};

}  // namespace korventa::determination
