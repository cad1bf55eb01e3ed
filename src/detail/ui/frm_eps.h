#pragma once
// FrmInf602: the EPS invoices credited against one box of the open declaration, with their
// totals; on close the credit total is written to the box. The box ("602", "612", "408" or "428")
// is given by the determination grid that opens the form.
// FrmInfEPS: one invoice ("NEW" without a row, "MOD" on a row), same box rule.
#include <memory>
#include <optional>

#include "common/ui/widgets.h"
#include "detail/eps_credit.h"
#include "detail/eps_invoice_form.h"
#include "detail/eps_box_form.h"
#include "detail/ui/detail_form_kit.h"

class QComboBox;
class QFormLayout;
class QLabel;

namespace korventa::ui {

class FrmInf602 : public QDialog {
  Q_OBJECT
 public:
  FrmInf602(Session& session, const model::OpenDeclaration& openDecl, std::string casilla, QWidget* parent = nullptr);
  ~FrmInf602() override;
  detail::EpsBoxForm* controller() { return form_.get(); }
  void done(int result) override;

 private:
  void refresh();
  void openInvoice(bool modify);

  Session& session_;
  const model::OpenDeclaration& decl_;
  std::unique_ptr<detail::EpsBoxForm> form_;
  QTableWidget* grdEps_ = nullptr;
  QLineEdit *txtTotal602_ = nullptr, *txtCredito_ = nullptr;
  QLabel* lblFacturas_ = nullptr;
};

}  // namespace korventa::ui
