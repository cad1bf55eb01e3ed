#include "detail/ui/detail_form_kit.h"

#include <algorithm>

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <stdexcept>

#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "data/db_errors.h"
#include "data/param.h"

namespace korventa::ui {

QLineEdit* digitEdit(const char* name, int maxLength, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaxLength(maxLength);
  e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
  e->setAlignment(Qt::AlignRight);
  e->setMaximumWidth(90);
  return e;
}

QLineEdit* readOnlyEdit(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::NoFocus);
  e->setAlignment(Qt::AlignRight);
  e->setMaximumWidth(130);
  return e;
}

QLineEdit* lineEdit(const char* name, int maxLength, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaxLength(maxLength);
  return e;
}

QLineEdit* amountLine(const char* name, bool negative, QWidget* parent) {
  auto* e = lineEdit(name, 18, parent);
  e->setAlignment(Qt::AlignRight);
  QString pattern = negative ? "-?[0-9,]{0,15}(\\.[0-9]{0,2})?" : "[0-9,]{0,15}(\\.[0-9]{0,2})?";
  e->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), e));
  return e;
}

QRadioButton* radio(const char* name, const QString& caption, QWidget* parent) {
  auto* r = new QRadioButton(caption, parent);
  r->setObjectName(name);
  return r;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QWidget* b : buttons) row->addWidget(b);
  return row;
}

std::array<QPushButton*, 4> listButtons(QBoxLayout* row, const QString& prefix, const QString& exitCaption) {
  const QString captions[] = {"&Nuevo", "&Modificar", "&Eliminar", exitCaption};
  std::array<QPushButton*, 4> b{};
  for (int i = 0; i < 4; ++i) {
    b[static_cast<std::size_t>(i)] = button(qPrintable(QString("%1_%2").arg(prefix).arg(i)), captions[i]);
    row->addWidget(b[static_cast<std::size_t>(i)]);
  }
  return b;
}

QTableWidget* grid(const char* name, const QStringList& headers, QWidget* parent) {
  auto* g = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  g->setObjectName(name);
  g->setHorizontalHeaderLabels(headers);
  makeRowPicker(g);
  g->verticalHeader()->hide();
  return g;
}

void fillGrid(QTableWidget* g, const std::vector<std::vector<std::string>>& rows,
              const std::vector<int>& rightAligned) {
  g->clearSelection();
  g->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(rows[static_cast<std::size_t>(r)].size()) && c < g->columnCount(); ++c) {
      auto* item = new QTableWidgetItem(qs(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
      if (std::find(rightAligned.begin(), rightAligned.end(), c) != rightAligned.end())
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      g->setItem(r, c, item);
    }
  g->resizeColumnsToContents();
  g->setCurrentCell(-1, -1);
}

int selectedRow(QTableWidget* g) {
  auto rows = g->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

QWidget* focusControl(QWidget* form, const std::string& name) {
  if (name.empty()) return nullptr;
  auto* w = form->findChild<QWidget*>(qs(name));
  if (w) w->setFocus();
  return w;
}

void applyFocus(QWidget* form, const detail::Outcome& outcome) {
  if (outcome.ok) return;
  if (auto* e = qobject_cast<QLineEdit*>(focusControl(form, outcome.focus))) e->selectAll();
}

void follow(QWidget* form, QLineEdit* edit, const bool& loading, std::function<void(const std::string&)> set) {
  QObject::connect(edit, &QLineEdit::textChanged, form, [&loading, set = std::move(set)](const QString& t) {
    if (!loading) set(ss(t));
  });
}

bool guarded(Session& session, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(session.msg(), e);
  } catch (const std::exception& e) {
    session.msg().critical(e.what());
  }
  return false;
}

bool guardedSave(Session& session, QWidget* form, const std::function<detail::Outcome()>& save) {
  detail::Outcome result{false, {}};
  if (!guarded(session, [&] { result = save(); })) return false;
  applyFocus(form, result);
  return result.ok;
}

bool guardedClose(Session& session, const std::function<bool()>& close) {
  bool mayClose = false;
  guarded(session, [&] { mayClose = close(); });
  return mayClose;
}

IdentityBoxes identityBoxes(QWidget* box, QGridLayout* g, const std::vector<data::DocumentType>& types,
                            const QStringList& registered) {
  IdentityBoxes b;
  b.tipoDoc = new QComboBox(box);
  b.tipoDoc->setObjectName("cboTipoDoc");
  for (const auto& t : types) b.tipoDoc->addItem(qs(t.code2() + "  -  " + t.description), t.code);
  b.numDoc = lineEdit("TxtNumDoc", 15, box);
  b.registrados = new QComboBox(box);
  b.registrados->setObjectName("CmbRegistrados");
  b.registrados->addItem(QString());
  b.registrados->addItems(registered);
  b.apePat = lineEdit("TxtApePat", 40, box);
  b.apeMat = lineEdit("TxtApeMat", 40, box);
  g->addWidget(new QLabel("Tipo de Documento:", box), 0, 0);
  g->addWidget(b.tipoDoc, 0, 1);
  g->addWidget(new QLabel("Número de Documento:", box), 0, 2);
  g->addWidget(b.numDoc, 0, 3);
  g->addWidget(new QLabel("Registrados:", box), 1, 0);
  g->addWidget(b.registrados, 1, 1, 1, 3);
  g->addWidget(new QLabel("Apellido Paterno:", box), 2, 0);
  g->addWidget(b.apePat, 2, 1);
  g->addWidget(new QLabel("Apellido Materno:", box), 2, 2);
  g->addWidget(b.apeMat, 2, 3);
  return b;
}

void GuardedDialog::reject() {
  if (canClose()) QDialog::reject();
}

void openDetail(QObject* list, GuardedDialog* detail, const std::function<void()>& refresh) {
  detail->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(detail, &GuardedDialog::saved, list, refresh);
  QObject::connect(detail, &QDialog::finished, list, refresh);
  detail->open();
}

}  // namespace korventa::ui
