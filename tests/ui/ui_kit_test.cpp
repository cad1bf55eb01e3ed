// The small kit every form uses: message boxes, period/date/amount fields and Enter as Tab.
#include <QAbstractButton>
#include <QMessageBox>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {

namespace {

// Runs `act` and answers the message box it shows with `respond`, after noting what it showed.
struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
  QWidget* parent = nullptr;
};

BoxSeen answerBox(const std::function<void()>& act, const std::function<void(QMessageBox*)>& respond) {
  BoxSeen seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.parent = box->parentWidget();
    for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
    seen.buttons.sort();
    if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
    respond(box);
  });
  act();
  return seen;
}

}  // namespace

class UiKitTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxes() {
    ui::QtMessenger m;
    auto shown = answerBox(
        [&] { m.critical("Debe ejecutar este módulo desde el Integrador del ZEL.", "Error al ejecutar el módulo"); },
        [](QMessageBox* b) { b->button(QMessageBox::Ok)->click(); });
    QCOMPARE(shown.title, QString::fromUtf8("Error al ejecutar el módulo"));
    QCOMPARE(shown.text, QString::fromUtf8("Debe ejecutar este módulo desde el Integrador del ZEL."));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.buttons, QStringList({"Aceptar"}));

    struct Case {
      const char* name;
      MsgButtons buttons;
      Answer defaultAnswer;
      std::function<void(QMessageBox*)> respond;
      Answer expected;
      QStringList captions;
      const char* defaultCaption;
    };
    auto enter = [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); };
    auto click = [](QMessageBox::StandardButton which) {
      return [which](QMessageBox* b) { b->button(which)->click(); };
    };
    const Case cases[] = {
        {"Enter takes the default No", MsgButtons::YesNo, Answer::No, enter, Answer::No, QStringList{"&No", "&Sí"},
         "&No"},
        {"cancel of three", MsgButtons::YesNoCancel, Answer::Yes, click(QMessageBox::Cancel), Answer::Cancel,
         QStringList{"&No", "&Sí", "Cancelar"}, "&Sí"},
        {"ok of ok/cancel", MsgButtons::OkCancel, Answer::Cancel, click(QMessageBox::Ok), Answer::Ok,
         QStringList{"Aceptar", "Cancelar"}, "Cancelar"},
    };
    for (const auto& c : cases) {
      Answer got = Answer::Ok;
      auto seen = answerBox(
          [&] {
            got = m.ask("¿Confirma que va eliminar el registro seleccionado?", "Eliminar Registro", c.buttons,
                        c.defaultAnswer, MsgIcon::Question);
          },
          c.respond);
      QVERIFY2(got == c.expected, c.name);
      QCOMPARE(seen.title, QString("Eliminar Registro"));
      QCOMPARE(seen.icon, QMessageBox::Question);
      QCOMPARE(seen.buttons, c.captions);
      QCOMPARE(seen.defaultButton, QString::fromUtf8(c.defaultCaption));
    }
  }

  // A box belongs to the form the person works in, not to the main window it falls back to.
  void messageBoxesSitOnTheActiveForm() {
    QWidget main;
    main.resize(300, 100);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    ui::QtMessenger m(&main);
    QDialog form(&main);
    form.setObjectName("Frm402");
    form.resize(700, 500);
    auto respond = [](QMessageBox* b) { b->button(QMessageBox::Ok)->click(); };
    BoxSeen onForm;
    QTimer::singleShot(0, [&] {
      onForm = answerBox([&] { m.info("Cálculo realizado satisfactoriamente", "Mensaje"); }, respond);
      form.accept();
    });
    form.exec();
    QCOMPARE(onForm.parent, static_cast<QWidget*>(&form));
    // With the form closed the box goes back to the main window.
    auto onMain = answerBox([&] { m.info("Cálculo realizado satisfactoriamente", "Mensaje"); }, respond);
    QCOMPARE(onMain.parent, &main);
  }

  void periodAndDateFields() {
    struct Case {
      const char* typed;
      QString shown;
      std::string period;
    };
    const Case periods[] = {
        {"052012", "05/2012", "201205"},
        {"12", "12/____", ""},
        {"1a22012", "12/2012", "201212"},  // letters never enter
    };
    for (const auto& c : periods) {
      ui::PeriodEdit e;
      e.setFocus();
      e.home(false);
      QTest::keyClicks(&e, c.typed);
      QCOMPARE(e.maskedText(), c.shown);
      QCOMPARE(e.period(), c.period);
    }
    ui::PeriodEdit p;
    p.setPeriod("201212");
    QCOMPARE(p.maskedText(), QString("12/2012"));
    p.setPeriod("2012");
    QVERIFY(p.isEmptyMask());
    // A half-typed date is no date (a whole one is typed and saved by the days and EPS form tests).
    ui::DateEdit half;
    half.home(false);
    QTest::keyClicks(&half, "3112");
    QCOMPARE(half.date(), std::string());
  }

  void amountField() {
    struct Case {
      const char* name;
      int digits;
      bool negative;
      const char* typed;
      QString kept;
    };
    const Case cases[] = {
        {"seven integer digits at most", 7, false, "123456789", "1234567"},
        {"two decimals at most", 7, false, "12.345", "12.34"},
        {"no sign unless allowed", 7, false, "-5", "5"},
        {"sign where allowed", 7, true, "-5.5", "-5.5"},
        {"narrower field, letters never enter", 4, false, "12a345.6", "1234.6"},
    };
    for (const auto& c : cases) {
      ui::AmountEdit e(nullptr, c.digits, c.negative);
      QTest::keyClicks(&e, c.typed);
      QVERIFY2(e.text() == c.kept, qPrintable(QString("%1: %2").arg(c.name, e.text())));
    }
  }

  void enterActsAsTab() {
    QDialog d;
    auto* layout = new QVBoxLayout(&d);
    QWidget* first = new ui::AmountEdit(&d);
    QWidget* second = new ui::PeriodEdit(&d);
    QWidget* third = new QLineEdit(&d);
    for (QWidget* w : {first, second, third}) layout->addWidget(w);
    ui::EnterAsTab::install(&d);
    d.show();
    QApplication::setActiveWindow(&d);
    QVERIFY(QTest::qWaitForWindowActive(&d));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), second);
    QTest::keyClick(second, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), third);
    // Enter does not accept the dialog.
    QVERIFY(d.isVisible());
  }
};

KORVENTA_UI_TEST(UiKitTest)

}  // namespace korventa::uitest

#include "ui_kit_test.moc"
