#pragma once
// The workers and pensioners of the open declaration's working tables as held in memory: their
// registry data, concept rows and summary row; read with one SELECT per table and written back
// (only what changed) with prepared statements. The caller holds the transaction.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "data/database.h"
#include "data/keys.h"

namespace korventa::model {

// One row of TMPF601CONCEP. Amount texts: "" = not declared.
struct ConceptRow {
  std::int64_t rowid = 0;  // 0 while the row is not stored
  // A row an import brought and left to the computation to write: its place in the file (from
  // 1), so that such rows are stored in the order they were read; 0 for the others.
  std::size_t importOrder = 0;
  std::string codigo, descrip, monto, monto_pag, base_calculo;
  // As read, to write back only what changed.
  std::string storedMonto, storedMontoPag, storedBase;
  bool changed() const {
    return rowid == 0 || monto != storedMonto || monto_pag != storedMontoPag || base_calculo != storedBase;
  }
  // Anything declared in it: an accrued or paid amount or a base.
  bool hasContent() const;
  std::string group() const { return codigo.substr(0, 2); }
};

// Columns of the person's TEMP1_F601 row written by the summary, in this order.
enum SummaryColumn : int {
  kIngresos,
  kIngAsig,
  kIngBonif,
  kIngGratif,
  kIngIndemniz,
  kIngPublico,
  kDescTrab,
  kOtrosConcep,
  kAportTrabPens,
  kConcepVarios,
  kTotIngresos,
  kAportDes,
  kAportEmp,
  kRem20530,
  kTrib20530,
  kRemAfecta,
  kTributo,
  kRemPens,
  kPens,
  kRemFcjmms,
  kAporteFcjmms,
  kRemFracFcjmms,
  kAporteFrFcjmms,
  kFondoDsa,
  kAporteFdsa,
  kRemSalud,
  kSalud,
  kCbssp,
  kSaludAgrario,
  kSctrEssalud,
  kSctrTributo,
  kNetoPagar,
  kSummaryColumns
};
const char* summaryColumnName(int column);
using Summary = std::array<std::string, kSummaryColumns>;

// A worker or pensioner of the working set with everything the computation reads.
struct PersonData {
  std::int64_t rowid = 0;  // TEMP1_F601 row
  PersonKey key;
  int tipo = 0, pension = 0, sctr = 0;
  std::string situac, ind_domicilio, ind_quinta;
  std::string dias_lab, dias_no_lab, dias_sub;
  std::string ipss_vida, aseg_pens;
  Money suspensionDays;              // non-worked days of suspension types 20 and 24–28
  std::optional<Money> sctrRate;     // percent of the worker's SCTR choice (TMP_F601_SCTR_OTRO)
  std::optional<Money> otherIncome;  // income from other employers (TMPF601_605)
  bool sctrPension = false;          // ASEG_DET_LAB.sctr_pension = 1
  std::vector<ConceptRow> concepts;
  Summary summary, storedSummary;

  ConceptRow* find(std::string_view code);
  const ConceptRow* find(std::string_view code) const;
};

// A concept row read by an import and not written yet: the computation that follows stores it
// with its base, once, instead of the import writing it and the computation rewriting it.
struct ImportedConcept {
  PersonKey key;
  std::string codigo, monto, monto_pag;
  std::size_t order = 0;  // place among all the rows read (from 1), once handed to the persons
};

// The rows an import kept, in the order they were read, and the description it gives each
// concept (one per concept, not one per row: a large payroll has hundreds of thousands of rows).
struct ImportedConcepts {
  std::vector<ImportedConcept> rows;
  std::map<std::string, std::string> descrip;
  std::size_t count = 0;  // rows read, once handed to the persons (`rows` then keeps the others)
  bool empty() const { return rows.empty() && count == 0; }
  const std::string& descripOf(const std::string& codigo) const;
};

// New concept rows a bulk store leaves unwritten (the working set is only saved and closed
// afterwards): each gets the rowid it would have had, from `next` on, and its description is
// noted (by rowid - first; the texts live as long as the persons and the imported rows).
struct UnwrittenRows {
  std::int64_t first = 0, next = 0;
  std::vector<const std::string*> descrips;
};

// What a load noticed of the concept rows it read.
struct LoadNotes {
  std::size_t rowsLeft = 0;   // rows of no loaded person, left alone (those below excepted)
  std::size_t otherRows = 0;  // of them, rows of a category other than 1 and 2, held as an integer
  bool plainKeys = true;      // every row's tip_doc_a, correl_a and cod_cat_tra held as integers
  // Every row's doc_id_a, codigo and amounts held as texts (no NULL, no blob) and its code without
  // surrounding spaces: what was read is then exactly what the table holds.
  bool plainTexts = true;
};

// Workers and pensioners of TEMP1_F601 (all, or the one given) with their concept rows, their
// suspension days, SCTR choice, other-employer income and SCTR pension flag.
std::vector<PersonData> loadPersons(data::Database& db, const std::string& ruc,
                                    const std::optional<PersonKey>& only = std::nullopt, LoadNotes* notes = nullptr);

// The concept rows, suspension days, SCTR choice and other-employer income of persons whose
// TEMP1_F601 rows the caller already holds as loadPersons reads them (rowid, key, columns).
void readConceptAndSideRows(data::Database& db, std::vector<PersonData>& persons);

// Gives the loaded persons the imported rows that are theirs (found by the key the import
// wrote), marked with their place among the rows read; `imported` keeps only the others. A row
// for a concept the person already holds gives it its amounts instead.
void addImportedConcepts(std::vector<PersonData>& persons, ImportedConcepts& imported);

// The imported rows of each loaded person, found once, then given to each person apart (as
// addImportedConcepts gives them all), so that persons computed on other threads can take theirs
// there. Giving distinct persons their rows at the same time is safe.
class ImportedByPerson {
 public:
  // Finds the persons' rows; `imported` keeps only the others, as after addImportedConcepts. The
  // persons must not move while their rows are still to be given.
  ImportedByPerson(std::vector<PersonData>& persons, ImportedConcepts& imported);
  // Gives person `i` (of the persons above) its rows, with room for `spare` rows more.
  void give(std::size_t i, std::size_t spare = 0);

 private:
  std::vector<PersonData>& persons_;
  std::vector<ImportedConcept> rows_;
  // The rows of person i are rows_[order_[k]] for k from first_[i] to first_[i + 1], as read.
  std::vector<std::size_t> first_, order_;
};

// Inserts the new concept rows that declare something (an amount or a base: the others stay in
// memory), updates the changed stored ones and the changed summary rows. With `imported` (after
// addImportedConcepts), the imported rows go first, in the order they were read, as the import
// would have written them: those of a loaded person as computed, the others as read. With
// `unwritten`, the new rows are not inserted but given their rowids there (every imported row
// must then belong to a loaded person). `settled` is called once every concept row is as stored
// (rowids and stored texts), which with `unwritten` is before the changed rows are written: from
// then on the store only reads them, and another thread may too.
void storePersons(data::Database& db, std::vector<PersonData>& persons, const ImportedConcepts& imported = {},
                  UnwrittenRows* unwritten = nullptr, const std::function<void()>& settled = {});

}  // namespace korventa::model
