#include "reference/ui/frm_afecta.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"

namespace korventa::ui {

FrmAfecta::FrmAfecta(Session& session, QWidget* parent) : QDialog(parent), ctl_(session) {
  setObjectName("FrmAfecta");
  setWindowTitle("Afectación");
  lblConcepto_ = new QLabel(this);
  lblConcepto_->setObjectName("lblConcepto");
  QFont bold = lblConcepto_->font();
  bold.setBold(true);
  lblConcepto_->setFont(bold);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  const auto& labels = reference::affectationLabels();
  for (int i = 0; i < reference::kAffectationPositions; ++i) {
    auto* label = new QLabel(qs(labels[std::size_t(i)]), this);
    label->setObjectName(QString("lblAfecta_%1").arg(i));
    auto* b = new QPushButton("NO", this);
    b->setObjectName(QString("cmdAfecta_%1").arg(i));
    b->setAutoDefault(false);
    b->setFixedWidth(56);
    b->setEnabled(false);
    connect(b, &QPushButton::clicked, this, [this, i] {
      ctl_.flip(i);
      refresh();
    });
    toggles_[std::size_t(i)] = b;
    grid->addWidget(label, i, 0);
    grid->addWidget(b, i, 1);
  }

  CmdAceptar_ = new QPushButton("&Aceptar", this);
  CmdAceptar_->setObjectName("CmdAceptar");
  CmdAceptar_->setAutoDefault(false);
  CmdAceptar_->setEnabled(false);
  connect(CmdAceptar_, &QPushButton::clicked, this, &FrmAfecta::CmdAceptar_Click);
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("CmdSalir");
  salir->setAutoDefault(false);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CmdAceptar_);
  buttons->addWidget(salir);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblConcepto_);
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

bool FrmAfecta::load(const std::string& ruc, const std::string& codigo) {
  bool ok = ctl_.load(ruc, codigo);
  lblConcepto_->setText(ok ? qs(ctl_.codigo() + "  " + ctl_.descripcion()) : QString());
  for (auto* b : toggles_) b->setEnabled(ok);
  CmdAceptar_->setEnabled(ok);
  refresh();
  return ok;
}

void FrmAfecta::refresh() {
  for (int i = 0; i < reference::kAffectationPositions; ++i) toggles_[std::size_t(i)]->setText(qs(ctl_.caption(i)));
}

void FrmAfecta::CmdAceptar_Click() {
  if (ctl_.accept()) accept();
}

}  // namespace korventa::ui
