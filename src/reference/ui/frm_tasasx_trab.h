#pragma once
// frmTasasxTrab: the contribution rates by worker type.
#include <string>

#include <QDialog>

#include "data/session.h"

class QComboBox;
class QTableWidget;

namespace korventa::ui {

class frmTasasxTrab : public QDialog {
  Q_OBJECT
 public:
  frmTasasxTrab(Session& session, QWidget* parent = nullptr);
  QComboBox* combo() const { return combo_; }
  QTableWidget* grid() const { return grid_; }
  // Shows the rate history of the chosen type (the message when none is chosen).
  void consultar();

 private:
  Session& session_;
  QComboBox* combo_;
  QTableWidget* grid_;
};

}  // namespace korventa::ui
