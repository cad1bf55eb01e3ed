#include "reports/ui/frm_impx_pag.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QValidator>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "reports/ui/frm_preview.h"

namespace korventa::reports::ui {
namespace {

// The page boxes refuse any key but the ones the page rules allow.
class PageKeys : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (!pageKeyAllowed(c.unicode())) return Invalid;
    return Acceptable;
  }
};

}  // namespace

frmImpxPag::frmImpxPag(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName("frmImpxPag");
  setWindowTitle(QStringLiteral("Impresión por páginas"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  txtTotPaginas_ = new QLineEdit(this);
  txtTotPaginas_->setObjectName("txtTotPaginas");
  txtTotPaginas_->setReadOnly(true);
  txtTotPaginas_->setFocusPolicy(Qt::NoFocus);
  txtPagDesde_ = new QLineEdit(QStringLiteral("1"), this);
  txtPagDesde_->setObjectName("txtPagDesde");
  txtPagHasta_ = new QLineEdit(this);
  txtPagHasta_->setObjectName("txtPagHasta");
  for (auto* box : {txtPagDesde_, txtPagHasta_}) {
    box->setValidator(new PageKeys(box));
    box->setMaxLength(6);
  }
  form->addRow(QStringLiteral("Total de páginas:"), txtTotPaginas_);
  form->addRow(QStringLiteral("Desde la página:"), txtPagDesde_);
  form->addRow(QStringLiteral("Hasta la página:"), txtPagHasta_);
  layout->addLayout(form);

  auto* buttons = new QHBoxLayout;
  cmdAceptar_ = new QPushButton(QStringLiteral("&Aceptar"), this);
  cmdAceptar_->setObjectName("cmdAceptar");
  cmdCancelar_ = new QPushButton(QStringLiteral("&Cancelar"), this);
  cmdCancelar_->setObjectName("cmdCancelar");
  cmdAceptar_->setAutoDefault(false);
  cmdCancelar_->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(cmdAceptar_);
  buttons->addWidget(cmdCancelar_);
  layout->addLayout(buttons);
  korventa::ui::EnterAsTab::install(this);

  connect(cmdAceptar_, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
  connect(cmdCancelar_, &QPushButton::clicked, this, &QDialog::reject);
}

void frmImpxPag::setReport(const std::string& path, int totalPages, int lastPage) {
  path_ = path;
  txtTotPaginas_->setText(QString::number(totalPages));
  txtPagDesde_->setText(QStringLiteral("1"));
  txtPagHasta_->setText(QString::number(lastPage));
}

bool frmImpxPag::cmdAceptar_Click() {
  PageRangeForm check;
  if (!check.accept(session_.msg(), korventa::ui::ss(txtPagDesde_->text()), korventa::ui::ss(txtPagHasta_->text()),
                    korventa::ui::ss(txtTotPaginas_->text()))) {
    QLineEdit* field = check.focus == "txtPagHasta" ? txtPagHasta_ : txtPagDesde_;
    field->setFocus();
    field->selectAll();
    return false;
  }
  range_ = check.range;
  hide();
  MuestraReporte(session_, path_, "Vprevia", parentWidget(), range_);
  accept();
  return true;
}

void previewWithRange(Session& session, const std::string& path, const RangeDialogPlan& plan, QWidget* parent) {
  if (!plan.openDialog) {
    MuestraReporte(session, path, "Vprevia", parent);
    return;
  }
  frmImpxPag dialog(session, parent);
  dialog.setWindowTitle(QString::fromStdString(plan.caption));
  dialog.setReport(path, plan.totalPages, plan.lastPage);
  dialog.exec();
}

}  // namespace korventa::reports::ui
