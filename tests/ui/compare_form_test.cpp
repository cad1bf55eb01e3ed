// The comparison form reached from the declaration form: "Comparar" on the declaration of 07/2012
// opens it with the period before proposed; "&Comparar" fills the lists, wrong fields are
// refused, both exports write their files.
#include <filesystem>
#include <memory>

#include <QTabWidget>

#include "analysis/ui/frm_comparar.h"
#include "data/servicios_comunes.h"
#include "support/cli_runner.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {
namespace {

const std::string kRuc = "20503987610";

class CompareFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    runner_ = std::make_unique<test::CliRunner>();
    if (!runner_->available()) QSKIP("korventa-cli no está construido");
    std::string rem =
        (std::filesystem::path(KORVENTA_SOURCE_DIR) / "data/demo/import" / ("0601" + kRuc + "201206.")).string();
    // 07/2012 is 06/2012 copied, with one worker's pay raised; 06/2012 then gets the providers' receipts.
    for (const std::string& args :
         {std::string("init --demo"), "new " + kRuc + " 201206", "import " + kRuc + " 201206 '" + rem + "rem'",
          "copy " + kRuc + " 201206 201207", "concept " + kRuc + " 201207 1 41235678 0121 3600.00 3600.00",
          "import " + kRuc + " 201206 '" + rem + "4ta'"}) {
      auto r = runner_->run(args);
      QVERIFY2(r.rc == 0, (args + "\n" + r.err).c_str());
    }
    session_ = std::make_unique<Session>();
    session_->db = data::Database::open(runner_->db());
    session_->messenger = &messenger_;
    session_->servicios->setMessenger(&messenger_);
    session_->user = "CONTADOR";
    std::string dir = runner_->dir().path().string();
    session_->paths.sysPath = dir + "/";
    session_->paths.rptDir = dir + "/RPT";
    session_->paths.tmpPath = dir + "/TMP";
    session_->paths.tmpDir = dir + "/TMP/";
    std::filesystem::create_directories(session_->paths.rptDir);
    std::filesystem::create_directories(session_->paths.tmpPath);
  }

  void cleanupTestCase() { session_.reset(); }

  void comparesFromTheDeclarationForm() {
    auto form = std::make_unique<ui::Frm402>(*session_, Mode::Modify);
    analysis::ui::connectCompare(*session_, *form);
    QVERIFY(form->openDeclaration(kRuc, "201207"));
    form->show();
    auto* cmd = child<QPushButton>(form.get(), "CmdComparar");
    QVERIFY(cmd->isEnabled());
    bool seen = false;
    onNextModal([&](QWidget* m) {
      auto* f = qobject_cast<analysis::ui::FrmComparar*>(m);
      QVERIFY(f);
      QCOMPARE(child<QLineEdit>(f, "MkePeriodo")->text(), QString("06/2012"));
      QTest::mouseClick(child<QPushButton>(f, "CmdComparar"), Qt::LeftButton);
      QString summary = child<QLabel>(f, "lblResumen")->text();
      QVERIFY2(summary.startsWith("Comparación de 07/2012 con 06/2012 (umbral 1.00): Ingresaron 0, salieron 3, "
                                  "cambiaron 1;"),
               qPrintable(summary));
      QCOMPARE(child<QTableWidget>(f, "lstIngresaron")->rowCount(), 0);
      QCOMPARE(child<QTableWidget>(f, "lstCambiaron")->rowCount(), 4);  // four amounts of one worker
      auto* boxes = child<QTableWidget>(f, "lstCasillas");
      QVERIFY(boxes->rowCount() > 0);
      QCOMPARE(child<QTabWidget>(f, "tabResultado")->tabText(1), QString("Salieron (3)"));
      QVERIFY(child<QPushButton>(f, "CmdPdf")->isEnabled());
      child<QTabWidget>(f, "tabResultado")->setCurrentIndex(2);
      QVERIFY(screenshot(f, "frmComparar"));
      child<QTabWidget>(f, "tabResultado")->setCurrentIndex(3);
      QVERIFY(screenshot(f, "frmComparar-casillas"));
      seen = true;
      f->accept();
    });
    QTest::mouseClick(cmd, Qt::LeftButton);
    QVERIFY(seen);
    form->descartar();
  }

  void refusesWrongFieldsInOrder() {
    analysis::ui::FrmComparar f(*session_, {kRuc, "201207", ""}, false);
    struct Case {
      const char* period;
      const char* correl;
      const char* threshold;
      const char* message;
      const char* focus;
    };
    const Case cases[] = {
        {"13/2012", "", "1.00", "El período no es válido.", "MkePeriodo"},
        {"06/2012", "x", "", "El correlativo de la declaración enviada no es válido.", "TxtCorrel"},
        {"06/2012", "", "", "El umbral debe ser un importe no negativo.", "TxtUmbral"},
        {"05/2012", "", "1.00", "No existe la declaración 20503987610 05/2012.", "MkePeriodo"},
    };
    for (const auto& k : cases) {
      child<QLineEdit>(&f, "MkePeriodo")->setText(k.period);
      child<QLineEdit>(&f, "TxtCorrel")->setText(k.correl);
      child<QLineEdit>(&f, "TxtUmbral")->setText(k.threshold);
      f.cmdComparar_Click();
      QCOMPARE(qstr(messenger_.last()), QString(k.message));
      QCOMPARE(qstr(f.controller().focus), QString(k.focus));
      QVERIFY(!child<QPushButton>(&f, "CmdLibro")->isEnabled());
    }
  }

  void exportsWorkbookAndPdf() {
    analysis::ui::FrmComparar f(*session_, {kRuc, "201207", ""}, false);
    f.cmdComparar_Click();
    auto dir = runner_->dir().path();
    QVERIFY(f.exportPdf(qstr((dir / "c.pdf").string())));
    QVERIFY(std::filesystem::file_size(dir / "c.pdf") > 1000);
    QCOMPARE(qstr(messenger_.last()), qstr("Reporte guardado en " + (dir / "c.pdf").string()));
#ifdef KORVENTA_HAVE_XLSXWRITER
    QVERIFY(f.exportWorkbook(qstr((dir / "c.xlsx").string())));
    QVERIFY(std::filesystem::file_size(dir / "c.xlsx") > 1000);
#endif
  }

 private:
  std::unique_ptr<test::CliRunner> runner_;
  RecordingMessenger messenger_;
  std::unique_ptr<Session> session_;
};

}  // namespace

KORVENTA_UI_TEST(CompareFormTest)

}  // namespace korventa::uitest

#include "compare_form_test.moc"
