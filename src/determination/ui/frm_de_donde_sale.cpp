#include "determination/ui/frm_de_donde_sale.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "determination/explanation_report.h"
#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"

namespace korventa::ui {
namespace {

using Texts = determination::ExplanationTexts;

// A table of texts; the columns from `firstAmount` on hold amounts, right-aligned and sorted by value.
QStandardItemModel* tableModel(const determination::ExplanationTable& t, std::size_t firstAmount, QObject* parent) {
  auto* m = new QStandardItemModel(static_cast<int>(t.rows.size()), static_cast<int>(t.columns.size()), parent);
  for (std::size_t c = 0; c < t.columns.size(); ++c)
    m->setHeaderData(static_cast<int>(c), Qt::Horizontal, qs(t.columns[c]));
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
      auto* item = new QStandardItem(qs(t.rows[r][c]));
      item->setEditable(false);
      item->setToolTip(item->text());
      if (c >= firstAmount) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setData(Money::value(t.rows[r][c]).toDouble(), Qt::UserRole);
      } else {
        item->setData(qs(t.rows[r][c]), Qt::UserRole);
      }
      m->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  return m;
}

QTableView* tableView(const QString& name, QWidget* parent) {
  auto* v = new QTableView(parent);
  v->setObjectName(name);
  v->setSelectionBehavior(QAbstractItemView::SelectRows);
  v->verticalHeader()->hide();
  v->horizontalHeader()->setStretchLastSection(false);
  return v;
}

// Columns as wide as their texts but no wider than a long name, so that the amounts stay in sight;
// a cut text shows whole in its tooltip.
void fitColumns(QTableView* view) {
  view->resizeColumnsToContents();
  const int widest = view->fontMetrics().horizontalAdvance(QString(30, QChar('x')));
  for (int c = 0; c < view->model()->columnCount(); ++c)
    if (view->columnWidth(c) > widest) view->setColumnWidth(c, widest);
}

}  // namespace

FrmDeDondeSale::FrmDeDondeSale(Session& session, const model::OpenDeclaration& decl,
                               determination::BoxExplanation explanation, WorkbookWriter workbook, QWidget* parent)
    : QDialog(parent), s_(session), d_(decl), e_(std::move(explanation)), workbook_(std::move(workbook)) {
  setObjectName("FrmDeDondeSale");
  setWindowTitle(qs(std::string(Texts::title) + " " + e_.caption));
  auto* v = new QVBoxLayout(this);
  auto* caption = new QLabel(qs(e_.heading()), this);
  caption->setObjectName("LblCasilla");
  QFont bold = caption->font();
  bold.setBold(true);
  caption->setFont(bold);
  v->addWidget(caption);
  v->addWidget(new QLabel(qs(Texts::sources), this));
  v->addWidget(sourcesView(), 3);
  v->addWidget(new QLabel(qs(Texts::steps), this));
  v->addWidget(stepsView(), 1);
  auto* totals = new QLabel(qs(determination::explanationTotals(e_)), this);
  totals->setObjectName("LblTotales");
  v->addWidget(totals);
  auto* buttons = new QHBoxLayout;
  auto* xlsx = new QPushButton(qs(Texts::exportWorkbook), this);
  xlsx->setObjectName("CmdExportarLibro");
  xlsx->setVisible(static_cast<bool>(workbook_));
  auto* pdf = new QPushButton(qs(Texts::exportPdf), this);
  pdf->setObjectName("CmdExportarPdf");
  auto* close = new QPushButton(qs(Texts::close), this);
  close->setObjectName("CmdCerrar");
  buttons->addWidget(xlsx);
  buttons->addWidget(pdf);
  buttons->addStretch(1);
  buttons->addWidget(close);
  v->addLayout(buttons);
  connect(xlsx, &QPushButton::clicked, this, [this] { chooseAndExport(true); });
  connect(pdf, &QPushButton::clicked, this, [this] { chooseAndExport(false); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(1240, 600);
}

QTableView* FrmDeDondeSale::sourcesView() {
  auto table = determination::sourcesTable(e_);
  auto* proxy = new QSortFilterProxyModel(this);
  proxy->setSourceModel(tableModel(table, table.columns.size() - 1, this));
  proxy->setSortRole(Qt::UserRole);
  auto* view = tableView("GrdAportes", this);
  view->setModel(proxy);
  view->setSortingEnabled(true);
  view->sortByColumn(-1, Qt::AscendingOrder);  // as recorded until a heading is clicked
  fitColumns(view);
  // The amount beside the name, where the eye looks for it.
  view->horizontalHeader()->moveSection(static_cast<int>(table.columns.size()) - 1, 4);
  connect(view, &QTableView::doubleClicked, this,
          [this, proxy](const QModelIndex& i) { openSource(proxy->mapToSource(i).row()); });
  return view;
}

void FrmDeDondeSale::openSource(int row) {
  if (row < 0 || row >= static_cast<int>(e_.sources.size())) return;
  const auto& source = e_.sources[static_cast<std::size_t>(row)];
  auto person = determination::personOf(s_.database(), source);
  if (!person) return;
  FrmDeDondeSale form(s_, d_, determination::explainPersonColumn(s_, d_, *person, source.reference), workbook_, this);
  form.exec();
}

QTableView* FrmDeDondeSale::stepsView() {
  auto* view = tableView("GrdPasos", this);
  view->setModel(tableModel(determination::stepsTable(e_), 2, this));
  fitColumns(view);
  return view;
}

void FrmDeDondeSale::chooseAndExport(bool workbook) {
  QString ext = workbook ? ".xlsx" : ".pdf";
  QString dir = s_.paths.sysPath.empty() ? QDir::homePath() : qs(s_.paths.sysPath);
  QString file = QFileDialog::getSaveFileName(
      this, qs(Texts::exportTitle), QDir(dir).filePath(qs(determination::explanationFileName(d_, e_, ss(ext)))),
      qs(workbook ? Texts::workbookFilter : Texts::pdfFilter));
  if (file.isEmpty()) return;
  if (workbook)
    exportWorkbook(file);
  else
    exportPdf(file);
}

bool FrmDeDondeSale::exportWorkbook(const QString& file) {
  std::string error;
  bool ok = workbook_ && workbook_(d_, e_, std::filesystem::path(ss(file)), &error);
  reportExport(ok, file, error);
  return ok;
}

bool FrmDeDondeSale::exportPdf(const QString& file) {
  std::string error;
  bool ok = false;
  try {
    auto prn = determination::writeExplanationReportFile(s_, d_, e_);
    if (auto doc = reports::pDesencripta(prn, "IMPRIMIR", reports::PageRange{}, s_.msg())) {
      QString why;
      ok = reports::ui::writePdf(*doc, file, &why);
      error = ss(why);
    }
  } catch (const std::exception& ex) {
    error = ex.what();
  }
  reportExport(ok, file, error);
  return ok;
}

void FrmDeDondeSale::reportExport(bool ok, const QString& file, const std::string& error) {
  std::string text = std::string(ok ? Texts::exported : Texts::notExported) + ss(file);
  if (!ok && !error.empty()) text += ": " + error;
  s_.msg().show(text, Texts::exportTitle, ok ? MsgIcon::Information : MsgIcon::Critical);
}

}  // namespace korventa::ui
