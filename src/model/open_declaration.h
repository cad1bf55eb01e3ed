#pragma once
// The declaration open in the declaration form: its key and the values read once when it is
// loaded, which the per-person forms, the computation and the save use.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "common/money.h"
#include "data/keys.h"

namespace korventa::model {

// Payment data of the declaration (the payment-form component fills them; cash by default).
struct Payment {
  std::string type = "E";    // "E" cash (efectivo), "C" cheque
  std::string bank = "XX";   // bank code of list 004; "XX" = no bank chosen
  std::string chequeNumber;  // cheque number
  std::string total;         // total to pay as shown ("#,###,###,##0"), "" when nothing is paid
};

struct ComputedPersons;

// The concept rows the last computation of every person stored (model/computed_persons.h), with
// the connection's write counts just after that store: they tell whether the rows still are what
// the working table holds. Copies of the declaration share them.
struct HeldComputation {
  std::shared_ptr<const ComputedPersons> persons;
  std::int64_t changes = -1;
  std::uint64_t rollbacks = 0;
  std::string ruc, periodo, correl;  // of the declaration they were computed for
  const void* connection = nullptr;  // whose counts these are
  bool dropped0807 = false;          // the save removed the 0807 rows without amounts
};

struct OpenDeclaration {
  std::string ruc;      // declarant RUC (tip_doc_d is always 6)
  std::string name;     // declarant name
  std::string periodo;  // YYYYMM
  std::string formulario = kFormulario;
  std::string correl;  // sending sequence when a sent declaration is open, else ""
  bool rectifica = false;
  bool sent() const { return !correl.empty(); }

  // Values in force for the period.
  Money rmv;               // list 982
  Money uit;               // list 404
  int establishments = 0;  // LOCAL rows of the declarant

  // Header data written with the declaration.
  std::string telephone;  // box 028
  std::string semana;     // CAB.Semana, kept as found
  std::string numOrden;   // order number typed for a sent declaration
  Payment payment;
  // Boxes typed in the debt determination (credits, payments, interest, amounts to pay), whole
  // soles by box number; read from DET the first time the grid needs them.
  std::map<std::string, std::string> typedBoxes;
  bool typedBoxesRead = false;

  // State that the save and the validation consult.
  bool stored = false;     // a CAB row exists for it
  int storedIndRef = 0;    // CAB.ind_ref as last read or written
  bool refreshed = false;  // built from the registry (new or refreshed) since it was opened

  // What the session read when it opened the declaration (see declaration/concurrency.h).
  std::int64_t version = 0;        // CAB_VERSION.version; raised with each of its own writes
  std::int64_t registryMark = -1;  // the declarant's registry mark when the working set was built from the registry

  // Kept by the computation, which takes the declaration as it stands (hence mutable): a cache of
  // what it wrote to the working tables, never a state of the declaration.
  mutable HeldComputation computed;
};

}  // namespace korventa::model
