#pragma once
// Recovery of a sent declaration into preparation (FrmRecuperar).
#include <string>

#include "data/session.h"

namespace korventa::declaration {

// A period field of the recovery form ("MM/YYYY", "_" where unfilled): a complete period must have
// a month 01–12 and lie between 01/1993 and the current month. An incomplete field passes (it is
// checked when complete). Shows "El período no es válido." when it fails.
bool ValidaPeriodo(Messenger& m, const std::string& mmyyyy);

class RecoveryForm {
 public:
  // The sending chosen in FrmContAbrirE.
  RecoveryForm(Session& session, std::string ruc, std::string periodo, std::string correl);
  const std::string& ruc() const { return ruc_; }
  const std::string& nombre() const { return nombre_; }
  const std::string& periodo() const { return periodo_; }
  const std::string& correl() const { return correl_; }
  const std::string& norden() const { return norden_; }

  // Brings the sending back into preparation in one transaction (the sent declaration stays in
  // the history); "&Recuperar". Returns whether it was recovered.
  bool recuperar();

 private:
  Session& s_;
  std::string ruc_, periodo_, correl_, nombre_, norden_;
};

}  // namespace korventa::declaration
