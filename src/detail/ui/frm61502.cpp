#include "detail/ui/frm61502.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "detail/ui/detail_form_kit.h"

namespace korventa::ui {

namespace {

DateEdit* dateBox(QWidget* parent, const char* name) {
  auto* d = new DateEdit(parent);
  d->setObjectName(name);
  return d;
}

// The amount retained, as the rate gives it.
QLineEdit* retainedBox(QWidget* parent, const char* name) {
  auto* e = lineEdit(name, 20, parent);
  e->setReadOnly(true);
  e->setAlignment(Qt::AlignRight);
  e->setMinimumWidth(130);
  return e;
}

}  // namespace

Frm61502::Frm61502(Session& session, detail::VoucherContext context, QWidget* parent)
    : QDialog(parent), s_(session), ctl_(session, std::move(context)) {
  setObjectName("Frm61502");
  setWindowTitle("Comprobante de Pago");
  setModal(true);

  auto* data = buildVoucherBoxes();
  buildRetention();
  buildIes();

  auto* aceptar = button("CmdAceptar", "&Aceptar", this);
  auto* salir = button("CmdSalir", "&Salir", this);
  connect(aceptar, &QPushButton::clicked, this, &Frm61502::CmdAceptar_Click);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = buttonRow({aceptar, salir});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(data);
  layout->addWidget(fraRetenciones_);
  layout->addWidget(fraIes_);
  layout->addLayout(buttons);

  connectBoxes();

  EnterAsTab::install(this);
  refresh();
}

QGridLayout* Frm61502::buildVoucherBoxes() {
  cboTipoServ_ = new QComboBox(this);
  cboTipoServ_->setObjectName("cboTipoServ");
  cboTipoServ_->addItem(QString(), QString());
  for (const auto& k : ctl_.kinds()) cboTipoServ_->addItem(qs(k.code + "  -  " + k.description), qs(k.code));
  TxtSerie_ = lineEdit("TxtSerie", 4, this);
  TxtSerie_->installEventFilter(this);
  TxtNumero_ = lineEdit("TxtNumero", 8, this);
  TxtNumero_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*"), TxtNumero_));
  mskFec_Emi_ = dateBox(this, "mskFec_Emi");
  mskFec_ini_ = dateBox(this, "mskFec_ini");
  mskFec_Fin_ = dateBox(this, "mskFec_Fin");
  mskFec_Pago_ = dateBox(this, "mskFec_Pago");
  // A credit note carries a minus.
  TxtMonto_ = amountLine("TxtMonto", true, this);

  auto* data = new QGridLayout;
  data->addWidget(new QLabel("Tipo de Comprobante:", this), 0, 0);
  data->addWidget(cboTipoServ_, 0, 1, 1, 3);
  data->addWidget(new QLabel("Número de Serie:", this), 1, 0);
  data->addWidget(TxtSerie_, 1, 1);
  data->addWidget(new QLabel("Número de Comprobante:", this), 1, 2);
  data->addWidget(TxtNumero_, 1, 3);
  data->addWidget(new QLabel("Fecha de Emisión:", this), 2, 0);
  data->addWidget(mskFec_Emi_, 2, 1);
  data->addWidget(new QLabel("Fecha de Pago:", this), 2, 2);
  data->addWidget(mskFec_Pago_, 2, 3);
  data->addWidget(new QLabel("Inicio de prestación:", this), 3, 0);
  data->addWidget(mskFec_ini_, 3, 1);
  data->addWidget(new QLabel("Fin de prestación:", this), 3, 2);
  data->addWidget(mskFec_Fin_, 3, 3);
  data->addWidget(new QLabel("Monto del Comprobante:", this), 4, 0);
  data->addWidget(TxtMonto_, 4, 1);
  return data;
}

void Frm61502::buildRetention() {
  fraRetenciones_ = new QGroupBox("Retención de Renta de 4ta. Categoría", this);
  fraRetenciones_->setObjectName("fraRetenciones");
  OptRetSi_ = radio("OptRetSi", "Sí", fraRetenciones_);
  OptRetNo_ = radio("OptRetNo", "No", fraRetenciones_);
  cboPorRta_ = new QComboBox(fraRetenciones_);
  cboPorRta_->setObjectName("cboPorRta");
  for (const auto& r : ctl_.rateChoices()) cboPorRta_->addItem(qs(r));
  TxtMtoRta_ = retainedBox(fraRetenciones_, "TxtMtoRta");
  TxtNumFor_ = lineEdit("TxtNumFor", 8, fraRetenciones_);
  TxtNumFor_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*"), TxtNumFor_));
  lblSuspension_ = new QLabel(fraRetenciones_);
  lblSuspension_->setObjectName("lblSuspension");
  auto* rg = new QGridLayout(fraRetenciones_);
  rg->addWidget(new QLabel("¿Se efectuó retención?", fraRetenciones_), 0, 0);
  rg->addWidget(OptRetSi_, 0, 1);
  rg->addWidget(OptRetNo_, 0, 2);
  rg->addWidget(lblSuspension_, 0, 3);
  rg->addWidget(new QLabel("Porcentaje (%):", fraRetenciones_), 1, 0);
  rg->addWidget(cboPorRta_, 1, 1, 1, 2);
  rg->addWidget(new QLabel("Monto Retenido:", fraRetenciones_), 1, 3);
  rg->addWidget(TxtMtoRta_, 1, 4);
  rg->addWidget(new QLabel("Nro. Formulario de Autorización:", fraRetenciones_), 2, 0);
  rg->addWidget(TxtNumFor_, 2, 1, 1, 2);
}

void Frm61502::buildIes() {
  fraIes_ = new QGroupBox("Impuesto Extraordinario de Solidaridad", this);
  fraIes_->setObjectName("fraIes");
  OptIesSi_ = radio("OptIesSi", "Sí", fraIes_);
  OptIesNo_ = radio("OptIesNo", "No", fraIes_);
  cboPorIes_ = new QComboBox(fraIes_);
  cboPorIes_->setObjectName("cboPorIes");
  for (const auto& r : ctl_.iesRateChoices()) cboPorIes_->addItem(qs(r));
  TxtMtoIes_ = retainedBox(fraIes_, "TxtMtoIes");
  lblSuspensionIes_ = new QLabel(fraIes_);
  lblSuspensionIes_->setObjectName("lblSuspensionIes");
  auto* ig = new QGridLayout(fraIes_);
  ig->addWidget(OptIesSi_, 0, 0);
  ig->addWidget(OptIesNo_, 0, 1);
  ig->addWidget(lblSuspensionIes_, 0, 2);
  ig->addWidget(cboPorIes_, 1, 0, 1, 2);
  ig->addWidget(TxtMtoIes_, 1, 2);
}

void Frm61502::connectBoxes() {
  connect(cboTipoServ_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (loading_) return;
    ctl_.setKind(ss(cboTipoServ_->itemData(i).toString()));
    refresh();
  });
  // The controller follows every box as it is typed; the checks run when a box is left.
  follow(this, TxtSerie_, loading_, [this](const std::string& v) { ctl_.setSeries(v); });
  follow(this, TxtNumero_, loading_, [this](const std::string& v) { ctl_.setNumber(v); });
  connect(mskFec_Emi_, &QLineEdit::textChanged, this, [this] {
    if (!loading_) ctl_.setIssueDate(ss(mskFec_Emi_->maskedText()));
  });
  connect(mskFec_ini_, &QLineEdit::textChanged, this, [this] {
    if (!loading_) ctl_.setStartDate(ss(mskFec_ini_->maskedText()));
  });
  connect(mskFec_Fin_, &QLineEdit::textChanged, this, [this] {
    if (!loading_) ctl_.setEndDate(ss(mskFec_Fin_->maskedText()));
  });
  connect(mskFec_Pago_, &QLineEdit::textChanged, this, [this] {
    if (!loading_) ctl_.setPaymentDate(ss(mskFec_Pago_->maskedText()));
  });
  connect(TxtMonto_, &QLineEdit::textEdited, this, [this](const QString& t) {
    ctl_.setAmount(ss(QString(t).remove(',')));
    TxtMtoRta_->setText(qs(ctl_.retentionDisplay()));
    TxtMtoIes_->setText(qs(ctl_.iesDisplay()));
  });
  connect(TxtMonto_, &QLineEdit::editingFinished, this, &Frm61502::amountLeft);
  for (DateEdit* d : {mskFec_Emi_, mskFec_ini_, mskFec_Fin_, mskFec_Pago_})
    connect(d, &QLineEdit::editingFinished, this, [this, d] { dateLeft(d); });
  connect(OptRetSi_, &QRadioButton::toggled, this, [this](bool on) {
    if (loading_) return;
    ctl_.setRetain(on);
    refresh();
  });
  connect(cboPorRta_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (loading_) return;
    ctl_.setRate(ss(t));
    refresh();
  });
  connect(OptIesSi_, &QRadioButton::toggled, this, [this](bool on) {
    if (loading_) return;
    ctl_.setIesRetain(on);
    refresh();
  });
  connect(cboPorIes_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (loading_) return;
    ctl_.setIesRate(ss(t));
    refresh();
  });
  follow(this, TxtNumFor_, loading_, [this](const std::string& v) { ctl_.setNumFor(v); });
  connect(TxtNumFor_, &QLineEdit::editingFinished, this, [this] {
    ctl_.numForLeft();
    TxtNumFor_->setText(qs(ctl_.numFor()));
  });
}

void Frm61502::load(const detail::Voucher& v) {
  ctl_.load(v);
  refresh();
}

void Frm61502::refresh() {
  loading_ = true;
  cboTipoServ_->setCurrentIndex(std::max(0, cboTipoServ_->findData(qs(ctl_.kind()))));
  TxtSerie_->setText(qs(ctl_.series()));
  TxtSerie_->setEnabled(ctl_.seriesEnabled());
  TxtNumero_->setText(qs(ctl_.number()));
  mskFec_Emi_->setText(qs(ctl_.issueDate()));
  mskFec_ini_->setText(qs(ctl_.startDate()));
  mskFec_Fin_->setText(qs(ctl_.endDate()));
  mskFec_Pago_->setText(qs(ctl_.paymentDate()));
  if (!TxtMonto_->hasFocus()) TxtMonto_->setText(qs(ctl_.amountDisplay()));
  lastAmount_ = qs(ctl_.amount());
  OptRetSi_->setChecked(ctl_.retain());
  OptRetNo_->setChecked(!ctl_.retain());
  fraRetenciones_->setEnabled(ctl_.retentionEnabled());
  int ri = cboPorRta_->findText(qs(ctl_.rate()));
  if (ri >= 0) cboPorRta_->setCurrentIndex(ri);
  cboPorRta_->setEnabled(ctl_.rateEnabled());
  TxtMtoRta_->setText(qs(ctl_.retentionDisplay()));
  lblSuspension_->setText(qs(ctl_.suspensionCaption()));
  TxtNumFor_->setEnabled(ctl_.numForEnabled());
  TxtNumFor_->setText(qs(ctl_.numFor()));
  fraIes_->setVisible(ctl_.iesVisible());
  OptIesSi_->setChecked(ctl_.iesRetain());
  OptIesNo_->setChecked(!ctl_.iesRetain());
  int ii = cboPorIes_->findText(qs(ctl_.iesRate()));
  if (ii >= 0) cboPorIes_->setCurrentIndex(ii);
  cboPorIes_->setEnabled(ctl_.iesRetain());
  TxtMtoIes_->setText(qs(ctl_.iesDisplay()));
  lblSuspensionIes_->setText(qs(ctl_.iesSuspensionCaption()));
  loading_ = false;
}

void Frm61502::applyFocus() {
  focusControl(this, ctl_.focus());
}

bool Frm61502::eventFilter(QObject* watched, QEvent* event) {
  // Series: the search-key filter of the shared services.
  if (watched == TxtSerie_ && event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    QString t = k->text();
    if (t.size() == 1 && t[0].isPrint()) {
      int code = ctl_.seriesKey(t[0].unicode());
      if (code == 0) return true;
      if (code != t[0].unicode()) {
        TxtSerie_->insert(QString(QChar(code)));
        ctl_.setSeries(ss(TxtSerie_->text()));
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void Frm61502::amountLeft() {
  QString plain = TxtMonto_->text().remove(',');
  if (busy_ || plain == lastAmount_) {
    TxtMonto_->setText(qs(ctl_.amountDisplay()));
    return;
  }
  busy_ = true;
  ctl_.setAmount(ss(plain));
  ctl_.amountLeft();
  lastAmount_ = qs(ctl_.amount());
  refresh();
  TxtMonto_->setText(qs(ctl_.amountDisplay()));
  busy_ = false;
}

void Frm61502::dateLeft(DateEdit* box) {
  if (busy_ || loading_) return;
  std::string value = ss(box->maskedText());
  if (box == mskFec_Emi_)
    ctl_.setIssueDate(value);
  else if (box == mskFec_ini_)
    ctl_.setStartDate(value);
  else if (box == mskFec_Fin_)
    ctl_.setEndDate(value);
  else
    ctl_.setPaymentDate(value);
  // An untouched box is checked on saving only.
  if (box->isEmptyMask()) return;
  busy_ = true;
  bool ok = box == mskFec_Emi_   ? ctl_.Valida_mskFec_Emi()
            : box == mskFec_ini_ ? ctl_.Valida_mskFec_ini()
            : box == mskFec_Fin_ ? ctl_.Valida_mskFec_Fin()
                                 : ctl_.Valida_mskFec_Pago();
  busy_ = false;
  if (!ok) box->setFocus();
}

void Frm61502::CmdAceptar_Click() {
  // Take what the boxes show, even when the last one was not left.
  ctl_.setSeries(ss(TxtSerie_->text()));
  ctl_.setNumber(ss(TxtNumero_->text()));
  ctl_.setIssueDate(ss(mskFec_Emi_->maskedText()));
  ctl_.setStartDate(ss(mskFec_ini_->maskedText()));
  ctl_.setEndDate(ss(mskFec_Fin_->maskedText()));
  ctl_.setPaymentDate(ss(mskFec_Pago_->maskedText()));
  if (TxtMonto_->text().remove(',') != lastAmount_) amountLeft();
  busy_ = true;
  bool ok = ctl_.accept();
  busy_ = false;
  if (ok) {
    accept();
    return;
  }
  applyFocus();
}

}  // namespace korventa::ui
