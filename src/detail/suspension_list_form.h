#pragma once
// frmDias / frmDiasNoTrab without their window: the suspensions of a worker in the month.
#include "detail/suspensions.h"

namespace korventa::detail {

class SuspensionListForm {
 public:
  SuspensionListForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                     SuspensionKind kind);
  SuspensionKind kind() const { return kind_; }
  const std::vector<SuspensionRow>& rows() const { return rows_; }
  void refresh();
  // The list checks of modify; true when the detail may open on the row.
  bool canModify(int selected) const;
  // Eliminar: the checks, the question and the deletion with the new total (one transaction).
  bool remove(int selected);

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  SuspensionKind kind_;
  std::vector<SuspensionRow> rows_;
};

}  // namespace korventa::detail
