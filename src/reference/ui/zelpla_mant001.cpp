#include "reference/ui/zelpla_mant001.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "reference/ui/frm_afecta.h"

namespace korventa::ui {

namespace {

enum Column { ColSel = 0, ColCodigo = 1, ColDescrip = 2 };

// QTableWidget with access to the editor that is open, so that a save takes the text being typed.
class ConceptGrid : public QTableWidget {
 public:
  using QTableWidget::QTableWidget;
  void commitPendingEdit() {
    if (state() != QAbstractItemView::EditingState) return;
    QWidget* editor = QApplication::focusWidget();
    if (!editor || !viewport()->isAncestorOf(editor)) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
};

QPushButton* button(QWidget* parent, const char* text, const char* name) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

zelpla_Mant001::zelpla_Mant001(Session& session, QWidget* parent) : QDialog(parent), session_(session), ctl_(session) {
  setObjectName("zelpla_Mant001");
  setWindowTitle("Mantenimiento de conceptos");

  cboDeclarantes_ = new QComboBox(this);
  cboDeclarantes_->setObjectName("cboDeclarantes");
  for (const auto& d : ctl_.declarants()) cboDeclarantes_->addItem(qs(d.doc_id_d), qs(d.doc_id_d));
  cboDeclarantes_->setCurrentIndex(-1);
  txtRazon_ = new QLineEdit(this);
  txtRazon_->setObjectName("txtRazon");
  txtRazon_->setReadOnly(true);
  txtRazon_->setFocusPolicy(Qt::NoFocus);

  cboRubroConcepto_ = new QComboBox(this);
  cboRubroConcepto_->setObjectName("cboRubroConcepto");
  for (const auto& g : ctl_.groups()) cboRubroConcepto_->addItem(qs(g.display()), qs(g.codigo));
  cboRubroConcepto_->setCurrentIndex(-1);
  cboRubroConcepto_->setEnabled(false);

  auto* grid = new ConceptGrid(0, 3, this);
  grdConceptos_ = grid;
  grdConceptos_->setObjectName("grdConceptos");
  grdConceptos_->setHorizontalHeaderLabels({"Sel.", "Código", "Descripción"});
  grdConceptos_->verticalHeader()->setVisible(false);
  grdConceptos_->verticalHeader()->setDefaultSectionSize(grdConceptos_->fontMetrics().height() + 8);
  grdConceptos_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grdConceptos_->setSelectionMode(QAbstractItemView::SingleSelection);
  grdConceptos_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::SelectedClicked);
  grdConceptos_->horizontalHeader()->setSectionResizeMode(ColSel, QHeaderView::ResizeToContents);
  grdConceptos_->horizontalHeader()->setSectionResizeMode(ColCodigo, QHeaderView::ResizeToContents);
  grdConceptos_->horizontalHeader()->setStretchLastSection(true);

  cmdSelAll_ = button(this, "&Marcar todos", "cmdSelAll");
  cmdDeSelectAll_ = button(this, "&Desmarcar todos", "cmdDeSelectAll");
  cmdAfectacion_ = button(this, "A&fectación", "cmdAfectacion");
  CmdGrabar_ = button(this, "&Grabar", "CmdGrabar");
  auto* cancelar = button(this, "&Cancelar", "CmdCancelar");

  auto* top = new QGridLayout;
  top->addWidget(new QLabel("Declarante:", this), 0, 0);
  top->addWidget(cboDeclarantes_, 0, 1);
  top->addWidget(txtRazon_, 0, 2);
  top->addWidget(new QLabel("Rubro:", this), 1, 0);
  top->addWidget(cboRubroConcepto_, 1, 1, 1, 2);
  top->setColumnStretch(2, 1);
  cboDeclarantes_->setMinimumWidth(130);

  auto* marks = new QHBoxLayout;
  marks->addWidget(cmdSelAll_);
  marks->addWidget(cmdDeSelectAll_);
  marks->addWidget(cmdAfectacion_);
  marks->addStretch();
  marks->addWidget(CmdGrabar_);
  marks->addWidget(cancelar);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(grdConceptos_, 1);
  layout->addLayout(marks);
  resize(760, 560);

  connect(cboDeclarantes_, &QComboBox::currentIndexChanged, this, &zelpla_Mant001::cboDeclarantes_Click);
  connect(cboRubroConcepto_, &QComboBox::currentIndexChanged, this, &zelpla_Mant001::cboRubroConcepto_Click);
  connect(grdConceptos_, &QTableWidget::itemChanged, this, &zelpla_Mant001::grdConceptos_Change);
  connect(grdConceptos_, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
  connect(cmdSelAll_, &QPushButton::clicked, this, [this] {
    ctl_.selectAll();
    fillGrid();
  });
  connect(cmdDeSelectAll_, &QPushButton::clicked, this, [this] {
    ctl_.clearAll();
    fillGrid();
  });
  connect(cmdAfectacion_, &QPushButton::clicked, this, &zelpla_Mant001::cmdAfectacion_Click);
  connect(CmdGrabar_, &QPushButton::clicked, this, &zelpla_Mant001::CmdGrabar_Click);
  connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
  updateButtons();
}

void zelpla_Mant001::cboDeclarantes_Click(int index) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool ok = index >= 0 && ctl_.chooseDeclarant(ss(cboDeclarantes_->itemData(index).toString()));
  QApplication::restoreOverrideCursor();
  txtRazon_->setText(ok ? qs(ctl_.declarantName()) : QString());
  // The grid stays empty until a group is chosen.
  {
    QSignalBlocker block(cboRubroConcepto_);
    cboRubroConcepto_->setCurrentIndex(-1);
  }
  cboRubroConcepto_->setEnabled(ok);
  fillGrid();
}

void zelpla_Mant001::cboRubroConcepto_Click(int index) {
  ctl_.chooseGroup(index >= 0 ? ss(cboRubroConcepto_->itemData(index).toString()) : std::string());
  fillGrid();
  if (grdConceptos_->rowCount() > 0) grdConceptos_->setCurrentCell(0, ColSel);
}

void zelpla_Mant001::fillGrid() {
  filling_ = true;
  auto rows = ctl_.rows();
  grdConceptos_->setRowCount(int(rows.size()));
  for (int r = 0; r < int(rows.size()); ++r) {
    const auto& c = rows[std::size_t(r)];
    auto* sel = new QTableWidgetItem;
    sel->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    sel->setCheckState(c.selected ? Qt::Checked : Qt::Unchecked);
    sel->setData(Qt::UserRole, qs(c.codigo));
    auto* code = new QTableWidgetItem(qs(c.codigo));
    code->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    auto* desc = new QTableWidgetItem(qs(c.descripcion));
    desc->setFlags(c.own() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                           : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grdConceptos_->setItem(r, ColSel, sel);
    grdConceptos_->setItem(r, ColCodigo, code);
    grdConceptos_->setItem(r, ColDescrip, desc);
  }
  filling_ = false;
  updateButtons();
}

void zelpla_Mant001::grdConceptos_Change(QTableWidgetItem* item) {
  if (filling_ || !item) return;
  int r = item->row();
  auto* codeItem = grdConceptos_->item(r, ColCodigo);
  if (!codeItem) return;
  std::string code = ss(codeItem->text());
  if (item->column() == ColSel) {
    ctl_.setSelected(code, item->checkState() == Qt::Checked);
  } else if (item->column() == ColDescrip) {
    if (!ctl_.setDescription(code, ss(item->text()))) {
      // Refused: the cell goes back to the description kept.
      for (const auto& c : ctl_.rows()) {
        if (c.codigo != code) continue;
        filling_ = true;
        item->setText(qs(c.descripcion));
        filling_ = false;
      }
    }
  }
}

void zelpla_Mant001::updateButtons() {
  bool rows = grdConceptos_->rowCount() > 0;
  cmdSelAll_->setEnabled(rows);
  cmdDeSelectAll_->setEnabled(rows);
  int r = grdConceptos_->currentRow();
  auto* codeItem = r >= 0 ? grdConceptos_->item(r, ColCodigo) : nullptr;
  cmdAfectacion_->setEnabled(codeItem && reference::isOwnConcept(ss(codeItem->text())));
  CmdGrabar_->setEnabled(ctl_.hasDeclarant());
}

void zelpla_Mant001::cmdAfectacion_Click() {
  int r = grdConceptos_->currentRow();
  auto* codeItem = r >= 0 ? grdConceptos_->item(r, ColCodigo) : nullptr;
  if (!codeItem || !ctl_.hasDeclarant()) return;
  commitPendingEdit();
  FrmAfecta dialog(session_, this);
  if (dialog.load(ctl_.ruc(), ss(codeItem->text()))) dialog.exec();
}

void zelpla_Mant001::commitPendingEdit() {
  static_cast<ConceptGrid*>(grdConceptos_)->commitPendingEdit();
}

void zelpla_Mant001::CmdGrabar_Click() {
  commitPendingEdit();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ctl_.save();
  QApplication::restoreOverrideCursor();
}

}  // namespace korventa::ui
