// The progress dialog the forms show for long work: the step and its count, the busy cursor
// while the work runs, and Cancel only for work that can be cancelled.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "common/ui/progress_dialog.h"
#include "common/ui/qt_messenger.h"
#include "ui/ui_test_registry.h"

namespace korventa::uitest {

class ProgressDialogTest : public QObject {
  Q_OBJECT

  // Work of `ms` milliseconds that counts to `total` and asks for a cancellation as it goes;
  // returns the count it stopped at.
  static long long work(Progress& p, int ms, long long total) {
    QElapsedTimer t;
    t.start();
    long long done = 0;
    while (t.elapsed() < ms) {
      p.advance(done * 2 < total ? ++done : done, total);
      if (p.cancelled()) break;
      QTest::qWait(5);
    }
    return done;
  }

 private slots:
  void showsTheStepAndCountWithTheBusyCursorAndCancels() {
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    {
      ui::ProgressDialog progress(&window, true);
      QVERIFY(QApplication::overrideCursor());
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
      progress.step("Cargando trabajadores…");
      work(progress, 800, 10000);
      QProgressDialog* d = progress.dialog();
      QVERIFY(d->isVisible());  // past half a second
      QVERIFY(d->maximum() == 10000);
      auto* label = d->findChild<QLabel*>();
      QVERIFY(label);
      QVERIFY2(label->text().startsWith(QString::fromUtf8("Cargando trabajadores… ")), qPrintable(label->text()));
      QVERIFY(label->text().endsWith("/10000"));
      QVERIFY(!progress.cancelled());
      auto* cancel = d->findChild<QPushButton*>();
      QVERIFY(cancel);
      QCOMPARE(cancel->text(), QString("&Cancelar"));
      cancel->click();
      QVERIFY(progress.cancelled());
    }
    QVERIFY(!QApplication::overrideCursor());  // the cursor comes back with the work's end
  }

  void workThatCannotBeCancelledOffersNoCancel() {
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui::ProgressDialog progress(&window, false);
    progress.step("Generando reportes…");
    work(progress, 700, 4);
    QProgressDialog* d = progress.dialog();
    QVERIFY(d->isVisible());
    QVERIFY(!d->findChild<QPushButton*>());
    d->cancel();  // Escape on the dialog
    QVERIFY(!progress.cancelled());
  }

  // The dialog is titled as the form it serves, and closes before any message: one that shows
  // while the dialog is up, and one that comes before the dialog's delay is over (it must not
  // pop up behind the box). Work that goes on after the message gets its dialog back.
  void titledAsItsFormAndGivesWayToMessages_data() {
    QTest::addColumn<int>("workMs");
    QTest::addColumn<bool>("backAfter");
    QTest::newRow("dialog showing") << 700 << true;
    QTest::newRow("dialog not shown yet") << 0 << false;
  }
  void titledAsItsFormAndGivesWayToMessages() {
    QFETCH(int, workMs);
    QFETCH(bool, backAfter);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("Declaración de Trabajadores"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui::QtMessenger messenger(&window);
    ui::ProgressDialog progress(&window, true);
    progress.step("Guardando la declaración…");
    if (workMs > 0) work(progress, workMs, 10000);
    QCOMPARE(progress.dialog()->windowTitle(), window.windowTitle());
    QCOMPARE(progress.dialog()->isVisible(), backAfter);
    bool boxSeen = false, progressSeen = true;
    QTimer::singleShot(700, [&] {
      QMessageBox* box = nullptr;
      progressSeen = false;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (qobject_cast<QProgressDialog*>(w)) progressSeen = true;
        if (auto* b = qobject_cast<QMessageBox*>(w)) box = b;
      }
      boxSeen = box != nullptr;
      if (box) box->accept();
    });
    messenger.info("Declaración grabada.");
    QVERIFY(boxSeen);
    QVERIFY(!progressSeen);
    progress.advance(1, 2);
    QCOMPARE(progress.dialog()->isVisible(), backAfter);
  }

  void shortWorkShowsNoDialog() {
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui::ProgressDialog progress(&window, true);
    progress.step("Guardando la declaración…");
    progress.advance(8, 8);
    QVERIFY(!progress.dialog()->isVisible());
  }
};

KORVENTA_UI_TEST(ProgressDialogTest)

}  // namespace korventa::uitest

#include "progress_dialog_test.moc"
