#pragma once
// frmSCTR: the SCTR company, establishment and rate of the current worker, with concept 0806.
#include <memory>

#include "detail/sctr.h"
#include "detail/establishments_form.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace korventa::ui {

class frmSCTR : public QDialog {
  Q_OBJECT
 public:
  frmSCTR(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, QWidget* parent = nullptr);
  ~frmSCTR() override;
  detail::SctrForm* controller() { return form_.get(); }

 private:
  void fill(QComboBox* combo, const std::vector<detail::Choice>& items, const std::string& current);
  void showChoice();
  void onSave();
  void onRemove();

  Session& session_;
  std::unique_ptr<detail::SctrForm> form_;
  QComboBox *cmbRuc_ = nullptr, *cmbCorrelativo_ = nullptr, *cmbTasas_ = nullptr;
  QLabel* lblRazon_ = nullptr;
  bool showing_ = false;
};

}  // namespace korventa::ui
