#pragma once
// Reading the workers and pensioners of the working tables into memory for the computation,
// and writing back what changed. One SELECT per table, prepared statements for the writes;
// the caller holds the transaction.
#include <optional>
#include <vector>

#include "data/database.h"
#include "declaration/open_declaration.h"
#include "determination/person_computation.h"

namespace korventa::determination {

// Everything one declaration's computation reads besides the persons.
ComputationContext loadContext(data::Database& db, const declaration::OpenDeclaration& decl);

// Workers and pensioners of TEMP1_F601 (all, or the one given) with their concept rows, their
// suspension days, SCTR choice, other-employer income and SCTR pension flag.
std::vector<PersonData> loadPersons(data::Database& db, const std::string& ruc,
                                    const std::optional<PersonKey>& only = std::nullopt);

// Inserts the new concept rows that declare something (an amount or a base: the others stay in
// memory), updates the changed stored ones and the changed summary rows.
void storePersons(data::Database& db, std::vector<PersonData>& persons);

// The computation of a declaration: context and rates loaded once.
class Computation {
 public:
  Computation(data::Database& db, const declaration::OpenDeclaration& decl);
  const ComputationContext& context() const { return ctx_; }
  RateCache& rates() { return rates_; }
  PanelRules compute(PersonData& person) { return computePerson(ctx_, rates_, person); }

 private:
  ComputationContext ctx_;
  RateCache rates_;
};

}  // namespace korventa::determination
