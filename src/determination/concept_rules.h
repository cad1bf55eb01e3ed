#pragma once
// Fixed rules of the concept codes: which concepts a worker type may carry, which contribution
// concepts have a base, and the base positions of the affectation strings.
#include <array>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "common/text.h"
#include "data/database.h"

namespace korventa::determination {

// Base positions (1-based characters of PARAM_REMUNERA.FUNCION / TRIBUT_AFECTA.afectacion).
enum Position : int {
  kPosEssalud = 1,          // 0804, general case
  kPosEssaludFisher = 2,    // 0804, worker type 36
  kPosEssaludAgrarian = 3,  // 0804, worker types 64 and 65
  kPosSctr = 4,             // 0806
  kPosIes = 5,              // 0808
  kPosArtists = 6,          // 0802
  kPosSenati = 7,           // 0807
  kPosSnp = 8,              // 0607
  kPosSpp = 9,              // 0601 and 0608
  kPosFifth = 10,           // 0605 (paid amounts)
  kPosPensioners = 11,      // 0610 (paid amounts)
  kPos20530 = 12,           // 0603 (paid amounts)
  kPosFcjmms = 13,          // 0616
};
inline constexpr int kPositions = 13;
// Positions 10 to 12 add up paid amounts; all others accrued amounts.
inline constexpr bool sumsPaid(int position) {
  return position >= 10 && position <= 12;
}

// Codes of the contribution panels: 0601 … 0617 and 0801 … 0811.
inline constexpr int kWorkerPanelSize = 17;
inline constexpr int kEmployerPanelSize = 11;
std::string workerPanelCode(int i);    // i = 0..16
std::string employerPanelCode(int j);  // j = 0..10
// Contribution codes that carry a base box (and a computed or typed base).
bool hasBaseBox(std::string_view code);
// Contribution codes whose base is always empty.
bool baseAlwaysEmpty(std::string_view code);

// Worker types whose 0808 (IES) is never computed.
bool excludedFromIes(int tipo);
// FCJMMS (0616, 0617) belongs to miners of types 32, 37 and 38.
inline bool isMinerType(int tipo) {
  return tipo == 32 || tipo == 37 || tipo == 38;
}

// Number of a code text ("0021" → 21, " 3" → 3); 0 when it is not a number.
using text::codeNumber;

// Concepts allowed for each worker type (TIPO_CONCEPTOS) plus the fixed exclusions of the
// contribution groups.
class ConceptTypes {
 public:
  ConceptTypes() = default;
  static ConceptTypes load(data::Database& db);
  void allow(int tipo, std::string code) { allowed_[tipo].insert(std::move(code)); }
  // Whether a worker type may carry a concept in a period (YYYYMM).
  bool ExisteTipoConcepto(int tipo, std::string_view code, std::string_view periodo) const;

 private:
  std::map<int, std::set<std::string, std::less<>>> allowed_;
};

}  // namespace korventa::determination
