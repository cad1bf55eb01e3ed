#pragma once
// Small helpers shared by the form tests.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

// The widgets the form tests read, and the registry the tests run in.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "common/ui/widgets.h"
#include "common/dates.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "declaration/declaration_form.h"
#include "declaration/ui/frm402.h"
#include "import/ui/frm_import.h"
#include "support/test_db.h"
#include "ui/ui_test_registry.h"

namespace korventa::uitest {

// With KORVENTA_SCREENSHOTS=<folder>, a form test leaves a picture of the widget there for a
// person to look at; on an X display (QT_QPA_PLATFORM=xcb under xvfb-run) also the whole
// screen as it shows the window ("<name>-screen.png"). False only when a picture was asked for
// and could not be written.
inline bool screenshot(QWidget* w, const QString& name) {
  QString dir = qEnvironmentVariable("KORVENTA_SCREENSHOTS");
  if (dir.isEmpty()) return true;
  QApplication::processEvents();
  if (QGuiApplication::platformName() == "xcb") {
    QTest::qWait(200);
    QProcess::execute("import", {"-window", "root", QDir(dir).filePath(name + "-screen.png")});
  }
  return w->grab().save(QDir(dir).filePath(name + ".png"));
}

// A text of the core (a message, a stored value) as a QString, which QCOMPARE prints when it
// differs.
inline QString qstr(const std::string& s) {
  return QString::fromStdString(s);
}

// A named child control; a missing one ends the test run with its name.
template <class T>
T* child(QWidget* w, const QString& name) {
  auto* c = w->findChild<T*>(name);
  if (!c) qFatal("no existe el control %s", qPrintable(name));
  return c;
}

// The demo database of a form test, on a fixed day with the user signed in; the clock runs
// free again when it goes.
class DemoDb : public test::TestDb {
 public:
  explicit DemoDb(Date today = Date{2013, 3, 15}) : test::TestDb(true) {
    Clock::setFixed(today);
    session().user = "CONTADOR";
  }
  ~DemoDb() { Clock::setFixed(std::nullopt); }
};

// Creates and saves the demo declarant's declaration of 06/2012, as the form does; false when
// the period is refused or the save fails.
inline bool saveDemoDeclaration(Session& s) {
  declaration::DeclarationForm f(s);
  f.newDeclaration();
  f.CmbRuc_Click("20503987610");
  bool saved = f.acceptPeriod("06/2012").ok && f.save().saved;
  f.closeWithoutSaving();
  return saved;
}

// A form built by its typed call, shown.
template <class Form>
std::unique_ptr<QDialog> shown(std::unique_ptr<Form> form) {
  form->show();
  return form;
}

// Runs `body` on the modal dialog that the next click opens, then lets the click return.
inline void onNextModal(std::function<void(QWidget*)> body) {
  QTimer::singleShot(0, [body] {
    QWidget* m = QApplication::activeModalWidget();
    QVERIFY(m);
    body(m);
  });
}

// Picks the entry of a combo by its data, as the user picks it from the list.
inline void choose(QComboBox* c, const QVariant& data) {
  int i = c->findData(data);
  QVERIFY2(i >= 0, qPrintable(data.toString()));
  c->setCurrentIndex(i);
  emit c->activated(i);
}

// A new declaration in Frm402 as the user starts it: the declarant chosen, the period typed.
inline std::unique_ptr<QDialog> openNewDeclaration(Session& s, const char* ruc = "20503987610",
                                                   const char* period = "062012") {
  auto dialog = std::make_unique<ui::Frm402>(s, Mode::New);
  import::ui::connectImports(s, *dialog);
  auto form = shown(std::move(dialog));
  choose(child<QComboBox>(form.get(), "CmbRuc"), QString(ruc));
  auto* edit = child<QLineEdit>(form.get(), "MkePeriodo");
  edit->setFocus();
  QTest::keyClicks(edit, period);
  emit edit->editingFinished();
  return form;
}

}  // namespace korventa::uitest
