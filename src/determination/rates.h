#pragma once
// Rates of the open declaration: list 713 by worker type and period, the declarant's own
// options (AFECTACION) and the period values that bound some bases.
#include <map>
#include <optional>
#include <string>

#include "common/money.h"
#include "data/database.h"

namespace korventa::determination {

// One AFECTACION row of the declarant.
struct TaxOption {
  bool present = false;
  bool valor = false;  // the user types the amount instead of having it computed
  Money tasa;          // percent
};

// What the declarant's registry rows say for the computation.
struct DeclarantOptions {
  TaxOption ies;        // 050801: rate of 0808
  TaxOption essalud;    // 052100: replaces the 0804 rate
  TaxOption snp;        // 053100: replaces the 0607 rate
  bool senati = false;  // CONTRVKRS.Ind_senati = 1: 0807 applies
  // Subject to the extraordinary solidarity tax: an 050801 row that computes or lets type it.
  bool subjectToIes() const { return ies.present && (ies.valor || !ies.tasa.isZero()); }

  static DeclarantOptions load(data::Database& db, const std::string& ruc);
};

// Rates (fractions with four decimals) for one worker type in the declaration period.
struct RateSet {
  Money ies;      // read, not used by the computation
  Money snp;      // 0607
  Money essalud;  // 0804 (agrarian slot for types 64 and 65); also 0610 of pensioners
  Money artists;  // 0802
  Money fcjmms;   // 0616: fixed 0.5 %
  Money iesTasa;  // 0808: the declarant's 050801 rate
};

// Fraction of a percentage text or value ("9" → 0.09, "33.33" → 0.3333).
Money fractionOf(Money percent);

// Rates of one worker type for the period: list 713 with the declarant's overrides.
RateSet CargarTasas(data::Database& db, int tipo, const std::string& periodo, const DeclarantOptions& options);

// Rates fixed by period rather than by the registry.
// IGV contained in the SCTR amount to pay (box 812): 19 % before 201103, 18 % from then on.
int sctrIgvPercent(const std::string& periodo);
// The miners' fund: contributions (0616) from 201205, the fractioned quota (0617) from 201208.
inline constexpr const char* kFcjmmsFrom = "201205";
inline constexpr const char* kFcjmmsQuotaFrom = "201208";

// Rates by worker type, loaded once per type for the declaration.
class RateCache {
 public:
  RateCache(data::Database& db, std::string periodo, DeclarantOptions options)
      : db_(db), periodo_(std::move(periodo)), options_(std::move(options)) {}
  const RateSet& forType(int tipo);
  const DeclarantOptions& options() const { return options_; }
  // A copy that never reads: for a computation on another thread, with the rates of every type
  // it will ask for read beforehand. A type not read throws std::logic_error.
  RateCache frozen() const {
    RateCache c(*this);
    c.frozen_ = true;
    return c;
  }

 private:
  data::Database& db_;
  std::string periodo_;
  DeclarantOptions options_;
  std::map<int, RateSet> cache_;
  bool frozen_ = false;
};

}  // namespace korventa::determination
