#pragma once
// frm605Det: one other employer of the current worker and the income received.
#include <memory>
#include <optional>

#include "common/ui/widgets.h"
#include "detail/other_employers.h"
#include "detail/other_employer_detail_form.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;

namespace korventa::ui {

class frm605Det : public GuardedDialog {
  Q_OBJECT
 public:
  frm605Det(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
            std::optional<std::string> ruc = std::nullopt, QWidget* parent = nullptr);
  ~frm605Det() override;
  detail::OtherEmployerDetailForm* controller() { return form_.get(); }

 protected:
  bool canClose() override;

 private:
  void showValues();
  void pull();
  void onSave();

  Session& session_;
  std::unique_ptr<detail::OtherEmployerDetailForm> form_;
  QComboBox* cmbRuc_ = nullptr;
  QLineEdit* txtNombre_ = nullptr;
  AmountEdit* txtMonto_ = nullptr;
  bool showing_ = false;
};

}  // namespace korventa::ui
