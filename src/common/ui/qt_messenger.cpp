#include "common/ui/qt_messenger.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>

#include "common/ui/progress_dialog.h"

namespace korventa::ui {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string ss(const QString& s) {
  return s.toStdString();
}

namespace {

QMessageBox::Icon toIcon(MsgIcon i) {
  switch (i) {
    case MsgIcon::Critical:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case MsgIcon::Information:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButton toButton(Answer a) {
  switch (a) {
    case Answer::Yes:
      return QMessageBox::Yes;
    case Answer::No:
      return QMessageBox::No;
    case Answer::Cancel:
      return QMessageBox::Cancel;
    default:
      return QMessageBox::Ok;
  }
}

// The buttons speak Spanish whatever translations the machine has.
void spanishButtons(QMessageBox& box) {
  const std::pair<QMessageBox::StandardButton, const char*> names[] = {{QMessageBox::Ok, "Aceptar"},
                                                                       {QMessageBox::Yes, "&Sí"},
                                                                       {QMessageBox::No, "&No"},
                                                                       {QMessageBox::Cancel, "Cancelar"}};
  for (const auto& [button, text] : names)
    if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(text));
}

}  // namespace

QWidget* QtMessenger::boxParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_;
}

void QtMessenger::show(std::string_view text, std::string_view title, MsgIcon icon) {
  ProgressDialog::makeWayForMessage();
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox box(toIcon(icon), qs(title), qs(text), QMessageBox::Ok, boxParent());
  box.setObjectName("MessageBox");
  spanishButtons(box);
  box.exec();
  QApplication::restoreOverrideCursor();
}

Answer QtMessenger::ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
                        MsgIcon icon) {
  QMessageBox::StandardButtons b;
  switch (buttons) {
    case MsgButtons::YesNo:
      b = QMessageBox::Yes | QMessageBox::No;
      break;
    case MsgButtons::YesNoCancel:
      b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      break;
    case MsgButtons::OkCancel:
      b = QMessageBox::Ok | QMessageBox::Cancel;
      break;
    default:
      b = QMessageBox::Ok;
      break;
  }
  ProgressDialog::makeWayForMessage();
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox box(toIcon(icon), qs(title), qs(text), b, boxParent());
  box.setObjectName("MessageBox");
  box.setDefaultButton(toButton(defaultAnswer));
  spanishButtons(box);
  int r = box.exec();
  QApplication::restoreOverrideCursor();
  switch (r) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      return buttons == MsgButtons::OkCancel ? Answer::Cancel : Answer::No;
  }
}

}  // namespace korventa::ui
