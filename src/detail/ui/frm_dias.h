#pragma once
// The suspension lists frmDias (subsidised) and frmDiasNoTrab (not subsidised) of the current
// worker, and their detail forms frmDetDias and frmDetDiasNoTrab. The lists open the detail on
// "Nuevo" (new row) or "Modificar" (the selected row) and show it again when it closes.
#include <memory>
#include <optional>

#include "app/ui/widgets.h"
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
  frmDias(Session& session, detail::SuspensionKind kind, QWidget* parent = nullptr);
  ~frmDias() override;
  detail::SuspensionListForm* controller() { return list_.get(); }

 private:
  void refresh();
  void openDetail(bool modify);
  void onDelete();

  Session& session_;
  detail::SuspensionKind kind_;
  std::unique_ptr<detail::SuspensionListForm> list_;
  QTableWidget* grdDias_ = nullptr;
};

class frmDetDias : public GuardedDialog {
  Q_OBJECT
 public:
  frmDetDias(Session& session, detail::SuspensionKind kind, std::optional<detail::SuspensionKey> key = std::nullopt,
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
