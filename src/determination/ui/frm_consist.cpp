#include "determination/ui/frm_consist.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ui/progress_dialog.h"
#include "common/ui/qt_messenger.h"
#include "model/open_declaration.h"
#include "determination/validation.h"
#include "reports/inconsistency_report.h"
#include "reports/ui/frm_preview.h"

namespace korventa::ui {

FrmConsist::FrmConsist(Session& session, std::filesystem::path mens, QWidget* parent)
    : QDialog(parent), s_(session), mens_(std::move(mens)) {
  setObjectName("FrmConsist");
  setWindowTitle(qs("Inconsistencias detectadas"));
  setModal(true);
  resize(820, 460);
  auto* v = new QVBoxLayout(this);
  v->addWidget(new QLabel(qs("En su declaración se han detectado las siguientes inconsistencias :"), this));
  txt_ = new QPlainTextEdit(this);
  txt_->setObjectName("TxtPreliminar");
  txt_->setReadOnly(true);
  txt_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont courier("Courier New");
  courier.setStyleHint(QFont::Monospace);
  courier.setFixedPitch(true);
  txt_->setFont(courier);
  v->addWidget(txt_, 1);
  auto* buttons = new QHBoxLayout;
  auto* imprimir = new QPushButton(qs("&Imprimir"), this);
  imprimir->setObjectName("cmdImprimir");
  auto* aceptar = new QPushButton(qs("&Aceptar"), this);
  aceptar->setObjectName("CmdGrabar");
  buttons->addStretch();
  buttons->addWidget(imprimir);
  buttons->addWidget(aceptar);
  v->addLayout(buttons);
  connect(imprimir, &QPushButton::clicked, this, &FrmConsist::cmdImprimir_Click);
  connect(aceptar, &QPushButton::clicked, this, &QDialog::accept);

  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto lines = reports::readInconsistencyFile(mens_);
  QApplication::restoreOverrideCursor();
  if (!lines) {
    txt_->setPlainText(qs(reports::kNoInconsistencyFile));
  } else {
    QStringList all;
    for (const auto& l : *lines) all << qs(l);
    txt_->setPlainText(all.join('\n'));
  }
}

QString FrmConsist::text() const {
  return txt_->toPlainText();
}

void FrmConsist::cmdImprimir_Click() {
  auto file = reports::writeInconsistencyReportFile(s_, mens_);
  if (!file) return;
  reports::ui::MuestraReporte(s_, file->string(), "Vprevia", this);
}

bool FrmConsist::validar(Session& session, const model::OpenDeclaration& decl, QWidget* parent) {
  if (decl.ruc.empty() || decl.periodo.empty()) return false;
  auto mens = determination::mensPath(session);
  determination::ValidationResult r;
  {
    // The rules only read: stopped half-way, they leave no report.
    ProgressDialog progress(parent, true);
    r = determination::DeclarationValidator(session, decl).CmdValidar_Click(mens, progress);
  }
  if (r.stopped) return false;
  if (r.inconsistent) FrmConsist(session, mens, parent).exec();
  return !r.inconsistent;
}

}  // namespace korventa::ui
