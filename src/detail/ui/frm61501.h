#pragma once
// Fourth-category provider header: identity, names, domicile, the provider's vouchers with a
// counter per kind, and the buttons that add, change and delete vouchers.
#include <vector>

#include <QDialog>

#include "data/session.h"
#include "detail/provider_header.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace korventa::ui {

class Frm61501 : public QDialog {
  Q_OBJECT
 public:
  Frm61501(Session& session, const model::OpenDeclaration& decl, int category, QWidget* parent = nullptr);
  // The form on a provider (or trainee) of the declaration: a new one, or the stored one when
  // modified (always on a sent declaration, which only shows its vouchers).
  static std::unique_ptr<Frm61501> open(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                                        bool modify, QWidget* parent = nullptr);
  bool openExisting(const PersonKey& person);
  detail::ProviderHeader& controller() { return ctl_; }

  void reject() override;

 private:
  QGroupBox* buildIdentity(int category);
  void connectBoxes();
  void refresh();
  void refreshVouchers();
  void applyFocus();
  void openVoucher(const detail::VoucherContext& ctx, const detail::Voucher* v);
  void CmdNuevoRec_Click();
  void CmdModificaRec_Click();
  void CmdEliminaRec_Click();
  void CmdAceptar_Click();

  Session& s_;
  detail::ProviderHeader ctl_;
  bool loading_ = false;
  IdentityBoxes id_;  // cboTipoDoc, TxtNumDoc, CmbRegistrados, TxtApePat, TxtApeMat
  QLineEdit *TxtNombre1_, *TxtNombre2_;
  QRadioButton *OptDomiciliado_, *OptNoDomiciliado_;
  QTableWidget* grdRecibos_;
  std::vector<QLabel*> counters_;
  QPushButton *CmdNuevoRec_, *CmdModificaRec_, *CmdEliminaRec_, *CmdAceptar_;
};

}  // namespace korventa::ui
