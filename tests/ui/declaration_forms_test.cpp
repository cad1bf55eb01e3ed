// The road of a declaration through its forms: created in Frm402, saved, found and reopened in
// the "Modificar" chooser, copied to the next period, the copy deleted, sent, its order number
// registered, and recovered — all through the widgets, by their control names.

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include "declaration/ui/catalogue_dialogs.h"
#include "common/ui/widgets.h"
#include "declaration/ui/frm402.h"
#include "detail/ui/frm_det_concep.h"
#include "determination/ui/determinacion_tab.h"
#include "declaration/ui/frm_enviar.h"
#include "declaration/send.h"
#include "determination/declaration_computation.h"
#include "support/demo_entries.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

const char* kDemoRuc = "20503987610";

using uitest::child;
using uitest::onNextModal;
using uitest::openNewDeclaration;

}  // namespace

class DeclarationFormsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { t_ = std::make_unique<uitest::DemoDb>(); }
  void cleanup() { t_.reset(); }

  void createSaveReopenCopyDeleteSendAndRecover() {
    auto& s = t_->session();
    auto& db = t_->db();
    // Nueva.
    auto form = openNewDeclaration(s);
    QCOMPARE(form->windowTitle(), QString("0601 Korventa"));
    QTest::keyClicks(child<QLineEdit>(form.get(), "TxtTelefono"), "4411223");
    auto* period = child<QLineEdit>(form.get(), "MkePeriodo");
    auto* grid = child<QTableView>(form.get(), "GrdDatos");
    QVERIFY(grid->model()->rowCount() > 0);
    QCOMPARE(child<QLabel>(form.get(), "LblTotal")->text(),
             QString("Total registros : %1").arg(grid->model()->rowCount()));
    QVERIFY(!period->isEnabled());
    const int persons = grid->model()->rowCount();
    // The determination grid does not make the form wider than the screen (the grid scrolls
    // sideways instead of pushing the form's buttons off it); the form's own size on the screen
    // is fitsTheScreenAndScrolls'.
    QCoreApplication::processEvents();
    QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    auto* scroll = child<QWidget>(form.get(), "Determinacion")->findChild<QScrollArea*>();
    QVERIFY(scroll);
    QVERIFY(scroll->minimumWidth() < available.width());
    QVERIFY(scroll->widget()->sizeHint().width() > scroll->minimumWidth());  // here the grid scrolls
    QVERIFY(form->minimumSizeHint().width() < 1024);                         // the rest fits a screen 1024 points wide

    // Guardar: without pay nor payment, saved with inconsistencies; the launcher cannot send it.
    QTest::mouseClick(child<QPushButton>(form.get(), "CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()),
             QString("La información de la declaración fue guardada con inconsistencias. En estas condiciones no "
                     "podrá ser enviada a la ZUMAR."));
    QCOMPARE(qstr(db.text("SELECT estado FROM CAB")), QString("9"));
    {
      ui::FrmEnviar sender(s.database(), s.msg());
      QCOMPARE(child<QTableWidget>(&sender, "grdDeclaraciones")->rowCount(), 0);
    }
    // The pay of everybody and the payment entered (straight into the working tables here),
    // Guardar again: consistent. Then Salir without a question.
    test::completeDeclaration(s, static_cast<ui::Frm402*>(form.get())->controller().declaration());
    QTest::mouseClick(child<QPushButton>(form.get(), "CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("La declaración fue grabada satisfactoriamente."));
    QCOMPARE(qstr(db.text("SELECT estado FROM CAB")), QString("0"));
    QCOMPARE(db.integer("SELECT count(*) FROM CAB WHERE doc_id_d = ? AND periodo = '201206'", {kDemoRuc}), 1LL);
    QCOMPARE(qstr(db.text("SELECT i_valor FROM DET WHERE Casilla = '028'")), QString("4411223"));
    std::size_t shown = t_->messenger().entries().size();
    QTest::mouseClick(child<QPushButton>(form.get(), "CmdCancelar"), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QCOMPARE(t_->messenger().entries().size(), shown);
    QCOMPARE(db.integer("SELECT count(*) FROM TEMP1_F601"), 0LL);

    // Modificar: the chooser lists it and opens it in a new declaration form.
    auto chooser = uitest::shown(std::make_unique<ui::FrmContAbrir>(s, false, Mode::Modify));
    QCOMPARE(chooser->windowTitle(), QString("Modificar Declaraciones"));
    auto* list = child<QTableWidget>(chooser.get(), "grdContrib");
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(list->item(0, 2)->text(), QString("062012"));
    int reopenedRows = -1;
    QString reopenedPhone;
    onNextModal([&](QWidget* m) {
      QCOMPARE(m->objectName(), QString("Frm402"));
      reopenedRows = child<QTableView>(m, "GrdDatos")->model()->rowCount();
      reopenedPhone = child<QLineEdit>(m, "TxtTelefono")->text();
      QTest::mouseClick(child<QPushButton>(m, "CmdCancelar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(chooser.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(reopenedRows, persons);
    QCOMPARE(reopenedPhone, QString("4411223"));
    chooser->close();

    // Copiar to 07/2012 through the chooser and the copy form.
    chooser = uitest::shown(std::make_unique<ui::FrmContAbrir>(s, false, Mode::Copy));
    onNextModal([&](QWidget* m) {
      QCOMPARE(m->objectName(), QString("frmCopiarDec"));
      auto* target = child<QLineEdit>(m, "MkePeriodo");
      target->setFocus();
      QTest::keyClicks(target, "072012");
      QTest::mouseClick(child<QPushButton>(m, "CmdCopiar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(chooser.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(db.integer("SELECT count(*) FROM CAB WHERE periodo = '201207' AND estado = 9 AND ind_ref = 1"), 1LL);
    QCOMPARE(child<QTableWidget>(chooser.get(), "grdContrib")->rowCount(), 2);
    chooser->close();

    // Eliminar the copy: June stays.
    const long long juneRows = db.integer("SELECT count(*) FROM F601_TRAB WHERE periodo = '201206'");
    QVERIFY(juneRows > 0);
    auto deleter = uitest::shown(std::make_unique<ui::FrmContAbrir>(s, false, Mode::Delete));
    QCOMPARE(child<QPushButton>(deleter.get(), "CmdAccion")->text(), QString("&Eliminar"));
    auto* listed = child<QTableWidget>(deleter.get(), "grdContrib");
    for (int r = 0; r < listed->rowCount(); ++r)
      if (listed->item(r, 2)->text() == "072012") listed->selectRow(r);
    t_->messenger().queueAnswer(Answer::Yes);
    QTest::mouseClick(child<QPushButton>(deleter.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().entries().back().text),
             QString("¿Confirma que va a eliminar la declaración seleccionada?"));
    QCOMPARE(db.integer("SELECT count(*) FROM CAB WHERE periodo = '201207'"), 0LL);
    QCOMPARE(db.integer("SELECT count(*) FROM F601_TRAB WHERE periodo = '201207'"), 0LL);
    QCOMPARE(db.integer("SELECT count(*) FROM F601_TRAB WHERE periodo = '201206'"), juneRows);
    QCOMPARE(listed->rowCount(), 1);
    deleter->close();

    // The launcher sends June (its send dialog lists what can be sent: June, not the copy that
    // waits for its refresh); the order number is registered through FrmContAbrirE.
    ui::FrmEnviar sender(s.database(), s.msg());
    auto* toSend = child<QTableWidget>(&sender, "grdDeclaraciones");
    QCOMPARE(toSend->rowCount(), 1);
    QCOMPARE(toSend->item(0, 2)->text(), QString("06/2012"));
    QVERIFY(sender.sendSelected());
    QVERIFY(qstr(t_->messenger().last()).startsWith("Declaración 20503987610 06/2012 enviada."));
    QCOMPARE(toSend->rowCount(), 0);
    auto receipt = sender.lastReceipt();
    auto sent = uitest::shown(std::make_unique<ui::FrmContAbrir>(s, true, Mode::Modify, true));
    QCOMPARE(sent->windowTitle(), QString("Registrar número de orden"));
    onNextModal([&](QWidget* m) {
      auto* orden = child<QLineEdit>(m, "TxtNumOrdenE");
      QVERIFY(orden->isVisible());
      QTest::keyClicks(orden, qstr(receipt.numeroOrden));
      QTest::mouseClick(child<QPushButton>(m, "CmdGrabar"), Qt::LeftButton);
      QTest::mouseClick(child<QPushButton>(m, "CmdCancelar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(sent.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(qstr(db.text("SELECT norden FROM HCAB")), qstr(receipt.numeroOrden));
    sent->close();

    // Recover it (after deleting June in preparation) through FrmRecuperar.
    QVERIFY(db.run("DELETE FROM CAB WHERE periodo = '201206'") == 1);
    auto rec = uitest::shown(std::make_unique<ui::FrmContAbrir>(s, true, Mode::Recover, true));
    onNextModal([&](QWidget* m) {
      QCOMPARE(m->objectName(), QString("FrmRecuperar"));
      QCOMPARE(child<QLineEdit>(m, "TxtNOrden")->text(), qstr(receipt.numeroOrden));
      QCOMPARE(child<QLineEdit>(m, "MkePeriodoAl")->text(), QString("06/2012"));
      QTest::mouseClick(child<QPushButton>(m, "CmdRecuperar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(rec.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("Se termino de recuperar la información satisfactoriamente."));
    QCOMPARE(db.integer("SELECT count(*) FROM CAB WHERE periodo = '201206' AND estado = 9"), 1LL);
  }

  // The declaration form hands its detail form the chosen person and rereads its grid when it
  // closes, and tells its determination page of every change.
  void detailFormsAndDeterminationPageAreTold() {
    auto& s = t_->session();
    auto form = openNewDeclaration(s);
    auto* page = child<ui::DeterminacionTab>(form.get(), "Determinacion");
    QVERIFY(page->model());  // told of the loaded declaration

    auto* grid = child<QTableView>(form.get(), "GrdDatos");
    auto* detail = child<QPushButton>(form.get(), "CmdDetalle");
    grid->selectRow(1);
    QString doc = grid->model()->data(grid->model()->index(1, 1)).toString();
    QVERIFY(grid->model()->data(grid->model()->index(1, 6)).toString() != QString("2500.00"));
    // The page shows the payment of the declaration each time it is told of a change.
    auto* cheque = child<QRadioButton>(page, "OptCheque");
    QVERIFY(!cheque->isChecked());
    static_cast<ui::Frm402*>(form.get())->controller().declaration().payment.type = "C";
    PersonKey seen;
    std::string seenRuc;
    onNextModal([&](QWidget* m) {
      auto* concepts = qobject_cast<ui::FrmDetConcep*>(m);
      QVERIFY(concepts && concepts->controller());
      seen = concepts->controller()->person().key;
      seenRuc = static_cast<ui::Frm402*>(form.get())->controller().declaration().ruc;
      // The form records an income and, as every detail form's accept, computes the person.
      const auto& p = seen;
      s.database().run(
          "INSERT OR REPLACE INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, "
          "monto, monto_pag) VALUES (?, ?, ?, '0121', ?, '2500.00', '2500.00')",
          {p.tip_doc_a, p.doc_id_a, p.correl_a, p.cod_cat_tra});
      determination::recomputePerson(s, static_cast<ui::Frm402*>(form.get())->controller().declaration(), p);
      concepts->done(QDialog::Accepted);
    });
    QTest::mouseClick(detail, Qt::LeftButton);
    QCOMPARE(qstr(seen.doc_id_a), doc);
    QCOMPARE(seen.cod_cat_tra, 1);
    QCOMPARE(seenRuc, std::string(kDemoRuc));
    QCOMPARE(grid->model()->data(grid->model()->index(1, 6)).toString(), QString("2500.00"));
    QVERIFY(static_cast<ui::Frm402*>(form.get())->controller().modified());
    QVERIFY(cheque->isChecked());

    // Told of the rectification, the page shows its boxes again (box 503 follows the option).
    auto* box503 = page->txtvalor("503");
    const QString shown503 = box503->text();
    {
      QSignalBlocker quiet(box503);
      box503->setText("stale");
    }
    QTest::mouseClick(child<QRadioButton>(form.get(), "OptRectifica1"), Qt::LeftButton);
    QCOMPARE(box503->text(), shown503);
    QVERIFY(static_cast<ui::Frm402*>(form.get())->controller().declaration().rectifica);
    form.reset();
  }

  // "La declaración ya ha sido registrada." for one declarant; the other declarant chosen, the
  // unchanged period is read again when the field is left by Enter, without retyping it. Leaving
  // it unchanged with nothing else changed does not repeat the message.
  void periodReadAgainAfterTheDeclarantChanged() {
    auto& s = t_->session();
    {
      auto first = openNewDeclaration(s);
      QTest::mouseClick(child<QPushButton>(first.get(), "CmdGrabar"), Qt::LeftButton);
      QTest::mouseClick(child<QPushButton>(first.get(), "CmdCancelar"), Qt::LeftButton);
    }
    QCOMPARE(t_->db().integer("SELECT count(*) FROM CAB WHERE doc_id_d = ? AND periodo = '201206'", {kDemoRuc}), 1LL);
    auto form = uitest::shown(std::make_unique<ui::Frm402>(s, Mode::New));
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    auto* ruc = child<QComboBox>(form.get(), "CmbRuc");
    auto* period = child<QLineEdit>(form.get(), "MkePeriodo");
    auto& ctl = static_cast<ui::Frm402*>(form.get())->controller();
    uitest::choose(ruc, QString(kDemoRuc));
    QCOMPARE(QApplication::focusWidget(), period);
    QTest::keyClicks(period, "062012");
    QTest::keyClick(period, Qt::Key_Tab);
    QCOMPARE(qstr(t_->messenger().last()), QString("La declaración ya ha sido registrada."));
    QVERIFY(!ctl.loaded());
    QCOMPARE(QApplication::focusWidget(), period);
    const std::size_t shown = t_->messenger().entries().size();
    QTest::keyClick(period, Qt::Key_Tab);  // nothing changed: no second message
    QCOMPARE(t_->messenger().entries().size(), shown);
    QVERIFY(!ctl.loaded());

    int other = -1;
    for (int i = 0; i < ruc->count() && other < 0; ++i)
      if (ruc->itemData(i).toString() != QString(kDemoRuc)) other = i;
    QVERIFY(other >= 0);
    uitest::choose(ruc, ruc->itemData(other));
    QCOMPARE(QApplication::focusWidget(), period);
    QCOMPARE(period->text(), QString("06/2012"));
    QTest::keyClick(period, Qt::Key_Return);
    QVERIFY(ctl.loaded());
    QCOMPARE(qstr(ctl.declaration().ruc), ruc->itemData(other).toString());
    QCOMPARE(qstr(ctl.declaration().periodo), QString("201206"));
    QVERIFY(!period->isEnabled());
  }

  // The form fits a 1366×768 screen with a title bar and a taskbar: it opens within the room
  // the screen leaves, never needs more than 1366×700, and scrolls inside when the room is
  // smaller than what it needs.
  void fitsTheScreenAndScrolls() {
    auto form = openNewDeclaration(t_->session());
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QSize room = ui::usableScreenSize(form.get());
    QVERIFY2(
        form->width() <= room.width() && form->height() <= room.height(),
        qPrintable(
            QString("%1x%2 in %3x%4").arg(form->width()).arg(form->height()).arg(room.width()).arg(room.height())));
    QSize needs = child<QScrollArea>(form.get(), "scrFrm402")->widget()->minimumSizeHint();
    QVERIFY2(needs.width() <= 1366 && needs.height() <= 700,
             qPrintable(QString("%1x%2").arg(needs.width()).arg(needs.height())));
    auto* tabs = child<QTabWidget>(form.get(), "SSTab1");
    const char* names[] = {"Frm402-Trabajadores", "Frm402-Pensionistas", "Frm402-PersonalTerceros",
                           "Frm402-OtrosPrestadores", "Frm402-Determinacion"};
    for (int i = 0; i < tabs->count() && i < 5; ++i) {
      tabs->setCurrentIndex(i);
      QVERIFY(uitest::screenshot(form.get(), names[i]));
    }
    // A form made smaller than it needs scrolls instead of cutting its buttons off.
    form->resize(needs.width() / 2, needs.height() / 2);
    QCoreApplication::processEvents();
    auto* scroll = child<QScrollArea>(form.get(), "scrFrm402");
    QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
    QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
  }

  // The fourth-category tab shows boxes 320, 321, 322 and 547 summed from the receipts, and
  // shows them again when a provider form closed.
  void fourthCategoryBoxesShownOnTheProvidersTab() {
    auto& s = t_->session();
    // The provider form as the user leaves it: two receipts written, the form closed.
    auto enterTwoReceipts = [&] {
      onNextModal([&](QWidget* m) {
        QCOMPARE(m->objectName(), QString("Frm61501"));
        for (const char* amount : {"1500.00", "-1000.00"})
          s.database().run(
              "INSERT INTO TMPF601RDDET (correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, "
              "num_ser, num_rec, mto_rec, ind_rta, por_rta, mto_rta, mto_ies) VALUES (0, 3, 'R', 6, "
              "'10411223341', '0001', ?, ?, '1', '10.00', '100.00', '1234.00')",
              {std::string(amount), std::string(amount)});
        static_cast<QDialog*>(m)->done(QDialog::Accepted);
      });
    };
    auto form = openNewDeclaration(s);
    t_->db().run("DELETE FROM TMPF601RDDET");
    auto* nuevo = child<QPushButton>(form.get(), "CmdNuevoPS");  // on a tab not shown: clicked directly
    enterTwoReceipts();
    nuevo->click();
    const std::pair<const char*, const char*> expected[] = {
        {"txtvalor_320", "500"}, {"txtvalor_321", "200"}, {"txtvalor_322", "2,468"}, {"txtvalor_547", "2"}};
    for (auto [name, shown] : expected) QCOMPARE(child<QLineEdit>(form.get(), name)->text(), QString(shown));
    t_->db().run("UPDATE TMPF601RDDET SET mto_rec = '-3000.00'");
    enterTwoReceipts();
    nuevo->click();  // adds two more
    QCOMPARE(child<QLineEdit>(form.get(), "txtvalor_320")->text(), QString("(5,500)"));
    QCOMPARE(child<QLineEdit>(form.get(), "txtvalor_547")->text(), QString("4"));
  }

 private:
  std::unique_ptr<uitest::DemoDb> t_;
};

KORVENTA_UI_TEST(DeclarationFormsTest)
#include "declaration_forms_test.moc"
