#pragma once
// Message boxes of the forms.
#include <QWidget>

#include "common/messenger.h"

namespace korventa::ui {

class QtMessenger : public Messenger {
 public:
  explicit QtMessenger(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  void show(std::string_view text, std::string_view title, MsgIcon icon) override;
  Answer ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
             MsgIcon icon) override;

 private:
  QWidget* parent_;
};

QString qs(std::string_view s);
std::string ss(const QString& s);

}  // namespace korventa::ui
