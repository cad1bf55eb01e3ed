#include "detail/ui/frm61501.h"

#include <stdexcept>

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "common/vb_format.h"
#include "data/servicios_comunes.h"
#include "detail/ui/detail_form_kit.h"
#include "detail/ui/frm61502.h"

namespace korventa::ui {

Frm61501::Frm61501(Session& session, const model::OpenDeclaration& decl, int category, QWidget* parent)
    : QDialog(parent), s_(session), ctl_(session, decl, category) {
  setObjectName("Frm61501");
  setWindowTitle(category == kTrainee ? "Modalidad Formativa" : "Prestadores de Servicios - Rentas de 4ta. Categoría");
  setModal(true);

  auto* ident = buildIdentity(category);

  grdRecibos_ =
      grid("grdRecibos",
           {"Tipo", "Serie", "Número", "Fecha Emisión", "Fecha Pago", "Monto", "Retención", "% Ret.", "Monto Retenido"},
           this);
  grdRecibos_->horizontalHeader()->setMinimumSectionSize(60);
  grdRecibos_->setMinimumHeight(160);
  connect(grdRecibos_, &QTableWidget::cellDoubleClicked, this, [this] { CmdModificaRec_Click(); });

  auto* countersBox = new QVBoxLayout;
  for (std::size_t i = 0; i < ctl_.counterTexts().size(); ++i) {
    auto* l = new QLabel(this);
    l->setObjectName(QString("lblCantidad%1").arg(i));
    countersBox->addWidget(l);
    counters_.push_back(l);
  }

  CmdNuevoRec_ = button("CmdNuevoRec", "&Nuevo", this);
  CmdModificaRec_ = button("CmdModificaRec", "&Modificar", this);
  CmdEliminaRec_ = button("CmdEliminaRec", "&Eliminar", this);
  CmdAceptar_ = button("CmdAceptar", "&Aceptar", this);
  auto* salir = button("CmdSalir", "&Salir", this);
  connect(CmdNuevoRec_, &QPushButton::clicked, this, &Frm61501::CmdNuevoRec_Click);
  connect(CmdModificaRec_, &QPushButton::clicked, this, &Frm61501::CmdModificaRec_Click);
  connect(CmdEliminaRec_, &QPushButton::clicked, this, &Frm61501::CmdEliminaRec_Click);
  connect(CmdAceptar_, &QPushButton::clicked, this, &Frm61501::CmdAceptar_Click);
  connect(salir, &QPushButton::clicked, this, &Frm61501::reject);

  auto* recButtons = new QHBoxLayout;
  recButtons->addLayout(countersBox);
  recButtons->addStretch();
  recButtons->addWidget(CmdNuevoRec_);
  recButtons->addWidget(CmdModificaRec_);
  recButtons->addWidget(CmdEliminaRec_);
  auto* bottom = buttonRow({CmdAceptar_, salir});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ident);
  layout->addWidget(new QLabel("Comprobantes de pago:", this));
  layout->addWidget(grdRecibos_);
  layout->addLayout(recButtons);
  layout->addLayout(bottom);

  connectBoxes();

  EnterAsTab::install(this);
  refresh();
  resize(860, 560);
}

// The person: document, surnames, names and condition.
QGroupBox* Frm61501::buildIdentity(int category) {
  auto* ident = new QGroupBox("Datos del " + qs(detail::categoryCaption(category)), this);
  auto* g = new QGridLayout(ident);
  id_ = identityBoxes(ident, g, ctl_);
  id_.registrados->setMinimumContentsLength(40);
  TxtNombre1_ = lineEdit("TxtNombre1", 40, ident);
  TxtNombre2_ = lineEdit("TxtNombre2", 40, ident);
  OptDomiciliado_ = radio("OptDomiciliado", "Domiciliado", ident);
  OptNoDomiciliado_ = radio("OptNoDomiciliado", "No Domiciliado", ident);
  g->addWidget(new QLabel("Primer Nombre:", ident), 3, 0);
  g->addWidget(TxtNombre1_, 3, 1);
  g->addWidget(new QLabel("Segundo Nombre:", ident), 3, 2);
  g->addWidget(TxtNombre2_, 3, 3);
  auto* dom = new QHBoxLayout;
  dom->addWidget(OptDomiciliado_);
  dom->addWidget(OptNoDomiciliado_);
  dom->addStretch();
  g->addWidget(new QLabel("Condición:", ident), 4, 0);
  g->addLayout(dom, 4, 1, 1, 3);
  return ident;
}

// The controller follows the person's boxes as they are typed.
void Frm61501::connectBoxes() {
  connectIdentity(this, id_, ctl_, loading_, [this] { refresh(); });
  connect(id_.numDoc, &QLineEdit::editingFinished, this, [this] {
    if (!loading_ && ctl_.documentEntered()) refresh();
  });
  follow(this, id_.apePat, loading_, [this](const std::string& v) { ctl_.setDesPat(v); });
  follow(this, id_.apeMat, loading_, [this](const std::string& v) { ctl_.setDesMat(v); });
  follow(this, TxtNombre1_, loading_, [this](const std::string& v) { ctl_.setDesNo1(v); });
  follow(this, TxtNombre2_, loading_, [this](const std::string& v) { ctl_.setDesNo2(v); });
  connect(OptDomiciliado_, &QRadioButton::toggled, this, [this](bool on) {
    if (!loading_) ctl_.setDomiciled(on);
  });
  // Names take letters only, upper-cased.
  for (QLineEdit* e : {id_.apePat, id_.apeMat, TxtNombre1_, TxtNombre2_})
    connect(e, &QLineEdit::textEdited, this, [e](const QString& t) {
      QString u = t.toUpper();
      if (u != t) {
        int pos = e->cursorPosition();
        e->setText(u);
        e->setCursorPosition(pos);
      }
    });
}

bool Frm61501::openExisting(const PersonKey& person) {
  bool ok = ctl_.openExisting(person);
  refresh();
  return ok;
}

void Frm61501::refresh() {
  loading_ = true;
  const auto& id = ctl_.identity();
  int i = id_.tipoDoc->findData(ctl_.tipDoc());
  id_.tipoDoc->setCurrentIndex(i);
  id_.numDoc->setText(qs(ctl_.docId()));
  id_.apePat->setText(qs(id.desPat));
  id_.apeMat->setText(qs(id.desMat));
  TxtNombre1_->setText(qs(id.desNo1));
  TxtNombre2_->setText(qs(id.desNo2));
  OptDomiciliado_->setChecked(ctl_.domiciled());
  OptNoDomiciliado_->setChecked(!ctl_.domiciled());
  bool editable = !ctl_.readOnly();
  bool docEditable = editable && ctl_.isNew() && ctl_.vouchers().empty();
  id_.tipoDoc->setEnabled(docEditable);
  id_.numDoc->setReadOnly(!docEditable);
  id_.registrados->setEnabled(docEditable);
  for (QLineEdit* e : {id_.apePat, id_.apeMat, TxtNombre1_, TxtNombre2_}) e->setReadOnly(!editable);
  OptDomiciliado_->setEnabled(editable);
  OptNoDomiciliado_->setEnabled(editable);
  CmdNuevoRec_->setEnabled(editable);
  CmdModificaRec_->setEnabled(editable);
  CmdEliminaRec_->setEnabled(editable);
  CmdAceptar_->setEnabled(editable);
  loading_ = false;
  refreshVouchers();
}

void Frm61501::refreshVouchers() {
  const auto& vs = ctl_.vouchers();
  grdRecibos_->setRowCount(static_cast<int>(vs.size()));
  for (int r = 0; r < static_cast<int>(vs.size()); ++r) {
    const auto& v = vs[static_cast<std::size_t>(r)];
    QStringList cells;
    for (const auto& text : detail::voucherCells(v)) cells << qs(text);
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c >= 5) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grdRecibos_->setItem(r, c, item);
    }
  }
  grdRecibos_->resizeColumnsToContents();
  auto texts = ctl_.counterTexts();
  for (std::size_t i = 0; i < counters_.size() && i < texts.size(); ++i) counters_[i]->setText(qs(texts[i]));
}

void Frm61501::applyFocus() {
  focusControl(this, ctl_.focus());
}

void Frm61501::openVoucher(const detail::VoucherContext& ctx, const detail::Voucher* v) {
  auto* dlg = new Frm61502(s_, ctx, this);
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  if (v) dlg->load(*v);
  connect(dlg, &QDialog::finished, this, [this] {
    ctl_.Refresh_Recibos();
    refresh();
  });
  dlg->open();
}

void Frm61501::CmdNuevoRec_Click() {
  auto ctx = ctl_.newVoucher();
  refresh();  // the typed document may have opened a provider already entered
  if (!ctx) return applyFocus();
  openVoucher(*ctx, nullptr);
}

void Frm61501::CmdModificaRec_Click() {
  int row = grdRecibos_->currentRow();
  if (grdRecibos_->selectedItems().isEmpty()) row = -1;
  auto ctx = ctl_.modifyVoucher(row);
  if (!ctx) return applyFocus();
  openVoucher(*ctx, &ctl_.vouchers()[static_cast<std::size_t>(row)]);
}

void Frm61501::CmdEliminaRec_Click() {
  int row = grdRecibos_->selectedItems().isEmpty() ? -1 : grdRecibos_->currentRow();
  if (ctl_.Eliminar(row)) refresh();
}

void Frm61501::CmdAceptar_Click() {
  if (ctl_.accept()) {
    done(QDialog::Accepted);
    return;
  }
  applyFocus();
}

void Frm61501::reject() {
  if (ctl_.leave()) {
    QDialog::reject();
    return;
  }
  applyFocus();
}

std::unique_ptr<Frm61501> Frm61501::open(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                                         bool modify, QWidget* parent) {
  int category = person.cod_cat_tra == kTrainee ? kTrainee : kProvider;
  auto f = std::make_unique<Frm61501>(session, decl, category, parent);
  if (modify || decl.sent()) f->openExisting(person);
  return f;
}

}  // namespace korventa::ui
