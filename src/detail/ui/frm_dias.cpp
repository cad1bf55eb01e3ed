#include "detail/ui/frm_dias.h"
#include "detail/ui/frm_det_dias.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "detail/suspension_list_form.h"
#include "detail/suspension_detail_form.h"

namespace korventa::ui {
namespace {

using detail::SuspensionKind;

bool subsidised(SuspensionKind k) {
  return k == SuspensionKind::Subsidised;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

frmDias::frmDias(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person, SuspensionKind kind,
                 QWidget* parent)
    : QDialog(parent), session_(session), decl_(openDecl), person_(person), kind_(kind) {
  setObjectName(subsidised(kind) ? "frmDias" : "frmDiasNoTrab");
  setWindowTitle(subsidised(kind) ? "Días subsidiados" : "Días no laborados y no subsidiados");
  setModal(true);
  resize(760, 360);
  auto* root = new QVBoxLayout(this);
  auto* nombre = new QLabel;
  nombre->setObjectName("LblNombre");
  root->addWidget(nombre);
  QStringList headers =
      subsidised(kind)
          ? QStringList{"Tipo", "Descripción", "Fecha inicio", "Fecha fin", "CITT", "Días CITT", "Días subsidiados"}
          : QStringList{"Tipo", "Descripción", "Fecha inicio", "Fecha fin", "Días no laborados"};
  grdDias_ = grid("grdDias", headers);
  root->addWidget(grdDias_, 1);
  auto* buttons = new QHBoxLayout;
  auto b = listButtons(buttons, "cmdDias");
  root->addLayout(buttons);
  connect(b[0], &QPushButton::clicked, this, [this] { openDetail(false); });
  connect(b[1], &QPushButton::clicked, this, [this] { openDetail(true); });
  connect(b[2], &QPushButton::clicked, this, &frmDias::onDelete);
  connect(b[3], &QPushButton::clicked, this, &QDialog::accept);
  connect(grdDias_, &QTableWidget::cellDoubleClicked, this, [this] { openDetail(true); });

  list_ = std::make_unique<detail::SuspensionListForm>(session_, openDecl, person, kind_);
  guarded(session_, [&] { nombre->setText(qs(detail::readWorkerRow(session_.database(), person).nombre)); });
  for (int i = 0; i < 3; ++i) b[i]->setEnabled(list_ != nullptr);
  refresh();
}

frmDias::~frmDias() = default;

void frmDias::refresh() {
  if (!list_) return;
  guarded(session_, [&] { list_->refresh(); });
  std::vector<std::vector<std::string>> rows;
  for (const auto& r : list_->rows()) {
    if (subsidised(kind_))
      rows.push_back({r.tipoSuspen, r.descripcion, r.fechaIni, r.fechaFin, r.numCitt, r.diasCitt, r.dias});
    else
      rows.push_back({r.tipoSuspen, r.descripcion, r.fechaIni, r.fechaFin, r.dias});
  }
  fillGrid(grdDias_, rows, subsidised(kind_) ? std::vector<int>{5, 6} : std::vector<int>{4});
}

void frmDias::openDetail(bool modify) {
  if (!list_) return;
  std::optional<detail::SuspensionKey> key;
  if (modify) {
    int row = selectedRow(grdDias_);
    if (!list_->canModify(row)) return;
    const auto& r = list_->rows().at(static_cast<std::size_t>(row));
    key = detail::SuspensionKey{r.tipoSuspen, r.fechaIni};
  }
  ui::openDetail(this, new frmDetDias(session_, decl_, person_, kind_, key, this), [this] { refresh(); });
}

void frmDias::onDelete() {
  if (!list_) return;
  int row = selectedRow(grdDias_);
  guarded(session_, [&] { list_->remove(row); });
  refresh();
}

// ---------------------------------------------------------------------------------------------

frmDetDias::frmDetDias(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                       SuspensionKind kind, std::optional<detail::SuspensionKey> key, QWidget* parent)
    : GuardedDialog(parent), session_(session), kind_(kind) {
  setObjectName(subsidised(kind) ? "frmDetDias" : "frmDetDiasNoTrab");
  setWindowTitle(subsidised(kind) ? "Detalle de días subsidiados" : "Detalle de días no laborados y no subsidiados");
  setModal(true);
  build();
  form_ = std::make_unique<detail::SuspensionDetailForm>(session_, openDecl, person, kind_, key);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  if (form_) {
    for (const auto& t : form_->types()) cmbTipoSuspen_->addItem(qs(t.code + " - " + t.description), qs(t.code));
    showValues();
    // The key of a row being modified stays as it is.
    cmbTipoSuspen_->setEnabled(!form_->modifying());
    mskFechaIni_->setEnabled(!form_->modifying());
  } else {
    for (auto* w : findChildren<QWidget*>())
      if (w->objectName() != "CmdSalir" && qobject_cast<QLineEdit*>(w)) w->setEnabled(false);
    findChild<QPushButton*>("CmdGrabar")->setEnabled(false);
  }
  EnterAsTab::install(this);
}

frmDetDias::~frmDetDias() = default;

void frmDetDias::build() {
  auto* root = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  cmbTipoSuspen_ = new QComboBox;
  cmbTipoSuspen_->setObjectName("CmbTipoSuspen");
  cmbTipoSuspen_->setMinimumWidth(420);
  mskFechaIni_ = new DateEdit;
  mskFechaIni_->setObjectName("MskFechaIni");
  mskFechaFin_ = new DateEdit;
  mskFechaFin_->setObjectName("MskFechaFin");
  txtNumCitt_ = new QLineEdit;
  txtNumCitt_->setObjectName("TxtNumCitt");
  txtNumCitt_->setMaxLength(20);
  txtNumCitt_->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Za-z0-9-]*"), txtNumCitt_));
  txtDiasCitt_ = readOnlyEdit("txtDiasCitt");
  txtDiasMax_ = readOnlyEdit("txtDiasMax");
  txtDias_ = digitEdit("TxtDias", 2);
  f->addRow("Tipo de suspensión:", cmbTipoSuspen_);
  f->addRow("Fecha de inicio:", mskFechaIni_);
  f->addRow("Fecha de fin:", mskFechaFin_);
  if (subsidised(kind_)) {
    f->addRow("Número de CITT:", txtNumCitt_);
    f->addRow("Días del CITT:", txtDiasCitt_);
  } else {
    txtNumCitt_->hide();
    txtDiasCitt_->hide();
  }
  f->addRow("Días en el mes:", txtDiasMax_);
  f->addRow(subsidised(kind_) ? "Días subsidiados en el mes:" : "Días no laborados y no subsidiados en el mes:",
            txtDias_);
  root->addLayout(f);
  auto* grabar = button("CmdGrabar", "&Grabar");
  auto* salir = button("CmdSalir", "&Salir");
  root->addLayout(buttonRow({grabar, salir}));

  connect(grabar, &QPushButton::clicked, this, &frmDetDias::onSave);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmbTipoSuspen_, &QComboBox::currentIndexChanged, this, [this] { pull(); });
  connect(mskFechaIni_, &QLineEdit::editingFinished, this, [this] { pull(); });
  connect(mskFechaFin_, &QLineEdit::editingFinished, this, [this] { pull(); });
  connect(txtNumCitt_, &QLineEdit::editingFinished, this, [this] { pull(); });
  connect(txtDias_, &QLineEdit::textEdited, this, [this] { pull(); });
}

void frmDetDias::pull() {
  if (!form_ || showing_) return;
  form_->setTipoSuspen(ss(cmbTipoSuspen_->currentData().toString()));
  form_->setFechaIni(mskFechaIni_->date());
  // Leaving the end date computes the days (and warns of a long certificate) once per change.
  if (mskFechaFin_->date() != form_->fechaFin()) form_->setFechaFin(mskFechaFin_->date());
  form_->setNumCitt(ss(txtNumCitt_->text()));
  form_->setDias(ss(txtDias_->text()));
  txtDiasMax_->setText(qs(form_->diasMax()));
  txtDiasCitt_->setText(qs(form_->diasCitt()));
}

void frmDetDias::showValues() {
  showing_ = true;
  cmbTipoSuspen_->setCurrentIndex(cmbTipoSuspen_->findData(qs(form_->tipoSuspen())));
  if (form_->fechaIni().empty())
    mskFechaIni_->clearMask();
  else
    mskFechaIni_->setText(qs(form_->fechaIni()));
  if (form_->fechaFin().empty())
    mskFechaFin_->clearMask();
  else
    mskFechaFin_->setText(qs(form_->fechaFin()));
  txtNumCitt_->setText(qs(form_->numCitt()));
  txtDias_->setText(qs(form_->dias()));
  txtDiasMax_->setText(qs(form_->diasMax()));
  txtDiasCitt_->setText(qs(form_->diasCitt()));
  showing_ = false;
}

void frmDetDias::onSave() {
  if (!form_) return;
  pull();
  if (!guardedSave(session_, this, [&] { return form_->save(); })) return;
  showValues();
  emit saved();
  if (form_->modifying())
    accept();
  else
    cmbTipoSuspen_->setFocus();
}

bool frmDetDias::canClose() {
  if (!form_) return true;
  pull();
  bool close = guardedClose(session_, [&] { return form_->close(); });
  if (close && !form_->changed()) emit saved();
  return close;
}

}  // namespace korventa::ui
