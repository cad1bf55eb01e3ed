#pragma once
// frmEstab without its window: the establishments where the worker served in the month.
#include "detail/sctr.h"

namespace korventa::detail {

// One establishment of frmEstab.
struct EstablishmentItem {
  long long codEst = 0;
  std::string codTipest, tipo, rucEmp, nombre;
  bool selected = false;
  std::string text() const;  // code, type, owner RUC and name as listed
};

class EstablishmentsForm {
 public:
  EstablishmentsForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);
  // The worker's marked establishments first, then the others, each ordered by code.
  void load();
  std::vector<EstablishmentItem>& items() { return items_; }
  void setSelected(std::size_t i, bool on) { items_.at(i).selected = on; }
  // Marks exactly the establishments of these codes (the others unmarked); false, with a
  // message and nothing changed, when a code is not one of the declarant's establishments.
  bool markOnly(const std::vector<long long>& codes);
  // GrabaMarcados: the marks rewritten, the SCTR choice of unmarked establishments removed.
  // Returns the new count of marked establishments.
  int accept();

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::vector<EstablishmentItem> items_;
};

}  // namespace korventa::detail
