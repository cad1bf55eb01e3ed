#include "detail/ui/frm601mfdet.h"

#include <stdexcept>

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/ui/form_registry.h"
#include "app/ui/qt_messenger.h"
#include "app/ui/widgets.h"

namespace korventa::ui {

namespace {
QLineEdit* line(QWidget* parent, const char* name, int maxLength) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaxLength(maxLength);
  return e;
}
}  // namespace

Frm601MFDET::Frm601MFDET(Session& session, const declaration::OpenDeclaration& decl, QWidget* parent)
    : QDialog(parent), s_(session), ctl_(session, decl) {
  setObjectName("Frm601MFDET");
  setWindowTitle("Modalidad Formativa");
  setModal(true);

  cboTipoDoc_ = new QComboBox(this);
  cboTipoDoc_->setObjectName("cboTipoDoc");
  for (const auto& t : ctl_.documentTypes())
    cboTipoDoc_->addItem(qs(t.code2() + "  -  " + t.description), t.code);
  TxtNumDoc_ = line(this, "TxtNumDoc", 15);
  CmbRegistrados_ = new QComboBox(this);
  CmbRegistrados_->setObjectName("CmbRegistrados");
  CmbRegistrados_->addItem(QString());
  for (const auto& p : ctl_.registered()) CmbRegistrados_->addItem(qs(p.caption));
  TxtApePat_ = line(this, "TxtApePat", 40);
  TxtApeMat_ = line(this, "TxtApeMat", 40);
  TxtNombre1_ = line(this, "TxtNombre1", 40);
  TxtMonto_ = line(this, "TxtMonto", 18);
  TxtMonto_->setAlignment(Qt::AlignRight);
  TxtMonto_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9,]{0,15}(\\.[0-9]{0,2})?"), TxtMonto_));
  TxtMonto_->installEventFilter(this);
  lstHorario_ = new QListWidget(this);
  lstHorario_->setObjectName("lstHorario");
  lstHorario_->setSelectionMode(QAbstractItemView::MultiSelection);
  lstHorario_->setMinimumHeight(150);

  auto* ident = new QGroupBox("Datos del Personal en Formación", this);
  auto* g = new QGridLayout(ident);
  g->addWidget(new QLabel("Tipo de Documento:", ident), 0, 0);
  g->addWidget(cboTipoDoc_, 0, 1);
  g->addWidget(new QLabel("Número de Documento:", ident), 0, 2);
  g->addWidget(TxtNumDoc_, 0, 3);
  g->addWidget(new QLabel("Registrados:", ident), 1, 0);
  g->addWidget(CmbRegistrados_, 1, 1, 1, 3);
  g->addWidget(new QLabel("Apellido Paterno:", ident), 2, 0);
  g->addWidget(TxtApePat_, 2, 1);
  g->addWidget(new QLabel("Apellido Materno:", ident), 2, 2);
  g->addWidget(TxtApeMat_, 2, 3);
  g->addWidget(new QLabel("Nombres:", ident), 3, 0);
  g->addWidget(TxtNombre1_, 3, 1);
  g->addWidget(new QLabel("Monto pagado:", ident), 3, 2);
  g->addWidget(TxtMonto_, 3, 3);

  CmdAceptaRec_ = new QPushButton("&Aceptar", this);
  CmdAceptaRec_->setObjectName("CmdAceptaRec");
  CmdAceptaRec_->setAutoDefault(false);
  CmdEliminar_ = new QPushButton("&Eliminar", this);
  CmdEliminar_->setObjectName("CmdEliminar");
  CmdEliminar_->setAutoDefault(false);
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("CmdSalir");
  salir->setAutoDefault(false);
  connect(CmdAceptaRec_, &QPushButton::clicked, this, &Frm601MFDET::CmdAceptaRec_Click);
  connect(CmdEliminar_, &QPushButton::clicked, this, &Frm601MFDET::CmdEliminar_Click);
  connect(salir, &QPushButton::clicked, this, &Frm601MFDET::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CmdAceptaRec_);
  buttons->addWidget(CmdEliminar_);
  buttons->addWidget(salir);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ident);
  layout->addWidget(new QLabel("Establecimientos donde se forma (Código  Tipo  RUC  Nombre):", this));
  layout->addWidget(lstHorario_);
  layout->addLayout(buttons);

  connect(cboTipoDoc_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_ && i >= 0) ctl_.setTipDoc(cboTipoDoc_->itemData(i).toInt());
  });
  connect(TxtNumDoc_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!loading_) ctl_.setDocId(ss(t));
  });
  connect(CmbRegistrados_, &QComboBox::activated, this, [this](int i) {
    if (i <= 0) return;
    ctl_.chooseRegistered(static_cast<std::size_t>(i - 1));
    refresh();
  });
  connect(TxtApePat_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!loading_) ctl_.setApellidoP(ss(t));
  });
  connect(TxtApeMat_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!loading_) ctl_.setApellidoM(ss(t));
  });
  connect(TxtNombre1_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!loading_) ctl_.setNombre1(ss(t));
  });
  connect(TxtMonto_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!loading_) ctl_.setAmount(ss(QString(t).remove(',')));
  });
  connect(TxtMonto_, &QLineEdit::editingFinished, this, [this] { TxtMonto_->setText(qs(ctl_.amountDisplay())); });
  connect(lstHorario_, &QListWidget::itemSelectionChanged, this, [this] {
    if (loading_) return;
    for (int i = 0; i < lstHorario_->count(); ++i)
      ctl_.setSelected(static_cast<std::size_t>(i), lstHorario_->item(i)->isSelected());
  });

  EnterAsTab::install(this);
  refresh();
  resize(760, 460);
}

bool Frm601MFDET::openExisting(const PersonKey& person) {
  bool ok = ctl_.openExisting(person);
  refresh();
  return ok;
}

void Frm601MFDET::refresh() {
  loading_ = true;
  cboTipoDoc_->setCurrentIndex(cboTipoDoc_->findData(ctl_.person().tip_doc_a));
  TxtNumDoc_->setText(qs(ctl_.person().doc_id_a));
  TxtApePat_->setText(qs(ctl_.apellidoP()));
  TxtApeMat_->setText(qs(ctl_.apellidoM()));
  TxtNombre1_->setText(qs(ctl_.nombre1()));
  TxtMonto_->setText(qs(ctl_.amountDisplay()));
  lstHorario_->clear();
  for (const auto& e : ctl_.establishments()) {
    auto* item = new QListWidgetItem(qs(e.caption), lstHorario_);
    item->setSelected(e.selected);
  }
  bool editable = !ctl_.readOnly();
  bool docEditable = editable && ctl_.isNew();
  cboTipoDoc_->setEnabled(docEditable);
  TxtNumDoc_->setReadOnly(!docEditable);
  CmbRegistrados_->setEnabled(docEditable);
  for (QLineEdit* e : {TxtApePat_, TxtApeMat_, TxtNombre1_, TxtMonto_}) e->setReadOnly(!editable);
  lstHorario_->setEnabled(editable);
  CmdAceptaRec_->setEnabled(editable);
  CmdEliminar_->setEnabled(editable && !ctl_.isNew());
  loading_ = false;
}

void Frm601MFDET::applyFocus() {
  if (ctl_.focus().empty()) return;
  if (auto* w = findChild<QWidget*>(qs(ctl_.focus()))) w->setFocus();
}

bool Frm601MFDET::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TxtMonto_ && event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && TxtMonto_->text().trimmed().isEmpty()) {
      ctl_.setAmount("");
      ctl_.amountEnter();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void Frm601MFDET::CmdAceptaRec_Click() {
  ctl_.setAmount(ss(TxtMonto_->text().remove(',')));
  if (ctl_.accept()) {
    done(QDialog::Accepted);
    return;
  }
  applyFocus();
}

void Frm601MFDET::CmdEliminar_Click() {
  if (ctl_.Eliminar()) done(QDialog::Accepted);
}

void Frm601MFDET::reject() {
  if (ctl_.leave()) {
    QDialog::reject();
    return;
  }
  applyFocus();
}

namespace {
const bool registered = FormRegistry::add("Frm601MFDET", [](Session& s, QWidget* p) -> QDialog* {
  if (!s.openDeclaration) throw std::runtime_error("Debe abrir una declaración.");
  auto* f = new Frm601MFDET(s, *s.openDeclaration, p);
  if (s.mode == Mode::Modify || !s.currentPerson.doc_id_a.empty()) f->openExisting(s.currentPerson);
  return f;
});
}  // namespace

}  // namespace korventa::ui
