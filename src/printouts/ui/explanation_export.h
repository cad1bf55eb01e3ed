#pragma once
// "¿De dónde sale?" of the declaration form's debt determination writes its workbook with the
// printouts' workbook writer, which sits above the determination forms: the owner of the
// declaration form connects the two.
#include <QWidget>

namespace korventa::printouts::ui {

// Gives the debt determination inside `declarationForm` (a Frm402) the workbook writer.
void connectExplanationExport(QWidget& declarationForm);

}  // namespace korventa::printouts::ui
