#pragma once
// frmAcercade: the about box.
#include <string>

#include <QDialog>

#include "data/session.h"

class QComboBox;
class QTableWidget;

namespace korventa::ui {

class frmAcercade : public QDialog {
  Q_OBJECT
 public:
  frmAcercade(Session& session, QWidget* parent = nullptr);
};

}  // namespace korventa::ui
