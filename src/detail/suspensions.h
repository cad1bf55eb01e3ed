#pragma once
// Suspensions of a worker in the month: frmDias / frmDetDias for the subsidised ones (types 21 and
// 22, backed by a medical certificate, CITT) and frmDiasNoTrab / frmDetDiasNoTrab for the others.
// Rows live in TMPF601DIAS_NOLAB; every change rewrites the worker's day total in TEMP1_F601.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"

namespace korventa::detail {

enum class SuspensionKind { Subsidised, NotSubsidised };
bool isSubsidisedType(std::string_view tipoSuspen);  // 21 and 22

// Suspension types of list 852 for one kind: code and description.
struct SuspensionType {
  std::string code, description;
};
std::vector<SuspensionType> suspensionTypes(data::Database& db, SuspensionKind kind);

// One row of the list.
struct SuspensionRow {
  std::string tipoSuspen, descripcion, fechaIni, fechaFin, numCitt, diasCitt, dias;
};

// CruceFechas: whether a subsidy certificate of the person other than `numCitt` (TMPF600SUBSID)
// overlaps the range start–end. `alsoExcept` leaves out one more certificate (the one a modified
// row had before its number changed).
bool CruceFechas(data::Database& db, const PersonKey& person, std::string_view numCitt, const Date& start,
                 const Date& end, std::string_view alsoExcept = {});
// RefrescarGrilla's total: the sum of dias_sub (or dias_no_lab) of the person written to TEMP1_F601.
void writeDayTotal(data::Database& db, const PersonKey& person, SuspensionKind kind);
// Days of [start, end] that fall in the declared month (0 when the range misses it).
int CalcularDiasMes(const Date& start, const Date& end, std::string_view periodo);

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
