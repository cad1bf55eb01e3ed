#pragma once
// Small helpers shared by the form tests.
#include <QApplication>
#include <QDir>
#include <QString>
#include <QWidget>

namespace korventa::uitest {

// With KORVENTA_SCREENSHOTS=<folder>, a form test leaves a picture of the widget there for a
// person to look at. False only when a picture was asked for and could not be written.
inline bool screenshot(QWidget* w, const QString& name) {
  QString dir = qEnvironmentVariable("KORVENTA_SCREENSHOTS");
  if (dir.isEmpty()) return true;
  QApplication::processEvents();
  return w->grab().save(QDir(dir).filePath(name + ".png"));
}
inline bool screenshot(QWidget& w, const QString& name) { return screenshot(&w, name); }

// A named child control; a missing one ends the test run with its name.
template <class T>
T* child(QWidget* w, const char* name) {
  auto* c = w->findChild<T*>(name);
  if (!c) qFatal("no existe el control %s", name);
  return c;
}

}  // namespace korventa::uitest
