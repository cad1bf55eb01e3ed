#pragma once
// The suite's sending of a declaration, as the launcher simulates it: a declaration saved without
// inconsistencies is copied into the history with the next sequence of its period, state 1, a
// control code and the sending date; the authority's receipt is the order number.
#include <string>

#include <vector>

#include "common/messenger.h"
#include "data/database.h"

namespace korventa::declaration {

struct SendReceipt {
  std::string correl;       // sequence of the sending within its period
  std::string fecEnv;       // dd/mm/yyyy
  std::string control;      // control code of the sending
  std::string numeroOrden;  // order number that the registration of the order number accepts
};

// Sends the declaration in one transaction. Throws std::runtime_error with a Spanish message when
// it does not exist or is not saved in state 0; data::DbError when the database fails (nothing
// is then written).
SendReceipt enviarDeclaracion(data::Database& db, const std::string& ruc, const std::string& periodo);

// The receipt of a sending, shown titled "Constancia de envío": "Declaración RUC MM/AAAA enviada."
// and the sequence, date, control code and order number.
void showReceipt(Messenger& m, const std::string& ruc, const std::string& periodo, const SendReceipt& r);

// Declarations that can be sent (saved in state 0), by RUC and period.
struct SendCandidate {
  std::string ruc, nombre, periodo;
};
std::vector<SendCandidate> declaracionesPorEnviar(data::Database& db);

}  // namespace korventa::declaration
