#pragma once
// frmIngApor: the income and contribution totals of the current person of the open declaration
// and, on accept, the person's summary row (detail::IncomeSummaryForm holds the rules).
#include <array>
#include <memory>

#include <QDialog>

#include "data/session.h"
#include "detail/income_summary_form.h"

class QLineEdit;
class QPushButton;

namespace korventa::ui {

class frmIngApor : public QDialog {
  Q_OBJECT
 public:
  frmIngApor(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
             QWidget* parent = nullptr);
  ~frmIngApor() override;
  detail::IncomeSummaryForm* controller() { return form_.get(); }

 private:
  void onAccept();
  Session& session_;
  std::unique_ptr<detail::IncomeSummaryForm> form_;
  QPushButton* cmdAceptar_ = nullptr;
};

}  // namespace korventa::ui
