#include "printouts/ui/explanation_export.h"

#include "determination/ui/determinacion_tab.h"
#include "printouts/explanation_workbook.h"

namespace korventa::printouts::ui {

void connectExplanationExport(QWidget& declarationForm) {
  for (auto* tab : declarationForm.findChildren<korventa::ui::DeterminacionTab*>())
    tab->setWorkbookWriter(&printouts::writeExplanationWorkbook);
}

}  // namespace korventa::printouts::ui
