#pragma once
// Keys shared by every subsystem.
#include <cstdint>
#include <string>

namespace korventa {

inline constexpr int kTipDocRuc = 6;  // the declarant is always identified by its RUC
inline constexpr const char* kFormulario = "0601";

enum Category : int { kWorker = 1, kPensioner = 2, kProvider = 3, kThirdParty = 4, kTrainee = 5 };

struct PersonKey {
  std::int64_t correl_a = 0;
  int tip_doc_a = 0;
  std::string doc_id_a;
  int cod_cat_tra = 0;
  friend bool operator==(const PersonKey&, const PersonKey&) = default;
};

struct DeclarationKey {
  std::string doc_id_d;  // RUC
  std::string periodo;   // YYYYMM
  std::string correl;    // sending sequence; empty for a declaration in preparation
  bool sent() const { return !correl.empty(); }
};

}  // namespace korventa
