#pragma once
// Frm601Detalle: SCTR centre, rate and remuneration of the personnel of third parties; opened on
// the given person when it is one of them.
#include <memory>

#include "common/ui/widgets.h"
#include "detail/third_parties.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;

namespace korventa::ui {

class Frm601Detalle : public QDialog {
  Q_OBJECT
 public:
  Frm601Detalle(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                QWidget* parent = nullptr);
  ~Frm601Detalle() override;
  detail::ThirdPartyForm* controller() { return form_.get(); }

 private:
  void showPerson();
  void onSave();

  Session& session_;
  std::unique_ptr<detail::ThirdPartyForm> form_;
  QComboBox *cmbNombres_ = nullptr, *cmbRuc_ = nullptr, *cmbCorrelativo_ = nullptr, *cmbTasas_ = nullptr;
  AmountEdit* txtRemSctr_ = nullptr;
  QLineEdit* txtSctr_ = nullptr;
  bool showing_ = false;
};

}  // namespace korventa::ui
