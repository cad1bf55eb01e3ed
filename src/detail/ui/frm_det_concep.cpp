#include "detail/ui/frm_det_concep.h"

#include <algorithm>
#include <functional>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "data/db_errors.h"
#include "determination/concept_rules.h"
#include "detail/ui/detail_form_kit.h"

namespace korventa::ui {
namespace {

enum GridColumn { kCodigo, kDescrip, kMonto, kMontoPag };

bool isEnter(QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  auto* k = static_cast<QKeyEvent*>(e);
  return (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier;
}

// Amount cells are edited with the amount box: digits, one point, 7 integers, 2 decimals.
// Enter keeps the amount and goes on (`enter`).
class AmountDelegate : public QStyledItemDelegate {
 public:
  AmountDelegate(QObject* parent, std::function<void()> enter)
      : QStyledItemDelegate(parent), enter_(std::move(enter)) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
    return new AmountEdit(parent);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    auto* editor = qobject_cast<QWidget*>(watched);
    if (!editor || !isEnter(e)) return QStyledItemDelegate::eventFilter(watched, e);
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    enter_();
    return true;
  }

 private:
  std::function<void()> enter_;
};

// Enter on the grid's current cell, not being edited, goes on as well.
class GridEnter : public QObject {
 public:
  GridEnter(QObject* parent, std::function<void()> enter) : QObject(parent), enter_(std::move(enter)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (!isEnter(e)) return QObject::eventFilter(watched, e);
    enter_();
    return true;
  }

 private:
  std::function<void()> enter_;
};

QLineEdit* totalBox(const char* name) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  e->setReadOnly(true);
  e->setAlignment(Qt::AlignRight);
  e->setFixedWidth(120);
  return e;
}

}  // namespace

FrmDetConcep::FrmDetConcep(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                           QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("FrmDetConcep");
  setWindowTitle("Detalle de Conceptos");
  setModal(true);
  build();
  fitToScreen(this, QSize(980, 640));
  form_ = std::make_unique<detail::ConceptForm>(session_, openDecl, person);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  if (form_) {
    for (const auto& g : form_->groups()) cmbConceptosRem_->addItem(qs(g.text), qs(g.group));
    cmbConceptosRem_->setCurrentIndex(-1);
    frame3_->setTitle(qs(form_->workerCaption()));
    lblPersona_->setText(qs(form_->personLabel()));
    refreshPanels();
  }
  cmbConceptosRem_->setEnabled(form_ != nullptr);
  cmdAceptar_->setEnabled(form_ != nullptr);
  EnterAsTab::install(this);
}

FrmDetConcep::~FrmDetConcep() = default;

void FrmDetConcep::build() {
  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  lblPersona_ = new QLabel;
  lblPersona_->setObjectName("LblPersona");
  top->addWidget(lblPersona_);
  top->addSpacing(16);
  top->addWidget(new QLabel("Grupo de conceptos:"));
  cmbConceptosRem_ = new QComboBox;
  cmbConceptosRem_->setObjectName("CmbConceptosRem");
  cmbConceptosRem_->setMinimumWidth(420);
  top->addWidget(cmbConceptosRem_, 1);
  root->addLayout(top);

  // One area below the chooser shows the chosen group: the grid (empty until a group is
  // chosen) or a contribution panel. It keeps its size whatever it shows, and so does the form.
  stack_ = new QStackedWidget;
  stack_->setObjectName("StkGrupo");
  buildGroupGrid();
  buildPanels();
  root->addWidget(stack_, 1);

  cmdAceptar_ = button("cmdAceptar", "&Aceptar");
  cmdSalir_ = button("CmdSalir", "&Salir");
  auto* buttons = buttonRow({cmdAceptar_, cmdSalir_});
  root->addLayout(buttons);

  connect(cmbConceptosRem_, &QComboBox::activated, this, &FrmDetConcep::chooseGroup);
  connect(grdConcep_, &QTableWidget::cellChanged, this, &FrmDetConcep::cellChanged);
  connect(cmdAceptar_, &QPushButton::clicked, this, &FrmDetConcep::onAccept);
  connect(cmdSalir_, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmDetConcep::buildGroupGrid() {
  // Frame5: the grid of any other group.
  frame5_ = new QGroupBox;
  frame5_->setObjectName("Frame5");
  auto* g5 = new QVBoxLayout(frame5_);
  grdConcep_ = new QTableWidget(0, 4);
  grdConcep_->setObjectName("grdConcep");
  grdConcep_->setHorizontalHeaderLabels({"Código", "Descripción", "Monto Devengado", "Monto Pagado"});
  grdConcep_->horizontalHeader()->setSectionResizeMode(kDescrip, QHeaderView::Stretch);
  grdConcep_->setColumnWidth(kCodigo, 70);
  grdConcep_->setColumnWidth(kMonto, 140);
  grdConcep_->setColumnWidth(kMontoPag, 140);
  grdConcep_->verticalHeader()->hide();
  auto next = [this] { nextCell(); };
  grdConcep_->setItemDelegateForColumn(kMonto, new AmountDelegate(grdConcep_, next));
  grdConcep_->setItemDelegateForColumn(kMontoPag, new AmountDelegate(grdConcep_, next));
  grdConcep_->installEventFilter(new GridEnter(grdConcep_, next));
  grdConcep_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  g5->addWidget(grdConcep_);
  auto* totals = new QHBoxLayout;
  totals->addStretch();
  totals->addWidget(new QLabel("Totales:"));
  txtTotalMonto_ = totalBox("TxtTotalMonto");
  txtTotalMontoPag_ = totalBox("TxtTotalMontoPag");
  totals->addWidget(txtTotalMonto_);
  totals->addWidget(txtTotalMontoPag_);
  g5->addLayout(totals);
  stack_->addWidget(frame5_);
}

void FrmDetConcep::buildPanels() {
  // Frame3 and Frame4: the contribution panels, one line per code with amount and base.
  auto panel = [&](QGroupBox*& frame, const char* frameName, auto& rows, const char* amountName, const char* baseName,
                   const char* labelName, QLineEdit*& total, const char* totalName, bool worker) {
    frame = new QGroupBox;
    frame->setObjectName(frameName);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel("Concepto"), 0, 0);
    grid->addWidget(new QLabel("Monto"), 0, 1);
    grid->addWidget(new QLabel("Base de cálculo"), 0, 2);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      auto& r = rows[static_cast<std::size_t>(i)];
      r.label = new QLabel;
      r.label->setObjectName(QString("%1_%2").arg(labelName).arg(i));
      r.label->setWordWrap(true);  // a long description takes two lines, not the width
      r.amount = new AmountEdit;
      r.amount->setObjectName(QString("%1_%2").arg(amountName).arg(i));
      r.amount->setFixedWidth(120);
      r.base = new AmountEdit;
      r.base->setObjectName(QString("%1_%2").arg(baseName).arg(i));
      r.base->setFixedWidth(120);
      grid->addWidget(r.label, i + 1, 0);
      grid->addWidget(r.amount, i + 1, 1);
      grid->addWidget(r.base, i + 1, 2);
      connect(r.amount, &QLineEdit::editingFinished, this, [this, worker, i] { panelEdited(worker, i, false); });
      connect(r.base, &QLineEdit::editingFinished, this, [this, worker, i] { panelEdited(worker, i, true); });
    }
    total = totalBox(totalName);
    int last = static_cast<int>(rows.size()) + 1;
    grid->addWidget(new QLabel("Total"), last, 0, Qt::AlignRight);
    grid->addWidget(total, last, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(last + 1, 1);
    // The seventeen lines of the worker's panel scroll on a low screen.
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QString(frameName) + "Scroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(frame);
    stack_->addWidget(scroll);
  };
  panel(frame3_, "Frame3", worker_, "TxtMonto", "TxtBaseCalculo", "LblCod", txtTotalAport_, "TxtTotalAport", true);
  panel(frame4_, "Frame4", employer_, "TxtMontoE", "TxtBaseCalculoE", "LblCodE", txtTotalAportE_, "TxtTotalAportE",
        false);
  frame4_->setTitle("APORTACIONES DEL EMPLEADOR");
}

void FrmDetConcep::chooseGroup(int index) {
  if (!form_ || index < 0) return;
  form_->chooseGroup(ss(cmbConceptosRem_->itemData(index).toString()));
  auto f = form_->frame();
  // Pages in the order they were built: the grid, the worker's panel, the employer's panel.
  int page = 0;
  if (f == detail::ConceptForm::Frame::Worker) page = 1;
  if (f == detail::ConceptForm::Frame::Employer) page = 2;
  stack_->setCurrentIndex(page);
  if (f == detail::ConceptForm::Frame::Grid) {
    frame5_->setTitle(cmbConceptosRem_->itemText(index));
    refreshGrid();
  } else {
    refreshPanels();
  }
}

void FrmDetConcep::refreshGrid() {
  refreshing_ = true;
  auto rows = form_->grid();
  grdConcep_->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const auto& r = rows[static_cast<std::size_t>(i)];
    auto cell = [&](int c, const std::string& text, bool editable) {
      auto* item = new QTableWidgetItem(qs(text));
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (editable) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      if (c >= kMonto) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grdConcep_->setItem(i, c, item);
    };
    cell(kCodigo, r.codigo, false);
    cell(kDescrip, r.descrip, false);
    cell(kMonto, r.monto, form_->cellEditable(i, detail::ConceptForm::Column::Monto));
    cell(kMontoPag, r.monto_pag, form_->cellEditable(i, detail::ConceptForm::Column::MontoPag));
  }
  txtTotalMonto_->setVisible(form_->showsTotalMonto());
  txtTotalMontoPag_->setVisible(form_->showsTotalMontoPag());
  txtTotalMonto_->setText(qs(form_->totalMonto()));
  txtTotalMontoPag_->setText(qs(form_->totalMontoPag()));
  refreshing_ = false;
}

// The next cell that takes an amount, row by row: the paid amount after the accrued one, then
// the next row's; the last one keeps the focus.
void FrmDetConcep::nextCell() {
  const int rows = grdConcep_->rowCount(), cols = grdConcep_->columnCount();
  const int from = grdConcep_->currentRow() * cols + grdConcep_->currentColumn();
  for (int k = std::max(from, -1) + 1; k < rows * cols; ++k) {
    QTableWidgetItem* item = grdConcep_->item(k / cols, k % cols);
    if (item && (item->flags() & Qt::ItemIsEditable)) {
      grdConcep_->setCurrentCell(k / cols, k % cols);
      return;
    }
  }
}

void FrmDetConcep::cellChanged(int row, int column) {
  if (refreshing_ || !form_ || (column != kMonto && column != kMontoPag)) return;
  auto col = column == kMonto ? detail::ConceptForm::Column::Monto : detail::ConceptForm::Column::MontoPag;
  form_->setCell(row, col, ss(grdConcep_->item(row, column)->text()));
  // The cells show the stored texts (a refused edit shows the text it had).
  refreshing_ = true;
  auto rows = form_->grid();
  for (int i = 0; i < grdConcep_->rowCount() && i < static_cast<int>(rows.size()); ++i) {
    grdConcep_->item(i, kMonto)->setText(qs(rows[static_cast<std::size_t>(i)].monto));
    grdConcep_->item(i, kMontoPag)->setText(qs(rows[static_cast<std::size_t>(i)].monto_pag));
  }
  txtTotalMonto_->setText(qs(form_->totalMonto()));
  txtTotalMontoPag_->setText(qs(form_->totalMontoPag()));
  refreshing_ = false;
}

void FrmDetConcep::refreshPanels() {
  if (!form_) return;
  refreshing_ = true;
  auto show = [](PanelRow& row, const detail::ConceptForm::Box& box) {
    row.label->setText(qs(box.label));
    row.amount->setText(qs(box.amount));
    row.base->setText(qs(box.base));
    for (QWidget* w :
         {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.amount), static_cast<QWidget*>(row.base)})
      w->setVisible(box.visible);
    row.base->setVisible(box.visible && box.hasBase);
    row.amount->setEnabled(!box.disabled);
    row.base->setEnabled(!box.disabled);
    row.amount->setReadOnly(box.amountLocked);
    row.base->setReadOnly(box.baseLocked);
  };
  for (std::size_t i = 0; i < worker_.size(); ++i) show(worker_[i], form_->workerBoxes()[i]);
  for (std::size_t j = 0; j < employer_.size(); ++j) show(employer_[j], form_->employerBoxes()[j]);
  txtTotalAport_->setText(qs(form_->totalAport()));
  txtTotalAportE_->setText(qs(form_->totalAportE()));
  refreshing_ = false;
}

void FrmDetConcep::panelEdited(bool worker, int index, bool base) {
  if (refreshing_ || !form_) return;
  auto& row = worker ? worker_[static_cast<std::size_t>(index)] : employer_[static_cast<std::size_t>(index)];
  AmountEdit* edit = base ? row.base : row.amount;
  if (edit->isReadOnly()) return;
  std::string text = ss(edit->text());
  if (worker)
    base ? form_->setWorkerBase(index, text) : form_->setWorkerAmount(index, text);
  else
    base ? form_->setEmployerBase(index, text) : form_->setEmployerAmount(index, text);
  refreshPanels();
}

void FrmDetConcep::onAccept() {
  if (!form_) return;
  cmdAceptar_->setFocus();  // the box or cell being edited commits its text first
  try {
    form_->accept();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(session_.msg(), e);
    return;
  }
  accept();
}

}  // namespace korventa::ui
