#pragma once
// frm605 / frm605Det: income of the current worker from other employers.
#include <memory>
#include <optional>

#include "common/ui/widgets.h"
#include "detail/other_employers.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;

namespace korventa::ui {

class Frm605 : public QDialog {
  Q_OBJECT
 public:
  Frm605(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, QWidget* parent = nullptr);
  ~Frm605() override;
  detail::OtherEmployersList* controller() { return list_.get(); }

 private:
  void refresh();
  void openDetail(bool modify);

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::unique_ptr<detail::OtherEmployersList> list_;
  QTableWidget* grd605_ = nullptr;
  QLineEdit* txtTotal_ = nullptr;
};

class Frm605Det : public GuardedDialog {
  Q_OBJECT
 public:
  Frm605Det(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, std::optional<std::string> ruc = std::nullopt,
            QWidget* parent = nullptr);
  ~Frm605Det() override;
  detail::OtherEmployerDetail* controller() { return form_.get(); }

 protected:
  bool canClose() override;

 private:
  void showValues();
  void pull();
  void onSave();

  Session& session_;
  std::unique_ptr<detail::OtherEmployerDetail> form_;
  QComboBox* cmbRuc_ = nullptr;
  QLineEdit* txtNombre_ = nullptr;
  AmountEdit* txtMonto_ = nullptr;
  bool showing_ = false;
};

}  // namespace korventa::ui
