#pragma once
// FrmInfEPS: one EPS invoice of a box ("NEW" without a row, "MOD" on a row).
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

class FrmInfEPS : public QDialog {
  Q_OBJECT
 public:
  FrmInfEPS(Session& session, const model::OpenDeclaration& openDecl, std::string casilla,
            std::optional<std::int64_t> rowid = std::nullopt, QWidget* parent = nullptr);
  ~FrmInfEPS() override;
  detail::EpsInvoiceForm* controller() { return form_.get(); }

 private:
  QFormLayout* buildInvoiceBoxes();
  void connectBoxes();
  void showValues();
  void pull();
  void onSave();

  Session& session_;
  std::unique_ptr<detail::EpsInvoiceForm> form_;
  QComboBox* cmbEps_ = nullptr;
  PeriodEdit* mkePeriodoFac_ = nullptr;
  QLineEdit *txtNumSerie_ = nullptr, *txtNumFac_ = nullptr, *txtImpTotal_ = nullptr, *txtImpCred_ = nullptr;
  DateEdit *mskFecEmis_ = nullptr, *mskFecPago_ = nullptr;
};

}  // namespace korventa::ui
