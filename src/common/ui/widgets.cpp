#include "common/ui/widgets.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QRegularExpressionValidator>
#include <QTableWidget>

#include "common/dates.h"

namespace korventa::ui {

QSize usableScreenSize(const QWidget* w) {
  QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
  if (!screen) return {1366, 700};
  QSize area = screen->availableGeometry().size();
  constexpr int kTaskbar = 40;
  if (area.height() == screen->geometry().height()) area.rheight() -= kTaskbar;
  int titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
  area.rheight() -= qMax(titleBar, 28);
  return area;
}

void fitToScreen(QWidget* w, const QSize& wanted) {
  w->resize(wanted.boundedTo(usableScreenSize(w)));
}

void makeRowPicker(QTableWidget* table) {
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->horizontalHeader()->setStretchLastSection(true);
}

MaskedEdit::MaskedEdit(const QString& mask, QWidget* parent) : QLineEdit(parent) {
  setInputMask(mask + ";_");
}

void MaskedEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (isEmptyMask()) setCursorPosition(0);
}

bool MaskedEdit::isEmptyMask() const {
  for (QChar c : displayText())
    if (c.isDigit()) return false;
  return true;
}

std::string PeriodEdit::period() const {
  if (!isComplete()) return {};
  return periodFromDisplay(displayText().toStdString());
}

void PeriodEdit::setPeriod(const std::string& yyyymm) {
  setText(QString::fromStdString(yyyymm.size() == 6 ? periodToDisplay(yyyymm) : std::string()));
}

std::string DateEdit::date() const {
  if (!isComplete()) return {};
  return displayText().toStdString();
}

AmountEdit::AmountEdit(QWidget* parent, int maxIntegerDigits, bool allowNegative) : QLineEdit(parent) {
  QString re = QString("%1\\d{0,%2}(\\.\\d{0,2})?").arg(allowNegative ? "-?" : "").arg(maxIntegerDigits);
  setValidator(new QRegularExpressionValidator(QRegularExpression(re), this));
  setAlignment(Qt::AlignRight);
}

void EnterAsTab::install(QWidget* dialog) {
  auto* filter = new EnterAsTab(dialog);
  for (QWidget* w : dialog->findChildren<QWidget*>()) {
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w))
      w->installEventFilter(filter);
  }
}

bool EnterAsTab::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier) {
      if (auto* w = qobject_cast<QWidget*>(watched)) {
        // Leaving the field first lets its checks run, as a Tab would.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(w, &tab);
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace korventa::ui
