#include "detail/ui/frm_eps.h"
#include "detail/ui/frm_inf_eps.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/dates.h"
#include "common/money.h"
#include "common/vb_format.h"
#include "detail/eps_box_form.h"
#include "detail/eps_invoice_form.h"

namespace korventa::ui {
namespace {

QString typedAmount(const QString& shown) {
  return qs(detail::typedEpsAmount(ss(shown)));
}

// An amount field is typed without separators and shown with them once left ("1,000").
class AmountShown : public QObject {
 public:
  explicit AmountShown(QLineEdit* edit) : QObject(edit), edit_(edit) { edit->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == edit_ && event->type() == QEvent::FocusIn)
      edit_->setText(typedAmount(edit_->text()));
    else if (watched == edit_ && event->type() == QEvent::FocusOut)
      edit_->setText(qs(detail::shownEpsAmount(ss(typedAmount(edit_->text())))));
    return QObject::eventFilter(watched, event);
  }

 private:
  QLineEdit* edit_;
};

}  // namespace

FrmInf602::FrmInf602(Session& session, const model::OpenDeclaration& openDecl, std::string casilla, QWidget* parent)
    : QDialog(parent), session_(session), decl_(openDecl) {
  setObjectName("FrmInf602");
  setWindowTitle(qs("Detalle de Casilla " + casilla));
  setModal(true);
  resize(900, 380);
  auto* root = new QVBoxLayout(this);
  grdEps_ = grid("grdEPS", {"RUC de EPS", "Razón Social EPS", "Per.Fac.", "N.Serie", "Num.Orden", "Fec.Emision",
                            "Fec.Pago", "Importe Total", "Importe Crédito"});
  root->addWidget(grdEps_, 1);
  auto* totals = new QHBoxLayout;
  lblFacturas_ = new QLabel;
  lblFacturas_->setObjectName("LblFacturas");
  totals->addWidget(lblFacturas_);
  totals->addStretch();
  totals->addWidget(new QLabel("Total:"));
  txtTotal602_ = readOnlyEdit("TxtTotal602");
  totals->addWidget(txtTotal602_);
  totals->addWidget(new QLabel("Crédito:"));
  txtCredito_ = readOnlyEdit("txtCredito");
  totals->addWidget(txtCredito_);
  root->addLayout(totals);
  auto* buttons = new QHBoxLayout;
  auto b = listButtons(buttons, "CmdOpciones", "&Cerrar");
  root->addLayout(buttons);
  connect(b[0], &QPushButton::clicked, this, [this] { openInvoice(false); });
  connect(b[1], &QPushButton::clicked, this, [this] { openInvoice(true); });
  connect(b[2], &QPushButton::clicked, this, [this] {
    if (!form_) return;
    int row = selectedRow(grdEps_);
    guarded(session_, [&] { form_->remove(row); });
    refresh();
  });
  connect(b[3], &QPushButton::clicked, this, &QDialog::accept);
  connect(grdEps_, &QTableWidget::cellDoubleClicked, this, [this] { openInvoice(true); });

  if (detail::checkEpsBox(session_.msg(), casilla)) {
    form_ = std::make_unique<detail::EpsBoxForm>(session_, openDecl, casilla);
    if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  }
  // Read-only: a declaration that may no longer change.
  bool editable = form_ && !form_->readOnly();
  for (int i = 0; i < 3; ++i) b[i]->setVisible(editable);
  txtCredito_->setEnabled(editable);
  refresh();
}

FrmInf602::~FrmInf602() = default;

void FrmInf602::refresh() {
  if (!form_) return;
  std::vector<std::vector<std::string>> rows;
  for (const auto& r : form_->rows()) rows.push_back(detail::invoiceCells(r));
  fillGrid(grdEps_, rows, {7, 8});
  txtTotal602_->setText(qs(form_->totalText()));
  txtCredito_->setText(qs(form_->creditText()));
  lblFacturas_->setText(qs(form_->countText()));
}

void FrmInf602::openInvoice(bool modify) {
  if (!form_ || form_->readOnly()) return;
  std::optional<std::int64_t> rowid;
  if (modify) {
    int row = selectedRow(grdEps_);
    if (row < 0) return;  // nothing selected: nothing to do
    rowid = form_->rows().at(static_cast<std::size_t>(row)).rowid;
  }
  auto* d = new FrmInfEPS(session_, decl_, form_->casilla(), rowid, this);
  d->setAttribute(Qt::WA_DeleteOnClose);
  connect(d, &QDialog::finished, this, [this] {
    guarded(session_, [&] { form_->load(); });
    refresh();
  });
  d->open();
}

void FrmInf602::done(int result) {
  if (form_) guarded(session_, [&] { form_->close(); });
  QDialog::done(result);
}

// ---------------------------------------------------------------------------------------------

FrmInfEPS::FrmInfEPS(Session& session, const model::OpenDeclaration& openDecl, std::string casilla,
                     std::optional<std::int64_t> rowid, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("FrmInfEPS");
  setWindowTitle(qs("Factura EPS - Casilla " + casilla));
  setModal(true);
  auto* root = new QVBoxLayout(this);
  auto* f = buildInvoiceBoxes();
  root->addLayout(f);
  auto* grabar = button("CmdOpciones_0", "&Grabar");
  auto* salir = button("CmdOpciones_1", "&Salir");
  root->addLayout(buttonRow({grabar, salir}));

  if (detail::checkEpsBox(session_.msg(), casilla)) {
    form_ = std::make_unique<detail::EpsInvoiceForm>(session_, openDecl, casilla, rowid);
    if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  }
  if (form_) {
    for (const auto& p : form_->providers()) cmbEps_->addItem(qs(p.ruc + "  " + p.nombre), qs(p.ruc));
    showValues();
    mkePeriodoFac_->setEnabled(form_->periodEditable());
  }
  grabar->setEnabled(form_ != nullptr);

  connectBoxes();
  connect(grabar, &QPushButton::clicked, this, &FrmInfEPS::onSave);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  EnterAsTab::install(this);
}

// The invoice's boxes: provider, period, series, number, dates and amounts.
QFormLayout* FrmInfEPS::buildInvoiceBoxes() {
  auto* f = new QFormLayout;
  cmbEps_ = new QComboBox;
  cmbEps_->setObjectName("CmbEps");
  cmbEps_->setMinimumWidth(380);
  mkePeriodoFac_ = new PeriodEdit;
  mkePeriodoFac_->setObjectName("MkePeriodoFac");
  txtNumSerie_ = new QLineEdit;
  txtNumSerie_->setObjectName("TxtNumSerie");
  txtNumSerie_->setMaxLength(4);
  txtNumSerie_->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Za-z0-9 ]*"), txtNumSerie_));
  txtNumFac_ = digitEdit("TxtNumFac", 8);
  mskFecEmis_ = new DateEdit;
  mskFecEmis_->setObjectName("MskFecEmis");
  mskFecPago_ = new DateEdit;
  mskFecPago_->setObjectName("MskFecPago");
  txtImpTotal_ = digitEdit("TxtImpTotal", 12);
  txtImpCred_ = digitEdit("TxtImpCred", 12);
  txtImpTotal_->setMaximumWidth(140);
  txtImpCred_->setMaximumWidth(140);
  new AmountShown(txtImpTotal_);
  new AmountShown(txtImpCred_);
  f->addRow("EPS:", cmbEps_);
  f->addRow("Período de la factura:", mkePeriodoFac_);
  f->addRow("Número de serie:", txtNumSerie_);
  f->addRow("Número de factura:", txtNumFac_);
  f->addRow("Fecha de emisión:", mskFecEmis_);
  f->addRow("Fecha de pago:", mskFecPago_);
  f->addRow("Importe total:", txtImpTotal_);
  f->addRow("Crédito a utilizar:", txtImpCred_);
  return f;
}

// Series, number and dates are completed and checked when their box is left.
void FrmInfEPS::connectBoxes() {
  connect(txtNumSerie_, &QLineEdit::editingFinished, this, [this] {
    if (!form_) return;
    form_->invoice.numSerie = ss(txtNumSerie_->text());
    form_->fillSeries();
    txtNumSerie_->setText(qs(form_->invoice.numSerie));
  });
  connect(txtNumFac_, &QLineEdit::editingFinished, this, [this] {
    if (!form_) return;
    form_->invoice.numFac = ss(txtNumFac_->text());
    form_->fillNumber();
    txtNumFac_->setText(qs(form_->invoice.numFac));
  });
  connect(mskFecEmis_, &QLineEdit::editingFinished, this, [this] {
    if (!form_) return;
    form_->invoice.fecEmis = mskFecEmis_->isEmptyMask() ? std::string() : ss(mskFecEmis_->text());
    form_->checkFecEmis();
  });
  connect(mskFecPago_, &QLineEdit::editingFinished, this, [this] {
    if (!form_) return;
    form_->invoice.fecPago = mskFecPago_->isEmptyMask() ? std::string() : ss(mskFecPago_->text());
    form_->checkFecPago();
  });
}

FrmInfEPS::~FrmInfEPS() = default;

void FrmInfEPS::showValues() {
  const auto& i = form_->invoice;
  cmbEps_->setCurrentIndex(cmbEps_->findData(qs(i.rucEps)));
  mkePeriodoFac_->setPeriod(i.periodoFac);
  txtNumSerie_->setText(qs(i.numSerie));
  txtNumFac_->setText(qs(i.numFac));
  if (i.fecEmis.empty())
    mskFecEmis_->clearMask();
  else
    mskFecEmis_->setText(qs(i.fecEmis));
  if (i.fecPago.empty())
    mskFecPago_->clearMask();
  else
    mskFecPago_->setText(qs(i.fecPago));
  txtImpTotal_->setText(qs(detail::shownEpsAmount(i.impTotal)));
  txtImpCred_->setText(qs(detail::shownEpsAmount(i.impCred)));
}

void FrmInfEPS::pull() {
  auto& i = form_->invoice;
  i.rucEps = ss(cmbEps_->currentData().toString());
  if (form_->periodEditable()) i.periodoFac = mkePeriodoFac_->isComplete() ? mkePeriodoFac_->period() : std::string();
  i.numSerie = ss(txtNumSerie_->text());
  i.numFac = ss(txtNumFac_->text());
  i.fecEmis = mskFecEmis_->isEmptyMask() ? std::string() : ss(mskFecEmis_->text());
  i.fecPago = mskFecPago_->isEmptyMask() ? std::string() : ss(mskFecPago_->text());
  i.impTotal = ss(typedAmount(txtImpTotal_->text()));
  i.impCred = ss(typedAmount(txtImpCred_->text()));
}

void FrmInfEPS::onSave() {
  if (!form_) return;
  pull();
  detail::Outcome result{false, {}};
  if (!guarded(session_, [&] { result = form_->save(); })) return;
  txtNumSerie_->setText(qs(form_->invoice.numSerie));
  txtNumFac_->setText(qs(form_->invoice.numFac));
  if (!result) return applyFocus(this, result);
  accept();
}

}  // namespace korventa::ui
