#pragma once
// Small helpers of the per-person detail dialogs: named widgets, button rows, focus after a
// refused check, grids, guarded database actions and the detail dialogs' guarded close.
#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "common/ui/qt_messenger.h"
#include "data/session.h"
#include "detail/detail_support.h"

class QBoxLayout;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QRadioButton;

namespace korventa::data {
struct DocumentType;
}

namespace korventa::ui {

// A line edit that accepts only digits, up to `maxLength` of them.
QLineEdit* digitEdit(const char* name, int maxLength, QWidget* parent = nullptr);
QLineEdit* readOnlyEdit(const char* name, QWidget* parent = nullptr);
// A line edit that takes up to `maxLength` characters.
QLineEdit* lineEdit(const char* name, int maxLength, QWidget* parent = nullptr);
// An amount typed with thousands commas and up to two decimals (15 characters before the point;
// a leading minus when `negative`), right-aligned.
QLineEdit* amountLine(const char* name, bool negative, QWidget* parent = nullptr);
QRadioButton* radio(const char* name, const QString& caption, QWidget* parent = nullptr);
QPushButton* button(const char* name, const QString& caption, QWidget* parent = nullptr);
// The buttons at the foot of a dialog, to the right.
QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons);
// The four buttons of a list form added to `row`, named prefix_0 … prefix_3: "&Nuevo",
// "&Modificar", "&Eliminar" and `exitCaption`.
std::array<QPushButton*, 4> listButtons(QBoxLayout* row, const QString& prefix, const QString& exitCaption = "&Salir");
QTableWidget* grid(const char* name, const QStringList& headers, QWidget* parent = nullptr);
// Rows of texts; the columns listed in `rightAligned` hold amounts or day counts.
void fillGrid(QTableWidget* grid, const std::vector<std::vector<std::string>>& rows,
              const std::vector<int>& rightAligned = {});
int selectedRow(QTableWidget* grid);
// The focus on the control named `name`; returns it (nullptr when there is none).
QWidget* focusControl(QWidget* form, const std::string& name);
// After a refused check: the focus on the control the outcome names, its text selected.
void applyFocus(QWidget* form, const detail::Outcome& outcome);
// The text of `edit` handed to `set` as it changes, except while `loading` (the form showing values).
void follow(QWidget* form, QLineEdit* edit, const bool& loading, std::function<void(const std::string&)> set);
// Runs a database action; failures are shown with the record-error message. False on failure.
bool guarded(Session& session, const std::function<void()>& action);
// A detail form's save, guarded; a refused save puts the focus on the control it names. True
// when the form saved.
bool guardedSave(Session& session, QWidget* form, const std::function<detail::Outcome()>& save);
// Whether a detail form may close, asked guarded (a failure keeps it open).
bool guardedClose(Session& session, const std::function<bool()>& close);

// The identity boxes of the trainee and provider headers, laid out in rows 0 to 2 of `grid`:
// document type and number, the registered persons to choose from, the two surnames.
struct IdentityBoxes {
  QComboBox* tipoDoc;          // cboTipoDoc: item data = document code
  QLineEdit* numDoc;           // TxtNumDoc
  QComboBox* registrados;      // CmbRegistrados: a blank item, then the persons
  QLineEdit *apePat, *apeMat;  // TxtApePat, TxtApeMat
};
IdentityBoxes identityBoxes(QWidget* box, QGridLayout* grid, const std::vector<data::DocumentType>& types,
                            const QStringList& registered);
template <class Header>  // the persons of Header::registered() are shown by their caption
IdentityBoxes identityBoxes(QWidget* box, QGridLayout* grid, const Header& ctl) {
  QStringList registered;
  for (const auto& p : ctl.registered()) registered << qs(p.caption);
  return identityBoxes(box, grid, ctl.documentTypes(), registered);
}
// The document boxes feed the header's controller (setTipDoc, setDocId) while not `loading`;
// choosing a registered person (chooseRegistered) shows the whole form again with `refresh`.
template <class Header>
void connectIdentity(QWidget* form, const IdentityBoxes& b, Header& ctl, const bool& loading,
                     std::function<void()> refresh) {
  QComboBox* tipoDoc = b.tipoDoc;
  QObject::connect(tipoDoc, &QComboBox::currentIndexChanged, form, [&ctl, &loading, tipoDoc](int i) {
    if (!loading && i >= 0) ctl.setTipDoc(tipoDoc->itemData(i).toInt());
  });
  follow(form, b.numDoc, loading, [&ctl](const std::string& v) { ctl.setDocId(v); });
  QObject::connect(b.registrados, &QComboBox::activated, form, [&ctl, refresh = std::move(refresh)](int i) {
    if (i <= 0) return;
    ctl.chooseRegistered(static_cast<std::size_t>(i - 1));
    refresh();
  });
}

// A detail dialog that asks before closing with unsaved changes: `canClose` decides. `saved` tells
// its list to show the rows again.
class GuardedDialog : public QDialog {
  Q_OBJECT
 public:
  using QDialog::QDialog;
  void reject() override;

 signals:
  void saved();

 protected:
  virtual bool canClose() { return true; }
};

// Opens a detail dialog over its list form; `refresh` runs after each save and when it closes.
void openDetail(QObject* list, GuardedDialog* detail, const std::function<void()>& refresh);

}  // namespace korventa::ui
