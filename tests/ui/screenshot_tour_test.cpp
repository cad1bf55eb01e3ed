// The main road of a day's work, from the main window: "&Modificar" → the chooser → the
// declaration form → the import of the demo files → every page of the form → the concept detail
// → the determination of the debt → "&Validar" → the inconsistencies → their preview. In the
// suite it checks that each window of the road comes up, that the chooser steps aside while the
// declaration is open and comes back when it closes, and that the import opens from the
// declaration form; with KORVENTA_TOUR=<folder> on an X display (scripts/screenshots) it also
// leaves a picture of the whole screen at each stop.
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>

#include "app/ui/mdi_frm.h"
#include "declaration/declaration_form.h"
#include "import/ui/frm_import.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

using uitest::child;

// The screen as the person sees it, title bars included, as <folder>/<name>.png.
bool shot(const QString& name) {
  QString dir = qEnvironmentVariable("KORVENTA_TOUR");
  if (dir.isEmpty() || QGuiApplication::platformName() != "xcb") return true;
  QTest::qWait(400);  // the window manager maps and decorates the window
  return QProcess::execute("import", {"-window", "root", QDir(dir).filePath(name + ".png")}) == 0;
}

QWidget* topModal() {
  QApplication::processEvents();
  return QApplication::activeModalWidget();
}

// Runs `body` on the modal window that `click` opens; false when none came up.
bool onModal(QAbstractButton* click, const QString& name, const std::function<void(QDialog*)>& body) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(topModal());
    if (!d || d->objectName() != name) return;
    seen = true;
    body(d);
    if (d->isVisible()) d->reject();
  });
  click->click();
  return seen;
}

class ScreenshotTour : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    t_ = std::make_unique<uitest::DemoDb>();
    auto& s = t_->session();
    s.paths.tmpDir = (t_->dir() / "TMP").string() + "/";
    s.paths.rptDir = (t_->dir() / "RPT").string();
    std::filesystem::create_directories(t_->dir() / "RPT");
    QVERIFY(uitest::saveDemoDeclaration(s));
  }
  void cleanup() { t_.reset(); }

  void mainRoad() {
    ui::MDIFrm frame(t_->session());
    frame.show();
    QStringList seen;
    QTimer::singleShot(0, [&] {
      chooser_ = topModal();
      QVERIFY(chooser_ && chooser_->objectName() == "FrmContAbrir");
      QCOMPARE(child<QTableWidget>(chooser_, "grdContrib")->rowCount(), 1);
      seen << "chooser";
      QVERIFY(shot("03-modificar-declaraciones"));
      QTimer::singleShot(0, [&] { declarationForm(seen); });
      QTest::mouseClick(child<QPushButton>(chooser_, "CmdAccion"), Qt::LeftButton);
      // The form is closed: the chooser is back on top, still the open command's.
      QTimer::singleShot(0, [&] {
        if (topModal() == chooser_ && chooser_->isVisible()) seen << "chooser back";
        if (chooser_) qobject_cast<QDialog*>(chooser_.data())->reject();
      });
    });
    frame.command("mnuModificar")->trigger();  // returns when the chooser closes
    QCOMPARE(seen, (QStringList{"chooser", "form", "import", "pages", "detail", "inconsistencies", "preview",
                                "chooser back"}));
  }

 private:
  void declarationForm(QStringList& seen) {
    auto* form = qobject_cast<QDialog*>(topModal());
    QVERIFY(form && form->objectName() == "Frm402");
    QVERIFY2(chooser_ && !chooser_->isVisible(), "the chooser stays visible behind the declaration");
    seen << "form";
    auto& m = t_->messenger();
    // Import the demo files of the workers; the rejected lines are not listed.
    for (int i = 0; i < 5; ++i) m.queueAnswer(Answer::No);
    // The files are copied into the tour's temporary folder, where the folder tree is shown:
    // the picture shows nothing of the machine the tour runs on.
    const auto files = t_->dir() / "importar";
    std::filesystem::copy(std::filesystem::path(KORVENTA_SOURCE_DIR) / "data/demo/import", files);
    bool imported = onModal(child<QPushButton>(form, "CmdImportar"), "frmTranPer", [&](QDialog* d) {
      QCOMPARE(d->parentWidget(), form);
      static_cast<import::ui::FrmImport*>(d)->setDirectory(qstr(files.string()));
      auto* tree = child<QTreeView>(d, "DirDirectorio");
      auto* folders = qobject_cast<QFileSystemModel*>(tree->model());
      QVERIFY(folders);
      QCOMPARE(folders->filePath(tree->currentIndex()), qstr(files.string()));
      // The tree starts at the tour's folder, not at the machine's root with its other folders.
      tree->setRootIndex(folders->index(qstr(t_->dir().path().string())));
      QVERIFY(tree->rootIndex().isValid());
      QTest::qWait(200);  // the folder tree reads the chosen folder
      QTest::mouseClick(child<QPushButton>(d, "cmdTransferir"), Qt::LeftButton);
      QVERIFY(child<QListWidget>(d, "lstResultados")->count() > 0);
      QVERIFY(shot("08-importacion-resultado"));
    });
    QVERIFY(imported);
    seen << "import";
    pages(form);
    seen << "pages";
    detail(form, seen);
    validation(form, seen);
    m.queueAnswer(Answer::No);  // leave without saving
    QTest::mouseClick(child<QPushButton>(form, "CmdCancelar"), Qt::LeftButton);
    if (form->isVisible()) form->reject();
  }

  // Every page of the form, the determination of the debt last.
  void pages(QDialog* form) {
    auto* tab1 = child<QTabWidget>(form, "SSTab1");
    auto* tab2 = child<QTabWidget>(form, "SSTab2");
    const char* names[] = {"04-declaracion-trabajadores", "04-declaracion-pensionistas", "04-declaracion-terceros",
                           nullptr, "06-determinacion-deuda"};
    QCOMPARE(tab1->count(), 5);
    for (int i = 0; i < tab1->count(); ++i) {
      tab1->setCurrentIndex(i);
      if (names[i]) {
        QVERIFY(shot(names[i]));
        continue;
      }
      const char* inner[] = {"04-declaracion-cuarta-categoria", "04-declaracion-modalidad-formativa"};
      QCOMPARE(tab2->count(), 2);
      for (int j = 0; j < tab2->count(); ++j) {
        tab2->setCurrentIndex(j);
        QVERIFY(shot(inner[j]));
      }
    }
    tab1->setCurrentIndex(0);
  }

  // "Detalle" on a worker with imported pay: the income group.
  void detail(QDialog* form, QStringList& seen) {
    auto* grid = child<QTableView>(form, "GrdDatos");
    int paid = -1;
    for (int r = 0; r < grid->model()->rowCount() && paid < 0; ++r)
      if (grid->model()->index(r, 1).data().toString() == "44876543") paid = r;  // 4200.00 of income
    QVERIFY(paid >= 0);
    grid->setFocus();
    grid->selectRow(paid);
    bool opened = onModal(child<QPushButton>(form, "CmdDetalle"), "FrmDetConcep", [&](QDialog* d) {
      auto* cmb = child<QComboBox>(d, "CmbConceptosRem");
      int i = cmb->findText("0100", Qt::MatchStartsWith);
      QVERIFY(i >= 0);
      cmb->setCurrentIndex(i);
      emit cmb->activated(i);
      QVERIFY(shot("05-detalle-conceptos"));
    });
    QVERIFY(opened);
    seen << "detail";
  }

  // "&Validar": the inconsistencies found, and their report in the preview.
  void validation(QDialog* form, QStringList& seen) {
    bool found = onModal(child<QPushButton>(form, "CmdValidar"), "FrmConsist", [&](QDialog* d) {
      QVERIFY(shot("07-inconsistencias"));
      seen << "inconsistencies";
      bool previewed = onModal(child<QPushButton>(d, "cmdImprimir"), "frmPreview",
                               [&](QDialog*) { QVERIFY(shot("09-vista-previa")); });
      if (previewed) seen << "preview";
    });
    QVERIFY(found);
  }

  std::unique_ptr<uitest::DemoDb> t_;
  QPointer<QWidget> chooser_;
};

}  // namespace

KORVENTA_UI_TEST(ScreenshotTour)
#include "screenshot_tour_test.moc"
