// "¿De dónde sale?" from the determination tab: a double-click on box 412 of the demo declaration
// opens the form whose sources add up to the box; the list sorts by amount; the workbook and the
// PDF are written. With KORVENTA_EXPLAIN_SHOT=FILE the screen is saved there while it is open.
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>

#include <filesystem>

#include "determination/ui/determinacion_tab.h"
#include "declaration/ui/person_grid_model.h"
#include "determination/ui/frm_de_donde_sale.h"
#include "printouts/ui/explanation_export.h"
#include "support/demo_entries.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

using uitest::child;
using uitest::onNextModal;

// What the form showed, read while it was open.
struct Seen {
  bool opened = false;
  QString title, totals;
  int rows = 0;
  double sum = 0, firstAfterSort = 0, lastAfterSort = 0;
  bool workbook = false, pdf = false;
  QString person;  // the caption of a person's form, opened from the list
  double personAmount = 0, personValue = 0;
};

}  // namespace

class ExplainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { t_ = std::make_unique<uitest::DemoDb>(); }
  void cleanup() {
    form_.reset();
    t_.reset();
  }

  void doubleClickOnBox412ShowsWhereItComesFrom() {
    auto& s = t_->session();
    form_ = uitest::openNewDeclaration(s);
    printouts::ui::connectExplanationExport(*form_);
    auto* det = child<ui::DeterminacionTab>(form_.get(), "Determinacion");
    test::enterDemoPay(s, const_cast<model::OpenDeclaration&>(*decl()));
    child<QTabWidget>(form_.get(), "SSTab1")->setCurrentWidget(det);
    auto* cell = child<QLineEdit>(form_.get(), "txtvalor_412");
    const double box = QString(cell->text()).remove(',').toDouble();
    QVERIFY(box > 0);

    Seen seen;
    const auto dir = t_->dir().path();
    onNextModal([&](QWidget* m) {
      auto* f = qobject_cast<ui::FrmDeDondeSale*>(m);
      if (!f) return;
      seen.opened = true;
      seen.title = f->windowTitle();
      seen.totals = child<QLabel>(f, "LblTotales")->text();
      auto* view = child<QTableView>(f, "GrdAportes");
      auto* model = view->model();
      const int amount = model->columnCount() - 1;
      seen.rows = model->rowCount();
      for (int r = 0; r < seen.rows; ++r) seen.sum += model->index(r, amount).data(Qt::UserRole).toDouble();
      view->horizontalHeader()->setSortIndicator(amount, Qt::DescendingOrder);
      seen.firstAfterSort = model->index(0, amount).data(Qt::UserRole).toDouble();
      seen.lastAfterSort = model->index(seen.rows - 1, amount).data(Qt::UserRole).toDouble();
      if (const char* shot = std::getenv("KORVENTA_EXPLAIN_SHOT")) {
        QTest::qWait(300);
        QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
      }
      // A person's row opens that person's column ("salud"), made of the person's concept rows.
      seen.personAmount = seen.firstAfterSort;
      onNextModal([&](QWidget* inner) {
        if (auto* p = qobject_cast<ui::FrmDeDondeSale*>(inner); p && p != f) {
          seen.person = p->windowTitle();
          seen.personValue = Money::value(p->explanation().value).toDouble();
          p->accept();
        }
      });
      emit view->doubleClicked(model->index(0, 0));
      seen.workbook = f->exportWorkbook(qstr((dir / "412.xlsx").string()));
      seen.pdf = f->exportPdf(qstr((dir / "412.pdf").string()));
      f->accept();
    });
    QTest::mouseDClick(cell, Qt::LeftButton);

    QVERIFY(seen.opened);
    QVERIFY2(seen.title.contains("412"), qPrintable(seen.title));
    QVERIFY(seen.rows >= 2);
    // The persons' amounts add up to the box once rounded to whole soles.
    QCOMPARE(qRound64(seen.sum), static_cast<qint64>(box));
    QVERIFY2(seen.totals.contains(cell->text()), qPrintable(seen.totals));
    QVERIFY(seen.firstAfterSort >= seen.lastAfterSort);
    QVERIFY2(seen.person.contains("salud"), qPrintable(seen.person));
    QCOMPARE(seen.personValue, seen.personAmount);
    QVERIFY(seen.workbook);
    QVERIFY(seen.pdf);
    QVERIFY(std::filesystem::file_size(dir / "412.xlsx") > 0);
    QVERIFY(std::filesystem::file_size(dir / "412.pdf") > 0);
  }

  // The workers' page: the context menu on a worker's "Total Ingresos" explains that column from the
  // worker's concept rows.
  void workersGridExplainsAPersonsColumn() {
    auto& s = t_->session();
    form_ = uitest::openNewDeclaration(s);
    test::enterDemoPay(s, const_cast<model::OpenDeclaration&>(*decl()));
    auto* grid = child<QTableView>(form_.get(), "GrdDatos");
    static_cast<ui::PersonGridModel*>(grid->model())->requery();
    int column = -1;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
      if (grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == "Total Ingresos") column = c;
    QVERIFY(column >= 0 && grid->model()->rowCount() > 0);
    const QModelIndex cell = grid->model()->index(0, column);
    const double shown = cell.data().toString().remove(',').toDouble();
    QVERIFY(shown > 0);

    QString caption;
    double value = -1, sources = -1;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      onNextModal([&](QWidget* m) {
        if (auto* f = qobject_cast<ui::FrmDeDondeSale*>(m)) {
          caption = f->windowTitle();
          value = Money::value(f->explanation().value).toDouble();
          sources = f->explanation().sourcesTotal().toDouble();
        }
        m->close();
      });
      menu->setActiveAction(menu->findChild<QAction*>("MnuDeDondeSale"));
      QTest::keyClick(menu, Qt::Key_Return);
    });
    emit grid->customContextMenuRequested(grid->visualRect(cell).center());
    QVERIFY2(caption.contains("Tot_Ingresos"), qPrintable(caption));
    QCOMPARE(value, shown);
    QCOMPARE(sources, shown);
  }

 private:
  const model::OpenDeclaration* decl() { return &static_cast<ui::Frm402*>(form_.get())->controller().declaration(); }

  std::unique_ptr<uitest::DemoDb> t_;
  std::unique_ptr<QDialog> form_;
};

KORVENTA_UI_TEST(ExplainFormTest)
#include "explain_form_test.moc"
