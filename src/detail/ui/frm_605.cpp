#include "detail/ui/frm_605.h"
#include "detail/ui/frm_605_det.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "detail/amount_entry.h"
#include "detail/other_employer_detail_form.h"

namespace korventa::ui {
frm605::frm605(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, QWidget* parent)
    : QDialog(parent), session_(session), decl_(openDecl), person_(person) {
  setObjectName("frm605");
  setWindowTitle("Rentas de quinta categoría de otros empleadores");
  setModal(true);
  resize(640, 320);
  auto* root = new QVBoxLayout(this);
  grd605_ = grid("grd605", {"RUC", "Razón social", "Monto"});
  root->addWidget(grd605_, 1);
  auto* totals = new QHBoxLayout;
  totals->addStretch();
  totals->addWidget(new QLabel("Total:"));
  txtTotal_ = readOnlyEdit("TxtTotal");
  totals->addWidget(txtTotal_);
  root->addLayout(totals);
  auto* buttons = new QHBoxLayout;
  auto b = listButtons(buttons, "cmd605");
  root->addLayout(buttons);
  list_ = std::make_unique<detail::OtherEmployersForm>(session_, openDecl, person);
  for (int i = 0; i < 3; ++i) b[i]->setEnabled(list_ != nullptr);
  connect(b[0], &QPushButton::clicked, this, [this] { openDetail(false); });
  connect(b[1], &QPushButton::clicked, this, [this] { openDetail(true); });
  connect(b[2], &QPushButton::clicked, this, [this] {
    if (!list_) return;
    int row = selectedRow(grd605_);
    guarded(session_, [&] { list_->remove(row); });
    refresh();
  });
  connect(b[3], &QPushButton::clicked, this, &QDialog::accept);
  refresh();
}

frm605::~frm605() = default;

void frm605::refresh() {
  if (!list_) return;
  guarded(session_, [&] { list_->refresh(); });
  std::vector<std::vector<std::string>> rows;
  for (const auto& r : list_->rows()) rows.push_back({r.ruc, r.nombre, r.monto});
  fillGrid(grd605_, rows, {2});
  txtTotal_->setText(qs(list_->total()));
}

void frm605::openDetail(bool modify) {
  if (!list_) return;
  std::optional<std::string> ruc;
  if (modify) {
    int row = selectedRow(grd605_);
    if (!list_->canModify(row)) return;
    ruc = list_->rows().at(static_cast<std::size_t>(row)).ruc;
  }
  ui::openDetail(this, new frm605Det(session_, decl_, person_, ruc, this), [this] { refresh(); });
}

// ---------------------------------------------------------------------------------------------

frm605Det::frm605Det(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                     std::optional<std::string> ruc, QWidget* parent)
    : GuardedDialog(parent), session_(session) {
  setObjectName("frm605Det");
  setWindowTitle("Detalle de otro empleador");
  setModal(true);
  auto* root = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  cmbRuc_ = new QComboBox;
  cmbRuc_->setObjectName("CmbRuc");
  cmbRuc_->setEditable(true);
  cmbRuc_->lineEdit()->setMaxLength(11);
  cmbRuc_->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), cmbRuc_));
  txtNombre_ = new QLineEdit;
  txtNombre_->setObjectName("TxtNombre");
  txtNombre_->setMaxLength(100);
  txtNombre_->setMinimumWidth(380);
  txtMonto_ = new AmountEdit;
  txtMonto_->setObjectName("TxtMonto");
  f->addRow("RUC:", cmbRuc_);
  f->addRow("Razón social:", txtNombre_);
  f->addRow("Monto:", txtMonto_);
  root->addLayout(f);
  auto* grabar = button("CmdGrabar", "&Grabar");
  auto* salir = button("CmdSalir", "&Salir");
  root->addLayout(buttonRow({grabar, salir}));

  form_ = std::make_unique<detail::OtherEmployerDetailForm>(session_, openDecl, person, ruc);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  if (form_) {
    for (const auto& e : form_->employers()) cmbRuc_->addItem(qs(e.code));
    showValues();
    cmbRuc_->setEnabled(!form_->modifying());
  }
  grabar->setEnabled(form_ != nullptr);

  connect(cmbRuc_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (showing_ || !form_ || t.size() != 11) return;
    form_->setRuc(ss(t));
    showing_ = true;
    txtNombre_->setText(qs(form_->nombre()));
    showing_ = false;
  });
  connect(txtNombre_, &QLineEdit::textEdited, this, [this] { pull(); });
  connect(txtMonto_, &QLineEdit::textEdited, this, [this] { pull(); });
  connect(txtMonto_, &QLineEdit::editingFinished, this,
          [this] { txtMonto_->setText(qs(detail::boxTextOnLeave(ss(txtMonto_->text())))); });
  connect(grabar, &QPushButton::clicked, this, &frm605Det::onSave);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  EnterAsTab::install(this);
}

frm605Det::~frm605Det() = default;

void frm605Det::showValues() {
  showing_ = true;
  cmbRuc_->setEditText(qs(form_->ruc()));
  txtNombre_->setText(qs(form_->nombre()));
  txtMonto_->setText(qs(form_->monto()));
  showing_ = false;
}

void frm605Det::pull() {
  if (!form_ || showing_) return;
  std::string ruc = ss(cmbRuc_->currentText());
  if (ruc != form_->ruc() && ruc.size() != 11) form_->setRuc(ruc);
  form_->setNombre(ss(txtNombre_->text()));
  form_->setMonto(ss(txtMonto_->text()));
}

void frm605Det::onSave() {
  if (!form_) return;
  pull();
  if (ss(cmbRuc_->currentText()) != form_->ruc()) form_->setRuc(ss(cmbRuc_->currentText()));
  if (!guardedSave(session_, this, [&] { return form_->save(); })) return;
  showValues();
  emit saved();
  if (form_->modifying()) accept();
}

bool frm605Det::canClose() {
  if (!form_) return true;
  pull();
  return guardedClose(session_, [&] { return form_->close(); });
}

}  // namespace korventa::ui
