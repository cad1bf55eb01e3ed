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
