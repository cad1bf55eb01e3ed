#pragma once
// Copy of a declaration in preparation to a later period (frmCopiarDec) and the header writer
// shared with the recovery (GrabaCab).
#include <string>

#include "data/database.h"
#include "data/session.h"

namespace korventa::declaration {

// Header of a declaration written by a copy or a recovery: the given payment and rectification
// data, fec_pro today, estado 9 and ind_ref 1 (it must be refreshed before it is trusted).
struct CabData {
  std::string ruc, periodo, semana, bcolibrad, nrocheque, efectivo, cheque, rectifica;
};
void GrabaCab(data::Database& db, const CabData& cab);

class CopyDeclarationForm {
 public:
  // The declaration chosen in the chooser.
  CopyDeclarationForm(Session& session, std::string ruc, std::string periodo);
  const std::string& ruc() const { return ruc_; }
  const std::string& nombre() const { return nombre_; }
  const std::string& periodo() const { return periodo_; }

  // The copy to the period typed as "MM/YYYY" (with "_" in unfilled positions): the checks in
  // order, then the copy in one transaction, then the completion message. Returns whether it copied.
  bool copiar(const std::string& targetMMYYYY);
  std::string focus;  // field to focus after a refused copy

 private:
  Session& s_;
  std::string ruc_, periodo_, nombre_;
};

}  // namespace korventa::declaration
