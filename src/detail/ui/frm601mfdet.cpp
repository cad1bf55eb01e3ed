#include "detail/ui/frm601mfdet.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "detail/ui/detail_form_kit.h"

namespace korventa::ui {

Frm601MFDET::Frm601MFDET(Session& session, const model::OpenDeclaration& decl, QWidget* parent)
    : QDialog(parent), s_(session), ctl_(session, decl) {
  setObjectName("Frm601MFDET");
  setWindowTitle("Modalidad Formativa");
  setModal(true);

  auto* ident = new QGroupBox("Datos del Personal en Formación", this);
  auto* g = new QGridLayout(ident);
  id_ = identityBoxes(ident, g, ctl_);
  TxtNombre1_ = lineEdit("TxtNombre1", 40, ident);
  TxtMonto_ = amountLine("TxtMonto", false, ident);
  TxtMonto_->installEventFilter(this);
  lstHorario_ = new QListWidget(this);
  lstHorario_->setObjectName("lstHorario");
  lstHorario_->setSelectionMode(QAbstractItemView::MultiSelection);
  lstHorario_->setMinimumHeight(150);
  g->addWidget(new QLabel("Nombres:", ident), 3, 0);
  g->addWidget(TxtNombre1_, 3, 1);
  g->addWidget(new QLabel("Monto pagado:", ident), 3, 2);
  g->addWidget(TxtMonto_, 3, 3);

  CmdAceptaRec_ = button("CmdAceptaRec", "&Aceptar", this);
  CmdEliminar_ = button("CmdEliminar", "&Eliminar", this);
  auto* salir = button("CmdSalir", "&Salir", this);
  connect(CmdAceptaRec_, &QPushButton::clicked, this, &Frm601MFDET::CmdAceptaRec_Click);
  connect(CmdEliminar_, &QPushButton::clicked, this, &Frm601MFDET::CmdEliminar_Click);
  connect(salir, &QPushButton::clicked, this, &Frm601MFDET::reject);
  auto* buttons = buttonRow({CmdAceptaRec_, CmdEliminar_, salir});

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ident);
  layout->addWidget(new QLabel("Establecimientos donde se forma (Código  Tipo  RUC  Nombre):", this));
  layout->addWidget(lstHorario_);
  layout->addLayout(buttons);

  connectIdentity(this, id_, ctl_, loading_, [this] { refresh(); });
  follow(this, id_.apePat, loading_, [this](const std::string& v) { ctl_.setApellidoP(v); });
  follow(this, id_.apeMat, loading_, [this](const std::string& v) { ctl_.setApellidoM(v); });
  follow(this, TxtNombre1_, loading_, [this](const std::string& v) { ctl_.setNombre1(v); });
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
  id_.tipoDoc->setCurrentIndex(id_.tipoDoc->findData(ctl_.person().tip_doc_a));
  id_.numDoc->setText(qs(ctl_.person().doc_id_a));
  id_.apePat->setText(qs(ctl_.apellidoP()));
  id_.apeMat->setText(qs(ctl_.apellidoM()));
  TxtNombre1_->setText(qs(ctl_.nombre1()));
  TxtMonto_->setText(qs(ctl_.amountDisplay()));
  lstHorario_->clear();
  for (const auto& e : ctl_.establishments()) {
    auto* item = new QListWidgetItem(qs(e.caption), lstHorario_);
    item->setSelected(e.selected);
  }
  bool editable = !ctl_.readOnly();
  bool docEditable = editable && ctl_.isNew();
  id_.tipoDoc->setEnabled(docEditable);
  id_.numDoc->setReadOnly(!docEditable);
  id_.registrados->setEnabled(docEditable);
  for (QLineEdit* e : {id_.apePat, id_.apeMat, TxtNombre1_, TxtMonto_}) e->setReadOnly(!editable);
  lstHorario_->setEnabled(editable);
  CmdAceptaRec_->setEnabled(editable);
  CmdEliminar_->setEnabled(editable && !ctl_.isNew());
  loading_ = false;
}

void Frm601MFDET::applyFocus() {
  focusControl(this, ctl_.focus());
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

std::unique_ptr<Frm601MFDET> Frm601MFDET::open(Session& session, const model::OpenDeclaration& decl,
                                               const PersonKey& person, bool modify, QWidget* parent) {
  auto f = std::make_unique<Frm601MFDET>(session, decl, parent);
  if (modify || !person.doc_id_a.empty()) f->openExisting(person);
  return f;
}

}  // namespace korventa::ui
