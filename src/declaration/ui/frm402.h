#pragma once
// The declaration form Frm402: binds its widgets (named as the controls of the form) to the
// DeclarationForm controller and opens the detail, import and validation forms on its declaration.
#include <functional>
#include <optional>

#include <QDialog>

#include "declaration/declaration_form.h"
#include "declaration/person_list.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QVBoxLayout;

namespace korventa::ui {

class DeterminacionTab;
class PeriodEdit;
class PersonGridModel;

class Frm402 : public QDialog {
  Q_OBJECT
 public:
  // Mode::New starts a new declaration (the declarant and period to choose); any other mode waits
  // for abrir or openSent.
  Frm402(Session& session, Mode mode, QWidget* parent = nullptr);
  ~Frm402() override;

  // Mode 0 (the form opens empty), mode 1 (a declaration in preparation), the order-number path.
  void newDeclaration();
  bool openDeclaration(const std::string& ruc, const std::string& periodo);
  bool openSent(const std::string& ruc, const std::string& periodo, const std::string& correl);
  // Closes without asking and without saving (the working tables are emptied).
  void descartar();

  declaration::DeclarationForm& controller() { return ctl_; }
  // An import form of the category imported files touching `touched`: those persons are computed
  // again, with progress, and the grids read again.
  void afterImport(int category, const std::vector<PersonKey>& touched);

 signals:
  // An import button of a person category was pressed: the import form of that category is to be
  // shown on the declaration (import forms sit above this form; import::ui::connectImports does
  // it, and calls afterImport when files went in).
  void importRequested(int category);
  // "Co&mparar": the comparison with another period is to be shown on the declaration (it sits
  // above this form; analysis::ui::connectCompare does it).
  void compareRequested();

 protected:
  void reject() override;  // Esc and the window's close button act as "&Salir"
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Page;
  QWidget* buildPage(Page& p, const QString& suffix);
  QPushButton* buildSearch(Page& p, const QString& suffix, QWidget* page, QVBoxLayout* v);
  void buildGrid(Page& p, QWidget* page, QVBoxLayout* v);
  void buildGridButtons(Page& p, QWidget* page, QVBoxLayout* v, QHBoxLayout* bottom);
  void addReceiptBoxes(QWidget* page, QVBoxLayout* v);
  void fitColumns(Page& p);
  void buildHeader(QWidget* host);
  void requeryAll();
  void showDeclaration();
  void applyFocus(const std::string& name);
  void onDeclarant(int index);
  void onPeriodLeft();
  void onRefrescar();
  void onGrabar();
  void onValidar();
  void onSalir();
  // A detail form on the person chosen in the page's grid; the declaration is computed again
  // and shown when it closes.
  void openDetail(Page& p, const std::function<void(const PersonKey& person, bool modify)>& open);
  template <class Form>
  void openDetail(Page& p) {
    openDetail(p, [this](const PersonKey& person, bool) { Form(s_, ctl_.declaration(), person, this).exec(); });
  }
  void openImport(int category);
  void onProviderNew();
  void onProviderModify();
  void onProviderDelete();
  void onTraineeDetail();
  void onSearch(Page& p);
  std::optional<PersonKey> selected(Page& p, std::string* retention = nullptr);
  void updateEnabled();

  Session& s_;
  declaration::DeclarationForm ctl_;
  bool busy_ = false;
  bool periodLeftChecked_ = false;  // the period was checked while the field was being left

  QComboBox* cmbRuc_ = nullptr;
  QLineEdit* txtRazon_ = nullptr;
  PeriodEdit* mkePeriodo_ = nullptr;
  QLineEdit* txtTelefono_ = nullptr;
  QRadioButton* optOriginal_ = nullptr;
  QRadioButton* optRectifica_ = nullptr;
  QLabel* lblNumOrden_ = nullptr;
  QLineEdit* txtNumOrden_ = nullptr;
  QTabWidget* tab1_ = nullptr;
  QTabWidget* tab2_ = nullptr;
  DeterminacionTab* determination_ = nullptr;
  QPushButton* cmdRefrescar_ = nullptr;
  QPushButton* cmdGrabar_ = nullptr;
  QPushButton* cmdValidar_ = nullptr;
  QPushButton* cmdSalir_ = nullptr;
  QPushButton* cmdImporta_ = nullptr;
  QPushButton* cmdComparar_ = nullptr;

  struct Page {
    explicit Page(declaration::Grid g) : grid(g) {}
    declaration::Grid grid;
    QTableView* view = nullptr;
    PersonGridModel* model = nullptr;
    QLabel* total = nullptr;
    QLineEdit* search = nullptr;
    QRadioButton* byDocument = nullptr;
    std::vector<QPushButton*> buttons;  // enabled only with a loaded declaration
  };
  Page workers_{declaration::Grid::Workers}, pensioners_{declaration::Grid::Pensioners},
      thirdParties_{declaration::Grid::ThirdParties}, providers_{declaration::Grid::Providers},
      trainees_{declaration::Grid::Trainees};
};

}  // namespace korventa::ui
