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

class frmAcercade : public QDialog {
  Q_OBJECT
 public:
  frmAcercade(Session& session, QWidget* parent = nullptr);
};

}  // namespace korventa::ui
