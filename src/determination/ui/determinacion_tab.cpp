#include "determination/ui/determinacion_tab.h"

#include <algorithm>

#include <QEvent>
#include <QGuiApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/ui/qt_messenger.h"
#include "model/eps_credit_sums.h"
#include "model/open_declaration.h"
#include "determination/box_explanation.h"
#include "determination/explanation_report.h"
#include "determination/ui/forma_de_pago.h"

namespace korventa::ui {
namespace {

// Room the declaration form takes around this page: its own margins, the tab frame and the window frame.
constexpr int kFormMargins = 64;

}  // namespace

DeterminacionTab::DeterminacionTab(Session& session, model::OpenDeclaration& decl, QWidget* parent)
    : QWidget(parent), s_(session), decl_(decl) {
  setObjectName("Determinacion");
  auto* v = new QVBoxLayout(this);
  auto* gridHost = new QWidget(this);
  auto* g = new QGridLayout(gridHost);
  g->setHorizontalSpacing(3);
  g->setVerticalSpacing(2);
  auto* digits = new QRegularExpressionValidator(QRegularExpression("\\d{0,10}"), this);
  const int cellWidth = fontMetrics().horizontalAdvance("999,999,999") + 12;
  // Row captions over the boxes, wrapped to the width of a box in a slightly smaller type.
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  const auto& captions = determination::gridRowCaptions();
  for (std::size_t i = 0; i <= captions.size(); ++i) {
    auto* l = new QLabel(qs(i < captions.size() ? captions[i] : "IGV"), gridHost);
    l->setFont(small);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignCenter);
    l->setFixedWidth(cellWidth);
    g->addWidget(l, 0, static_cast<int>(i) + 1, Qt::AlignBottom);
  }
  int labelWidth = 0;
  for (const auto& c : determination::taxColumns())
    labelWidth = std::max(labelWidth, fontMetrics().horizontalAdvance(qs(c.label)) + 8);
  int row = 1;
  auto addCell = [&](const std::string& box, int column) {
    auto* e = new QLineEdit(gridHost);
    e->setObjectName(qs("txtvalor_" + box));
    e->setProperty("casilla", qs(box));
    e->setToolTip(qs("Casilla " + box));
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(cellWidth);
    e->setValidator(digits);
    e->installEventFilter(this);
    if (explainable(box)) {
      e->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(e, &QLineEdit::customContextMenuRequested, this,
              [this, box, e](const QPoint& at) { showCellMenu(box, e->mapToGlobal(at)); });
    }
    if (!determination::isTypedBox(box)) {
      e->setReadOnly(true);
      e->setFocusPolicy(Qt::NoFocus);
      e->setStyleSheet("QLineEdit { background: #eeeeee; }");
    }
    connect(e, &QLineEdit::textEdited, this, [this, box](const QString& t) { txtvalor_Change(box, t); });
    cells_[box] = e;
    g->addWidget(e, row, column);
  };
  for (const auto& c : determination::taxColumns()) {
    auto* label = new QLabel(qs(c.label), gridHost);
    label->setMinimumWidth(labelWidth);
    g->addWidget(label, row, 0);
    int column = 1;
    for (const char* b : c.boxes()) {
      if (b) addCell(b, column);
      ++column;
    }
    if (const char* igv = determination::igvBox(c)) addCell(igv, column);
    ++row;
  }
  g->setRowStretch(row, 1);
  g->setColumnStretch(static_cast<int>(captions.size()) + 2, 1);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(gridHost);
  scroll->setWidgetResizable(true);
  // Wide enough for the whole grid, so the declaration form grows with it; but never wider than the
  // screen leaves room for, or the form's own buttons fall off it: there the grid scrolls sideways.
  int wanted = gridHost->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width() + 4;
  if (QScreen* screen = QGuiApplication::primaryScreen())
    wanted = std::min(wanted, screen->availableGeometry().width() - kFormMargins);
  scroll->setMinimumWidth(std::max(wanted, 0));
  v->addWidget(scroll, 1);
  pago_ = new FormaDePagoZEL(s_.database(), this);
  v->addWidget(pago_);
  connect(pago_, &FormaDePagoZEL::changed, this, &DeterminacionTab::paymentChanged);
  declarationChanged();
}

DeterminacionTab::~DeterminacionTab() = default;

QLineEdit* DeterminacionTab::txtvalor(const std::string& casilla) const {
  auto it = cells_.find(casilla);
  return it == cells_.end() ? nullptr : it->second;
}

void DeterminacionTab::declarationChanged() {
  auto* d = loadedDeclaration();
  model_.reset();
  if (d) {
    model_ = std::make_unique<determination::DebtDetermination>(s_, *d);
    model_->load();
    pago_->setTipoPago(qs(d->payment.type));
    pago_->setBanco(qs(d->payment.bank));
    pago_->setNroCheque(qs(d->payment.chequeNumber));
    storeInDeclaration();
  }
  refreshCells();
}

void DeterminacionTab::rectificaChanged(bool) {
  refreshCells();
}

void DeterminacionTab::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  // Bringing the tab to the front sums the persons again into the bases and taxes.
  if (!model_ && loadedDeclaration()) declarationChanged();
  if (!model_) return;
  model_->recomputeBases();
  storeInDeclaration();
  refreshCells();
}

void DeterminacionTab::refreshCells(const std::string& except) {
  for (auto& [box, e] : cells_) {
    bool loaded = model_ != nullptr;
    bool sent = loaded && loadedDeclaration() && loadedDeclaration()->sent();
    e->setEnabled(loaded && model_->enabled(box));
    if (determination::isTypedBox(box)) e->setReadOnly(sent);
    if (box == except) continue;
    if (!loaded) {
      e->clear();
      continue;
    }
    e->setText(qs(e->hasFocus() ? model_->editText(box) : model_->display(box)));
  }
  pago_->setTotal(model_ ? qs(model_->total()) : QString());
}

void DeterminacionTab::storeInDeclaration() {
  if (!model_) return;
  auto* d = &decl_;
  d->typedBoxes = model_->typedBoxes();
  d->typedBoxesRead = true;
  d->payment.total = model_->total();
}

void DeterminacionTab::paymentChanged() {
  auto* d = &decl_;
  d->payment.type = ss(pago_->tipoPago());
  d->payment.bank = ss(pago_->banco());
  d->payment.chequeNumber = ss(pago_->nroCheque());
  emit changed();
}

const model::OpenDeclaration* DeterminacionTab::loadedDeclaration() const {
  return !decl_.ruc.empty() && !decl_.periodo.empty() ? &decl_ : nullptr;
}

void DeterminacionTab::txtvalor_Change(const std::string& casilla, const QString& text) {
  if (!model_) return;
  model_->setBox(casilla, ss(text));
  storeInDeclaration();
  refreshCells(casilla);
  emit changed();
}

void DeterminacionTab::openEpsCredit(const std::string& casilla) {
  if (!model_) return;
  emit epsCreditRequested(QString::fromStdString(casilla));
  if (auto* d = loadedDeclaration()) model_->setBox(casilla, model::epsBoxValue(s_.database(), *d, casilla));
  storeInDeclaration();
  refreshCells();
  emit changed();
}

bool DeterminacionTab::explainable(const std::string& casilla) {
  return !determination::isTypedBox(casilla) || model::isEpsBox(casilla);
}

void DeterminacionTab::explain(const std::string& casilla) {
  auto* d = loadedDeclaration();
  if (!model_ || !d) return;
  FrmDeDondeSale form(s_, *d, determination::explainBox(s_, *d, casilla), workbook_, this);
  form.exec();
}

bool DeterminacionTab::offerPersonExplanation(const PersonKey& person, const std::string& column,
                                              const QPoint& globalPos) {
  auto* d = loadedDeclaration();
  if (!d || !determination::isSummaryColumn(column)) return false;
  QMenu menu(this);
  menu.setObjectName("MnuPersona");
  QAction* a = menu.addAction(qs(determination::ExplanationTexts::title));
  a->setObjectName("MnuDeDondeSale");
  if (menu.exec(globalPos) != a) return true;
  FrmDeDondeSale form(s_, *d, determination::explainPersonColumn(s_, *d, person, column), workbook_, this);
  form.exec();
  return true;
}

void DeterminacionTab::showCellMenu(const std::string& casilla, const QPoint& at) {
  if (!model_) return;
  QMenu menu(this);
  menu.setObjectName("MnuCasilla");
  QAction* a = menu.addAction(qs(determination::ExplanationTexts::title));
  a->setObjectName("MnuDeDondeSale");
  if (menu.exec(at) == a) explain(casilla);
}

bool DeterminacionTab::eventFilter(QObject* watched, QEvent* event) {
  auto* e = qobject_cast<QLineEdit*>(watched);
  if (!e || !model_) return QWidget::eventFilter(watched, event);
  std::string box = ss(e->property("casilla").toString());
  switch (event->type()) {
    case QEvent::MouseButtonDblClick:
      if (!explainable(box) || determination::isTypedBox(box)) break;
      explain(box);
      return true;
    case QEvent::FocusIn:
      e->setText(qs(model_->editText(box)));
      break;
    case QEvent::FocusOut:
      e->setText(qs(model_->display(box)));
      break;
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        if (model::isEpsBox(box))
          openEpsCredit(box);
        else
          focusNextChild();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace korventa::ui
