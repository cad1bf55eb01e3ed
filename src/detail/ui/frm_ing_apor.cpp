#include "detail/ui/frm_ing_apor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "data/db_errors.h"
#include "detail/ui/detail_form_kit.h"

namespace korventa::ui {
namespace {

QLineEdit* box(const QString& name, const std::string& text, bool amount = true) {
  auto* e = new QLineEdit(qs(text));
  e->setObjectName(name);
  e->setReadOnly(true);  // totals follow from the concept rows
  if (amount) {
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(130);
  }
  return e;
}

}  // namespace

frmIngApor::frmIngApor(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
                       QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("frmIngApor");
  setModal(true);
  form_ = std::make_unique<detail::IncomeSummaryForm>(session_, openDecl, person);
  if (!guarded(session_, [&] { form_->load(); })) form_.reset();
  static const model::OpenDeclaration kNone;
  detail::IncomeSummaryForm empty(session_, kNone, person);
  const detail::IncomeSummaryForm& f = form_ ? *form_ : empty;
  setWindowTitle(qs(f.caption()));

  auto* root = new QVBoxLayout(this);
  auto* id = new QGridLayout;
  id->addWidget(new QLabel("Razón social:"), 0, 0);
  id->addWidget(box("TxtRazon", f.razon, false), 0, 1, 1, 3);
  id->addWidget(new QLabel("Apellidos y nombres:"), 1, 0);
  id->addWidget(box("TxtNombre", f.nombre, false), 1, 1, 1, 3);
  id->addWidget(new QLabel("Tipo de documento:"), 2, 0);
  id->addWidget(box("txtTipoDoc", f.tipoDoc, false), 2, 1);
  id->addWidget(new QLabel("Número:"), 2, 2);
  id->addWidget(box("txtNumDoc", f.numDoc, false), 2, 3);
  root->addLayout(id);

  auto section = [&](const char* title, const QStringList& labels, const auto& accrued, const auto& paid,
                     const char* name, const std::string& total, const std::string& totalPag, const char* totalName,
                     const char* totalLabel) {
    auto* g = new QGroupBox(title);
    auto* grid = new QGridLayout(g);
    grid->addWidget(new QLabel("Devengado"), 0, 1);
    grid->addWidget(new QLabel("Pagado"), 0, 2);
    for (int i = 0; i < labels.size(); ++i) {
      grid->addWidget(new QLabel(labels[i]), i + 1, 0);
      grid->addWidget(box(QString("%1_%2").arg(name).arg(i), accrued[static_cast<std::size_t>(i)]), i + 1, 1);
      grid->addWidget(box(QString("%1Pag_%2").arg(name).arg(i), paid[static_cast<std::size_t>(i)]), i + 1, 2);
    }
    int last = static_cast<int>(labels.size()) + 1;
    grid->addWidget(new QLabel(totalLabel), last, 0);
    grid->addWidget(box(QString(totalName), total), last, 1);
    grid->addWidget(box(QString(totalName) + "Pag", totalPag), last, 2);
    root->addWidget(g);
  };
  section("Ingresos",
          {"0100 Ingresos", "0200 Asignaciones", "0300 Bonificaciones", "0400 Gratificaciones / aguinaldos",
           "0500 Indemnizaciones", "2000 Ingresos del régimen laboral público"},
          f.ingresos, f.ingresosPag, "TxtIngresos", f.totalIng, f.totalIngPag, "TxtTotalIng",
          "Total ingresos (incluye 0900 y 1000)");
  section("Aportaciones, descuentos y otros",
          {"0700 Descuentos", "1000 Otros conceptos", "0600 Aportaciones del trabajador / pensionista",
           "0900 Conceptos varios"},
          f.aportDescOtros, f.aportDescOtrosPag, "TxtAportDescOtros", f.totalAporDesc, f.totalAporDescPag,
          "TxtTotalAporDesc", "Total aportaciones y descuentos (0600 y 0700)");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  cmdAceptar_ = new QPushButton("&Aceptar");
  cmdAceptar_->setObjectName("cmdAceptar");
  cmdAceptar_->setEnabled(form_ != nullptr);
  auto* salir = new QPushButton("&Salir");
  salir->setObjectName("CmdSalir");
  buttons->addWidget(cmdAceptar_);
  buttons->addWidget(salir);
  root->addLayout(buttons);
  connect(cmdAceptar_, &QPushButton::clicked, this, &frmIngApor::onAccept);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
}

frmIngApor::~frmIngApor() = default;

void frmIngApor::onAccept() {
  if (!form_) return;
  try {
    form_->accept();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(session_.msg(), e);
    return;
  }
  accept();
}

}  // namespace korventa::ui
