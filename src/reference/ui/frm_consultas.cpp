#include "reference/ui/frm_consultas.h"
#include "reference/ui/frm_tasasx_trab.h"
#include "reference/ui/frm_acercade.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "data/db_errors.h"
#include "reference/consultas.h"

namespace korventa::ui {
namespace {

QTableWidget* makeGrid(QWidget* parent, const char* name, const QStringList& headings) {
  auto* g = new QTableWidget(0, int(headings.size()), parent);
  g->setObjectName(name);
  g->setHorizontalHeaderLabels(headings);
  g->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g->setSelectionBehavior(QAbstractItemView::SelectRows);
  g->setSelectionMode(QAbstractItemView::SingleSelection);
  g->verticalHeader()->setVisible(false);
  g->setAlternatingRowColors(true);
  return g;
}

void setRow(QTableWidget* g, int row, const std::vector<std::string>& cells, int rightAlignedFrom) {
  for (int c = 0; c < int(cells.size()); ++c) {
    auto* item = new QTableWidgetItem(qs(cells[std::size_t(c)]));
    if (c >= rightAlignedFrom) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->setItem(row, c, item);
  }
}

QPushButton* salir(QDialog* d) {
  auto* b = new QPushButton("&Salir", d);
  b->setObjectName("CmdSalir");
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, d, &QDialog::accept);
  return b;
}

QHBoxLayout* rightButtons(std::initializer_list<QWidget*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (auto* b : buttons) row->addWidget(b);
  return row;
}

}  // namespace

FrmConsultas::FrmConsultas(Session& session, const std::string& code, QWidget* parent) : QDialog(parent) {
  setObjectName("FrmConsultas");
  auto result = reference::consultar(session.database(), code);
  setWindowTitle(result ? qs(result->title) : QString("Consultas"));
  QStringList headings;
  headings << (result ? qs(result->codeHeading) : QString("Código"))
           << (result ? qs(result->descHeading) : QString("Descripción"));
  grid_ = makeGrid(this, "grdConsulta", headings);
  if (result) {
    grid_->setRowCount(int(result->rows.size()));
    for (int r = 0; r < int(result->rows.size()); ++r) {
      const auto& row = result->rows[std::size_t(r)];
      setRow(grid_, r, {row.codigo, row.descrip}, result->dated ? 1 : 2);
    }
  }
  grid_->resizeColumnToContents(0);
  grid_->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_);
  layout->addLayout(rightButtons({salir(this)}));
  resize(result && result->dated ? 360 : 620, 420);
}

frmTasasxTrab::frmTasasxTrab(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName("frmTasasxTrab");
  setWindowTitle("Tasas por Tipo de Trabajador");
  auto* label = new QLabel("Tipo de &Trabajador:", this);
  combo_ = new QComboBox(this);
  combo_->setObjectName("cboTipoTrab");
  label->setBuddy(combo_);
  for (const auto& t : reference::WorkerRatesForm(session.database()).tipos())
    combo_->addItem(qs(t.display()), qs(t.codigo));
  combo_->setCurrentIndex(-1);
  combo_->setMinimumWidth(360);
  auto* consultarBtn = new QPushButton("&Consultar", this);
  consultarBtn->setObjectName("CmdConsultar");
  connect(consultarBtn, &QPushButton::clicked, this, &frmTasasxTrab::consultar);
  connect(combo_, &QComboBox::activated, this, [this](int) { consultar(); });

  grid_ = makeGrid(this, "grdTasas",
                   {"Vigencia", "IES", "Pensión", "Salud", "Artistas", "+Vida", "Salud Agrario", "Asegura tu Pensión"});
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

  auto* top = new QHBoxLayout;
  top->addWidget(label);
  top->addWidget(combo_, 1);
  top->addWidget(consultarBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(grid_);
  layout->addLayout(rightButtons({salir(this)}));
  resize(720, 400);
}

void frmTasasxTrab::consultar() {
  std::string tipo = combo_->currentIndex() < 0 ? std::string() : ss(combo_->currentData().toString());
  std::optional<std::vector<reference::TasaRow>> rows;
  try {
    rows = reference::WorkerRatesForm(session_.database()).consultar(tipo, session_.msg());
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(session_.msg(), e);
    return;
  }
  if (!rows) {
    combo_->setFocus();
    return;
  }
  grid_->setRowCount(int(rows->size()));
  for (int r = 0; r < int(rows->size()); ++r) {
    const auto& t = (*rows)[std::size_t(r)];
    setRow(grid_, r, {t.vigencia, t.ies, t.pension, t.salud, t.artistas, t.vida, t.saludA, t.asegtpe}, 1);
  }
}

frmAcercade::frmAcercade(Session& session, QWidget* parent) : QDialog(parent) {
  setObjectName("frmAcercade");
  setWindowTitle("Acerca de ZEL");
  auto* product = new QLabel("<b>ZEL - Formulario 0601</b><br>Planilla Mensual de Pagos", this);
  product->setObjectName("lblProducto");
  auto* version = new QLabel(qs(reference::textoVersion(session.version)), this);
  version->setObjectName("lblVersion");
  auto* date = new QLabel(qs(reference::textoActualizacion(session.publicationDate)), this);
  date->setObjectName("lblFecha");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(product);
  layout->addSpacing(8);
  layout->addWidget(version);
  layout->addWidget(date);
  layout->addStretch();
  layout->addLayout(rightButtons({salir(this)}));
  resize(340, 180);
}

}  // namespace korventa::ui
