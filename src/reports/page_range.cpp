#include "reports/page_range.h"

#include "common/text.h"
#include "reports/report_language.h"

namespace korventa::reports {

bool PageRangeForm::accept(Messenger& messenger, std::string_view txtPagDesde, std::string_view txtPagHasta,
                           std::string_view txtTotPaginas) {
  auto fail = [&](const char* message, const char* field) {
    messenger.show(message, "Mensaje", MsgIcon::Critical);
    focus = field;
    return false;
  };
  std::string desde = text::trim(txtPagDesde);
  std::string hasta = text::trim(txtPagHasta);
  // The boxes take a point, but pages are whole: each text is checked as the page it names
  // (so "0.3" is page 0 and refused, instead of an accepted range without pages).
  int first = numberArg(desde);
  int total = numberArg(txtTotPaginas);
  if (desde.empty()) return fail("Ingrese página de inicio.", "txtPagDesde");
  if (first <= 0) return fail("Página inicial debe ser a partir de 1.", "txtPagDesde");
  if (first > total) return fail("Página inicial no debe ser mayor a total de páginas del reporte.", "txtPagDesde");
  if (hasta.empty()) return fail("Ingrese página de Fin.", "txtPagHasta");
  int last = numberArg(hasta);
  if (first > last) return fail("Página inicial no debe ser mayor a página final.", "txtPagHasta");
  focus.clear();
  range.active = true;
  range.first = first;
  range.last = last;
  return true;
}

bool pageKeyAllowed(char32_t key) {
  return (key >= U'0' && key <= U'9') || key == U'.' || key == U' ' || key == U'\b';
}

RangeDialogPlan planForDeclarationPrintout(int pages) {
  RangeDialogPlan plan;
  if (pages < 1) return plan;
  plan.openDialog = true;
  plan.caption = "Impresión por páginas";
  plan.totalPages = pages;
  plan.lastPage = pages >= 10 ? 10 : pages;
  return plan;
}

RangeDialogPlan planForImportResult(int pages) {
  RangeDialogPlan plan;
  if (pages < 16) return plan;
  plan.openDialog = true;
  plan.caption = "Impresión de " + std::to_string(pages) + " páginas";
  plan.totalPages = pages;
  plan.lastPage = pages;
  return plan;
}

}  // namespace korventa::reports
