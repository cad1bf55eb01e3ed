#include "detail/ui/frm_estab_sctr.h"
#include "detail/ui/frm_sctr.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "detail/establishments_form.h"

namespace korventa::ui {
frmEstab::frmEstab(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("frmEstab");
  setWindowTitle("Establecimientos del trabajador");
  setModal(true);
  resize(720, 360);
  auto* root = new QVBoxLayout(this);
  root->addWidget(new QLabel("Marque los establecimientos donde laboró el trabajador en el período:"));
  lstEstab_ = new QListWidget;
  lstEstab_->setObjectName("lstEstab");
  root->addWidget(lstEstab_, 1);
  auto* aceptar = button("CmdAceptar", "&Aceptar");
  auto* cancelar = button("CmdCancelar", "&Cancelar");
  root->addLayout(buttonRow({aceptar, cancelar}));
  connect(aceptar, &QPushButton::clicked, this, &frmEstab::onAccept);
  connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);

  form_ = std::make_unique<detail::EstablishmentsForm>(session_, openDecl, person);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  if (form_) {
    for (const auto& it : form_->items()) {
      auto* item = new QListWidgetItem(qs(it.text()), lstEstab_);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
      item->setCheckState(it.selected ? Qt::Checked : Qt::Unchecked);
    }
  }
  aceptar->setEnabled(form_ != nullptr);
}

frmEstab::~frmEstab() = default;

void frmEstab::onAccept() {
  if (!form_) return;
  for (int i = 0; i < lstEstab_->count(); ++i)
    form_->setSelected(static_cast<std::size_t>(i), lstEstab_->item(i)->checkState() == Qt::Checked);
  if (guarded(session_, [&] { form_->accept(); })) accept();
}

// ---------------------------------------------------------------------------------------------

frmSCTR::frmSCTR(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("frmSCTR");
  setWindowTitle("Seguro Complementario de Trabajo de Riesgo");
  setModal(true);
  auto* root = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  cmbRuc_ = new QComboBox;
  cmbRuc_->setObjectName("CmbRuc");
  lblRazon_ = new QLabel;
  lblRazon_->setObjectName("LblRazon");
  cmbCorrelativo_ = new QComboBox;
  cmbCorrelativo_->setObjectName("CmbCorrelativo");
  cmbCorrelativo_->setMinimumWidth(380);
  cmbTasas_ = new QComboBox;
  cmbTasas_->setObjectName("CmbTasas");
  f->addRow("RUC:", cmbRuc_);
  f->addRow("Razón social:", lblRazon_);
  f->addRow("Establecimiento:", cmbCorrelativo_);
  f->addRow("Tasa (%):", cmbTasas_);
  root->addLayout(f);
  auto* grabar = button("cmdAccion_0", "&Grabar");
  auto* eliminar = button("cmdAccion_1", "&Eliminar");
  auto* salir = button("cmdAccion_2", "&Salir");
  root->addLayout(buttonRow({grabar, eliminar, salir}));

  form_ = std::make_unique<detail::SctrForm>(session_, openDecl, person);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  if (form_) showChoice();
  grabar->setEnabled(form_ != nullptr);
  eliminar->setEnabled(form_ && form_->hasChoice());

  connect(cmbRuc_, &QComboBox::currentIndexChanged, this, [this] {
    if (showing_ || !form_) return;
    guarded(session_, [&] { form_->chooseRuc(ss(cmbRuc_->currentData().toString())); });
    showChoice();
  });
  connect(cmbCorrelativo_, &QComboBox::currentIndexChanged, this, [this] {
    if (showing_ || !form_) return;
    guarded(session_, [&] { form_->chooseEstablishment(ss(cmbCorrelativo_->currentData().toString())); });
    showChoice();
  });
  connect(cmbTasas_, &QComboBox::currentIndexChanged, this, [this] {
    if (showing_ || !form_) return;
    form_->chooseRate(ss(cmbTasas_->currentData().toString()));
  });
  connect(grabar, &QPushButton::clicked, this, &frmSCTR::onSave);
  connect(eliminar, &QPushButton::clicked, this, &frmSCTR::onRemove);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  EnterAsTab::install(this);
}

frmSCTR::~frmSCTR() = default;

void frmSCTR::fill(QComboBox* combo, const std::vector<detail::Choice>& items, const std::string& current) {
  combo->clear();
  for (const auto& c : items) combo->addItem(qs(c.text), qs(c.code));
  combo->setCurrentIndex(combo->findData(qs(current)));
}

void frmSCTR::showChoice() {
  showing_ = true;
  fill(cmbRuc_, form_->rucs(), form_->ruc());
  lblRazon_->setText(qs(form_->rucName()));
  fill(cmbCorrelativo_, form_->establishments(), form_->establishment());
  fill(cmbTasas_, form_->rates(), form_->rate());
  showing_ = false;
}

void frmSCTR::onSave() {
  if (!form_) return;
  if (!guardedSave(session_, this, [&] { return form_->save(); })) return;
  accept();
}

void frmSCTR::onRemove() {
  if (!form_) return;
  if (guarded(session_, [&] { form_->remove(); })) accept();
}

}  // namespace korventa::ui
