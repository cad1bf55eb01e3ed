#pragma once
// FrmDetConcep: the concept amounts and contributions of a person of the declaration open in the
// declaration form (both given when it is built). The rules live in
// detail::ConceptForm; this dialog binds the widgets to it.
#include <array>
#include <memory>

#include <QDialog>

#include "data/session.h"
#include "detail/concept_form.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QVBoxLayout;

namespace korventa::ui {

class AmountEdit;

class FrmDetConcep : public QDialog {
  Q_OBJECT
 public:
  FrmDetConcep(Session& session, const model::OpenDeclaration& openDecl, const PersonKey& person,
               QWidget* parent = nullptr);
  ~FrmDetConcep() override;
  detail::ConceptForm* controller() { return form_.get(); }

 private:
  struct PanelRow {
    QLabel* label = nullptr;
    AmountEdit* amount = nullptr;
    AmountEdit* base = nullptr;
  };
  void build();
  void buildGroupGrid();
  void buildPanels();
  void chooseGroup(int index);
  void refreshGrid();
  void refreshPanels();
  void cellChanged(int row, int column);
  void nextCell();
  void panelEdited(bool worker, int index, bool base);
  void onAccept();

  Session& session_;
  std::unique_ptr<detail::ConceptForm> form_;
  QComboBox* cmbConceptosRem_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  QGroupBox* frame3_ = nullptr;
  QLabel* lblPersona_ = nullptr;
  QGroupBox* frame4_ = nullptr;
  QGroupBox* frame5_ = nullptr;
  QTableWidget* grdConcep_ = nullptr;
  QLineEdit* txtTotalMonto_ = nullptr;
  QLineEdit* txtTotalMontoPag_ = nullptr;
  QLineEdit* txtTotalAport_ = nullptr;
  QLineEdit* txtTotalAportE_ = nullptr;
  std::array<PanelRow, 17> worker_;
  std::array<PanelRow, 11> employer_;
  QPushButton* cmdAceptar_ = nullptr;
  QPushButton* cmdSalir_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace korventa::ui
