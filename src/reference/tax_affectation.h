#pragma once
// Tax affectation of a declarant's own concept: a 13-character string of '1' (affected) and
// '0', one position per tax, kept in TRIBUT_AFECTA.afectacion and copied into
// CON_ADIC.des_concepto. Controller of the dialog FrmAfecta.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "data/database.h"
#include "data/session.h"

namespace korventa::reference {

inline constexpr int kAffectationPositions = 13;
inline constexpr const char* kNoAffectation = "0000000000000";

// Caption of each position, in order.
const std::array<const char*, kAffectationPositions>& affectationLabels();

// A string of exactly 13 '0'/'1' characters.
bool isAffectationString(std::string_view s);
// The stored TRIBUT_AFECTA string of an own concept, if the declarant has one.
std::optional<std::string> storedAffectation(data::Database& db, std::string_view ruc, std::string_view codigo);
// Adds or replaces the CON_ADIC row of an own concept, with its control number.
void writeConAdic(data::Database& db, std::string_view ruc, std::string_view codigo, std::string_view afectacion);

class TaxAffectation {
 public:
  explicit TaxAffectation(Session& session) : s_(session) {}

  // Reads the concept's string (all "NO" when it has none). Only own concepts of a registered
  // declarant have one: anything else is refused with a message.
  bool load(const std::string& ruc, const std::string& codigo);
  bool loaded() const { return !codigo_.empty(); }
  const std::string& ruc() const { return ruc_; }
  const std::string& codigo() const { return codigo_; }
  const std::string& descripcion() const { return descripcion_; }

  bool flag(int position0) const { return flags_.at(position0); }
  // "SI" or "NO", the caption of toggle i (0 to 12).
  std::string caption(int position0) const { return flags_.at(position0) ? "SI" : "NO"; }
  void flip(int position0) { flags_.at(position0) = !flags_.at(position0); }
  // All 13 toggles from a string; a malformed one is refused with a message.
  bool set(std::string_view afectacion);
  // The string the toggles make.
  std::string afectacion() const;
  // The string stored when the dialog was opened (absent reads as all "NO").
  const std::string& original() const { return original_; }

  // "&Aceptar": writes TRIBUT_AFECTA and CON_ADIC in one transaction and, when the string
  // differs from the one in force, marks the declarant's declarations for refresh. False (with
  // the database message) when nothing was written.
  bool accept();
  bool lastAcceptMarked() const { return lastMarked_; }

 private:
  Session& s_;
  std::string ruc_, codigo_, descripcion_, original_ = kNoAffectation;
  std::array<bool, kAffectationPositions> flags_{};
  bool lastMarked_ = false;
};

}  // namespace korventa::reference
