#pragma once
// The main window: menus and toolbar whose commands open a form with what it works on (the
// operation mode, prepared or sent declarations, the consultation code).
#include <functional>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "app/ui/help_window.h"
#include "data/session.h"

class QAction;
class QDialog;
class QMdiArea;
class QMenu;
class QToolBar;

namespace korventa::ui {

class ZELStatBar;

class MDIFrm : public QMainWindow {
  Q_OBJECT
 public:
  // Size of the window: 9555 × 7320 twips at 15 twips a pixel.
  static constexpr int kWidth = 9555 / 15;
  static constexpr int kHeight = 7320 / 15;

  explicit MDIFrm(Session& session, QWidget* parent = nullptr);
  ~MDIFrm() override;

  ZELStatBar* statBar() const { return statBar_; }
  QToolBar* toolBar() const { return toolBar_; }
  // A menu or toolbar command by its object name ("mnuNueva", "Toolbar1_1", …).
  QAction* command(const QString& objectName) const;
  // The guide window ("&Contenido").
  void MostrarHelp();
  HelpWindow* helpWindow() const { return help_; }
  // Opens the maker's page for this version in the browser ("&Verificar Versión").
  void verificarVersion();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* addCommand(QMenu* menu, const char* name, const QString& caption, std::function<void()> run);
  QAction* addButton(int index, const QString& tip, int icon, std::function<void()> run);
  // Builds a form (hourglass while it is built) and shows it modally; false when it could not be
  // built (the error is shown).
  bool showModal(const std::function<std::unique_ptr<QDialog>()>& build);
  // Commands: FrmContAbrir (or, sentChooser, FrmContAbrirE), Frm402 on a new declaration,
  // frmReportes, FrmTipPrn, and a form that needs only the session.
  std::function<void()> chooser(bool sentChooser, Mode mode, bool sent);
  std::function<void()> newDeclaration();
  std::function<void()> generalReports(bool sent);
  std::function<void()> declarationPrintouts(bool sent);
  template <class Form>
  std::function<void()> plain();
  void buildMenus();
  void buildToolbar();
  void endProgram();

  Session& session_;
  QMdiArea* mdi_;
  ZELStatBar* statBar_;
  QToolBar* toolBar_ = nullptr;
  QPointer<HelpWindow> help_;
  std::vector<QAction*> commands_;
  bool sent_ = false;  // the last command's choice of prepared or sent declarations
};

}  // namespace korventa::ui
