#pragma once
// Read-only views of the reference lists: FrmConsultas (banks, situations, worker types, RMV, UIT
// by consultation code), frmTasasxTrab (rates by worker type) and frmAcercade.
#include <string>

#include <QDialog>

#include "data/session.h"

class QComboBox;
class QTableWidget;

namespace korventa::ui {

class FrmConsultas : public QDialog {
  Q_OBJECT
 public:
  // code: "B" banks, "S" situations, "T" worker types, "R" minimum wage, "U" tax unit.
  FrmConsultas(Session& session, const std::string& code, QWidget* parent = nullptr);
  QTableWidget* grid() const { return grid_; }

 private:
  QTableWidget* grid_;
};

}  // namespace korventa::ui
