// The road from the main window: "&Modificar" → the chooser → the declaration form →
// "Importar". The chooser steps aside while the declaration is open and comes back when it
// closes; the import form opens from the declaration form the chooser opened.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "app/ui/mdi_frm.h"
#include "declaration/declaration_form.h"
#include "declaration/ui/catalogue_dialogs.h"
#include "ui/form_test_kit.h"

using namespace korventa;

namespace {

using uitest::child;

// The modal window on top, once the event loop has shown it.
QWidget* topModal() {
  QApplication::processEvents();
  return QApplication::activeModalWidget();
}

class ChooserRoadTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    t_ = std::make_unique<uitest::DemoDb>();
    QVERIFY(uitest::saveDemoDeclaration(t_->session()));
  }
  void cleanup() { t_.reset(); }

  void chooserStepsAsideAndImportOpensFromTheForm() {
    ui::MDIFrm frame(t_->session());
    frame.show();
    QPointer<QWidget> chooser;
    bool formSeen = false, chooserHidden = false, importSeen = false, chooserBack = false;
    QString importTitle;
    // Each step runs inside the modal loop the one before it opened.
    std::function<void()> onChooser, onForm, onImport, onChooserBack;
    onChooser = [&] {
      chooser = topModal();
      QVERIFY(chooser && chooser->objectName() == "FrmContAbrir");
      QCOMPARE(child<QTableWidget>(chooser, "grdContrib")->rowCount(), 1);
      QTimer::singleShot(0, onForm);
      QTest::mouseClick(child<QPushButton>(chooser, "CmdAccion"), Qt::LeftButton);
      // The form is closed: the chooser is back on top, still the open command's.
      QTimer::singleShot(0, onChooserBack);
    };
    onForm = [&] {
      QWidget* form = topModal();
      QVERIFY(form && form->objectName() == "Frm402");
      formSeen = true;
      chooserHidden = chooser && !chooser->isVisible();
      QTimer::singleShot(0, onImport);
      QTest::mouseClick(child<QPushButton>(form, "CmdImportar"), Qt::LeftButton);
      QTest::mouseClick(child<QPushButton>(form, "CmdCancelar"), Qt::LeftButton);
    };
    onImport = [&] {
      QWidget* import = topModal();
      QVERIFY(import);
      importSeen = import->objectName() == "frmTranPer";
      importTitle = import->windowTitle();
      QVERIFY(import->parentWidget() && import->parentWidget()->objectName() == "Frm402");
      qobject_cast<QDialog*>(import)->reject();
    };
    onChooserBack = [&] {
      QWidget* top = topModal();
      chooserBack = top && top == chooser && chooser->isVisible();
      if (chooser) qobject_cast<QDialog*>(chooser.data())->reject();
    };
    QTimer::singleShot(0, onChooser);
    frame.command("mnuModificar")->trigger();  // returns when the chooser closes

    QVERIFY(formSeen);
    QVERIFY2(chooserHidden, "the chooser stays visible behind the declaration");
    QVERIFY(importSeen);
    QCOMPARE(importTitle, QString("Detalle de remuneración"));
    QVERIFY2(chooserBack, "the chooser did not come back when the declaration closed");
  }

 private:
  std::unique_ptr<uitest::DemoDb> t_;
};

}  // namespace

KORVENTA_UI_TEST(ChooserRoadTest)
#include "chooser_road_test.moc"
