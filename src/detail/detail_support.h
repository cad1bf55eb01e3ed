#pragma once
// Pieces shared by the per-person forms of days, establishments, SCTR, other employers and EPS:
// the answer of a check (with the field that takes the focus), the worker's working row and
// small date and number helpers.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/dates.h"
#include "common/messenger.h"
#include "common/money.h"
#include "data/database.h"
#include "data/keys.h"
#include "model/open_declaration.h"

namespace korventa::detail {

// Why a per-person form cannot open without a declaration.
inline constexpr const char* kNoOpenDeclaration = "Debe abrir una declaración.";

// Answer of an accept or save: when a check failed, its message was shown and `focus` names the
// control (objectName) that takes the focus.
struct Outcome {
  bool ok = true;
  std::string focus;
  explicit operator bool() const { return ok; }
  static Outcome success() { return {}; }
};
// Shows `text` with the critical icon (title "Mensaje") and returns the failed outcome.
Outcome refuse(Messenger& m, std::string_view text, std::string_view focus);

// Runs `write` in one transaction, committed when it answers true. A database failure is shown
// with the record-level message and answers false.
bool writeInTransaction(data::Database& db, Messenger& m, const std::function<bool()>& write);

// Ends a form's write for a worker or pensioner: the person computed and stored again inside the
// write's transaction, the only computation of the person after the form accepts (nothing for the
// other categories, which the computation does not read).
void recomputeWrittenPerson(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person);

// The person as a WHERE clause over correl_a, tip_doc_a, doc_id_a (with an optional alias).
std::string personWhere(std::string_view alias = {});
data::Params personParams(const PersonKey& p);

// A worker's or pensioner's working row (TEMP1_F601) as the detail forms read it.
struct WorkerRow {
  std::string nombre, tipDoc, docId;  // name, short name of the document type, number
  std::string tipo, situac;
  int sctr = 0;
  std::string dias_lab, dias_sub, dias_no_lab, horas_nor, horas_sob;
};
// Throws std::runtime_error when the person has no working row.
WorkerRow readWorkerRow(data::Database& db, const PersonKey& person);

// A date as the working and registry tables keep it: "dd/mm/yyyy", "YYYY-MM-DD" or "yyyymmdd".
std::optional<Date> parseDate(std::string_view text);
// The person's leaving date in the registry (ASEGVKRS.fec_baja), when there is one.
std::optional<Date> leavingDate(data::Database& db, const std::string& ruc, const PersonKey& person);

// base × rate / 100 rounded to cents (half away from zero), computed exactly.
Money percentOfRate(Money base, Money ratePercent);

// Whole number of a day or hour box ("" and malformed text count 0).
long long wholeNumber(std::string_view text);
// Sum of the non-empty texts of a column as the list totals write it: "" when no row has a
// value, else the whole number (days are whole).
std::string dayTotalText(bool any, Money total);

}  // namespace korventa::detail
