#pragma once
// One voucher of a fourth-category provider: kind, series, number, dates, amount and
// retentions.
#include <QDialog>

#include "data/session.h"
#include "detail/voucher_entry.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace korventa::ui {

class DateEdit;

class Frm61502 : public QDialog {
  Q_OBJECT
 public:
  Frm61502(Session& session, detail::VoucherContext context, QWidget* parent = nullptr);
  // Modify mode: the voucher to change.
  void load(const detail::Voucher& v);
  detail::VoucherEntry& controller() { return ctl_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The dialog is built in parts: the voucher's boxes, the two retention frames, then the
  // events of every box.
  QGridLayout* buildVoucherBoxes();
  void buildRetention();
  void buildIes();
  void connectBoxes();
  void refresh();
  void applyFocus();
  void amountLeft();
  void dateLeft(DateEdit* box);
  void CmdAceptar_Click();

  Session& s_;
  detail::VoucherEntry ctl_;
  bool loading_ = false, busy_ = false;
  QString lastAmount_;
  QComboBox* cboTipoServ_;
  QLineEdit *TxtSerie_, *TxtNumero_, *TxtMonto_;
  DateEdit *mskFec_Emi_, *mskFec_ini_, *mskFec_Fin_, *mskFec_Pago_;
  QGroupBox* fraRetenciones_;
  QRadioButton *OptRetSi_, *OptRetNo_;
  QComboBox* cboPorRta_;
  QLineEdit *TxtMtoRta_, *TxtNumFor_;
  QLabel* lblSuspension_;
  QGroupBox* fraIes_;
  QRadioButton *OptIesSi_, *OptIesNo_;
  QComboBox* cboPorIes_;
  QLineEdit* TxtMtoIes_;
  QLabel* lblSuspensionIes_;
};

}  // namespace korventa::ui
