#pragma once
// Small helpers of the days, SCTR, other-employer and EPS dialogs: named widgets, focus after a
// refused check, grids and the detail dialogs' guarded close.
#include <functional>
#include <string>
#include <vector>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "data/session.h"
#include "detail/detail_support.h"

class QComboBox;
class QLabel;

namespace korventa::ui {

// A line edit that accepts only digits, up to `maxLength` of them.
QLineEdit* digitEdit(const char* name, int maxLength, QWidget* parent = nullptr);
QLineEdit* readOnlyEdit(const char* name, QWidget* parent = nullptr);
QPushButton* button(const char* name, const QString& caption, QWidget* parent = nullptr);
QTableWidget* grid(const char* name, const QStringList& headers, QWidget* parent = nullptr);
// Rows of texts; the columns listed in `rightAligned` hold amounts or day counts.
void fillGrid(QTableWidget* grid, const std::vector<std::vector<std::string>>& rows,
              const std::vector<int>& rightAligned = {});
int selectedRow(QTableWidget* grid);
// After a refused check: the focus on the control the outcome names.
void applyFocus(QWidget* form, const detail::Outcome& outcome);
// The open declaration, or a message and nullptr when the form was opened without one.
const declaration::OpenDeclaration* requireDeclaration(Session& session);
// Runs a database action; failures are shown with the record-error message. False on failure.
bool guarded(Session& session, const std::function<void()>& action);

// A detail dialog that asks before closing with unsaved changes: `canClose` decides.
class GuardedDialog : public QDialog {
  Q_OBJECT
 public:
  using QDialog::QDialog;
  void reject() override;

 protected:
  virtual bool canClose() { return true; }
};

}  // namespace korventa::ui
