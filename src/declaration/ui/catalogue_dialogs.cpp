#include "declaration/ui/catalogue_dialogs.h"
#include "declaration/ui/frm_copiar_dec.h"
#include "declaration/ui/frm_recuperar.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "common/ui/zel_stat_bar.h"
#include "common/dates.h"
#include "declaration/ui/frm402.h"
#include "declaration/declaration_chooser_form.h"
#include "declaration/sent_declaration_chooser_form.h"

namespace korventa::ui {
namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QLineEdit* readOnly(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setReadOnly(true);
  return e;
}

}  // namespace

FrmContAbrir::FrmContAbrir(Session& session, bool sentChooser, Mode mode, bool sent, QWidget* parent)
    : QDialog(parent), s_(session), sentChooser_(sentChooser), mode_(mode), sentList_(sent) {
  setObjectName(sentChooser ? "FrmContAbrirE" : "FrmContAbrir");
  setModal(true);
  resize(sentChooser ? 1040 : 860, 420);
  declaration::ChooserTexts t;
  if (sentChooser) {
    sent_ = std::make_unique<declaration::SentDeclarationChooserForm>(s_, mode);
    t = sent_->texts();
  } else {
    open_ = std::make_unique<declaration::DeclarationChooserForm>(s_, mode, sent);
    t = open_->texts();
  }
  setWindowTitle(qs(t.caption));
  auto* v = new QVBoxLayout(this);
  auto* label = new QLabel(qs(t.label), this);
  label->setObjectName("lblMensaje");
  v->addWidget(label);
  grid_ = new QTableWidget(this);
  grid_->setObjectName("grdContrib");
  makeRowPicker(grid_);
  v->addWidget(grid_, 1);
  auto* h = new QHBoxLayout;
  h->addStretch();
  action_ = button(this, "CmdAccion", qs(t.action));
  auto* exit = button(this, "CmdSalir", qs("&Salir"));
  h->addWidget(action_);
  h->addWidget(exit);
  v->addLayout(h);
  connect(action_, &QPushButton::clicked, this, &FrmContAbrir::onAction);
  connect(exit, &QPushButton::clicked, this, [this] {
    // "&Salir" clears the texts of the main window's status bar.
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
      if (auto* bar = main->findChild<ZELStatBar*>()) {
        bar->setMensaje({});
        bar->setDeclarante({});
        bar->setPeriodo({});
      }
    }
    reject();
  });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { onAction(); });
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (open_) {
      open_->sortByColumn(column);
      fill();
    }
  });
  requery();
}

void FrmContAbrir::changeEvent(QEvent* e) {
  // The list is read again each time the chooser becomes active.
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) requery();
  QDialog::changeEvent(e);
}

void FrmContAbrir::requery() {
  if (open_)
    open_->requery();
  else
    sent_->requery();
  fill();
}

void FrmContAbrir::fill() {
  std::vector<std::string> columns = open_ ? open_->columns() : sent_->columns();
  const auto& rows = open_ ? open_->rows() : sent_->rows();
  int keep = grid_->currentRow();
  grid_->clear();
  grid_->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (const auto& c : columns) headers << qs(c);
  grid_->setHorizontalHeaderLabels(headers);
  grid_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    auto cells =
        open_ ? open_->cells(rows[static_cast<std::size_t>(r)]) : sent_->cells(rows[static_cast<std::size_t>(r)]);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c)
      grid_->setItem(r, c, new QTableWidgetItem(qs(cells[static_cast<std::size_t>(c)])));
  }
  grid_->resizeColumnsToContents();
  if (!rows.empty()) grid_->selectRow(keep >= 0 && keep < static_cast<int>(rows.size()) ? keep : 0);
}

int FrmContAbrir::selectedRow() const {
  auto sel = grid_->selectionModel()->selectedRows();
  return sel.isEmpty() ? grid_->currentRow() : sel.first().row();
}

void FrmContAbrir::onAction() {
  const auto& rows = open_ ? open_->rows() : sent_->rows();
  int row = selectedRow();
  if (rows.empty() || row < 0) return;  // an empty list does nothing
  const auto r = rows[static_cast<std::size_t>(row)];
  if (open_ && mode_ == Mode::Delete) {
    open_->eliminar(row);
    fill();
    return;
  }
  if (open_ && mode_ == Mode::Copy) {
    frmCopiarDec copy(s_, this);
    copy.setDeclaration(r.ruc, r.periodo);
    copy.exec();
    requery();
    return;
  }
  if (sent_ && mode_ == Mode::Recover) {
    FrmRecuperar rec(s_, this);
    rec.setDeclaration(r.ruc, r.periodo, r.correl);
    rec.exec();
    requery();
    return;
  }
  // Modify, or register the order number of a sent declaration: a new declaration form on it.
  // The chooser steps aside while the form is open and comes back, read again, when it closes.
  {
    Frm402 form(s_, Mode::Modify, parentWidget());
    emit declarationFormOpened(&form);
    bool ok = sent_ ? form.openSent(r.ruc, r.periodo, r.correl) : form.openDeclaration(r.ruc, r.periodo);
    if (ok) {
      stepAside();
      form.exec();
      comeBack();
    } else {
      form.descartar();
    }
  }
  requery();
}

// QDialog::hide() would end the chooser's own modal loop (the command that opened it would
// return); the plain widget's hide keeps the loop running with the window off the screen.
void FrmContAbrir::stepAside() {
  QWidget::setVisible(false);
}

void FrmContAbrir::comeBack() {
  show();
  raise();
  activateWindow();
}

frmCopiarDec::frmCopiarDec(Session& session, QWidget* parent) : QDialog(parent), s_(session) {
  setObjectName("frmCopiarDec");
  setWindowTitle(qs("Copiar Declaración"));
  setModal(true);
  auto* v = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  ruc_ = readOnly(this, "TxtRUC");
  name_ = readOnly(this, "TxtRazon");
  from_ = readOnly(this, "TxtPeriodo");
  to_ = new PeriodEdit(this);
  to_->setObjectName("MkePeriodo");
  f->addRow(qs("RUC :"), ruc_);
  f->addRow(qs("Razón Social :"), name_);
  f->addRow(qs("Período :"), from_);
  f->addRow(qs("Copiar al período (MM/AAAA) :"), to_);
  v->addLayout(f);
  auto* h = new QHBoxLayout;
  h->addStretch();
  auto* copy = button(this, "CmdCopiar", qs("&Copiar"));
  auto* exit = button(this, "CmdSalir", qs("&Salir"));
  h->addWidget(copy);
  h->addWidget(exit);
  v->addLayout(h);
  connect(copy, &QPushButton::clicked, this, &frmCopiarDec::onCopy);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  EnterAsTab::install(this);
  resize(560, 200);
}

void frmCopiarDec::setDeclaration(const std::string& ruc, const std::string& periodo) {
  ctl_ = std::make_unique<declaration::CopyDeclarationForm>(s_, ruc, periodo);
  ruc_->setText(qs(ruc));
  name_->setText(qs(ctl_->nombre()));
  from_->setText(qs(periodToDisplay(periodo)));
  to_->setFocus();
}

void frmCopiarDec::onCopy() {
  if (!ctl_) return;
  bool ok;
  {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ok = ctl_->copiar(ss(to_->maskedText()));
    QApplication::restoreOverrideCursor();
  }
  if (ok)
    accept();
  else
    to_->setFocus();
}

FrmRecuperar::FrmRecuperar(Session& session, QWidget* parent) : QDialog(parent), s_(session) {
  setObjectName("FrmRecuperar");
  setWindowTitle(qs("Recuperación de Declaraciones Enviadas"));
  setModal(true);
  auto* v = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  ruc_ = readOnly(this, "TxtRUC");
  name_ = readOnly(this, "TxtRazon");
  from_ = new PeriodEdit(this);
  from_->setObjectName("MkePeriodoDel");
  to_ = new PeriodEdit(this);
  to_->setObjectName("MkePeriodoAl");
  orden_ = readOnly(this, "TxtNOrden");
  f->addRow(qs("RUC :"), ruc_);
  f->addRow(qs("Razón Social :"), name_);
  f->addRow(qs("Período del :"), from_);
  f->addRow(qs("Período al :"), to_);
  f->addRow(qs("Número de Orden :"), orden_);
  v->addLayout(f);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("ProgressBar1");
  progress_->setRange(0, 100);
  progress_->setValue(0);
  v->addWidget(progress_);
  auto* h = new QHBoxLayout;
  h->addStretch();
  auto* rec = button(this, "CmdRecuperar", qs("&Recuperar"));
  auto* exit = button(this, "CmdSalir", qs("&Salir"));
  h->addWidget(rec);
  h->addWidget(exit);
  v->addLayout(h);
  connect(rec, &QPushButton::clicked, this, &FrmRecuperar::onRecover);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  for (PeriodEdit* p : {from_, to_}) {
    connect(p, &QLineEdit::editingFinished, this, [this, p] {
      if (checking_) return;
      checking_ = true;
      if (!declaration::ValidaPeriodo(s_.msg(), ss(p->maskedText()))) p->setFocus();
      checking_ = false;
    });
  }
  EnterAsTab::install(this);
  resize(560, 260);
}

void FrmRecuperar::setDeclaration(const std::string& ruc, const std::string& periodo, const std::string& correl) {
  ctl_ = std::make_unique<declaration::RecoveryForm>(s_, ruc, periodo, correl);
  ruc_->setText(qs(ruc));
  name_->setText(qs(ctl_->nombre()));
  from_->setPeriod(periodo);
  to_->setPeriod(periodo);
  orden_->setText(qs(ctl_->norden()));
}

void FrmRecuperar::onRecover() {
  if (!ctl_) return;
  progress_->setValue(10);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool ok = ctl_->recuperar();
  QApplication::restoreOverrideCursor();
  progress_->setValue(ok ? 100 : 0);
  if (ok) accept();
}

}  // namespace korventa::ui
