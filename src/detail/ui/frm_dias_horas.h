#pragma once
// frmDiasHoras ("Jornada Laboral"): days and hours of a worker of the open declaration (both
// given when it is built). A key in the subsidised or non-worked days
// box opens the suspension lists (frmDias, frmDiasNoTrab); the buttons open frmEstab and frmSCTR.
#include <memory>

#include "detail/days_hours.h"
#include "detail/ui/detail_form_kit.h"

class QLabel;

namespace korventa::ui {

class frmDiasHoras : public QDialog {
  Q_OBJECT
 public:
  frmDiasHoras(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
               QWidget* parent = nullptr);
  ~frmDiasHoras() override;
  detail::DaysHoursForm* controller() { return form_.get(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void showValues();
  void updateTotals();
  // Opens a form of the worker (days, establishments, SCTR) beside this one; it deletes itself.
  void openChild(QDialog* child);
  void onAccept();

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::unique_ptr<detail::DaysHoursForm> form_;
  QLabel* lblNombre_ = nullptr;
  QLabel* lblDocumento_ = nullptr;
  QLineEdit *txtDiasLab_ = nullptr, *txtDiasSub_ = nullptr, *txtDiasNoLab_ = nullptr, *txtTotalDias_ = nullptr;
  QLineEdit *txtHorasNor_ = nullptr, *txtMinutosNor_ = nullptr, *txtHorasSob_ = nullptr, *txtMinutosSob_ = nullptr;
  QLineEdit *txtTotalHoras_ = nullptr, *txtTotalMinutos_ = nullptr;
  QLabel* lblNumEstab_ = nullptr;
  QPushButton *cmdEstab_ = nullptr, *cmdSctr_ = nullptr, *cmdAceptar_ = nullptr;
};

}  // namespace korventa::ui
