#pragma once
// The suspension lists frmDias (subsidised) and frmDiasNoTrab (not subsidised) of the current
// worker, and their detail forms frmDetDias and frmDetDiasNoTrab. The lists open the detail on
// "Nuevo" (new row) or "Modificar" (the selected row) and show it again when it closes.
#include <memory>
#include <optional>

#include "common/ui/widgets.h"
#include "detail/suspensions.h"
#include "detail/suspension_detail_form.h"
#include "detail/suspension_list_form.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;
class QLabel;

namespace korventa::ui {

class frmDias : public QDialog {
  Q_OBJECT
 public:
  frmDias(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
          detail::SuspensionKind kind, QWidget* parent = nullptr);
  ~frmDias() override;
  detail::SuspensionListForm* controller() { return list_.get(); }

 private:
  void refresh();
  void openDetail(bool modify);
  void onDelete();

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  detail::SuspensionKind kind_;
  std::unique_ptr<detail::SuspensionListForm> list_;
  QTableWidget* grdDias_ = nullptr;
};

}  // namespace korventa::ui
