#include "declaration/ui/frm402.h"

#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "common/dates.h"
#include "common/list_form.h"
#include "common/ui/progress_dialog.h"
#include "declaration/ui/person_grid_model.h"
#include "detail/ui/frm601mfdet.h"
#include "detail/ui/frm61501.h"
#include "detail/ui/frm_601_detalle.h"
#include "detail/ui/frm_605.h"
#include "detail/ui/frm_det_concep.h"
#include "detail/ui/frm_eps.h"
#include "detail/ui/frm_dias_horas.h"
#include "detail/ui/frm_ing_apor.h"
#include "determination/ui/determinacion_tab.h"
#include "determination/ui/frm_consist.h"

namespace korventa::ui {
namespace {

struct BusyCursor {
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(qs(caption), parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

Frm402::Frm402(Session& session, Mode mode, QWidget* parent) : QDialog(parent), s_(session), ctl_(session) {
  setObjectName("Frm402");
  setWindowTitle(qs(declaration::DeclarationForm::caption()));
  setModal(true);
  // Everything scrolls inside the form when the screen is smaller than what it needs.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("scrFrm402");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget(scroll);
  auto* main = new QVBoxLayout(content);
  auto* header = new QWidget(this);
  buildHeader(header);
  main->addWidget(header);

  tab1_ = new QTabWidget(this);
  tab1_->setObjectName("SSTab1");
  tab1_->addTab(buildPage(workers_, ""), qs("Trabajadores"));
  tab1_->addTab(buildPage(pensioners_, "Pens"), qs("Pensionistas"));
  tab1_->addTab(buildPage(thirdParties_, "PT"), qs("Personal de Terceros"));
  tab2_ = new QTabWidget(this);
  tab2_->setObjectName("SSTab2");
  tab2_->addTab(buildPage(providers_, "PS"), qs("Prestadores de Servicios - 4ta Categoría"));
  tab2_->addTab(buildPage(trainees_, "MF"), qs("Modalidad Formativa"));
  tab1_->addTab(tab2_, qs("Otros Prestadores"));
  determination_ = new DeterminacionTab(s_, ctl_.declaration(), tab1_);
  // Typing into the grid or the payment data modifies the declaration (Salir asks to save it).
  connect(determination_, &DeterminacionTab::changed, this, [this] { ctl_.setModified(); });
  connect(determination_, &DeterminacionTab::epsCreditRequested, this,
          [this](const QString& casilla) { FrmInf602(s_, ctl_.declaration(), ss(casilla), this).exec(); });
  tab1_->addTab(determination_, qs("Determinación de la Deuda"));
  main->addWidget(tab1_, 1);

  auto* buttons = new QHBoxLayout;
  cmdRefrescar_ = button(this, "Command1", "&Refrescar");
  cmdRefrescar_->setToolTip(qs("Actualizar los datos de acuerdo al registro actual de trabajadores dependientes."));
  cmdGrabar_ = button(this, "CmdGrabar", "&Guardar");
  cmdValidar_ = button(this, "CmdValidar", "&Validar");
  cmdImporta_ = button(this, "cmdImporta", "&Imp. Subsidios");
  cmdComparar_ = button(this, "CmdComparar", "Co&mparar");
  cmdSalir_ = button(this, "CmdCancelar", "&Salir");
  for (auto* b : {cmdRefrescar_, cmdGrabar_, cmdValidar_, cmdImporta_, cmdComparar_}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(cmdSalir_);
  main->addLayout(buttons);
  scroll->setWidget(content);
  outer->addWidget(scroll);
  fitToScreen(this, QSize(1340, 720));

  connect(cmdRefrescar_, &QPushButton::clicked, this, &Frm402::onRefrescar);
  connect(cmdGrabar_, &QPushButton::clicked, this, &Frm402::onGrabar);
  connect(cmdValidar_, &QPushButton::clicked, this, &Frm402::onValidar);
  connect(cmdSalir_, &QPushButton::clicked, this, &Frm402::onSalir);
  connect(cmdImporta_, &QPushButton::clicked, this, [this] { openImport(kWorker); });
  connect(cmdComparar_, &QPushButton::clicked, this, &Frm402::compareRequested);
  // Other sessions see the declaration open here as long as this mark is renewed.
  auto* mark = new QTimer(this);
  mark->setObjectName("holdRenewal");
  connect(mark, &QTimer::timeout, this, [this] { ctl_.renewHold(); });
  mark->start(60 * 1000);
  EnterAsTab::install(header);

  if (mode == Mode::New) newDeclaration();
  updateEnabled();
}

Frm402::~Frm402() = default;

void Frm402::buildHeader(QWidget* host) {
  auto* g = new QGridLayout(host);
  g->setContentsMargins(0, 0, 0, 0);
  g->addWidget(new QLabel(qs("RUC :"), host), 0, 0);
  cmbRuc_ = new QComboBox(host);
  cmbRuc_->setObjectName("CmbRuc");
  cmbRuc_->setMinimumWidth(380);
  g->addWidget(cmbRuc_, 0, 1);
  txtRazon_ = new QLineEdit(host);
  txtRazon_->setObjectName("TxtRazon");
  txtRazon_->setReadOnly(true);
  txtRazon_->setFocusPolicy(Qt::NoFocus);
  g->addWidget(txtRazon_, 0, 2, 1, 3);
  g->addWidget(new QLabel(qs("Período :"), host), 1, 0);
  mkePeriodo_ = new PeriodEdit(host);
  mkePeriodo_->setObjectName("MkePeriodo");
  mkePeriodo_->setMaximumWidth(90);
  g->addWidget(mkePeriodo_, 1, 1, Qt::AlignLeft);
  g->addWidget(new QLabel(qs("Teléfono :"), host), 1, 2, Qt::AlignRight);
  txtTelefono_ = new QLineEdit(host);
  txtTelefono_->setObjectName("TxtTelefono");
  txtTelefono_->setMaxLength(12);
  txtTelefono_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,12}"), txtTelefono_));
  g->addWidget(txtTelefono_, 1, 3);
  auto* opt = new QGroupBox(host);
  opt->setObjectName("OptRectifica");
  auto* ol = new QHBoxLayout(opt);
  ol->setContentsMargins(4, 0, 4, 0);
  optOriginal_ = new QRadioButton(qs("Original"), opt);
  optOriginal_->setObjectName("OptRectifica0");
  optRectifica_ = new QRadioButton(qs("Rectificatoria"), opt);
  optRectifica_->setObjectName("OptRectifica1");
  optOriginal_->setChecked(true);
  ol->addWidget(optOriginal_);
  ol->addWidget(optRectifica_);
  g->addWidget(opt, 1, 4);
  lblNumOrden_ = new QLabel(qs("Número de Orden :"), host);
  txtNumOrden_ = new QLineEdit(host);
  txtNumOrden_->setObjectName("TxtNumOrdenE");
  txtNumOrden_->setMaxLength(12);
  txtNumOrden_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,12}"), txtNumOrden_));
  g->addWidget(lblNumOrden_, 2, 0);
  g->addWidget(txtNumOrden_, 2, 1, Qt::AlignLeft);
  lblNumOrden_->hide();
  txtNumOrden_->hide();
  g->setColumnStretch(2, 1);

  connect(cmbRuc_, &QComboBox::activated, this, &Frm402::onDeclarant);
  connect(mkePeriodo_, &QLineEdit::editingFinished, this, &Frm402::onPeriodLeft);
  // Leaving the field without changing it emits no editingFinished: the focus-out checks then.
  mkePeriodo_->installEventFilter(this);
  connect(txtTelefono_, &QLineEdit::textEdited, this, [this](const QString& t) { ctl_.setTelefono(ss(t)); });
  connect(optRectifica_, &QRadioButton::toggled, this, [this](bool on) {
    ctl_.setRectifica(on);
    determination_->rectificaChanged(on);
  });
  connect(txtNumOrden_, &QLineEdit::textEdited, this, [this](const QString& t) { ctl_.setNumOrden(ss(t)); });
}

QWidget* Frm402::buildPage(Page& p, const QString& suffix) {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  auto* find = buildSearch(p, suffix, page, v);
  buildGrid(p, page, v);

  auto* bottom = new QHBoxLayout;
  p.total = new QLabel(page);
  p.total->setObjectName("LblTotal" + suffix);
  bottom->addWidget(p.total);
  bottom->addStretch();
  buildGridButtons(p, page, v, bottom);
  v->addLayout(bottom);
  fitColumns(p);
  p.buttons.push_back(find);
  connect(find, &QPushButton::clicked, this, [this, &p] { onSearch(p); });
  connect(p.search, &QLineEdit::returnPressed, this, [this, &p] { onSearch(p); });
  p.total->setText(qs(p.model->list().totalLabel()));
  return page;
}

// The search frame over the grid; returns its button.
QPushButton* Frm402::buildSearch(Page& p, const QString& suffix, QWidget* page, QVBoxLayout* v) {
  auto* top = new QHBoxLayout;
  auto* frame = new QGroupBox(qs("Buscar por :"), page);
  frame->setObjectName("FraBuscar" + suffix);
  auto* fl = new QHBoxLayout(frame);
  p.byDocument = new QRadioButton(qs("Nro. de Documento"), frame);
  p.byDocument->setObjectName("OptDocumento" + suffix);
  p.byDocument->setChecked(true);
  auto* byName = new QRadioButton(qs("Nombre"), frame);
  byName->setObjectName("OptNombre" + suffix);
  p.search = new QLineEdit(frame);
  p.search->setObjectName("TxtBuscar" + suffix);
  auto* find = button(frame, ("CmdBuscar" + suffix).toUtf8().constData(), "&Buscar");
  fl->addWidget(p.byDocument);
  fl->addWidget(byName);
  fl->addWidget(p.search, 1);
  fl->addWidget(find);
  top->addWidget(frame, 1);
  v->addLayout(top);
  return find;
}

void Frm402::buildGrid(Page& p, QWidget* page, QVBoxLayout* v) {
  p.view = new QTableView(page);
  p.model = new PersonGridModel(s_.database(), p.grid, p.view);
  p.view->setModel(p.model);
  p.view->setSelectionBehavior(QAbstractItemView::SelectRows);
  p.view->setSelectionMode(QAbstractItemView::SingleSelection);
  p.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  p.view->verticalHeader()->setDefaultSectionSize(22);
  p.view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  p.view->horizontalHeader()->setStretchLastSection(true);
  v->addWidget(p.view, 1);
  // "¿De dónde sale?" of a person's summary column (Total Ingresos, Aportes, Neto a Pagar).
  p.view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(p.view, &QTableView::customContextMenuRequested, this, [this, &p](const QPoint& at) {
    QModelIndex i = p.view->indexAt(at);
    auto key = i.isValid() ? p.model->list().key(i.row()) : std::nullopt;
    if (key && determination_)
      determination_->offerPersonExplanation(*key, p.model->list().columnExpr(i.column()),
                                             p.view->viewport()->mapToGlobal(at));
  });
}

// The grid's own buttons, by category, at the bottom of the page.
void Frm402::buildGridButtons(Page& p, QWidget* page, QVBoxLayout* v, QHBoxLayout* bottom) {
  auto add = [&](const char* name, const char* caption) {
    auto* b = button(page, name, caption);
    bottom->addWidget(b);
    p.buttons.push_back(b);
    return b;
  };
  switch (p.grid) {
    case declaration::Grid::Workers: {
      p.view->setObjectName("GrdDatos");
      auto* imp = add("CmdImportar", "Importar");
      auto* jor = add("CmdJornada", "Jornada Laboral");
      auto* ing = add("CmdIngApor", "Ingresos, tributos y conceptos");
      auto* det = add("CmdDetalle", "Detalle");
      // Fifth-category income the worker received from other employers in the month.
      auto* otros = add("CmdOtrosEmpleadores", "Otros empleadores");
      connect(otros, &QPushButton::clicked, this, [this] { openDetail<frm605>(workers_); });
      connect(imp, &QPushButton::clicked, this, [this] { openImport(kWorker); });
      connect(jor, &QPushButton::clicked, this, [this] { openDetail<frmDiasHoras>(workers_); });
      connect(ing, &QPushButton::clicked, this, [this] { openDetail<frmIngApor>(workers_); });
      connect(det, &QPushButton::clicked, this, [this] { openDetail<FrmDetConcep>(workers_); });
      break;
    }
    case declaration::Grid::Pensioners: {
      p.view->setObjectName("GrdDatosPens");
      auto* imp = add("CmdImportarPens", "&Importar");
      auto* ing = add("CmdIngAporPens", "Ingresos, tributos y conceptos");
      auto* det = add("CmdDetallePens", "&Detalle");
      connect(imp, &QPushButton::clicked, this, [this] { openImport(kPensioner); });
      connect(ing, &QPushButton::clicked, this, [this] { openDetail<frmIngApor>(pensioners_); });
      connect(det, &QPushButton::clicked, this, [this] { openDetail<FrmDetConcep>(pensioners_); });
      break;
    }
    case declaration::Grid::ThirdParties: {
      p.view->setObjectName("GrdDatosPT");
      auto* imp = add("CmdImportarPT", "&Importar");
      auto* det = add("CmdDetallePT", "&Detalle");
      connect(imp, &QPushButton::clicked, this, [this] { openImport(kThirdParty); });
      connect(det, &QPushButton::clicked, this, [this] { openDetail<Frm601Detalle>(thirdParties_); });
      break;
    }
    case declaration::Grid::Providers: {
      p.view->setObjectName("GrdDatosPS");
      auto* imp = add("CmdImportarPS", "&Importar");
      auto* nuevo = add("CmdNuevoPS", "Nuevo");
      auto* mod = add("CmdModificarPS", "Modificar");
      auto* del = add("CmdEliminarPS", "E&liminar");
      connect(imp, &QPushButton::clicked, this, [this] { openImport(kProvider); });
      connect(nuevo, &QPushButton::clicked, this, &Frm402::onProviderNew);
      connect(mod, &QPushButton::clicked, this, &Frm402::onProviderModify);
      connect(del, &QPushButton::clicked, this, &Frm402::onProviderDelete);
      addReceiptBoxes(page, v);
      break;
    }
    case declaration::Grid::Trainees: {
      p.view->setObjectName("GrdDatosPS_MF");
      auto* imp = add("CmdImportarMF", "&Importar");
      auto* det = add("CmdDetalleMF", "&Detalle");
      connect(imp, &QPushButton::clicked, this, [this] { openImport(kTrainee); });
      connect(det, &QPushButton::clicked, this, &Frm402::onTraineeDetail);
      break;
    }
  }
}

// Boxes 320, 321, 322 and 547 summed from the receipts (read-only).
void Frm402::addReceiptBoxes(QWidget* page, QVBoxLayout* v) {
  auto* boxes = new QHBoxLayout;
  boxes->addStretch();
  for (const char* box : {"320", "321", "322", "547"}) {
    boxes->addWidget(new QLabel(qs(box), page));
    auto* e = new QLineEdit(page);
    e->setObjectName(qs(std::string("txtvalor_") + box));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(120);
    boxes->addWidget(e);
  }
  v->addLayout(boxes);
}

// Columns wide enough for their headings; names get the room they need.
void Frm402::fitColumns(Page& p) {
  QFontMetrics fm(p.view->horizontalHeader()->font());
  for (int c = 0; c < p.model->columnCount(); ++c) {
    QString h = p.model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    int w = fm.horizontalAdvance(h) + 24;
    if (h.contains("Nombres") || h.contains("Apellido")) w = std::max(w, h.length() > 18 ? 330 : 150);
    p.view->setColumnWidth(c, std::max(w, 70));
  }
}

void Frm402::newDeclaration() {
  ctl_.newDeclaration();
  cmbRuc_->clear();
  for (const auto& d : ctl_.declarants()) cmbRuc_->addItem(qs(d.display()), qs(d.doc_id_d));
  cmbRuc_->setCurrentIndex(-1);
  cmbRuc_->setEnabled(true);
  mkePeriodo_->setEnabled(true);
  mkePeriodo_->clearMask();
  txtRazon_->clear();
  requeryAll();
  updateEnabled();
}

bool Frm402::openDeclaration(const std::string& ruc, const std::string& periodo) {
  BusyCursor busy;
  bool ok = ctl_.openDeclaration(ruc, periodo);
  showDeclaration();
  return ok;
}

bool Frm402::openSent(const std::string& ruc, const std::string& periodo, const std::string& correl) {
  BusyCursor busy;
  bool ok = ctl_.openSent(ruc, periodo, correl);
  showDeclaration();
  return ok;
}

void Frm402::descartar() {
  ctl_.closeWithoutSaving();
  QDialog::reject();
}

void Frm402::showDeclaration() {
  const auto& d = ctl_.declaration();
  busy_ = true;
  cmbRuc_->clear();
  cmbRuc_->addItem(qs(d.ruc + "  -  " + d.name), qs(d.ruc));
  cmbRuc_->setCurrentIndex(0);
  txtRazon_->setText(qs(d.name));
  mkePeriodo_->setPeriod(d.periodo);
  txtTelefono_->setText(qs(d.telephone));
  (d.rectifica ? optRectifica_ : optOriginal_)->setChecked(true);
  txtNumOrden_->setText(qs(d.numOrden));
  lblNumOrden_->setVisible(d.sent());
  txtNumOrden_->setVisible(d.sent());
  busy_ = false;
  requeryAll();
  updateEnabled();
  if (d.sent()) txtNumOrden_->setFocus();
}

void Frm402::updateEnabled() {
  bool loaded = ctl_.loaded();
  bool sent = ctl_.declaration().sent();
  cmbRuc_->setEnabled(!loaded);
  mkePeriodo_->setEnabled(!loaded);
  txtTelefono_->setEnabled(!sent);
  optOriginal_->setEnabled(!sent);
  optRectifica_->setEnabled(!sent);
  cmdRefrescar_->setEnabled(loaded && !sent);
  cmdGrabar_->setEnabled(true);
  cmdValidar_->setEnabled(loaded && !sent);
  cmdImporta_->setEnabled(loaded && !sent);
  cmdComparar_->setEnabled(loaded);
  for (Page* p : {&workers_, &pensioners_, &thirdParties_, &providers_, &trainees_}) {
    for (auto* b : p->buttons) {
      bool changes = b->objectName().startsWith("CmdImportar") || b->objectName().startsWith("CmdNuevo") ||
                     b->objectName().startsWith("CmdModificar") || b->objectName().startsWith("CmdEliminar");
      b->setEnabled(loaded && !(sent && changes));
    }
  }
}

void Frm402::requeryAll() {
  determination_->declarationChanged();
  for (Page* p : {&workers_, &pensioners_, &thirdParties_, &providers_, &trainees_}) {
    p->model->requery();
    p->total->setText(qs(p->model->list().totalLabel()));
  }
  QWidget* providersPage = providers_.view->parentWidget();
  for (const auto& [box, shown] : ctl_.fourthCategoryBoxes())
    if (auto* e = providersPage->findChild<QLineEdit*>(qs("txtvalor_" + box))) e->setText(qs(shown));
}

void Frm402::applyFocus(const std::string& name) {
  if (name.empty()) return;
  if (auto* w = findChild<QWidget*>(qs(name))) {
    if (w->isEnabled()) w->setFocus();
  }
}

void Frm402::onDeclarant(int index) {
  if (index < 0 || ctl_.loaded()) return;
  auto o = ctl_.CmbRuc_Click(ss(cmbRuc_->itemData(index).toString()));
  txtRazon_->setText(qs(ctl_.declaration().name));
  applyFocus(o.focus);
}

bool Frm402::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mkePeriodo_ && event->type() == QEvent::FocusOut) {
    // The field handles its focus-out first (it may emit editingFinished, which checks); a check
    // that did not run then runs now, when the controller says the period needs one.
    periodLeftChecked_ = false;
    static_cast<QObject*>(mkePeriodo_)->event(event);
    if (!periodLeftChecked_) onPeriodLeft();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void Frm402::onPeriodLeft() {
  periodLeftChecked_ = true;
  // Message boxes move the focus and would leave the field again: one check at a time.
  if (busy_ || ctl_.loaded() || ctl_.mode() != Mode::New) return;
  std::string text = ss(mkePeriodo_->maskedText());
  if (!ctl_.periodNeedsCheck(text)) return;
  busy_ = true;
  auto o = ctl_.MkePeriodo_LostFocus(text);
  if (o.ok && mkePeriodo_->isComplete()) {
    korventa::ui::ProgressDialog progress(this, true);
    o = ctl_.acceptPeriod(text, progress);
    if (o.ok) {
      requeryAll();
      updateEnabled();
      workers_.view->setFocus();
    }
  }
  busy_ = false;
  applyFocus(o.focus);
}

void Frm402::onRefrescar() {
  bool done;
  {
    korventa::ui::ProgressDialog progress(this, true);
    done = ctl_.refresh(progress);
  }
  if (done) requeryAll();
}

void Frm402::onGrabar() {
  declaration::SaveResult r;
  {
    korventa::ui::ProgressDialog progress(this, true);
    r = ctl_.save(progress);
  }
  if (!r.saved) applyFocus(r.focus);
}

void Frm402::onValidar() {
  FrmConsist::validar(s_, ctl_.declaration(), this);
}

void Frm402::onSalir() {
  if (ctl_.leave()) QDialog::accept();
}

void Frm402::reject() {
  onSalir();
}

std::optional<PersonKey> Frm402::selected(Page& p, std::string* retention) {
  auto rows = p.view->selectionModel() ? p.view->selectionModel()->selectedRows() : QModelIndexList{};
  int row = rows.isEmpty() ? p.view->currentIndex().row() : rows.first().row();
  if (row < 0) return std::nullopt;
  if (retention) *retention = p.model->list().retention(row);
  return p.model->list().key(row);
}

void Frm402::openDetail(Page& p, const std::function<void(const PersonKey&, bool)>& open) {
  std::string retention;
  auto person = selected(p, &retention);
  if (!list_form::canModify(s_.msg(), p.model->rowCount(), person.has_value())) return;
  int row = p.view->currentIndex().row();
  ctl_.prepareDetail();
  open(*person, true);
  {
    BusyCursor busy;
    ctl_.afterDetail(*person);
  }
  requeryAll();
  if (row >= 0 && row < p.model->rowCount()) p.view->selectRow(row);
}

void Frm402::openImport(int category) {
  if (!isSignalConnected(QMetaMethod::fromSignal(&Frm402::importRequested))) return;
  emit importRequested(category);
}

void Frm402::afterImport(int category, const std::vector<PersonKey>& touched) {
  {
    // The files are in: the computation that follows runs to its end (no Cancel).
    korventa::ui::ProgressDialog progress(this, false);
    ctl_.afterImport(category, touched, progress);
  }
  requeryAll();
}

void Frm402::onProviderNew() {
  ctl_.prepareDetail();
  Frm61501::open(s_, ctl_.declaration(), PersonKey{0, 0, {}, kProvider}, false, this)->exec();
  ctl_.afterDetail(PersonKey{0, 0, {}, kProvider});
  requeryAll();
}

void Frm402::onProviderModify() {
  std::string retention;
  auto person = selected(providers_, &retention);
  if (!list_form::canModify(s_.msg(), providers_.model->rowCount(), person.has_value())) return;
  openDetail(providers_, [this](const PersonKey& k, bool modify) {
    Frm61501::open(s_, ctl_.declaration(), k, modify, this)->exec();
  });
}

void Frm402::onTraineeDetail() {
  openDetail(trainees_, [this](const PersonKey& k, bool modify) {
    Frm601MFDET::open(s_, ctl_.declaration(), k, modify, this)->exec();
  });
}

void Frm402::onProviderDelete() {
  std::string retention;
  auto person = selected(providers_, &retention);
  if (ctl_.removeProvider(providers_.model->rowCount(), person, retention)) requeryAll();
}

void Frm402::onSearch(Page& p) {
  auto by = p.byDocument->isChecked() ? declaration::SearchBy::Document : declaration::SearchBy::Name;
  int row = p.model->list().find(by, ss(p.search->text()));
  if (row < 0) return;
  p.view->selectRow(row);
  p.view->scrollTo(p.model->index(row, 0));
}

}  // namespace korventa::ui
