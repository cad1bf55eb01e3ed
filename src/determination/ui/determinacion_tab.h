#pragma once
// The "Determinación de la Deuda" tab of the declaration form: a view of DebtDetermination with
// one text box per box number (txtvalor_NNN) and the payment component below.
#include <map>
#include <memory>
#include <string>

#include <QWidget>

#include "data/session.h"
#include "determination/debt_grid.h"

class QLineEdit;

namespace korventa::ui {

class FormaDePagoZEL;

class DeterminacionTab : public QWidget {
  Q_OBJECT
 public:
  DeterminacionTab(Session& session, QWidget* parent = nullptr);
  ~DeterminacionTab() override;
  determination::DebtDetermination* model() { return model_.get(); }
  QLineEdit* txtvalor(const std::string& casilla) const;

 signals:
  // The user changed a box or the payment data.
  void changed();

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
  void refreshCells(const std::string& except = {});
  void storeInDeclaration();
  void paymentChanged();

  Session& s_;
  std::unique_ptr<determination::DebtDetermination> model_;
  std::map<std::string, QLineEdit*> cells_;
  FormaDePagoZEL* pago_ = nullptr;
};

}  // namespace korventa::ui
