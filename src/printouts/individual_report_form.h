#pragma once
// frmReporteIndiv without its window: report "Formato 25" of the persons found.
#include "printouts/tax_base_consultation.h"

namespace korventa::printouts {

class IndividualReportForm : public PersonSearchForm {
 public:
  using PersonSearchForm::PersonSearchForm;
  // cmdAccion: report "Formato 25" of the persons found, as text file and/or workbook.
  ExportResult cmdAccion(int row, int tipDoc, const std::string& txtNumDoc, bool text, bool workbook,
                         const std::filesystem::path& dir, const std::string& stamp = {});
};

}  // namespace korventa::printouts
