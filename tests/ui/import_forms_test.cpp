// The import forms opened from the declaration form's import buttons on the demo declaration,
// with the demo files: counts, the question and the error listing in the preview.

#include "import/ui/frm_import.h"
#include "reports/ui/frm_preview.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

using uitest::child;
using uitest::screenshot;

QString demoFiles() {
  return QString(KORVENTA_SOURCE_DIR) + "/data/demo/import";
}

}  // namespace

class ImportFormsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    t_ = std::make_unique<uitest::DemoDb>();
    t_->session().paths.tmpDir = (t_->dir() / "TMP").string() + "/";
    t_->session().paths.rptDir = (t_->dir() / "RPT").string();
    std::filesystem::create_directories(t_->dir() / "RPT");
  }
  void cleanup() { t_.reset(); }

  void workersFilesFromTheDeclarationForm() {
    auto form = uitest::openNewDeclaration(t_->session());
    auto& db = t_->db();
    auto& m = t_->messenger();
    // ".jor", ".tes", ".sub", ".not", ".rem" all have rejections: the listing of the first is shown.
    m.queueAnswer(Answer::Yes);
    for (int i = 0; i < 4; ++i) m.queueAnswer(Answer::No);
    int previewPages = -1;
    QString transferidos, rechazados, duringFirst;
    QStringList results;
    runImport(form.get(), "CmdImportar", "frmTranPer", [&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("Detalle de remuneración"));
      QCOMPARE(child<QListWidget>(d, "File1")->count(), 5);
      QTimer::singleShot(0, [&, d] {
        duringFirst = child<QLabel>(d, "lblTransferidos")->text() + " / " + child<QLabel>(d, "lblRechazados")->text();
        auto* preview = qobject_cast<reports::ui::frmPreview*>(QApplication::activeModalWidget());
        QVERIFY(preview);
        previewPages = preview->pageCount();
        screenshot(preview, "import-error-listing");
        preview->reject();
      });
      QTest::mouseClick(child<QPushButton>(d, "cmdTransferir"), Qt::LeftButton);
      transferidos = child<QLabel>(d, "lblTransferidos")->text();
      rechazados = child<QLabel>(d, "lblRechazados")->text();
      auto* list = child<QListWidget>(d, "lstResultados");
      for (int i = 0; i < list->count(); ++i) results << list->item(i)->text();
      screenshot(d, "import-workers");
    });
    QCOMPARE(previewPages, 1);
    // While the first file's listing is shown the counters hold that file; at the end, all files.
    QCOMPARE(duringFirst, QString("2 Transferidos / 3 Rechazados"));
    QCOMPARE(transferidos, QString("13 Transferidos"));  // 2 + 2 + 2 + 1 + 6, as listed per file
    QCOMPARE(rechazados, QString("18 Rechazados"));      // 3 + 2 + 3 + 1 + 9
    QCOMPARE(results.size(), 5);
    QCOMPARE(results[0], QString("060120503987610201206.jor: 2 transferidos, 3 rechazados, 1 omitidos"));
    QCOMPARE(db.integer("SELECT count(*) FROM SPOOL WHERE CodRep = 'PR0046'"), 1LL);
    // The declaration form computed the imported amounts (the amounts themselves are the import tests').
    QVERIFY(!db.text("SELECT Tot_Ingresos FROM TEMP1_F601 WHERE doc_id_a = '42987651'").empty());
  }

  // Closing the import form computes again only what its runs imported: nothing after a form
  // closed without importing, only the touched workers after the workers' files. The workers'
  // totals are first set to a mark that a new computation replaces.
  void closingComputesOnlyWhatWasImported_data() {
    QTest::addColumn<bool>("transfer");
    QTest::newRow("closed without importing") << false;
    QTest::newRow("workers' files imported") << true;
  }
  void closingComputesOnlyWhatWasImported() {
    QFETCH(bool, transfer);
    auto form = uitest::openNewDeclaration(t_->session());
    auto& db = t_->db();
    const char* marked = "SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2) AND Tot_Ingresos = '-7'";
    db.run("UPDATE TEMP1_F601 SET Tot_Ingresos = '-7' WHERE cod_cat_tra IN (1, 2)");
    const long long persons = db.integer(marked);
    QVERIFY(persons > 1);
    for (int i = 0; i < 5; ++i) t_->messenger().queueAnswer(Answer::No);
    long long touched = 0;
    runImport(form.get(), "CmdImportar", "frmTranPer", [&](QDialog* d) {
      if (transfer) QTest::mouseClick(child<QPushButton>(d, "cmdTransferir"), Qt::LeftButton);
      touched = static_cast<long long>(static_cast<import::ui::FrmImport*>(d)->touched().size());
    });
    QCOMPARE(touched > 0, transfer);
    QCOMPARE(db.integer(marked), persons - touched);
  }

  // The other import buttons open the same import form on their category (the providers' and
  // trainees' files are checked by the import form tests); the third parties' grid is reread.
  void thirdPartiesFileRefreshesTheirGrid() {
    auto form = uitest::openNewDeclaration(t_->session());
    auto& db = t_->db();
    t_->messenger().queueAnswer(Answer::No);
    runImport(form.get(), "CmdImportarPT", "frmTransPT", [&](QDialog* d) {
      QTest::mouseClick(child<QPushButton>(d, "cmdTransferir"), Qt::LeftButton);
      screenshot(d, "import-third-parties");
    });
    QCOMPARE(qstr(db.text("SELECT sctrs FROM TEMP2_F601 WHERE DOC_ID_A = '45678123'")), QString("38.25"));
    auto* grid = child<QTableView>(form.get(), "GrdDatosPT");
    bool shown = false;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
      for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (grid->model()->data(grid->model()->index(r, c)).toString() == "38.25") shown = true;
    QVERIFY(shown);
  }

 private:
  // Clicks the import button of the declaration form and runs `body` on the import form.
  void runImport(QDialog* form, const char* button, const char* name, std::function<void(QDialog*)> body) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->objectName(), QString(name));
      static_cast<import::ui::FrmImport*>(d)->setDirectory(demoFiles());
      body(d);
      ran = true;
      d->reject();
    });
    auto* b = child<QPushButton>(form, button);
    QVERIFY(b->isEnabled());
    b->click();  // the page of the button may be behind another tab
    QVERIFY(ran);
  }

  std::unique_ptr<uitest::DemoDb> t_;
};

KORVENTA_UI_TEST(ImportFormsTest)
#include "import_forms_test.moc"
