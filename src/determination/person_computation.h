#pragma once
// Per-person computation on rows held in memory: the affected totals of each base position,
// the contribution concepts (bases and amounts) and the summary row of TEMP1_F601. The batch
// over all persons and the concept form run the very same code.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/money.h"
#include "data/keys.h"
#include "determination/concept_rules.h"
#include "determination/rates.h"
#include "model/amount_recorder.h"
#include "model/person_data.h"

namespace korventa::determination {

// The person as the model holds it: the computation works on these in place.
using model::ConceptRow;
using model::PersonData;
using model::Summary;
using model::SummaryColumn;
using enum model::SummaryColumn;
using model::summaryColumnName;

// Affectation strings: PARAM_REMUNERA (all declarants) and TRIBUT_AFECTA (this declarant).
struct Affectations {
  std::unordered_map<std::string, std::string> general, own;
};

// A concept of the declarant's concept set (CON_AFEC) with its description.
struct ConceptDef {
  std::string codigo, descrip;
};

// What one declaration's computation needs besides the person.
struct ComputationContext {
  std::string periodo;
  Money uit, rmv;
  Affectations affectations;
  ConceptTypes types;
  std::vector<ConceptDef> conceptSet;  // the declarant's concepts, group headings left out
  std::vector<ConceptDef> catalogue;   // CONCEPTOS_REM
};

// Affected totals by base position (index 1..13), accrued and paid, with the has-amount flags.
struct PositionTotals {
  std::array<Money, kPositions + 1> accrued{}, paid{};
  std::array<bool, kPositions + 1> hasAccrued{}, hasPaid{};
  Money deductions;  // paid amounts of 0704, 0705 and 0707
};
// A recorder hears each concept row counted at a position as a source of positionTarget(p).
PositionTotals CalcularTotalxPos(const Affectations& affectations, const PersonData& person,
                                 model::AmountRecorder* rec = nullptr);
std::string positionTarget(int position);  // "pos:5"
// What the recorder of CalcularConceptos_Tmp hears for the base of a contribution concept.
std::string baseTarget(std::string_view code);  // "base:0804"

// Base of a position as stored (the concept form's Calcular_BaseCalculo is the same rule): ""
// when nothing affected adds up to anything, otherwise the total (plus `extra`) less the
// deductions 0704, 0705 and 0707, never below zero, formatted "######0.00".
std::string CalcularBaseCalculo_Tmp(const PositionTotals& totals, int position,
                                    std::optional<Money> extra = std::nullopt);
// base × rate formatted "######0.00"; "" when the base is empty or the amount is 0.00.
std::string amountOf(const std::string& base, Money rate);

// How the concept form shows one contribution code after the rules.
struct PanelRule {
  bool visible = true;
  bool disabled = false;        // locked, grey, emptied
  bool amountComputed = false;  // locked: the amount follows from the base
  bool baseComputed = false;    // locked: the base follows from the income
};
// Rules of the 28 panel codes (0601 … 0617, 0801 … 0811); any other code has none.
class PanelRules {
 public:
  PanelRule& operator[](std::string_view code);
  const PanelRule* find(std::string_view code) const;

 private:
  static int slot(std::string_view code);  // -1 for a code outside the panels
  std::array<PanelRule, kWorkerPanelSize + kEmployerPanelSize> rules_{};
  PanelRule none_;
};

// The contribution rules for one person: bases and amounts of 06xx and 08xx set in place.
// A recorder hears the base of each contribution concept it sets (baseTarget): the rows counted at
// its position, the other income added, the deductions, and a rule that replaces the result.
PanelRules CalcularConceptos_Tmp(const ComputationContext& ctx, RateCache& rates, PersonData& person,
                                 model::AmountRecorder* rec = nullptr);
// The summary columns from the person's rows (after the contributions were computed); a recorder
// hears each column (by its name) with the concept rows that make it.
Summary SumaIngresos_Tmp(const PersonData& person, model::AmountRecorder* rec = nullptr);

// Which empty rows of the concept set a person is given. Only the contribution rules put
// amounts in rows the person did not hold, and only in groups 06 and 08: a computation that
// just stores what declares something (the batch, the recomputation of a stored person) needs
// no other empty row, while the forms show every concept the person is offered.
enum class Offer { All, Contributions };

// Ingresos_TmpConcep: adds in memory the rows of the declarant's concept set that the person
// lacks and that the person's worker type allows (empty amounts: the concepts the person is
// offered); 0604 and 0612 also when the registry gives the person an amount for them.
void Ingresos_TmpConcep(const ComputationContext& ctx, PersonData& person, Offer offer = Offer::All);
// The most rows Ingresos_TmpConcep adds to a person: room reserved for them beforehand is enough.
std::size_t offeredRows(const ComputationContext& ctx, Offer offer);

// The whole computation of one person: rows, contributions, summary.
PanelRules computePerson(const ComputationContext& ctx, RateCache& rates, PersonData& person,
                         model::AmountRecorder* rec = nullptr, Offer offer = Offer::All);

}  // namespace korventa::determination
