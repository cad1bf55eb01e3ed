#pragma once
// The "Determinación de la Deuda" tab of the declaration form: a view of DebtDetermination with
// one text box per box number (txtvalor_NNN) and the payment component below.
#include <map>
#include <memory>
#include <string>

#include <QWidget>

#include "data/session.h"
#include "model/open_declaration.h"
#include "determination/debt_grid.h"
#include "determination/ui/frm_de_donde_sale.h"

class QLineEdit;

namespace korventa::ui {

class FormaDePagoZEL;

class DeterminacionTab : public QWidget {
  Q_OBJECT
 public:
  // The page of `decl`, the declaration of the declaration form (it writes the typed boxes and the
  // payment data into it).
  DeterminacionTab(Session& session, model::OpenDeclaration& decl, QWidget* parent = nullptr);
  ~DeterminacionTab() override;
  determination::DebtDetermination* model() { return model_.get(); }
  QLineEdit* txtvalor(const std::string& casilla) const;
  // How "¿De dónde sale?" writes its workbook (set by the program that owns the workbook writer).
  void setWorkbookWriter(FrmDeDondeSale::WorkbookWriter writer) { workbook_ = std::move(writer); }
  // "¿De dónde sale?" of a box the grid computes (double-click or context menu): the form, modal.
  void explain(const std::string& casilla);
  // A summary column of a person shown by another grid (the workers' and pensioners' pages): the
  // context menu "¿De dónde sale?" at `globalPos`, then the person's column explained. False when the
  // column is no summary column.
  bool offerPersonExplanation(const PersonKey& person, const std::string& column, const QPoint& globalPos);
  // Whether the grid computes the box (not one the user types), so that it can be explained.
  static bool explainable(const std::string& casilla);

 signals:
  // The user changed a box or the payment data.
  void changed();
  // Enter on an EPS credit box ("602", "612", "408" or "428"): its invoices are to be shown (the
  // declaration form opens FrmInf602). The box is read again when the connected slots return.
  void epsCreditRequested(const QString& casilla);

 public slots:
  // The declaration form opened, loaded or refreshed a declaration.
  void declarationChanged();
  // The rectification option changed: box 503 follows it.
  void rectificaChanged(bool on);

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void txtvalor_Change(const std::string& casilla, const QString& text);
  void openEpsCredit(const std::string& casilla);
  void showCellMenu(const std::string& casilla, const QPoint& at);
  void refreshCells(const std::string& except = {});
  void storeInDeclaration();
  void paymentChanged();
  // The declaration once its declarant and period are chosen, else nullptr.
  const model::OpenDeclaration* loadedDeclaration() const;

  Session& s_;
  model::OpenDeclaration& decl_;
  std::unique_ptr<determination::DebtDetermination> model_;
  std::map<std::string, QLineEdit*> cells_;
  FormaDePagoZEL* pago_ = nullptr;
  FrmDeDondeSale::WorkbookWriter workbook_;
};

}  // namespace korventa::ui
