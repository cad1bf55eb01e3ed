#include "detail/ui/detail_form_kit.h"

#include <algorithm>

#include <QHeaderView>
#include <QRegularExpressionValidator>

#include "app/ui/qt_messenger.h"
#include "data/db_errors.h"

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

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QTableWidget* grid(const char* name, const QStringList& headers, QWidget* parent) {
  auto* g = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  g->setObjectName(name);
  g->setHorizontalHeaderLabels(headers);
  g->setSelectionBehavior(QAbstractItemView::SelectRows);
  g->setSelectionMode(QAbstractItemView::SingleSelection);
  g->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g->verticalHeader()->hide();
  g->horizontalHeader()->setStretchLastSection(true);
  return g;
}

void fillGrid(QTableWidget* g, const std::vector<std::vector<std::string>>& rows, const std::vector<int>& rightAligned) {
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

void applyFocus(QWidget* form, const detail::Outcome& outcome) {
  if (outcome.ok || outcome.focus.empty()) return;
  if (auto* w = form->findChild<QWidget*>(qs(outcome.focus))) {
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  }
}

const declaration::OpenDeclaration* requireDeclaration(Session& session) {
  if (!session.openDeclaration) session.msg().critical("Debe abrir una declaración.");
  return session.openDeclaration;
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

void GuardedDialog::reject() {
  if (canClose()) QDialog::reject();
}

}  // namespace korventa::ui
