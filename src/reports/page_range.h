#pragma once
// The page-range selection of the preview and the printer, and the rules of the page-range
// dialog frmImpxPag.
#include <string>
#include <string_view>

#include "common/messenger.h"
#include "reports/report_document.h"

namespace korventa::reports {

// frmImpxPag on accept: the checks in order, each failure shown with the error icon.
class PageRangeForm {
 public:
  // Returns true and fills `range` when the pages are acceptable; else shows the message and
  // names the field to focus in `focus` ("txtPagDesde" or "txtPagHasta").
  bool accept(Messenger& messenger, std::string_view txtPagDesde, std::string_view txtPagHasta,
              std::string_view txtTotPaginas);
  PageRange range;
  std::string focus;
};

// Keys the page boxes accept: digits, point, blank and backspace.
bool pageKeyAllowed(char32_t key);

// How a caller that has written a report lets the user choose pages.
struct RangeDialogPlan {
  bool openDialog = false;  // false: clear the range and preview at once
  std::string caption;      // frmImpxPag caption
  int totalPages = 0;       // txtTotPaginas
  int lastPage = 0;         // txtPagHasta
};
// Declaration printout: a dialog "Impresión por páginas" from one announced page on, proposing
// at most 10 pages.
RangeDialogPlan planForDeclarationPrintout(int pages);
// Import result: a dialog "Impresión de n páginas" from 16 pages on.
RangeDialogPlan planForImportResult(int pages);

}  // namespace korventa::reports
