#pragma once
// The "Determinación de la Deuda" grid: one column per tax, one box per step from the tax base
// to the amount to pay. Bases and taxes are summed from the persons' working rows; the user types
// credits, payments, interest and amounts to pay; every change recomputes the balance of its
// column and the total to pay. The tab of the declaration form and the command line are views of
// this model; the save stores boxes() in DET.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/session.h"
#include "model/amount_recorder.h"
#include "model/open_declaration.h"
#include "determination/declaration_checks.h"

namespace korventa::determination {

// One tax column: its label (the same text in the grid, the printout and the messages) and its
// boxes; nullptr where the column has no such box.
struct TaxColumn {
  const char* label;
  const char* base;
  const char* tax;
  const char* compensation;      // Compensaciones
  const char* epsCredit;         // Crédito EPS (Ley 26790)
  const char* epsCreditBefore;   // Crédito EPS Per. Anterior
  const char* otherDeductions;   // Otr. Deducc. Permit. Ley
  const char* previousPayments;  // Pagos Previos
  const char* interest;          // Interés Moratorio
  const char* balance;           // Saldo a Pagar
  const char* toPay;             // Importe a Pagar
  // Deduction boxes of the column (compensation, credits, other deductions).
  std::vector<const char*> deductions() const;
  // Every box of the column in row order.
  std::vector<const char*> boxes() const;
};

// The fifteen columns in the order of the grid.
const std::vector<TaxColumn>& taxColumns();
// The column a box belongs to (box 812 belongs to ESSALUD SCTR); nullptr for other boxes.
const TaxColumn* columnOf(std::string_view casilla);
// The box shown after a column's amount to pay: 812, the IGV of the SCTR column (to pay 810);
// nullptr for every other column.
const char* igvBox(const TaxColumn& column);
// Row captions of the grid, in the order of TaxColumn's boxes.
const std::vector<const char*>& gridRowCaptions();
// "column label · row caption" of a box ("ESSALUD SCTR · IGV" for 812); the box itself for
// another text.
std::string boxCaption(std::string_view casilla);

// A bank a cheque payment may name: its code (list 004) and "code - name" as offered.
struct PaymentBank {
  std::string code, caption;
};
// The banks of list 004 except "00" (SIN BANCO, which stands for no bank).
std::vector<PaymentBank> paymentBanks(data::Database& db);

// Box value parsed as whole soles ("#########0"); empty or non-numeric text counts 0.
long long boxNumber(std::string_view text);

class DebtDetermination {
 public:
  DebtDetermination(Session& session, const model::OpenDeclaration& decl);

  // Typed boxes from the open declaration (when the grid already held them) or from DET, then
  // bases, taxes, balances and total recomputed.
  void load();
  // Tab activation: bases and taxes summed again from the working rows, then every column.
  void recomputeBases();
  // While set, every box the grid fills tells `rec` its sources and steps (boxes by number, the
  // total to pay as "total"); nullptr stops it.
  void setRecorder(model::AmountRecorder* rec) { rec_ = rec; }

  // The stored value of a box (whole soles, "" when empty).
  std::string value(std::string_view casilla) const;
  bool empty(std::string_view casilla) const { return value(casilla).empty(); }
  // Typing into a box (txtvalor_Change): the value is kept as whole soles (digits, optional
  // leading minus, thousands separators ignored), then the dispatch of the changed box runs.
  // False when the box is not editable or the text is not a number.
  bool setBox(const std::string& casilla, std::string_view text);

  // Display ("#,###,###,##0;(#,###,###,##0)") and edit ("#########0") texts of a box.
  std::string display(std::string_view casilla) const;
  std::string editText(std::string_view casilla) const;
  // Whether the user may type into the box.
  bool editable(std::string_view casilla) const;
  // Whether the box is shown enabled (602/612 follow 452, 408/428 follow 458).
  bool enabled(std::string_view casilla) const;

  // Balance of the column of `balance` (Calcular710, Calcular711, …) and what depends on it.
  void Calcular(std::string_view balance);
  // The total to pay ("#,###,###,##0", "" when every amount to pay is empty).
  void CalcularTotal();
  const std::string& total() const { return total_; }

  // Boxes typed by the user (what the open declaration keeps between views).
  std::map<std::string, std::string> typedBoxes() const;
  // Every box of the grid in column order, 812 after the SCTR column, for DET.
  std::vector<Box> boxes() const;
  // The boxes of boxes() that hold a value: what DET keeps (an empty box is not declared).
  std::vector<Box> filledBoxes() const;

 private:
  void set(const std::string& casilla, std::string v) { values_[casilla] = std::move(v); }
  void afterChange(const std::string& casilla);
  void sumPersons(std::vector<Money>& sum) const;
  void sumOtherRows(std::vector<Money>& sum) const;
  void sum0808(std::vector<Money>& sum) const;  // from the table
  void sumSctrRows(std::vector<Money>& sum) const;
  void fillReceiptsAndCredits();
  void recordSum(const char* casilla, Money sum) const;
  void IGV812();
  void recordBalance(const TaxColumn& col, long long unclamped, bool allEmpty) const;
  Session& s_;
  const model::OpenDeclaration& d_;
  std::map<std::string, std::string, std::less<>> values_;
  std::string total_;
  bool param980_ = true;  // previous payments of the artists' fund open for the period
  model::AmountRecorder* rec_ = nullptr;
};

// The boxes the user types (deductions, previous payments, interest and the amounts to pay that
// do not follow the balance).
bool isTypedBox(std::string_view casilla);

}  // namespace korventa::determination
