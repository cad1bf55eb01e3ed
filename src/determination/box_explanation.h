#pragma once
// "¿De dónde sale?": the explanation of a box of the determination grid, or of a summary column
// of a person, as the very computation that fills it records it (model::AmountRecorder), so the
// explanation and the box can never disagree: the sources that enter it (persons, concept rows,
// receipts, EPS invoices, establishments, other boxes), each with the rule that lets it in, then
// the steps that give the value (sum, rounding, credits subtracted, balance).
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/keys.h"
#include "data/session.h"
#include "model/amount_recorder.h"
#include "model/open_declaration.h"

namespace korventa::determination {

struct BoxExplanation {
  std::string target;   // box number, "total", or the person's summary column
  std::string caption;  // what the target is
  std::string value;    // the target as the grid or the person's row holds it ("" when empty)
  std::vector<model::AmountSource> sources;
  std::vector<model::AmountStep> steps;
  // Short names of the document types the sources carry ("1" → "DNI"), as list 003 gives them.
  std::map<std::string, std::string> docTypeNames;

  Money sourcesTotal() const;
  // The last step's result: the value the steps give (0 when there are none).
  Money result() const;
  // The value as an amount (an empty box is 0; thousands separators are read).
  Money amount() const;
  // "caption = value", "(vacía)" for an empty value.
  std::string heading() const;
};

// Keeps what a computation records, per target.
class ExplanationRecorder : public model::AmountRecorder {
 public:
  void reset(std::string_view target) override;
  void source(std::string_view target, model::AmountSource s) override;
  void step(std::string_view target, model::AmountStep s) override;
  // What was recorded for `target`, caption and value left to the caller.
  BoxExplanation explanation(std::string_view target) const;
  bool recorded(std::string_view target) const { return entries_.find(target) != entries_.end(); }

 private:
  struct Entry {
    std::vector<model::AmountSource> sources;
    std::vector<model::AmountStep> steps;
  };
  std::map<std::string, Entry, std::less<>> entries_;
};

// A box of the open declaration's grid ("total" for the total to pay) as the grid computes it from
// the working rows and the boxes typed in `decl`. A box the user types has one step, "Digitado".
BoxExplanation explainBox(Session& session, const model::OpenDeclaration& decl, std::string_view casilla);
// Every box of the grid that holds a value, and the total, from one computation.
std::vector<BoxExplanation> explainFilledBoxes(Session& session, const model::OpenDeclaration& decl);

// What the validation compares a tax box with (411, 413, 415, 416, 417, 418, 419, 591): the total
// of the persons' column (Total_Tributo). Throws std::invalid_argument for another box.
BoxExplanation explainTaxTotal(Session& session, std::string_view casilla);

// A summary column of a person's TEMP1_F601 row ("salud", "Tot_Ingresos", …) from the person's
// concept rows. Throws std::invalid_argument for a name that is no summary column.
bool isSummaryColumn(std::string_view column);
BoxExplanation explainPersonColumn(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                                   std::string_view column);

// The worker or pensioner a source names (one of the persons a box sums), to explain the summary
// column the source names in `reference`; nothing for another source.
std::optional<PersonKey> personOf(data::Database& db, const model::AmountSource& source);

// The sources and the steps as rows of text with their headings: what the command line prints and
// the form, the workbook and the PDF show.
struct ExplanationTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};
ExplanationTable sourcesTable(const BoxExplanation& e);
ExplanationTable stepsTable(const BoxExplanation& e);
// Short name of a step kind ("suma", "redondeo", …).
const char* stepKindName(model::StepKind kind);

}  // namespace korventa::determination
