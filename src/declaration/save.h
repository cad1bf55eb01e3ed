#pragma once
// "&Guardar" of the declaration form: the working set of the open declaration written into the
// stored tables with its header and boxes, in one transaction; for a sent declaration, the order
// number given on receipt.
#include <string>
#include <vector>

#include "common/progress.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "determination/declaration_checks.h"

namespace korventa::declaration {

struct SaveResult {
  bool saved = false;         // something was written
  bool inconsistent = false;  // stored with estado 9 because a check found an inconsistency
  std::string focus;          // field to put the focus on after a refused save
  bool cancelled = false;     // the person stopped it: nothing was written
};

// CmdGrabar_Click: the whole save with its checks, messages and notices. Its checks and writes are
// reported on `progress`; a cancellation rolls the whole save back.
SaveResult CmdGrabar(Session& session, model::OpenDeclaration& decl, Progress& progress = Progress::none());

// The order number of a sent declaration (TxtNumOrdenE): verified against the sending and
// stored in HCAB.norden and in box 970 of HDET.
SaveResult registrarNumeroOrden(Session& session, model::OpenDeclaration& decl);

// Boxes stored as typed text rather than reformatted as whole numbers.
bool isTextBox(std::string_view casilla);
// "05" for the amount-to-pay boxes, "01" for the others.
std::string idCasilla(std::string_view casilla);
// The header and count boxes of the open declaration, in the order they are written.
std::vector<determination::Box> headerBoxes(Session& session, const model::OpenDeclaration& decl);

}  // namespace korventa::declaration
