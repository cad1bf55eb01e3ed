#include "determination/ui/forma_de_pago.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "common/ui/qt_messenger.h"
#include "common/text.h"
#include "determination/debt_grid.h"

namespace korventa::ui {

FormaDePagoZEL::FormaDePagoZEL(data::Database& db, QWidget* parent) : QWidget(parent) {
  setObjectName("FormaDePagoZEL1");
  auto* g = new QGridLayout(this);
  g->setContentsMargins(0, 0, 0, 0);
  g->addWidget(new QLabel(qs("Forma de pago :"), this), 0, 0);
  efectivo_ = new QRadioButton(qs("Efectivo"), this);
  efectivo_->setObjectName("OptEfectivo");
  cheque_ = new QRadioButton(qs("Cheque"), this);
  cheque_->setObjectName("OptCheque");
  efectivo_->setChecked(true);
  g->addWidget(efectivo_, 0, 1);
  g->addWidget(cheque_, 0, 2);
  g->addWidget(new QLabel(qs("Banco :"), this), 0, 3);
  banco_ = new QComboBox(this);
  banco_->setObjectName("CboBanco");
  banco_->addItem(qs("(Ninguno)"), "XX");
  for (const auto& b : determination::paymentBanks(db)) banco_->addItem(qs(b.caption), qs(b.code));
  g->addWidget(banco_, 0, 4);
  g->addWidget(new QLabel(qs("Nro. Cheque :"), this), 0, 5);
  nroCheque_ = new QLineEdit(this);
  nroCheque_->setObjectName("TxtNroCheque");
  nroCheque_->setMaxLength(15);
  nroCheque_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,15}"), nroCheque_));
  g->addWidget(nroCheque_, 0, 6);
  g->addWidget(new QLabel(qs("Total a pagar :"), this), 0, 7);
  total_ = new QLineEdit(this);
  total_->setObjectName("TxtTotal");
  total_->setReadOnly(true);
  total_->setFocusPolicy(Qt::NoFocus);
  total_->setAlignment(Qt::AlignRight);
  g->addWidget(total_, 0, 8);
  g->setColumnStretch(4, 1);
  connect(efectivo_, &QRadioButton::toggled, this, [this] {
    updateEnabled();
    emit changed();
  });
  connect(banco_, &QComboBox::currentIndexChanged, this, [this] { emit changed(); });
  connect(nroCheque_, &QLineEdit::textEdited, this, [this] { emit changed(); });
  updateEnabled();
}

void FormaDePagoZEL::updateEnabled() {
  bool cheque = cheque_->isChecked();
  banco_->setEnabled(cheque);
  nroCheque_->setEnabled(cheque);
}

QString FormaDePagoZEL::tipoPago() const {
  return cheque_->isChecked() ? "C" : "E";
}
QString FormaDePagoZEL::banco() const {
  return banco_->currentData().toString();
}
QString FormaDePagoZEL::nroCheque() const {
  return nroCheque_->text().trimmed();
}
QString FormaDePagoZEL::total() const {
  return total_->text();
}

void FormaDePagoZEL::setTipoPago(const QString& t) {
  QSignalBlocker b(this);
  (t == "C" ? cheque_ : efectivo_)->setChecked(true);
  updateEnabled();
}

void FormaDePagoZEL::setBanco(const QString& code) {
  QSignalBlocker b(this);
  int i = banco_->findData(code.trimmed());
  banco_->setCurrentIndex(i < 0 ? 0 : i);
}

void FormaDePagoZEL::setNroCheque(const QString& n) {
  nroCheque_->setText(n.trimmed());
}
void FormaDePagoZEL::setTotal(const QString& t) {
  total_->setText(t);
}

}  // namespace korventa::ui
