// The determination tab of the declaration form driven through its boxes: amounts to pay typed
// into the grid, the payment total, the EPS credit form on Enter, and "&Validar" with the clean
// message or the inconsistency report.
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "determination/debt_grid.h"
#include "determination/ui/frm_consist.h"
#include "support/demo_entries.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

using uitest::child;
using uitest::onNextModal;

QString plain(QString t) {
  return t.remove(',');
}

}  // namespace

class DeterminationFormsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { t_ = std::make_unique<uitest::DemoDb>(); }
  void cleanup() {
    form_.reset();
    t_.reset();
  }

  void typeIntoTheGridValidateSaveAndPay() {
    QWidget* det = openDemo();
    QVERIFY(!cell("411")->text().isEmpty());
    QVERIFY(!cell("711")->text().isEmpty());
    QVERIFY(cell("711")->isReadOnly());

    // Only digits reach a box.
    cell("501")->setFocus();
    QTest::keyClicks(cell("501"), "1a-2");
    QCOMPARE(cell("501")->text(), QString("12"));
    QCOMPARE(plain(cell("711")->text()).toLongLong(), plain(cell("411")->text()).toLongLong() - 12);
    cell("501")->selectAll();
    QTest::keyClick(cell("501"), Qt::Key_Delete);
    QCOMPARE(cell("501")->text(), QString());

    // The balance of every column typed as its amount to pay.
    long long total = 0;
    for (const auto& c : determination::taxColumns()) {
      QString balance = plain(cell(c.balance)->text());
      if (balance.isEmpty()) continue;
      total += balance.toLongLong();
      if (!determination::isTypedBox(c.toPay)) continue;
      cell(c.toPay)->setFocus();
      QTest::keyClicks(cell(c.toPay), balance);
    }
    child<QPushButton>(form_.get(), "CmdValidar")->setFocus();
    uitest::screenshot(form_.get(), "determinacion");
    QVERIFY(total > 0);
    QCOMPARE(plain(child<QLineEdit>(det, "TxtTotal")->text()).toLongLong(), total);
    QCOMPARE(cell("801")->text(), cell("711")->text());  // shown with separators once left

    QString report;
    bool reportShown = false;
    onNextModal([&](QWidget* m) {
      if (m->objectName() != "FrmConsist") return;
      reportShown = true;
      report = child<QPlainTextEdit>(m, "TxtPreliminar")->toPlainText();
      QTest::mouseClick(child<QPushButton>(m, "CmdGrabar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdValidar"), Qt::LeftButton);
    QCoreApplication::processEvents();  // the watcher meets the declaration form: no report opened
    QVERIFY2(!reportShown, qPrintable(report));
    QCOMPARE(qstr(t_->messenger().last()), QString("La declaración no presenta inconsistencias."));
    // Saved as validated: estado 0.
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("La declaración fue grabada satisfactoriamente."));
    QCOMPARE(qstr(t_->db().text("SELECT estado FROM CAB")), QString("0"));

    // An amount to pay in a column without balance is listed in the report.
    QVERIFY(cell("710")->text().isEmpty());
    cell("800")->setFocus();
    QTest::keyClicks(cell("800"), "5");
    onNextModal([&](QWidget* m) {
      QCOMPARE(m->objectName(), QString("FrmConsist"));
      QCOMPARE(m->windowTitle(), QString("Inconsistencias detectadas"));
      reportShown = true;
      report = child<QPlainTextEdit>(m, "TxtPreliminar")->toPlainText();
      uitest::screenshot(m, "frmconsist");
      // "&Imprimir": the report written in the report language and shown in the preview.
      QString preview;
      onNextModal([&](QWidget* p) {
        preview = p->objectName();
        uitest::screenshot(p, "inconsistencias-preview");
        p->close();
      });
      QTest::mouseClick(child<QPushButton>(m, "cmdImprimir"), Qt::LeftButton);
      QVERIFY(!preview.isEmpty());
      QVERIFY(QFile::exists(qstr(t_->session().paths.tmpPath) + "/Inconsistencias.PRN"));
      QTest::mouseClick(child<QPushButton>(m, "CmdGrabar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdValidar"), Qt::LeftButton);
    QVERIFY(reportShown);
    QVERIFY2(report.contains("No registrar importe a pagar en IMP. EXTRAOR. DE SOLIDARIDAD"), qPrintable(report));

    // Saved, the typed boxes and the cash payment reach DET and CAB.
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdGrabar"), Qt::LeftButton);
    auto& db = t_->db();
    QCOMPARE(qstr(db.text("SELECT i_valor FROM DET WHERE Casilla = '800'")), QString("5"));
    QCOMPARE(qstr(db.text("SELECT efectivo FROM CAB")).toLongLong(), total + 5);
    QCOMPARE(qstr(db.text("SELECT estado FROM CAB")), QString("9"));
    QCOMPARE(qstr(t_->messenger().last()),
             QString("La información de la declaración fue guardada con inconsistencias. En estas condiciones no "
                     "podrá ser enviada a la ZUMAR."));

    // Enter on a credit box opens the EPS form of that box.
    QVERIFY(cell("602")->isEnabled());
    QString opened, caption;
    onNextModal([&](QWidget* m) {
      opened = m->objectName();
      caption = m->windowTitle();
      m->close();
    });
    cell("602")->setFocus();
    QTest::keyClick(cell("602"), Qt::Key_Return);
    QCOMPARE(opened, QString("FrmInf602"));
    QCOMPARE(caption, QString("Detalle de Casilla 602"));
    // Cheque data go to the declaration.
    child<QRadioButton>(det, "OptCheque")->click();
    auto* bank = child<QComboBox>(det, "CboBanco");
    bank->setCurrentIndex(1);
    QCOMPARE(qstr(openDecl().payment.type), QString("C"));
    QCOMPARE(qstr(openDecl().payment.bank), bank->currentData().toString());
    // A change after saving counts again: leaving asks to save it.
    t_->messenger().queueAnswer(Answer::No);
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdCancelar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("¿El formulario ha sido modificado, desea guardar los cambios?"));
  }

  // The file of a validation that never ran: the report says so instead of failing.
  void reportWithoutItsFile() {
    ui::FrmConsist missing(t_->session(), t_->dir() / "no-existe" / "Mens.txt");
    QCOMPARE(missing.text(), QString("No existe el archivo de inconsistencias Mens.txt."));
  }

 private:
  // The demo declaration with its pay, on the determination tab.
  QWidget* openDemo() {
    auto& s = t_->session();
    form_ = uitest::openNewDeclaration(s);
    if (openDecl().periodo.empty()) qFatal("the demo declaration did not open");
    // The pay entered through the detail forms (written here straight into the working tables).
    test::enterDemoPay(s, openDecl());
    auto* det = child<QWidget>(form_.get(), "Determinacion");
    child<QTabWidget>(form_.get(), "SSTab1")->setCurrentWidget(det);
    return det;
  }
  // The declaration open in the form.
  model::OpenDeclaration& openDecl() { return static_cast<ui::Frm402*>(form_.get())->controller().declaration(); }
  QLineEdit* cell(const char* box) { return child<QLineEdit>(form_.get(), QString("txtvalor_") + box); }

  std::unique_ptr<uitest::DemoDb> t_;
  std::unique_ptr<QDialog> form_;
};

KORVENTA_UI_TEST(DeterminationFormsTest)
#include "determination_forms_test.moc"
