#pragma once
// frmConsultaBasesTrib without its window: the declared bases of the persons found.
#include "printouts/tax_base_consultation.h"

namespace korventa::printouts {

class TaxBaseConsultationForm : public PersonSearchForm {
 public:
  using PersonSearchForm::PersonSearchForm;
  // cmdBuscar: fills TEMP_FCONBT; with nothing found shows "No se ha encontrado información para el
  // criterio de búsqueda ingresado". Returns the rows found.
  int cmdBuscar(int row, int tipDoc, const std::string& txtNumDoc);
};

}  // namespace korventa::printouts
