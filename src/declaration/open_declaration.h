#pragma once
// The declaration open in the declaration form: its key and the values read once when it is
// loaded, which the per-person forms, the computation and the save use.
#include <string>

#include "common/money.h"
#include "data/keys.h"

namespace korventa::declaration {

struct OpenDeclaration {
  std::string ruc;          // declarant RUC (tip_doc_d is always 6)
  std::string name;         // declarant name
  std::string periodo;      // YYYYMM
  std::string formulario = kFormulario;
  std::string correl;       // sending sequence when a sent declaration is open, else ""
  bool rectifica = false;
  bool sent() const { return !correl.empty(); }

  // Values in force for the period.
  Money rmv;                // list 982
  Money uit;                // list 404
  int establishments = 0;   // LOCAL rows of the declarant
};

}  // namespace korventa::declaration
