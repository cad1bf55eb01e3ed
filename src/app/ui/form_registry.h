#pragma once
// Forms register a factory under their name ("Frm402", "FrmContAbrir", ...). The main window
// opens forms by name and shows a command disabled while its form is not part of the program.
// Register from the form's .cpp:
//   static const bool reg = korventa::ui::FormRegistry::add("FrmConsultas",
//       [](korventa::Session& s, QWidget* parent) { return new FrmConsultas(s, parent); });
#include <functional>
#include <string>

#include <QDialog>
#include <QWidget>

#include "data/session.h"

namespace korventa::ui {

class FormRegistry {
 public:
  using Factory = std::function<QDialog*(Session&, QWidget*)>;
  static bool add(const std::string& name, Factory factory);
  static bool has(const std::string& name);
  // Withdraws a form from the program and gives back its factory (empty when it was not there).
  static Factory take(const std::string& name);
  // A new instance of the form, or nullptr when no such form is registered.
  static QDialog* create(const std::string& name, Session& session, QWidget* parent);

  // Parts of a form that another subsystem provides (a tab page, for instance): a widget factory
  // under a dotted name ("Frm402.Determinacion").
  using WidgetFactory = std::function<QWidget*(Session&, QWidget*)>;
  static bool addWidget(const std::string& name, WidgetFactory factory);
  static bool hasWidget(const std::string& name);
  static WidgetFactory takeWidget(const std::string& name);
  static QWidget* createWidget(const std::string& name, Session& session, QWidget* parent);
};

}  // namespace korventa::ui
