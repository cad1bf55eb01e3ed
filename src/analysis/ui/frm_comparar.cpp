#include "analysis/ui/frm_comparar.h"

#include <algorithm>
#include <filesystem>

#include <QApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "declaration/ui/frm402.h"
#include "reports/ui/report_renderer.h"

namespace korventa::analysis::ui {
namespace {

using korventa::ui::qs;
using korventa::ui::ss;

struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// An amount cell sorts by its value.
class AmountItem : public QTableWidgetItem {
 public:
  using QTableWidgetItem::QTableWidgetItem;
  bool operator<(const QTableWidgetItem& other) const override { return text().toDouble() < other.text().toDouble(); }
};

QPushButton* button(QWidget* parent, const char* name, const std::string& caption) {
  auto* b = new QPushButton(qs(caption), parent);
  b->setObjectName(name);
  return b;
}

void fill(QTableWidget* t, const ComparisonListing& l) {
  t->setSortingEnabled(false);
  t->clear();
  t->setColumnCount(static_cast<int>(l.columns.size()));
  t->setRowCount(static_cast<int>(l.rows.size()));
  QStringList headers;
  for (const auto& c : l.columns) headers << qs(c);
  t->setHorizontalHeaderLabels(headers);
  for (int r = 0; r < static_cast<int>(l.rows.size()); ++r) {
    const auto& row = l.rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()); ++c) {
      QString cell = qs(row[static_cast<std::size_t>(c)]);
      bool amount = std::find(l.amountColumns.begin(), l.amountColumns.end(), c) != l.amountColumns.end();
      auto* item = amount ? new AmountItem(cell) : new QTableWidgetItem(cell);
      if (amount) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      t->setItem(r, c, item);
    }
  }
  t->resizeColumnsToContents();
  t->setSortingEnabled(true);
}

}  // namespace

void connectCompare(Session& session, korventa::ui::Frm402& form) {
  QObject::connect(&form, &korventa::ui::Frm402::compareRequested, &form, [&session, &form] {
    const auto& d = form.controller().declaration();
    FrmComparar(session, {d.ruc, d.periodo, d.correl}, form.controller().modified(), &form).exec();
  });
}

FrmComparar::FrmComparar(Session& session, const printouts::DeclarationRef& current, bool unsaved, QWidget* parent)
    : QDialog(parent), s_(session), ctl_(session, current, unsaved) {
  const auto& cap = CompareForm::captions();
  setObjectName("frmComparar");
  setWindowTitle(qs(ctl_.caption()));
  auto* layout = new QVBoxLayout(this);

  auto* fields = new QHBoxLayout;
  auto* form = new QFormLayout;
  mkePeriodo_ = new korventa::ui::PeriodEdit(this);
  mkePeriodo_->setObjectName("MkePeriodo");
  mkePeriodo_->setText(qs(ctl_.otherPeriod));
  txtCorrel_ = new QLineEdit(this);
  txtCorrel_->setObjectName("TxtCorrel");
  txtCorrel_->setMaximumWidth(80);
  txtUmbral_ = new korventa::ui::AmountEdit(this);
  txtUmbral_->setObjectName("TxtUmbral");
  txtUmbral_->setText(qs(ctl_.threshold));
  txtUmbral_->setMaximumWidth(100);
  mkePeriodo_->setMaximumWidth(100);
  form->addRow(qs(cap.otherPeriod), mkePeriodo_);
  form->addRow(qs(cap.otherCorrel), txtCorrel_);
  form->addRow(qs(cap.threshold), txtUmbral_);
  fields->addLayout(form);
  cmdComparar_ = button(this, "CmdComparar", cap.compare);
  cmdComparar_->setDefault(true);
  fields->addWidget(cmdComparar_, 0, Qt::AlignBottom);
  fields->addStretch();
  layout->addLayout(fields);

  auto* note = new QLabel(qs(ctl_.note()), this);
  note->setObjectName("lblNota");
  note->setWordWrap(true);
  layout->addWidget(note);
  lblResumen_ = new QLabel(this);
  lblResumen_->setObjectName("lblResumen");
  layout->addWidget(lblResumen_);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabResultado");
  static const char* names[] = {"lstIngresaron", "lstSalieron", "lstCambiaron", "lstCasillas"};
  for (int i = 0; i < 4; ++i) {
    auto* t = new QTableWidget(tabs_);
    t->setObjectName(names[i]);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->setVisible(false);
    lists_[static_cast<std::size_t>(i)] = t;
    tabs_->addTab(t, qs(ctl_.tabCaption(i)));
  }
  layout->addWidget(tabs_, 1);

  auto* buttons = new QHBoxLayout;
  cmdLibro_ = button(this, "CmdLibro", cap.exportWorkbook);
  cmdPdf_ = button(this, "CmdPdf", cap.exportPdf);
  auto* cmdSalir = button(this, "CmdSalir", cap.close);
  buttons->addWidget(cmdLibro_);
  buttons->addWidget(cmdPdf_);
  buttons->addStretch();
  buttons->addWidget(cmdSalir);
  layout->addLayout(buttons);
  cmdLibro_->setEnabled(false);
  cmdPdf_->setEnabled(false);

  connect(cmdComparar_, &QPushButton::clicked, this, &FrmComparar::cmdComparar_Click);
  connect(cmdLibro_, &QPushButton::clicked, this, [this] { chooseAndExport(false); });
  connect(cmdPdf_, &QPushButton::clicked, this, [this] { chooseAndExport(true); });
  connect(cmdSalir, &QPushButton::clicked, this, &QDialog::accept);
  korventa::ui::fitToScreen(this, QSize(1200, 640));
}

void FrmComparar::cmdComparar_Click() {
  ctl_.otherPeriod = ss(mkePeriodo_->maskedText());
  ctl_.otherCorrel = ss(txtCorrel_->text());
  ctl_.threshold = ss(txtUmbral_->text());
  bool ok;
  {
    WaitCursor wait;
    ok = ctl_.comparar();
  }
  if (!ok) {
    applyFocus();
    return;
  }
  showResult();
}

void FrmComparar::showResult() {
  lblResumen_->setText(qs(ctl_.summary()));
  for (int i = 0; i < 4; ++i) {
    fill(lists_[static_cast<std::size_t>(i)], ctl_.listing(i));
    tabs_->setTabText(i, qs(ctl_.tabCaption(i)));
  }
  // The first list that has something.
  for (int i = 0; i < 4; ++i)
    if (lists_[static_cast<std::size_t>(i)]->rowCount() > 0) {
      tabs_->setCurrentIndex(i);
      break;
    }
  cmdLibro_->setEnabled(true);
  cmdPdf_->setEnabled(true);
}

void FrmComparar::applyFocus() {
  if (ctl_.focus == "TxtCorrel")
    txtCorrel_->setFocus();
  else if (ctl_.focus == "TxtUmbral")
    txtUmbral_->setFocus();
  else
    mkePeriodo_->setFocus();
}

bool FrmComparar::exportWorkbook(const QString& file) {
  WaitCursor wait;
  return ctl_.exportWorkbook(ss(file));
}

bool FrmComparar::exportPdf(const QString& file) {
  auto doc = ctl_.pdfDocument();
  if (!doc) return false;
  QString error;
  bool ok;
  {
    WaitCursor wait;
    ok = reports::ui::writePdf(*doc, file, &error);
  }
  ctl_.pdfWritten(ss(file), ok, ss(error));
  return ok;
}

void FrmComparar::chooseAndExport(bool pdf) {
  const auto& cap = CompareForm::captions();
  std::string proposal = (std::filesystem::path(s_.paths.rptDir) / ctl_.proposedFile(pdf ? "pdf" : "xlsx")).string();
  QString file = QFileDialog::getSaveFileName(this, qs(cap.exportTitle), qs(proposal),
                                              qs(pdf ? cap.pdfFilter : cap.workbookFilter));
  if (file.isEmpty()) return;
  QString ext = pdf ? ".pdf" : ".xlsx";
  if (!file.endsWith(ext, Qt::CaseInsensitive)) file += ext;
  if (pdf)
    exportPdf(file);
  else
    exportWorkbook(file);
}

}  // namespace korventa::analysis::ui
