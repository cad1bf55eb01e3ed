#pragma once
// frmIngApor: the group totals of one worker or pensioner and, on accept, the person's summary
// row of TEMP1_F601 (income groups, deductions, every contribution base and amount).
#include <array>
#include <string>

#include "data/session.h"
#include "model/open_declaration.h"
#include "determination/person_computation.h"

namespace korventa::detail {

class IncomeSummaryForm {
 public:
  IncomeSummaryForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);

  // Loads the identity and the group totals. Throws std::runtime_error when the person is not
  // in the working set.
  void load();
  std::string caption() const;  // "Trabajadores" or "Pensionistas"

  // Identity boxes.
  std::string razon, nombre, tipoDoc, numDoc;
  // TxtIngresos(0..5) / TxtIngresosPag: groups 01, 02, 03, 04, 05 and 20 (public-sector income).
  std::array<std::string, 6> ingresos, ingresosPag;
  // TxtAportDescOtros(0..3) / …Pag: groups 07 (deductions, paid amounts), 10 (other concepts),
  // 06 (worker or pensioner contributions), 09 (miscellaneous).
  std::array<std::string, 4> aportDescOtros, aportDescOtrosPag;
  // Totals as the summary row stores them: income = 01–05, 09, 10, 20; contributions and
  // deductions = 06 and 07.
  std::string totalIng, totalIngPag, totalAporDesc, totalAporDescPag;
  // The summary columns the accept writes (contribution bases and amounts with the 0804
  // routing of the worker type).
  model::Summary summary;

  // cmdAceptar: recomputes the person from the concept rows and writes the summary row, in one
  // transaction.
  void accept();

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey key_;
};

}  // namespace korventa::detail
