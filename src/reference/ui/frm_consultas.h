#pragma once
// Read-only views of the reference lists: FrmConsultas (banks, situations, worker types, RMV, UIT
// by the session's consultation code), frmTasasxTrab (rates by worker type) and frmAcercade.
#include <QDialog>

#include "data/session.h"

class QComboBox;
class QTableWidget;

namespace korventa::ui {

class FrmConsultas : public QDialog {
  Q_OBJECT
 public:
  FrmConsultas(Session& session, QWidget* parent = nullptr);
  QTableWidget* grid() const { return grid_; }

 private:
  QTableWidget* grid_;
};

}  // namespace korventa::ui
