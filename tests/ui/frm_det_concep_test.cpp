// FrmDetConcep and frmIngApor driven as a user would: choose the group, type amounts in the grid
// and the panels, accept, and read the stored rows back.

#include "detail/ui/frm_det_concep.h"
#include "detail/ui/frm_ing_apor.h"
#include "determination/working_fixture.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

class FrmDetConcepTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::WorkingFixture> f_;
  PersonKey p_;

  template <class Form>
  std::unique_ptr<QDialog> open() {
    auto d = uitest::shown(std::make_unique<Form>(f_->t.session(), f_->decl, p_));
    d->activateWindow();
    QTest::qWait(10);
    return d;
  }
  static void choose(QDialog* d, const QString& prefix) {
    auto* cmb = d->findChild<QComboBox*>("CmbConceptosRem");
    int i = cmb->findText(prefix, Qt::MatchStartsWith);
    QVERIFY(i >= 0);
    cmb->setCurrentIndex(i);
    emit cmb->activated(i);
  }
  static int row(QTableWidget* grid, const QString& code) {
    for (int r = 0; r < grid->rowCount(); ++r)
      if (grid->item(r, 0)->text() == code) return r;
    return -1;
  }
  // Types into a grid cell through its editor, as the keyboard would.
  static void typeCell(QTableWidget* grid, int r, int c, const QString& keys) {
    grid->setFocus();
    grid->setCurrentCell(r, c);
    grid->editItem(grid->item(r, c));
    QTest::qWait(5);
    auto* editor = grid->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, keys);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(5);
  }

 private slots:
  void init() {
    f_ = std::make_unique<test::WorkingFixture>("201206");
    test::WorkerProfile profile;
    profile.pension = 21;
    p_ = f_->person("40000001", profile);
    f_->recompute();
  }
  void cleanup() { f_.reset(); }

  void typesAmountsAndStoresRows() {
    auto d = open<ui::FrmDetConcep>();
    // Whose amounts they are: document and name as the declaration's grid shows them.
    QCOMPARE(d->findChild<QLabel*>("LblPersona")->text(), QString("40000001  PERSONA 40000001"));
    choose(d.get(), "0100");
    QVERIFY(d->findChild<QGroupBox*>("Frame5")->isVisible());
    auto* grid = d->findChild<QTableWidget*>("grdConcep");
    int r = row(grid, "0121");
    QVERIFY(r >= 0);
    typeCell(grid, r, 2, "2500.5");
    typeCell(grid, r, 3, "2.4.");  // the grid's editor is the amount field: the second point is refused
    QCOMPARE(grid->item(r, 2)->text(), QString("2500.50"));
    QCOMPARE(grid->item(r, 3)->text(), QString("2.40"));
    typeCell(grid, r, 3, "2400");
    QCOMPARE(d->findChild<QLineEdit*>("TxtTotalMonto")->text(), QString("2500.50"));
    uitest::screenshot(d.get(), "FrmDetConcep_grid");

    choose(d.get(), "0600");
    QVERIFY(d->findChild<QGroupBox*>("Frame3")->isVisible());
    QVERIFY(!d->findChild<QGroupBox*>("Frame5")->isVisible());
    auto* base0608 = d->findChild<QLineEdit*>("TxtBaseCalculo_7");
    QCOMPARE(base0608->text(), QString("2500.50"));
    QVERIFY(base0608->isReadOnly());
    auto* amount0608 = d->findChild<QLineEdit*>("TxtMonto_7");
    QVERIFY(amount0608->isEnabled() && !amount0608->isReadOnly());
    amount0608->setFocus();
    QTest::keyClicks(amount0608, "250.05");
    QTest::keyClick(amount0608, Qt::Key_Tab);
    QCOMPARE(amount0608->text(), QString("250.05"));
    QCOMPARE(d->findChild<QLineEdit*>("TxtTotalAport")->text(), QString("250.05"));

    choose(d.get(), "0800");
    QCOMPARE(d->findChild<QLineEdit*>("TxtMontoE_3")->text(), QString("225.05"));  // 2500.50 × 9 %

    QTest::mouseClick(d->findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(qstr(f_->conceptText(p_, "0121")), QString("2500.50"));
    QCOMPARE(qstr(f_->conceptText(p_, "0121", "monto_pag")), QString("2400.00"));
    QCOMPARE(qstr(f_->conceptText(p_, "0608")), QString("250.05"));
    QCOMPARE(qstr(f_->base(p_, "0608")), QString("2500.50"));
    QCOMPARE(qstr(f_->conceptText(p_, "0804")), QString("225.05"));
    QCOMPARE(qstr(f_->summary(p_, "Aport_TrabPens")), QString("250.05"));
    QCOMPARE(qstr(f_->summary(p_, "salud")), QString("225.05"));
  }

  // The form opens at one size that fits a 1366×768 screen with a title bar and a 40-pixel
  // taskbar, chooser on top, buttons at the bottom and the grid area between them before a group
  // is chosen; choosing a group (grid, worker's panel, employer's panel) never resizes it.
  void keepsOneSizeWhateverTheGroup() {
    auto d = open<ui::FrmDetConcep>();
    QTest::qWait(20);
    const QSize opened = d->size();
    const QSize room(1366, 768 - 40 - 30);
    QVERIFY2(opened.width() <= room.width() && opened.height() <= room.height(),
             qPrintable(QString("%1x%2").arg(opened.width()).arg(opened.height())));
    QVERIFY(d->minimumSizeHint().height() <= room.height());
    auto* stack = d->findChild<QWidget*>("StkGrupo");
    QVERIFY(stack && stack->isVisible());
    auto* cmb = d->findChild<QComboBox*>("CmbConceptosRem");
    auto* ok = d->findChild<QPushButton*>("cmdAceptar");
    QVERIFY(cmb->geometry().bottom() < stack->geometry().top());  // the chooser is above the area
    QVERIFY(ok->geometry().top() > stack->geometry().bottom());   // the buttons below it
    QVERIFY(d->height() - ok->geometry().bottom() < 40);          // at the foot of the form
    QVERIFY(stack->height() > d->height() / 2);                   // the area takes the room
    uitest::screenshot(d.get(), "FrmDetConcep_opened");
    for (const char* group : {"0600", "0100", "0800", "0600"}) {
      choose(d.get(), group);
      QTest::qWait(20);
      QCOMPARE(d->size(), opened);
      QVERIFY(d->minimumSizeHint().height() <= opened.height());
    }
    uitest::screenshot(d.get(), "FrmDetConcep_worker");
  }

  // Enter keeps the typed amount and moves on: accrued → paid → the next row that takes one.
  void enterMovesToTheNextCell() {
    auto d = open<ui::FrmDetConcep>();
    choose(d.get(), "0100");
    auto* grid = d->findChild<QTableWidget*>("grdConcep");
    int r = row(grid, "0121");
    QVERIFY(r >= 0);
    auto editable = [&](int rr, int c) { return bool(grid->item(rr, c)->flags() & Qt::ItemIsEditable); };
    QVERIFY(editable(r, 2) && editable(r, 3));
    int nextRow = r + 1;
    while (nextRow < grid->rowCount() && !editable(nextRow, 2) && !editable(nextRow, 3)) ++nextRow;
    QVERIFY(nextRow < grid->rowCount());
    int nextCol = editable(nextRow, 2) ? 2 : 3;

    typeCell(grid, r, 2, "100");  // typed and Enter
    QCOMPARE(grid->item(r, 2)->text(), QString("100.00"));
    QCOMPARE(grid->currentRow(), r);
    QCOMPARE(grid->currentColumn(), 3);
    QTest::keyClick(grid, Qt::Key_Return);  // not editing: Enter still moves on
    QCOMPARE(grid->currentRow(), nextRow);
    QCOMPARE(grid->currentColumn(), nextCol);
    QVERIFY(d->isVisible());  // Enter did not press a button of the form
    // Typing edits the cell reached.
    QTest::keyClicks(grid, "7");
    auto* editor = grid->findChild<QLineEdit*>();
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grid->item(nextRow, nextCol)->text(), QString("7.00"));
  }

  void incomeSummaryShowsAndWrites() {
    f_->amount(p_, "0121", "1000.00", "900.00");
    f_->amount(p_, "0704", "", "25.00");
    auto d = open<ui::frmIngApor>();
    QCOMPARE(d->windowTitle(), QString("Trabajadores"));
    QCOMPARE(d->findChild<QLineEdit*>("TxtIngresos_0")->text(), QString("1000.00"));
    QCOMPARE(d->findChild<QLineEdit*>("TxtIngresosPag_0")->text(), QString("900.00"));
    QCOMPARE(d->findChild<QLineEdit*>("TxtAportDescOtros_0")->text(), QString("25.00"));
    QCOMPARE(d->findChild<QLineEdit*>("TxtTotalIng")->text(), QString("1000.00"));
    uitest::screenshot(d.get(), "frmIngApor");
    QTest::mouseClick(d->findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    QCOMPARE(qstr(f_->summary(p_, "Ingresos")), QString("1000.00"));
    QCOMPARE(qstr(f_->summary(p_, "Desc_Trab")), QString("25.00"));
    QCOMPARE(qstr(f_->summary(p_, "rem_salud")), QString("975.00"));  // less the late arrivals
  }
};

}  // namespace

KORVENTA_UI_TEST(FrmDetConcepTest)
#include "frm_det_concep_test.moc"
