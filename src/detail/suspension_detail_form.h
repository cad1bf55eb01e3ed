#pragma once
// frmDetDias / frmDetDiasNoTrab without their window: one suspension of a worker.
#include "detail/suspensions.h"

namespace korventa::detail {

// Key of a suspension row.
struct SuspensionKey {
  std::string tipoSuspen, fechaIni;
};

class SuspensionDetailForm {
 public:
  // New row when `key` is empty, otherwise the row to modify.
  SuspensionDetailForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                       SuspensionKind kind, std::optional<SuspensionKey> key = std::nullopt);
  void load();
  SuspensionKind kind() const { return kind_; }
  bool modifying() const { return key_.has_value(); }
  const std::vector<SuspensionType>& types() const { return types_; }

  // The boxes (dates dd/mm/yyyy). Setters mark the form as changed.
  const std::string& tipoSuspen() const { return tipo_; }
  const std::string& fechaIni() const { return ini_; }
  const std::string& fechaFin() const { return fin_; }
  const std::string& numCitt() const { return citt_; }
  const std::string& dias() const { return dias_; }
  void setTipoSuspen(std::string v);
  void setFechaIni(std::string v);
  // Leaving the end date: the days in the month (txtDiasMax) and, for a certificate, its days
  // (txtDiasCitt, with the notice above 345).
  void setFechaFin(std::string v);
  void setNumCitt(std::string v);
  void setDias(std::string v);
  const std::string& diasMax() const { return diasMax_; }
  const std::string& diasCitt() const { return diasCitt_; }
  bool changed() const { return changed_; }

  // GrabarDet after the checks in order. A new row clears the boxes for the next one.
  Outcome save();
  // Leaving: asks whether to save a changed form; true when the form may close.
  bool close();

 private:
  void recompute(bool notify);
  Outcome validate();
  Outcome checkDays(const Date& start, const Date& end);
  void clear();

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  SuspensionKind kind_;
  std::optional<SuspensionKey> key_;
  std::vector<SuspensionType> types_;
  std::string tipo_, ini_, fin_, citt_, dias_, diasMax_, diasCitt_;
  std::string storedCitt_;  // certificate of the row being modified
  bool changed_ = false;
};

}  // namespace korventa::detail
