#pragma once
// frmEstab: the establishments where the current worker served; frmSCTR: the worker's SCTR
// company, establishment and rate, with concept 0806.
#include <memory>

#include "detail/sctr.h"
#include "detail/establishments_form.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace korventa::ui {

class frmEstab : public QDialog {
  Q_OBJECT
 public:
  frmEstab(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
           QWidget* parent = nullptr);
  ~frmEstab() override;
  detail::EstablishmentsForm* controller() { return form_.get(); }

 private:
  void onAccept();
  Session& session_;
  std::unique_ptr<detail::EstablishmentsForm> form_;
  QListWidget* lstEstab_ = nullptr;
};

}  // namespace korventa::ui
