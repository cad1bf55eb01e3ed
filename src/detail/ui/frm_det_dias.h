#pragma once
// frmDetDias / frmDetDiasNoTrab: one suspension of the current worker.
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

class frmDetDias : public GuardedDialog {
  Q_OBJECT
 public:
  frmDetDias(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
             detail::SuspensionKind kind, std::optional<detail::SuspensionKey> key = std::nullopt,
             QWidget* parent = nullptr);
  ~frmDetDias() override;
  detail::SuspensionDetailForm* controller() { return form_.get(); }

 protected:
  bool canClose() override;

 private:
  void build();
  void showValues();
  void pull();
  void onSave();

  Session& session_;
  detail::SuspensionKind kind_;
  std::unique_ptr<detail::SuspensionDetailForm> form_;
  QComboBox* cmbTipoSuspen_ = nullptr;
  DateEdit *mskFechaIni_ = nullptr, *mskFechaFin_ = nullptr;
  QLineEdit *txtNumCitt_ = nullptr, *txtDiasCitt_ = nullptr, *txtDiasMax_ = nullptr, *txtDias_ = nullptr;
  bool showing_ = false;
};

}  // namespace korventa::ui
