#pragma once
// Entry widgets shared by the forms: masked period and date fields, the amount field, and
// Enter acting as Tab.
#include <QLineEdit>
#include <QObject>
#include <QSize>
#include <QString>

class QTableWidget;
class QWidget;

namespace korventa::ui {

// The room a window may take on its screen: the work area less a title bar, and less a
// 40-pixel taskbar when the screen reports no work area of its own (1366×768 gives about
// 1366×700).
QSize usableScreenSize(const QWidget* w = nullptr);
// Resizes a top-level form to `wanted`, bounded to usableScreenSize(); the form's contents
// must scroll or shrink below that.
void fitToScreen(QWidget* w, const QSize& wanted);

// A read-only table whose rows are chosen one at a time; the last column takes the spare width.
void makeRowPicker(QTableWidget* table);

// A field with an input mask whose unfilled positions show "_", like "__/____".
class MaskedEdit : public QLineEdit {
  Q_OBJECT
 public:
  MaskedEdit(const QString& mask, QWidget* parent = nullptr);
  // The text as shown, with "_" in unfilled positions.
  QString maskedText() const { return displayText(); }
  bool isComplete() const { return !displayText().contains('_'); }
  bool isEmptyMask() const;
  void clearMask() {
    setText(QString());
    setCursorPosition(0);
  }

 protected:
  // An empty field is typed from its first position, however the focus arrived.
  void focusInEvent(QFocusEvent* e) override;
};

// "MM/YYYY".
class PeriodEdit : public MaskedEdit {
  Q_OBJECT
 public:
  explicit PeriodEdit(QWidget* parent = nullptr) : MaskedEdit("99/9999", parent) {}
  // "YYYYMM" when complete, else "".
  std::string period() const;
  void setPeriod(const std::string& yyyymm);
};

// "dd/mm/yyyy".
class DateEdit : public MaskedEdit {
  Q_OBJECT
 public:
  explicit DateEdit(QWidget* parent = nullptr) : MaskedEdit("99/99/9999", parent) {}
  // "dd/mm/yyyy" when complete, else "".
  std::string date() const;
};

// Amount entry: digits and one decimal point; at most `maxIntegerDigits` integer digits and two
// decimals (typing beyond is refused). Optionally a leading minus.
class AmountEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit AmountEdit(QWidget* parent = nullptr, int maxIntegerDigits = 7, bool allowNegative = false);
  std::string amount() const { return text().trimmed().toStdString(); }
};

// Installed on a dialog: Enter in a line edit, combo box or spin box moves to the next field.
class EnterAsTab : public QObject {
  Q_OBJECT
 public:
  explicit EnterAsTab(QObject* parent) : QObject(parent) {}
  static void install(QWidget* dialog);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace korventa::ui
