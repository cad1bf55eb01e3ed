#pragma once
// One formative-modality trainee: identity, amount paid and the establishments where he trains.
#include <QDialog>

#include "data/session.h"
#include "detail/trainee_detail.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korventa::ui {

class Frm601MFDET : public QDialog {
  Q_OBJECT
 public:
  Frm601MFDET(Session& session, const model::OpenDeclaration& decl, QWidget* parent = nullptr);
  // The form on a trainee of the declaration: the stored one when modified, else a new one.
  static std::unique_ptr<Frm601MFDET> open(Session& session, const model::OpenDeclaration& decl,
                                           const PersonKey& person, bool modify, QWidget* parent = nullptr);
  bool openExisting(const PersonKey& person);
  detail::TraineeDetail& controller() { return ctl_; }

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void refresh();
  void applyFocus();
  void CmdAceptaRec_Click();
  void CmdEliminar_Click();

  Session& s_;
  detail::TraineeDetail ctl_;
  bool loading_ = false;
  IdentityBoxes id_;  // cboTipoDoc, TxtNumDoc, CmbRegistrados, TxtApePat, TxtApeMat
  QLineEdit *TxtNombre1_, *TxtMonto_;
  QListWidget* lstHorario_;
  QPushButton *CmdAceptaRec_, *CmdEliminar_;
};

}  // namespace korventa::ui
