// The printout forms driven through their widgets: FrmTipPrn, frmReportes and
// frmConsultaBasesTrib on the fixed declaration.

#include "printouts/ui/printout_forms.h"
#include "printouts/ui/frm_reportes.h"
#include "printouts/ui/frm_consulta_bases_trib.h"
#include "support/printouts_fixture.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {

class PrintoutFormsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TestDb> t_;
  std::unique_ptr<QDialog> form_;

  // A printouts form on the declarations in preparation.
  template <class Form>
  void open() {
    form_ = shown(std::make_unique<Form>(t_->session(), false));
  }
  template <class W>
  W* child(const char* name) {
    return uitest::child<W>(form_.get(), name);
  }

 private slots:
  void init() {
    t_ = std::make_unique<test::TestDb>();
    test::buildFixedDeclaration(t_->db());
  }
  void cleanup() {
    form_.reset();
    t_.reset();
  }

  void declarationOptionTextVariantAndPreview() {
    open<printouts::ui::FrmTipPrn>();
    QCOMPARE(child<QTableWidget>("grdContrib")->rowCount(), 1);
    auto* annex = child<QCheckBox>("ChkAnexo_0");
    QVERIFY(!annex->isEnabled());
    child<QRadioButton>("optImp_2")->click();
    QVERIFY(annex->isEnabled());
    annex->click();
    QVERIFY(annex->isChecked());
    child<QRadioButton>("optImp_0")->click();
    QVERIFY(!annex->isEnabled());
    QVERIFY(!annex->isChecked());
    QTest::mouseClick(child<QPushButton>("CmdImprimir_3"), Qt::LeftButton);
    auto file = std::filesystem::path(t_->session().paths.rptDir) / "ZEL0600_20100000001_201203.txt";
    QVERIFY(std::filesystem::exists(file));
    QVERIFY(t_->messenger().entries().back().text.find("con el nombre: ZEL0600_20100000001_201203.txt") !=
            std::string::npos);

    // The preview proposes all its pages.
    QString total, last;
    QTimer::singleShot(0, [&] {
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        if (d->objectName() == "frmImpxPag") {
          total = d->findChild<QLineEdit*>("txtTotPaginas")->text();
          last = d->findChild<QLineEdit*>("txtPagHasta")->text();
        }
        d->reject();
      }
    });
    QTest::mouseClick(child<QPushButton>("CmdImprimir_0"), Qt::LeftButton);
    QCOMPARE(total, QString("2"));
    QCOMPARE(last, QString("2"));
    QCOMPARE(qstr(t_->db().text("SELECT CodRep FROM SPOOL")), QString("PR0040"));
  }

  void reportsAreGeneratedIntoTheChosenFolder() {
    open<printouts::ui::frmReportes>();
    QTest::mouseClick(child<QPushButton>("cmdAccion_0"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().entries().back().text),
             QString("Debe seleccionar por lo menos uno de los reportes que generar."));
    child<QCheckBox>("chkReportes_20")->setChecked(true);
    child<QCheckBox>("chkReportes_32")->setChecked(true);
    child<QCheckBox>("chkSalida_0")->setChecked(true);
    auto dir = t_->dir() / "salida";
    child<QLineEdit>("txtDirectorio")->setText(qstr(dir.string()));
    QTest::mouseClick(child<QPushButton>("cmdAccion_0"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().entries().back().text),
             QString("Se terminaron de generar los reportes solicitados."));
    QVERIFY(std::filesystem::exists(dir / "PE_601_20100000001_20_DAT.TXT"));
    QVERIFY(std::filesystem::exists(dir / "PE_601_20100000001_32_DAT.TXT"));
    QVERIFY(!std::filesystem::exists(dir / "PE_601_20100000001_21_DAT.TXT"));
  }

  void consultationFillsTheGrid() {
    open<printouts::ui::frmConsultaBasesTrib>();
    uitest::choose(child<QComboBox>("cboTipDoc"), 1);
    auto* number = child<QLineEdit>("txtNumDoc");
    QTest::keyClicks(number, "41a%");  // letters and signs are not part of a DNI
    QCOMPARE(number->text(), QString("41"));
    QTest::mouseClick(child<QPushButton>("cmdBuscar"), Qt::LeftButton);
    auto* grid = child<QTableWidget>("GrdDatos");
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, 2)->text(), QString("41000001"));
  }
};

KORVENTA_UI_TEST(PrintoutFormsTest)

}  // namespace korventa::uitest

#include "printouts_forms_test.moc"
