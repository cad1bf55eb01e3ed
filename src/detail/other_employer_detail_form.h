#pragma once
// frm605Det without its window: one employer and amount of the worker's other income.
#include "detail/other_employers.h"

namespace korventa::detail {

class OtherEmployerDetailForm {
 public:
  // New row when `ruc` is empty, otherwise the row of that RUC.
  OtherEmployerDetailForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                          std::optional<std::string> ruc = std::nullopt);
  void load();
  bool modifying() const { return key_.has_value(); }
  // CmbRuc: the worker's other employers of the registry (OTROSCEN).
  const std::vector<Choice>& employers() const { return employers_; }

  // Typing the RUC: a complete one (11 characters) is tested at once; a registry employer fills
  // the name. Returns false when a message was shown.
  bool setRuc(std::string ruc);
  void setNombre(std::string v);
  void setMonto(std::string v);
  const std::string& ruc() const { return ruc_; }
  const std::string& nombre() const { return nombre_; }
  const std::string& monto() const { return monto_; }
  bool changed() const { return changed_; }

  // GrabarDet after the checks; a new row clears the boxes for the next one.
  Outcome save();
  bool close();

 private:
  bool rucTaken(const std::string& ruc) const;

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::optional<std::string> key_;
  std::vector<Choice> employers_;
  std::string ruc_, nombre_, monto_;
  bool changed_ = false;
};

}  // namespace korventa::detail
