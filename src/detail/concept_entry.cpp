#include "detail/concept_entry.h"

#include "common/text.h"
#include "detail/amount_entry.h"
#include "detail/concept_form.h"

namespace korventa::detail {

bool typeConceptAmount(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                       const std::string& codeText, const std::string& monto,
                       const std::optional<std::string>& montoPag) {
  Messenger& m = session.msg();
  std::string code = text::trim(codeText);
  if (code.size() != 4 || !text::isDigits(code) || text::right(code, 2) == "00") {
    m.show("El código de concepto " + code + " no es válido.", "Validación", MsgIcon::Critical);
    return false;
  }
  if (!typedAmount(monto, m)) return false;
  if (montoPag && !typedAmount(*montoPag, m)) return false;

  ConceptForm form(session, decl, person);
  form.load();
  const std::string group = code.substr(0, 2);
  form.chooseGroup(group);
  auto refused = [&] {
    m.show("El concepto " + code + " no se puede registrar para esta persona.", "Validación", MsgIcon::Critical);
    return false;
  };
  if (group == "06" || group == "08") {
    int i = std::stoi(code.substr(2)) - 1;
    bool ok = group == "06" ? form.setWorkerAmount(i, text::trim(monto)) : form.setEmployerAmount(i, text::trim(monto));
    if (!ok) return refused();
  } else {
    auto grid = form.grid();
    int row = -1;
    for (std::size_t r = 0; r < grid.size(); ++r)
      if (grid[r].codigo == code) row = static_cast<int>(r);
    if (row < 0) {
      m.show("El concepto " + code + " no está entre los conceptos de esta persona.", "Validación", MsgIcon::Critical);
      return false;
    }
    if (!form.setCell(row, ConceptForm::Column::Monto, text::trim(monto))) return refused();
    if (!form.setCell(row, ConceptForm::Column::MontoPag, text::trim(montoPag.value_or(monto)))) return refused();
  }
  form.accept();
  return true;
}

}  // namespace korventa::detail
