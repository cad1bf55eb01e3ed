#pragma once
// Message boxes of the forms.
#include <QWidget>

#include "common/messenger.h"

namespace korventa::ui {

class QtMessenger : public Messenger {
 public:
  explicit QtMessenger(QWidget* parent = nullptr) : parent_(parent) {}
  // The window a box falls back to when no form is active (the main window).
  void setParent(QWidget* parent) { parent_ = parent; }
  // Where a box is centred: the form the person works in (the active modal form, else the
  // active window), else the fallback window.
  QWidget* boxParent() const;
  void show(std::string_view text, std::string_view title, MsgIcon icon) override;
  Answer ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
             MsgIcon icon) override;

 private:
  QWidget* parent_;
};

QString qs(std::string_view s);
std::string ss(const QString& s);

}  // namespace korventa::ui
