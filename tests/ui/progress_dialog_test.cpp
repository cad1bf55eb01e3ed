// The progress dialog the forms show for long work: the step and its count, the busy cursor
// while the work runs, and Cancel only for work that can be cancelled.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "common/ui/progress_dialog.h"
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
