#pragma once
// A folder field with a chooser button.
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "data/session.h"
#include "printouts/declaration_printout.h"
#include "printouts/exports.h"
#include "printouts/tax_base_consultation.h"
#include "printouts/individual_report_form.h"
#include "printouts/tax_base_consultation_form.h"

namespace korventa::printouts::ui {

// Where a form writes its files: a folder field with a chooser button.
class DirectoryField : public QWidget {
  Q_OBJECT
 public:
  explicit DirectoryField(QWidget* parent = nullptr);
  std::string directory() const;
  void setDirectory(const std::string& dir);

 private:
  QLineEdit* edit_;
};

}  // namespace korventa::printouts::ui
