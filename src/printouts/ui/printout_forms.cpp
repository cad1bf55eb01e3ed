#include "printouts/ui/printout_forms.h"
#include "printouts/ui/directory_field.h"
#include "printouts/ui/frm_reportes.h"
#include "printouts/ui/frm_consulta_bases_trib.h"
#include "printouts/ui/frm_reporte_indiv.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "common/ui/progress_dialog.h"
#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "common/text.h"
#include "printouts/payslip.h"
#include "reports/page_range.h"
#include "reports/print_outcome.h"
#include "reports/spool.h"
#include "reports/ui/frm_impx_pag.h"
#include "reports/ui/frm_preview.h"

namespace korventa::printouts::ui {
namespace {

using korventa::ui::qs;

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QTableWidget* declarationGrid(QWidget* parent) {
  auto* g = new QTableWidget(parent);
  g->setObjectName("grdContrib");
  g->setSelectionBehavior(QAbstractItemView::SelectRows);
  g->setSelectionMode(QAbstractItemView::SingleSelection);
  g->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g->horizontalHeader()->setStretchLastSection(true);
  g->verticalHeader()->setVisible(false);
  return g;
}

template <class Form>
void fillFrom(QTableWidget* grid, Form& form) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& r : form.requery()) rows.push_back(form.cells(r));
  fillDeclarationGrid(grid, form.columns(), rows);
}

// The document types of list 044 in a combo (code in the item data).
void fillDocumentTypes(QComboBox* combo, PersonSearchForm& form) {
  for (const auto& t : form.CargaComboTipoDocProp()) combo->addItem(qs(t.code2() + " - " + t.description), t.code);
}

// txtNumDoc: only the characters and the length the chosen type allows.
void guardNumber(QLineEdit* edit, QComboBox* combo, PersonSearchForm& form) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, combo, &form](const QString& typed) {
    std::string kept;
    for (char32_t c : text::codepoints(typed.toStdString()))
      if (form.numDocKeyAllowed(combo->currentData().toInt(), kept, c)) kept += text::fromCodepoint(c);
    if (qs(kept) != typed) edit->setText(qs(kept));
  });
  QObject::connect(combo, &QComboBox::currentIndexChanged, edit, [edit] { edit->clear(); });
}

QGroupBox* searchBox(QWidget* parent, QComboBox*& combo, QLineEdit*& edit) {
  auto* box = new QGroupBox(qs("Buscar por"), parent);
  auto* h = new QHBoxLayout(box);
  combo = new QComboBox(box);
  combo->setObjectName("cboTipDoc");
  edit = new QLineEdit(box);
  edit->setObjectName("txtNumDoc");
  h->addWidget(new QLabel(qs("Tipo de documento:"), box));
  h->addWidget(combo, 1);
  h->addWidget(new QLabel(qs("Número:"), box));
  h->addWidget(edit, 1);
  return box;
}

// "Modo de salida": the text-files and workbook choices and the output folder.
QGroupBox* outputBox(QWidget* parent, QCheckBox* (&chkSalida)[2], DirectoryField*& dir) {
  auto* out = new QGroupBox(qs("Modo de salida"), parent);
  auto* oh = new QHBoxLayout(out);
  const char* modes[] = {"Archivos de texto (TXT)", "Libro de hoja de cálculo"};
  for (int k = 0; k < 2; ++k) {
    chkSalida[k] = new QCheckBox(qs(modes[k]), out);
    chkSalida[k]->setObjectName(QString("chkSalida_%1").arg(k));
    oh->addWidget(chkSalida[k]);
  }
  chkSalida[1]->setEnabled(workbookAvailable());
  dir = new DirectoryField(out);
  oh->addWidget(dir, 1);
  return out;
}

// "&Generar" and "&Salir" at the foot of the export forms.
QHBoxLayout* actionRow(QWidget* parent, QPushButton*& gen, QPushButton*& close) {
  auto* h = new QHBoxLayout;
  h->addStretch();
  gen = button(parent, "cmdAccion_0", qs("&Generar"));
  close = button(parent, "cmdAccion_1", qs("&Salir"));
  h->addWidget(gen);
  h->addWidget(close);
  return h;
}

}  // namespace

void fillDeclarationGrid(QTableWidget* grid, const std::vector<std::string>& columns,
                         const std::vector<std::vector<std::string>>& rows) {
  grid->clear();
  grid->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (const auto& c : columns) headers << qs(c);
  grid->setHorizontalHeaderLabels(headers);
  grid->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(rows[static_cast<std::size_t>(r)].size()); ++c)
      grid->setItem(r, c, new QTableWidgetItem(qs(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
  grid->resizeColumnsToContents();
  if (!rows.empty()) grid->selectRow(0);
}

int selectedRow(QTableWidget* grid) {
  auto sel = grid->selectionModel()->selectedRows();
  return sel.isEmpty() ? grid->currentRow() : sel.first().row();
}

// ---- FrmTipPrn --------------------------------------------------------------------------------

FrmTipPrn::FrmTipPrn(Session& session, bool sent, QWidget* parent)
    : QDialog(parent), s_(session), form_(session, sent) {
  setObjectName("FrmTipPrn");
  setWindowTitle(qs("Imprimir Declaraciones"));
  setModal(true);
  resize(900, 520);
  auto* v = new QVBoxLayout(this);
  auto* list = new QGroupBox(qs("Declaraciones Registradas"), this);
  auto* lv = new QVBoxLayout(list);
  grdContrib_ = declarationGrid(list);
  lv->addWidget(grdContrib_);
  v->addWidget(list, 1);
  auto* opts = new QHBoxLayout;
  auto* what = new QGroupBox(qs("Imprimir"), this);
  auto* wv = new QVBoxLayout(what);
  const char* captions[] = {"&Declaración", "&Anexos", "&Declaración y anexos"};
  for (int i = 0; i < 3; ++i) {
    optImp_[i] = new QRadioButton(qs(captions[i]), what);
    optImp_[i]->setObjectName(QString("optImp_%1").arg(i));
    wv->addWidget(optImp_[i]);
    connect(optImp_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!on) return;
      form_.setOptImp(i);
      syncOptions();
    });
  }
  auto* annexes = new QGroupBox(qs("Anexos"), this);
  auto* av = new QVBoxLayout(annexes);
  const char* annexCaptions[] = {"Crédito por EPS (Casillas 602 - 408)",
                                 "Crédito por EPS de Períodos anteriores  (Casillas 612 - 428)"};
  for (int i = 0; i < 2; ++i) {
    chkAnexo_[i] = new QCheckBox(qs(annexCaptions[i]), annexes);
    chkAnexo_[i]->setObjectName(QString("ChkAnexo_%1").arg(i));
    av->addWidget(chkAnexo_[i]);
    connect(chkAnexo_[i], &QCheckBox::toggled, this, [this, i](bool on) { form_.setChkAnexo(i, on); });
  }
  opts->addWidget(what);
  opts->addWidget(annexes, 1);
  v->addLayout(opts);
  auto* h = new QHBoxLayout;
  h->addStretch();
  const char* buttons[] = {"&Preliminar", "&Imprimir", "&Salir", "&Archivo"};
  for (int i : {0, 1, 3, 2}) {
    auto* b = button(this, QString("CmdImprimir_%1").arg(i), qs(buttons[i]));
    h->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, i] { CmdImprimir_Click(i); });
  }
  v->addLayout(h);
  optImp_[0]->setChecked(true);
  syncOptions();
  fillFrom(grdContrib_, form_);
}

void FrmTipPrn::syncOptions() {
  for (int i = 0; i < 2; ++i) {
    QSignalBlocker block(chkAnexo_[i]);
    chkAnexo_[i]->setEnabled(form_.annexesEnabled());
    chkAnexo_[i]->setChecked(form_.chkAnexo(i));
  }
}

void FrmTipPrn::CmdImprimir_Click(int index) {
  if (index == 2) {
    reject();
    return;
  }
  int row = selectedRow(grdContrib_);
  if (row < 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (index == 3) {
    QApplication::restoreOverrideCursor();
    form_.archivo(row);
    return;
  }
  reports::RangeDialogPlan plan;
  std::optional<std::filesystem::path> path;
  try {
    path = form_.producir(row, &plan);
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    s_.msg().show(e.what(), "Error", MsgIcon::Critical);
    return;
  }
  QApplication::restoreOverrideCursor();
  if (!path) return;
  if (index == 0) {
    reports::ui::previewWithRange(s_, path->string(), plan, this);
  } else {
    if (reports::ui::MuestraReporte(s_, path->string(), "Impresora", this)) reports::reportPrinted(s_.msg());
  }
}

// ---- Directory field --------------------------------------------------------------------------

DirectoryField::DirectoryField(QWidget* parent) : QWidget(parent) {
  auto* h = new QHBoxLayout(this);
  h->setContentsMargins(0, 0, 0, 0);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("txtDirectorio");
  auto* choose = button(this, "cmdDirectorio", qs("..."));
  h->addWidget(new QLabel(qs("Directorio:"), this));
  h->addWidget(edit_, 1);
  h->addWidget(choose);
  edit_->setText(QDir::homePath());
  connect(choose, &QPushButton::clicked, this, [this] {
    QString d = QFileDialog::getExistingDirectory(this, qs("Seleccione el directorio"), edit_->text());
    if (!d.isEmpty()) edit_->setText(d);
  });
}

std::string DirectoryField::directory() const {
  return edit_->text().trimmed().toStdString();
}
void DirectoryField::setDirectory(const std::string& dir) {
  edit_->setText(qs(dir));
}

// ---- frmReportes ------------------------------------------------------------------------------

frmReportes::frmReportes(Session& session, bool sent, QWidget* parent)
    : QDialog(parent), s_(session), form_(session, sent) {
  setObjectName("frmReportes");
  setWindowTitle(qs(sent ? "Reportes Generales - Declaraciones Enviadas" : "Reportes Generales"));
  setModal(true);
  resize(980, 640);
  auto* v = new QVBoxLayout(this);
  grdContrib_ = declarationGrid(this);
  v->addWidget(grdContrib_, 1);
  auto* reportsBox = new QGroupBox(qs("Reportes"), this);
  auto* g = new QGridLayout(reportsBox);
  int i = 0;
  for (const auto& entry : reportCatalogue()) {
    auto* c = new QCheckBox(qs(entry.title), reportsBox);
    c->setObjectName(QString("chkReportes_%1").arg(entry.number));
    chkReportes_.push_back({entry.number, c});
    g->addWidget(c, i % 8, i / 8);
    ++i;
  }
  v->addWidget(reportsBox);
  v->addWidget(outputBox(this, chkSalida_, dir_));
  QPushButton* gen = nullptr;
  QPushButton* close = nullptr;
  v->addLayout(actionRow(this, gen, close));
  connect(gen, &QPushButton::clicked, this, &frmReportes::cmdAccion_Click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  fillFrom(grdContrib_, form_);
}

QCheckBox* frmReportes::chkReportes(int number) const {
  for (const auto& [n, c] : chkReportes_)
    if (n == number) return c;
  return nullptr;
}

void frmReportes::cmdAccion_Click() {
  int row = selectedRow(grdContrib_);
  if (row < 0) return;
  ExportRequest req;
  for (const auto& [n, c] : chkReportes_)
    if (c->isChecked()) req.formats.push_back(n);
  req.text = chkSalida_[0]->isChecked();
  req.workbook = chkSalida_[1]->isChecked();
  req.dir = dir_->directory();
  {
    // Cancelled, no file and no pay statement is kept.
    korventa::ui::ProgressDialog progress(this, true);
    progress.setObjectName("prgReportes");
    form_.cmdAccion(row, req, progress);
  }
  if (form_.payslipReport) {
    reports::ui::MuestraReporte(s_, form_.payslipReport->string(), "Vprevia", this);
  }
}

// ---- frmConsultaBasesTrib ---------------------------------------------------------------------

frmConsultaBasesTrib::frmConsultaBasesTrib(Session& session, bool sent, QWidget* parent)
    : QDialog(parent), s_(session), form_(session, sent) {
  setObjectName("frmConsultaBasesTrib");
  setWindowTitle(qs("Consulta del Detalle de la Declaración"));
  setModal(true);
  resize(1100, 640);
  auto* v = new QVBoxLayout(this);
  grdContrib_ = declarationGrid(this);
  v->addWidget(grdContrib_, 1);
  auto* search = searchBox(this, cboTipDoc_, txtNumDoc_);
  auto* find = button(search, "cmdBuscar", qs("&Buscar"));
  search->layout()->addWidget(find);
  v->addWidget(search);
  GrdDatos_ = new QTableWidget(this);
  GrdDatos_->setObjectName("GrdDatos");
  GrdDatos_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  v->addWidget(GrdDatos_, 2);
  auto* h = new QHBoxLayout;
  h->addStretch();
  // The individual report of the same declarations opens from here.
  auto* indiv = button(this, "cmdReporteIndiv", qs("Reporte &Individual"));
  auto* close = button(this, "cmdAccion", qs("&Salir"));
  h->addWidget(indiv);
  h->addWidget(close);
  v->addLayout(h);
  connect(indiv, &QPushButton::clicked, this, [this] {
    frmReporteIndiv d(s_, form_.sent(), this);
    d.exec();
  });
  fillDocumentTypes(cboTipDoc_, form_);
  guardNumber(txtNumDoc_, cboTipDoc_, form_);
  korventa::ui::EnterAsTab::install(this);
  connect(find, &QPushButton::clicked, this, &frmConsultaBasesTrib::cmdBuscar_Click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  fillFrom(grdContrib_, form_);
}

void frmConsultaBasesTrib::cmdBuscar_Click() {
  int row = selectedRow(grdContrib_);
  if (row < 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  form_.cmdBuscar(row, cboTipDoc_->currentData().toInt(), txtNumDoc_->text().toStdString());
  const auto& cols = taxBaseColumns();
  auto rows = taxBaseRows(s_);
  GrdDatos_->clear();
  GrdDatos_->setColumnCount(static_cast<int>(cols.size()));
  QStringList headers;
  for (const auto& c : cols) headers << qs(c.second);
  GrdDatos_->setHorizontalHeaderLabels(headers);
  GrdDatos_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(cols.size()); ++c)
      GrdDatos_->setItem(
          r, c,
          new QTableWidgetItem(qs(rows[static_cast<std::size_t>(r)].text(cols[static_cast<std::size_t>(c)].first))));
  GrdDatos_->resizeColumnsToContents();
  QApplication::restoreOverrideCursor();
}

// ---- frmReporteIndiv --------------------------------------------------------------------------

frmReporteIndiv::frmReporteIndiv(Session& session, bool sent, QWidget* parent)
    : QDialog(parent), s_(session), form_(session, sent) {
  setObjectName("frmReporteIndiv");
  setWindowTitle(qs("Reporte Individual"));
  setModal(true);
  resize(900, 520);
  auto* v = new QVBoxLayout(this);
  grdContrib_ = declarationGrid(this);
  v->addWidget(grdContrib_, 1);
  v->addWidget(searchBox(this, cboTipDoc_, txtNumDoc_));
  v->addWidget(outputBox(this, chkSalida_, dir_));
  QPushButton* gen = nullptr;
  QPushButton* close = nullptr;
  v->addLayout(actionRow(this, gen, close));
  fillDocumentTypes(cboTipDoc_, form_);
  guardNumber(txtNumDoc_, cboTipDoc_, form_);
  korventa::ui::EnterAsTab::install(this);
  connect(gen, &QPushButton::clicked, this, &frmReporteIndiv::cmdAccion_Click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  fillFrom(grdContrib_, form_);
}

void frmReporteIndiv::cmdAccion_Click() {
  int row = selectedRow(grdContrib_);
  if (row < 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  form_.cmdAccion(row, cboTipDoc_->currentData().toInt(), txtNumDoc_->text().toStdString(), chkSalida_[0]->isChecked(),
                  chkSalida_[1]->isChecked(), dir_->directory());
  QApplication::restoreOverrideCursor();
}

}  // namespace korventa::printouts::ui
