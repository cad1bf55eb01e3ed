#pragma once
// "Mantenimiento de conceptos": the concepts a declarant uses and the descriptions and tax
// affectation of its own concepts.
#include <QDialog>

#include "data/session.h"
#include "reference/declarant_concepts.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace korventa::ui {

class zelpla_Mant001 : public QDialog {
  Q_OBJECT
 public:
  zelpla_Mant001(Session& session, QWidget* parent = nullptr);
  reference::DeclarantConcepts& controller() { return ctl_; }

 private:
  void cboDeclarantes_Click(int index);
  void cboRubroConcepto_Click(int index);
  void grdConceptos_Change(QTableWidgetItem* item);
  void cmdAfectacion_Click();
  void CmdGrabar_Click();
  void fillGrid();
  void updateButtons();
  void commitPendingEdit();

  Session& session_;
  reference::DeclarantConcepts ctl_;
  QComboBox* cboDeclarantes_;
  QLineEdit* txtRazon_;
  QComboBox* cboRubroConcepto_;
  QTableWidget* grdConceptos_;
  QPushButton *cmdSelAll_, *cmdDeSelectAll_, *cmdAfectacion_, *CmdGrabar_;
  bool filling_ = false;
};

}  // namespace korventa::ui
