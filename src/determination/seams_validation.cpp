// The debt determination and the checks as the declaration's save sees them.
#include "common/vb_format.h"
#include "determination/debt_grid.h"
#include "determination/seams.h"
#include "determination/validation.h"

namespace korventa::determination {

std::vector<Box> determinationBoxes(Session& session, const declaration::OpenDeclaration& decl) {
  DeterminacionDeuda grid(session, decl);
  grid.load();
  return grid.filledBoxes();
}

SaveCheckResult saveChecks(Session& session, const declaration::OpenDeclaration& decl) {
  return Validacion(session, decl).saveChecks();
}

std::string totalToPay(const std::vector<Box>& boxes) {
  bool any = false;
  long long sum = 0;
  for (const auto& b : boxes) {
    const TaxColumn* c = columnOf(b.casilla);
    if (!c || b.casilla != c->toPay || b.valor.empty()) continue;
    any = true;
    sum += boxNumber(b.valor);
  }
  return any ? vbFormat(sum, "#,###,###,##0") : std::string();
}

}  // namespace korventa::determination
