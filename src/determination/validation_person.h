#pragma once
// The persons of the working set as the validation reads them: shared by the validator's own
// source files only.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "determination/validation.h"

namespace korventa::determination {
namespace checked {

// atoi skips the leading blanks itself and stops at the trailing ones.
inline int num(const std::string& t) {
  return std::atoi(t.c_str());
}
using text::blank;

// A concept row of a person, its texts without the surrounding blanks; `code` is its number.
struct Concept {
  std::string codigo, monto, montoPag, base;
  int code = 0;
};

}  // namespace checked

struct DeclarationValidator::Person {
  std::int64_t correl = 0;
  int category = 0, tipDoc = 0;
  std::string doc, situac, tipo, diasLab, diasSub, remAfecta, aporteFcjmms, asegPens, rucEps, indAfiEps, codEps,
      totIngresos;
  int pension = 0;
  std::vector<checked::Concept> concepts;
  int tipoNum() const { return checked::num(tipo); }
  int situacNum() const { return checked::num(situac); }
  const checked::Concept* conceptRow(std::string_view code) const {
    for (const auto& c : concepts)
      if (c.codigo == code) return &c;
    return nullptr;
  }
  bool hasAmount(std::string_view code) const {
    auto* c = conceptRow(code);
    return c && !checked::blank(c->monto);
  }
};

}  // namespace korventa::determination
