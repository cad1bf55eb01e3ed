#pragma once
// "&Guardar" of the declaration form: the working set of the open declaration written into the
// stored tables with its header and boxes, in one transaction; for a sent declaration, the order
// number given on receipt.
#include <string>
#include <vector>

#include "data/session.h"
#include "declaration/open_declaration.h"
#include "determination/seams.h"

namespace korventa::declaration {

struct SaveResult {
  bool saved = false;         // something was written
  bool inconsistent = false;  // stored with estado 9 because a check found an inconsistency
  std::string focus;          // field to put the focus on after a refused save
};

// CmdGrabar_Click: the whole save with its checks, messages and notices.
SaveResult CmdGrabar(Session& session, OpenDeclaration& decl);

// The order number of a sent declaration (TxtNumOrdenE): verified against the sending and
// stored in HCAB.norden and in box 970 of HDET.
SaveResult registrarNumeroOrden(Session& session, OpenDeclaration& decl);

// Version of the rate parameters (PARAM 981 of the form), written in box 722.
std::string parameterVersion(data::Database& db);

// Boxes stored as typed text rather than reformatted as whole numbers.
bool isTextBox(std::string_view casilla);
// "05" for the amount-to-pay boxes, "01" for the others.
std::string idCasilla(std::string_view casilla);
// The header and count boxes of the open declaration, in the order they are written.
std::vector<determination::Box> headerBoxes(Session& session, const OpenDeclaration& decl);

// Workers affiliated to an EPS whose RUC is invalid or not a provider of the declarant, and the
// three lines that say so.
bool EPS_Invalida(data::Database& db, const OpenDeclaration& decl);
std::string epsInvalidaText();

// Notice given after the save when every worker (or pensioner) has left or is suspended.
std::string noActiveNotice(bool pensioners);

}  // namespace korventa::declaration
