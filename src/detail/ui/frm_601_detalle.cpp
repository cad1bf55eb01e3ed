#include "detail/ui/frm_601_detalle.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"

namespace korventa::ui {
namespace {

QComboBox* combo(const char* name) {
  auto* c = new QComboBox;
  c->setObjectName(name);
  return c;
}

void fill(QComboBox* c, const std::vector<detail::Choice>& items, const std::string& current) {
  c->clear();
  for (const auto& i : items) c->addItem(qs(i.text), qs(i.code));
  c->setCurrentIndex(c->findData(qs(current)));
}

}  // namespace

Frm601Detalle::Frm601Detalle(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                             QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("Frm601Detalle");
  setWindowTitle("Personal de terceros - SCTR");
  setModal(true);
  auto* root = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  cmbNombres_ = combo("CmbNombres");
  cmbNombres_->setMinimumWidth(380);
  cmbRuc_ = combo("CmbRuc");
  cmbCorrelativo_ = combo("CmbCorrelativo");
  cmbTasas_ = combo("CmbTasas");
  txtRemSctr_ = new AmountEdit(nullptr, 9);
  txtRemSctr_->setObjectName("TxtRemSctr");
  txtSctr_ = readOnlyEdit("TxtSCTR");
  f->addRow("Apellidos y nombres:", cmbNombres_);
  f->addRow("RUC:", cmbRuc_);
  f->addRow("Centro de riesgo:", cmbCorrelativo_);
  f->addRow("Tasa (%):", cmbTasas_);
  f->addRow("Base de cálculo:", txtRemSctr_);
  f->addRow("Essalud SCTR:", txtSctr_);
  root->addLayout(f);
  auto* grabar = button("CmdGrabar", "&Grabar");
  auto* salir = button("CmdSalir", "&Salir");
  root->addLayout(buttonRow({grabar, salir}));

  form_ = std::make_unique<detail::ThirdPartyForm>(session_, openDecl);
  if (!guarded(session_, [&] {
        form_->load();
        form_->choosePerson(person);
      }))
    form_.reset();
  if (form_) {
    for (const auto& p : form_->persons()) cmbNombres_->addItem(qs(p.nombre));
    showPerson();
  }
  grabar->setEnabled(form_ != nullptr);

  connect(cmbNombres_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (showing_ || !form_) return;
    guarded(session_, [&] { form_->choosePerson(i); });
    showPerson();
  });
  connect(cmbRuc_, &QComboBox::currentIndexChanged, this, [this] {
    if (showing_ || !form_) return;
    guarded(session_, [&] { form_->chooseRuc(ss(cmbRuc_->currentData().toString())); });
    showPerson();
  });
  connect(cmbCorrelativo_, &QComboBox::currentIndexChanged, this, [this] {
    if (showing_ || !form_) return;
    guarded(session_, [&] { form_->chooseEstablishment(ss(cmbCorrelativo_->currentData().toString())); });
    showPerson();
  });
  connect(cmbTasas_, &QComboBox::currentIndexChanged, this, [this] {
    if (showing_ || !form_) return;
    form_->chooseRate(ss(cmbTasas_->currentData().toString()));
    txtSctr_->setText(qs(form_->sctrAmount()));
  });
  connect(txtRemSctr_, &QLineEdit::textChanged, this, [this] {
    if (showing_ || !form_) return;
    form_->setRemuneration(ss(txtRemSctr_->text()));
    txtSctr_->setText(qs(form_->sctrAmount()));
  });
  connect(grabar, &QPushButton::clicked, this, &Frm601Detalle::onSave);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  EnterAsTab::install(this);
}

Frm601Detalle::~Frm601Detalle() = default;

void Frm601Detalle::showPerson() {
  showing_ = true;
  cmbNombres_->setCurrentIndex(form_->person());
  fill(cmbRuc_, form_->rucs(), form_->ruc());
  fill(cmbCorrelativo_, form_->establishments(), form_->establishment());
  fill(cmbTasas_, form_->rates(), form_->rate());
  txtRemSctr_->setText(qs(form_->remuneration()));
  txtSctr_->setText(qs(form_->sctrAmount()));
  showing_ = false;
}

void Frm601Detalle::onSave() {
  if (!form_) return;
  form_->setRemuneration(ss(txtRemSctr_->text()));
  if (!guardedSave(session_, this, [&] { return form_->save(); })) return;
  showPerson();
}

}  // namespace korventa::ui
