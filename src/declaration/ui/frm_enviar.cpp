#include "declaration/ui/frm_enviar.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "common/dates.h"
#include "data/db_errors.h"

namespace korventa::ui {

FrmEnviar::FrmEnviar(data::Database& db, Messenger& m, QWidget* parent) : QDialog(parent), db_(db), m_(m) {
  setObjectName("FrmEnviar");
  setWindowTitle(QStringLiteral("Enviar declaración"));
  setModal(true);
  auto* v = new QVBoxLayout(this);
  v->addWidget(new QLabel(QStringLiteral("Declaraciones grabadas sin inconsistencias:"), this));
  grid_ = new QTableWidget(this);
  grid_->setObjectName("grdDeclaraciones");
  grid_->setColumnCount(3);
  grid_->setHorizontalHeaderLabels({QStringLiteral("RUC"), QStringLiteral("Razón Social"), QStringLiteral("Período")});
  makeRowPicker(grid_);
  v->addWidget(grid_, 1);
  auto* h = new QHBoxLayout;
  h->addStretch(1);
  auto* send = new QPushButton(QStringLiteral("&Enviar"), this);
  send->setObjectName("CmdEnviarDeclaracion");
  auto* exit = new QPushButton(QStringLiteral("&Salir"), this);
  exit->setObjectName("CmdSalir");
  h->addWidget(send);
  h->addWidget(exit);
  v->addLayout(h);
  connect(send, &QPushButton::clicked, this, [this] { sendSelected(); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  fill();
  resize(680, 320);
}

void FrmEnviar::fill() {
  try {
    rows_ = declaration::declaracionesPorEnviar(db_);
  } catch (const data::DbError& e) {
    rows_.clear();
    data::MensajeErrorBD(m_, e);
  }
  grid_->setRowCount(static_cast<int>(rows_.size()));
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    const auto& c = rows_[static_cast<std::size_t>(r)];
    grid_->setItem(r, 0, new QTableWidgetItem(qs(c.ruc)));
    grid_->setItem(r, 1, new QTableWidgetItem(qs(c.nombre)));
    grid_->setItem(r, 2, new QTableWidgetItem(qs(periodToDisplay(c.periodo))));
  }
  grid_->resizeColumnsToContents();
  if (!rows_.empty()) grid_->selectRow(0);
}

bool FrmEnviar::sendSelected() {
  int row = grid_->currentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return false;
  const auto c = rows_[static_cast<std::size_t>(row)];
  bool ok = false;
  try {
    receipt_ = declaration::enviarDeclaracion(db_, c.ruc, c.periodo);
    ok = true;
    declaration::showReceipt(m_, c.ruc, c.periodo, receipt_);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(m_, e);
  } catch (const std::exception& e) {
    m_.show(e.what(), "Error", MsgIcon::Critical);
  }
  fill();
  return ok;
}

}  // namespace korventa::ui
