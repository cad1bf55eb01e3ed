#pragma once
// frm605 / frm605Det: income a worker received from other employers in the month (RUC, name and
// amount, TMPF601_605), which enters the base of concept 0605.
#include <optional>
#include <string>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"
#include "detail/sctr.h"

namespace korventa::detail {

struct OtherEmployerRow {
  std::string ruc, nombre, monto;
};

// Total_Monto: the worker's other-employer income ("" when no row has an amount).
std::string Total_Monto(data::Database& db, const PersonKey& person);

class OtherEmployersForm {
 public:
  OtherEmployersForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);
  void refresh();
  const std::vector<OtherEmployerRow>& rows() const { return rows_; }
  const std::string& total() const { return total_; }  // "######0.00"
  bool canModify(int selected) const;
  // Eliminar: the list checks, the question, the row deleted by person and RUC.
  bool remove(int selected);

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::vector<OtherEmployerRow> rows_;
  std::string total_;
};

}  // namespace korventa::detail
