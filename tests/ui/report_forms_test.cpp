// The preview and the page-range dialog, driven through their widgets.
#include <fstream>
#include <regex>

#include <QAction>
#include <QPrinter>
#include <QPrinterInfo>

#include "reports/page_range.h"
#include "reports/spool.h"
#include "reports/ui/frm_impx_pag.h"
#include "reports/ui/frm_preview.h"
#include "common/ui/widgets.h"
#include "ui/form_test_kit.h"

namespace korventa::reports {
namespace {

using uitest::qstr;

using ui::frmImpxPag;
using ui::frmPreview;

// A report of `pages` pages, each with a header box, its page number and body lines.
std::string pagedReport(int pages) {
  std::string s = "<!font!>Courier New<!/font!>\r\n<!nHojas!>" + std::to_string(pages) +
                  "<!/nHojas!>\r\n<!Orientacion!>V<!/Orientacion!>\r\n<!Color!>&H80000005&<!/Color!>\r\n";
  for (int p = 0; p < pages; ++p) {
    std::string n = std::to_string(p);
    s += "pCuadro|150|300|11000|1640|" + n + "|\r\n";
    s += "pPos|300|350|PAGINA " + std::to_string(p + 1) + "|True|14|" + n + "|\r\n";
    for (int r = 0; r < 10; ++r)
      s += "pPos|300|" + std::to_string(2000 + r * 250) + "|  fila " + std::to_string(r) + "|False|9|" + n + "|\r\n";
    s += "pNuevaHoja\r\n";
  }
  return s;
}

int pdfPages(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  static const std::regex page(R"(/Type\s*/Page[^s])");
  return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

QAction* action(QWidget& form, const char* name) {
  return form.findChild<QAction*>(name);
}

class ReportFormsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<korventa::test::TestDb> db_;
  std::filesystem::path write(const std::string& name, const std::string& content) {
    auto p = db_->dir() / name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }

 private slots:
  void init() { db_ = std::make_unique<korventa::test::TestDb>(); }
  void cleanup() { db_.reset(); }

  void toolbarMovesBetweenPagesAndStopsAtTheEnds() {
    // Given the report's path through its property.
    auto path = write("r.PRN", pagedReport(3));
    std::unique_ptr<QDialog> opened = std::make_unique<frmPreview>(db_->session());
    opened->setProperty("reportPath", qstr(path.string()));
    auto& form = *static_cast<frmPreview*>(opened.get());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.pageCount(), 3);
    QVERIFY(!action(form, "btnAnterior")->isEnabled());

    form.tlbPrevia_ButtonClick(2);  // previous on the first page
    QCOMPARE(form.currentPage(), 0);
    action(form, "btnSiguiente")->trigger();
    QCOMPARE(form.currentPage(), 1);
    action(form, "btnSiguiente")->trigger();
    action(form, "btnSiguiente")->trigger();  // past the last page
    QCOMPARE(form.currentPage(), 2);
    QVERIFY(!action(form, "btnSiguiente")->isEnabled());
    QCOMPARE(form.findChild<QLabel*>("lblPagina")->text(), QString("Pag. 3/3"));
    // "Guardar PDF": every page of the report.
    auto pdf = db_->dir() / "copia.pdf";
    QVERIFY(form.guardarPdf(qstr(pdf.string())));
    QCOMPARE(pdfPages(pdf), 3);
    QVERIFY(db_->messenger().last().starts_with("Reporte guardado en "));
    form.tlbPrevia_ButtonClick(5);
    QVERIFY(!form.isVisible());
  }

  // A landscape page opens at its full width inside a window that fits the screen; the zoom
  // steps in and out, and "fit page" shows the whole page.
  void opensAtFitWidthWithZoom() {
    // The declaration printout: landscape pages, "Copia para el Contribuyente" on the right.
    auto printout = QString(KORVENTA_SOURCE_DIR) + "/tests/data/printouts/declaracion_20100000001_201203.PRN";
    frmPreview form(db_->session());
    QVERIFY(form.open(printout));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSize room = korventa::ui::usableScreenSize(&form);
    QVERIFY2(form.width() <= room.width() && form.height() <= room.height(),
             qPrintable(QString("%1x%2").arg(form.width()).arg(form.height())));
    auto* scroll = form.findChild<QScrollArea*>("fraPrevia");
    auto* page = form.findChild<QWidget*>("picPrevia");
    QVERIFY(form.fit() == frmPreview::Fit::Width);
    QVERIFY(page->width() <= scroll->viewport()->width());
    QVERIFY(page->width() > scroll->viewport()->width() * 9 / 10);
    QVERIFY(page->height() > scroll->viewport()->height());  // the rest of the page scrolls
    QCOMPARE(form.findChild<QLabel*>("lblPagina")->text(), QString("Pag. 1/6"));
    QCOMPARE(form.findChild<QLabel*>("lblZoom")->text(), QString("%1 %").arg(qRound(form.zoom() * 100)));
    QVERIFY(uitest::screenshot(&form, "preview-fit-width"));

    double fitted = form.zoom();
    action(form, "btnAcercar")->trigger();
    QCOMPARE(form.zoom(), fitted * 1.25);
    QVERIFY(form.fit() == frmPreview::Fit::None);
    QVERIFY(page->width() > scroll->viewport()->width());
    action(form, "btnAlejar")->trigger();
    action(form, "btnAlejar")->trigger();
    QVERIFY(qAbs(form.zoom() - fitted / 1.25) < 1e-9);

    action(form, "btnPagina")->trigger();
    QVERIFY(form.fit() == frmPreview::Fit::Page);
    QVERIFY(page->width() <= scroll->viewport()->width());
    QVERIFY(page->height() <= scroll->viewport()->height());
    // The fit is kept on the next page and when the window changes size.
    action(form, "btnSiguiente")->trigger();
    QCOMPARE(form.findChild<QLabel*>("lblPagina")->text(), QString("Pag. 2/6"));
    action(form, "btnAncho")->trigger();
    form.resize(form.width() / 2, form.height());
    QVERIFY(page->width() <= scroll->viewport()->width());
    QVERIFY(page->width() > scroll->viewport()->width() * 9 / 10);
  }

  // A missing file is reported and leaves nothing to print; a report that opened cannot be
  // printed without a printer.
  void missingFileOrNoPrinter() {
    frmPreview missing(db_->session());
    QVERIFY(!missing.open(qstr((db_->dir() / "00000099.PRN").string())));
    QCOMPARE(qstr(db_->messenger().last()), QString("Archivo Físico del Reporte no Existe."));
    QCOMPARE(qstr(db_->messenger().entries().back().title), QString("Error al Imprimir"));
    QVERIFY(db_->messenger().entries().back().icon == MsgIcon::Critical);
    QVERIFY(!action(missing, "btnImprimir")->isEnabled());
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a default printer");
    frmPreview form(db_->session());
    QVERIFY(form.open(qstr(write("r.PRN", pagedReport(1)).string())));
    QVERIFY(!form.imprimir());
    QCOMPARE(qstr(db_->messenger().last()), QString("No hay una impresora predeterminada instalada."));
    QCOMPARE(qstr(db_->messenger().entries().back().title), QString("Error al Imprimir"));
  }

  void pageRangeChecks_data() {
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    auto row = [](const char* name, const char* desde, const char* hasta, const char* message, const char* focus) {
      QTest::newRow(name) << QString(desde) << QString(hasta) << QString(message) << QString(focus);
    };
    row("first page empty", "", "3", "Ingrese página de inicio.", "txtPagDesde");
    row("first page zero", "0", "3", "Página inicial debe ser a partir de 1.", "txtPagDesde");
    row("first page beyond the total, last empty", "6", "",
        "Página inicial no debe ser mayor a total de páginas del reporte.", "txtPagDesde");
    row("last page empty", "2", "", "Ingrese página de Fin.", "txtPagHasta");
    row("first after last", "4", "2", "Página inicial no debe ser mayor a página final.", "txtPagHasta");
  }

  void pageRangeChecks() {
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    auto path = write("r.PRN", pagedReport(5));
    frmImpxPag form(db_->session());
    form.setReport(path.string(), 5, 5);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* txtDesde = form.findChild<QLineEdit*>("txtPagDesde");
    auto* txtHasta = form.findChild<QLineEdit*>("txtPagHasta");
    txtDesde->clear();
    QTest::keyClicks(txtDesde, desde);
    txtHasta->clear();
    QTest::keyClicks(txtHasta, hasta);
    QTest::mouseClick(form.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    QCOMPARE(db_->messenger().entries().size(), size_t(1));
    QCOMPARE(qstr(db_->messenger().last()), message);
    QVERIFY(db_->messenger().entries()[0].icon == MsgIcon::Critical);
    QVERIFY(form.isVisible());
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    QVERIFY(!form.range().active);
  }

  // The range dialog offered before a long preview: cancelled, nothing is shown; accepted, the
  // preview shows the pages asked for (the range rules are checked by the page range tests).
  void rangeDialogCancelledOrAccepted() {
    auto path = write("r.PRN", pagedReport(20));
    QString caption;
    QTimer::singleShot(0, [&] {
      if (auto* dialog = qobject_cast<frmImpxPag*>(QApplication::activeModalWidget())) {
        caption = dialog->windowTitle();
        QCOMPARE(dialog->findChild<QLineEdit*>("txtPagHasta")->text(), QString("20"));
        dialog->findChild<QPushButton*>("cmdCancelar")->click();
      }
    });
    ui::previewWithRange(db_->session(), path.string(), planForImportResult(20));
    QCOMPARE(caption, QString("Impresión de 20 páginas"));

    frmImpxPag form(db_->session());
    form.setReport(path.string(), 20, 20);
    auto* txtDesde = form.findChild<QLineEdit*>("txtPagDesde");
    QCOMPARE(txtDesde->text(), QString("1"));
    txtDesde->clear();
    QTest::keyClicks(txtDesde, "a2b.-");  // only digits, the point and the space enter
    QCOMPARE(txtDesde->text(), QString("2."));
    txtDesde->setText("2");
    form.findChild<QLineEdit*>("txtPagHasta")->setText("3");
    form.show();
    int previewPages = -1;
    QTimer::singleShot(0, [&] {
      if (auto* preview = qobject_cast<frmPreview*>(QApplication::activeModalWidget())) {
        previewPages = preview->pageCount();
        preview->close();
      }
    });
    QVERIFY(form.cmdAceptar_Click());
    QCOMPARE(previewPages, 2);
    QVERIFY(form.range().active);
    QVERIFY(!form.isVisible());
  }

  // A listing written with the writers and registered in SPOOL, printed for a range of pages
  // (the spool numbering is checked by the report tests, the paging by the toolbar test above).
  void listingFromWriterToPaper() {
    std::filesystem::path path;
    {
      SpoolReport report(db_->session(), "PR0049", 6, "20100066603");
      ListingHeader h{
          "REPORTE DE ERRORES DE TRANSFERENCIA - PERIODO 201205", "20100066603", "EMPRESA DEMO S.A.C.", 200, "", ""};
      writeListingHeader(report.writer(), h);
      for (int i = 1; i <= 200; ++i) {
        report.writer().ImprimeLineaPag(std::string(20, ' ') + "01 " + std::to_string(40000000 + i) +
                                        "  Trabajador no registrado en el periodo (línea " + std::to_string(i) + ")");
        if (i % 69 == 0) writeListingHeader(report.writer(), h);
      }
      path = report.commit();
    }
    QCOMPARE(LeeNroHojas(path), 3);  // 200 lines and the headers at 85 lines a page

    // Pages 2 to 3 on a printer: the preview shows the range only and closes once printed.
    frmPreview ranged(db_->session(), PageRange{true, 2, 3});
    QVERIFY(ranged.open(qstr(path.string())));
    QCOMPARE(ranged.pageCount(), 2);
    ranged.show();
    uitest::screenshot(&ranged, "preview-range");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    auto pdf = db_->dir() / "listado.pdf";
    printer.setOutputFileName(qstr(pdf.string()));
    ranged.setPrinter(&printer);
    action(ranged, "btnImprimir")->trigger();
    QCOMPARE(qstr(db_->messenger().last()), QString("Reporte se imprimió satisfactoriamente."));
    QVERIFY(!ranged.isVisible());
    QCOMPARE(pdfPages(pdf), 2);
  }
};

}  // namespace
}  // namespace korventa::reports

using korventa::reports::ReportFormsTest;
KORVENTA_UI_TEST(ReportFormsTest)
#include "report_forms_test.moc"
