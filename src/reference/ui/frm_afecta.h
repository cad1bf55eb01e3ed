#pragma once
// "Afectación": the 13 tax toggles of one own concept of the declarant.
#include <array>
#include <string>

#include <QDialog>

#include "data/session.h"
#include "reference/tax_affectation.h"

class QLabel;
class QPushButton;

namespace korventa::ui {

class FrmAfecta : public QDialog {
  Q_OBJECT
 public:
  FrmAfecta(Session& session, QWidget* parent = nullptr);
  // The concept whose affectation is shown; false (message shown) when it has none.
  bool load(const std::string& ruc, const std::string& codigo);
  const reference::TaxAffectation& controller() const { return ctl_; }

 private:
  void refresh();
  void CmdAceptar_Click();

  reference::TaxAffectation ctl_;
  QLabel* lblConcepto_;
  std::array<QPushButton*, reference::kAffectationPositions> toggles_{};
  QPushButton* CmdAceptar_;
};

}  // namespace korventa::ui
