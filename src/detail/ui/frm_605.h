#pragma once
// frm605 / frm605Det: income of the current worker from other employers.
#include <memory>
#include <optional>

#include "common/ui/widgets.h"
#include "detail/other_employers.h"
#include "detail/other_employer_detail_form.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;

namespace korventa::ui {

class frm605 : public QDialog {
  Q_OBJECT
 public:
  frm605(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, QWidget* parent = nullptr);
  ~frm605() override;
  detail::OtherEmployersForm* controller() { return list_.get(); }

 private:
  void refresh();
  void openDetail(bool modify);

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::unique_ptr<detail::OtherEmployersForm> list_;
  QTableWidget* grd605_ = nullptr;
  QLineEdit* txtTotal_ = nullptr;
};

}  // namespace korventa::ui
