#include "detail/ui/frm_dias_horas.h"

#include <memory>
#include <vector>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "detail/ui/frm_dias.h"
#include "detail/ui/frm_estab_sctr.h"
#include "detail/ui/frm_sctr.h"

namespace korventa::ui {
namespace {

// Keys that only move through the form and do not open the suspension lists.
bool navigationKey(int key) {
  return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter ||
         key == Qt::Key_Escape || key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt;
}

}  // namespace

frmDiasHoras::frmDiasHoras(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                           QWidget* parent)
    : QDialog(parent), session_(session), decl_(openDecl), person_(person) {
  setObjectName("frmDiasHoras");
  setWindowTitle("Jornada Laboral");
  setModal(true);
  build();
  form_ = std::make_unique<detail::DaysHoursForm>(session_, openDecl, person);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  if (form_) showValues();
  for (auto* w : findChildren<QLineEdit*>()) w->setEnabled(form_ != nullptr);
  cmdAceptar_->setEnabled(form_ != nullptr);
  cmdEstab_->setEnabled(form_ != nullptr);
  cmdSctr_->setEnabled(form_ && form_->sctrEnabled());
  EnterAsTab::install(this);
}

frmDiasHoras::~frmDiasHoras() = default;

void frmDiasHoras::build() {
  auto* root = new QVBoxLayout(this);
  lblNombre_ = new QLabel;
  lblNombre_->setObjectName("LblNombre");
  lblDocumento_ = new QLabel;
  lblDocumento_->setObjectName("LblDocumento");
  root->addWidget(lblNombre_);
  root->addWidget(lblDocumento_);

  auto* days = new QGroupBox("Días");
  auto* gd = new QGridLayout(days);
  txtDiasLab_ = digitEdit("TxtDiasLab", 2);
  txtDiasSub_ = digitEdit("TxtDiasSub", 2);
  txtDiasNoLab_ = digitEdit("TxtDiasNoLab", 2);
  txtTotalDias_ = readOnlyEdit("TxtTotalDias");
  gd->addWidget(new QLabel("Laborados"), 0, 0);
  gd->addWidget(txtDiasLab_, 0, 1);
  gd->addWidget(new QLabel("Subsidiados"), 1, 0);
  gd->addWidget(txtDiasSub_, 1, 1);
  gd->addWidget(new QLabel("No laborados y no subsidiados"), 2, 0);
  gd->addWidget(txtDiasNoLab_, 2, 1);
  gd->addWidget(new QLabel("Total"), 3, 0);
  gd->addWidget(txtTotalDias_, 3, 1);
  root->addWidget(days);

  auto* hours = new QGroupBox("Horas");
  auto* gh = new QGridLayout(hours);
  txtHorasNor_ = digitEdit("TxtHorasNor", 3);
  txtMinutosNor_ = digitEdit("TxtMinutosNor", 2);
  txtHorasSob_ = digitEdit("TxtHorasSob", 3);
  txtMinutosSob_ = digitEdit("TxtMinutosSob", 2);
  txtTotalHoras_ = readOnlyEdit("TxtTotalHoras");
  txtTotalMinutos_ = readOnlyEdit("TxtTotalMinutos");
  gh->addWidget(new QLabel("Horas"), 0, 1);
  gh->addWidget(new QLabel("Minutos"), 0, 2);
  gh->addWidget(new QLabel("Ordinarias"), 1, 0);
  gh->addWidget(txtHorasNor_, 1, 1);
  gh->addWidget(txtMinutosNor_, 1, 2);
  gh->addWidget(new QLabel("Sobretiempo"), 2, 0);
  gh->addWidget(txtHorasSob_, 2, 1);
  gh->addWidget(txtMinutosSob_, 2, 2);
  gh->addWidget(new QLabel("Total"), 3, 0);
  gh->addWidget(txtTotalHoras_, 3, 1);
  gh->addWidget(txtTotalMinutos_, 3, 2);
  root->addWidget(hours);

  auto* estab = new QHBoxLayout;
  lblNumEstab_ = new QLabel;
  lblNumEstab_->setObjectName("LblNumEstab");
  cmdEstab_ = button("CmdEstab", "&Establecimientos");
  cmdSctr_ = button("CmdSctr", "SC&TR");
  estab->addWidget(lblNumEstab_, 1);
  estab->addWidget(cmdEstab_);
  estab->addWidget(cmdSctr_);
  root->addLayout(estab);

  cmdAceptar_ = button("CmdAceptar", "&Aceptar");
  auto* cancelar = button("CmdCancelar", "&Cancelar");
  root->addLayout(buttonRow({cmdAceptar_, cancelar}));

  txtDiasSub_->installEventFilter(this);
  txtDiasNoLab_->installEventFilter(this);
  for (auto* e : {txtDiasLab_, txtDiasSub_, txtDiasNoLab_, txtHorasNor_, txtMinutosNor_, txtHorasSob_, txtMinutosSob_})
    connect(e, &QLineEdit::textChanged, this, &frmDiasHoras::updateTotals);
  for (auto* e : {txtMinutosNor_, txtMinutosSob_})
    connect(e, &QLineEdit::editingFinished, this, [e] { e->setText(qs(detail::limitMinutes(ss(e->text())))); });
  connect(cmdEstab_, &QPushButton::clicked, this, [this] { openChild(new frmEstab(session_, decl_, person_, this)); });
  connect(cmdSctr_, &QPushButton::clicked, this, [this] { openChild(new frmSCTR(session_, decl_, person_, this)); });
  connect(cmdAceptar_, &QPushButton::clicked, this, &frmDiasHoras::onAccept);
  connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDiasHoras::showValues() {
  const auto& w = form_->worker();
  lblNombre_->setText(qs(w.nombre));
  lblDocumento_->setText(qs(w.tipDoc + "  " + w.docId));
  // Each box reports its changes back into the form (updateTotals): while the recorded values are
  // being shown, the boxes not yet filled would overwrite them with blanks.
  std::vector<std::unique_ptr<QSignalBlocker>> quiet;
  for (auto* e : {txtDiasLab_, txtDiasSub_, txtDiasNoLab_, txtHorasNor_, txtMinutosNor_, txtHorasSob_, txtMinutosSob_})
    quiet.push_back(std::make_unique<QSignalBlocker>(e));
  txtDiasLab_->setText(qs(form_->diasLab));
  txtDiasSub_->setText(qs(form_->diasSub));
  txtDiasNoLab_->setText(qs(form_->diasNoLab));
  txtHorasNor_->setText(qs(form_->horasNor));
  txtMinutosNor_->setText(qs(form_->minutosNor));
  txtHorasSob_->setText(qs(form_->horasSob));
  txtMinutosSob_->setText(qs(form_->minutosSob));
  lblNumEstab_->setText(qs(form_->establishmentText()));
  quiet.clear();
  updateTotals();
}

void frmDiasHoras::updateTotals() {
  if (!form_) return;
  form_->diasLab = ss(txtDiasLab_->text());
  form_->diasSub = ss(txtDiasSub_->text());
  form_->diasNoLab = ss(txtDiasNoLab_->text());
  form_->horasNor = ss(txtHorasNor_->text());
  form_->minutosNor = ss(txtMinutosNor_->text());
  form_->horasSob = ss(txtHorasSob_->text());
  form_->minutosSob = ss(txtMinutosSob_->text());
  txtTotalDias_->setText(qs(form_->CalcularTotalDias()));
  txtTotalHoras_->setText(qs(form_->CalcularTotalHoras()));
  txtTotalMinutos_->setText(qs(form_->CalcularTotalMinutos()));
}

bool frmDiasHoras::eventFilter(QObject* watched, QEvent* event) {
  if (form_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonDblClick)) {
    bool open = event->type() == QEvent::MouseButtonDblClick || !navigationKey(static_cast<QKeyEvent*>(event)->key());
    if (open && watched == txtDiasSub_ && form_->subsidisedOpensList()) {
      openChild(new frmDias(session_, decl_, person_, detail::SuspensionKind::Subsidised, this));
      return true;
    }
    if (open && watched == txtDiasNoLab_) {
      openChild(new frmDias(session_, decl_, person_, detail::SuspensionKind::NotSubsidised, this));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmDiasHoras::openChild(QDialog* child) {
  child->setAttribute(Qt::WA_DeleteOnClose);
  // When the child closes, the days and establishments it may have changed are shown again.
  connect(child, &QDialog::finished, this, [this] {
    if (!form_) return;
    guarded(session_, [&] {
      form_->reloadDays();
      form_->recountEstablishments();
    });
    txtDiasSub_->setText(qs(form_->diasSub));
    txtDiasNoLab_->setText(qs(form_->diasNoLab));
    lblNumEstab_->setText(qs(form_->establishmentText()));
  });
  child->open();
}

void frmDiasHoras::onAccept() {
  if (!form_) return;
  updateTotals();
  if (!guardedSave(session_, this, [&] { return form_->accept(); })) return;
  accept();
}

}  // namespace korventa::ui
