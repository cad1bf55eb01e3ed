#pragma once
// The main window: menus and toolbar whose commands set the operation mode, the sent flag or the
// consultation code and open one form by its name. A command whose form is not part of the
// program is shown disabled.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "app/ui/help_window.h"
#include "data/session.h"

class QAction;
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
  // Enables each command whose form is registered.
  void refreshCommands();
  // Opens a registered form modally (hourglass while it is built); false when it is not part of
  // the program or could not be built.
  bool openForm(const std::string& formName);
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
  struct Command {
    QAction* action;
    std::string form;  // "" for commands that open no form
  };
  QAction* addCommand(QMenu* menu, const char* name, const QString& caption, std::string form,
                      std::function<void()> run);
  QAction* addButton(int index, const QString& tip, int icon, std::string form, std::function<void()> run);
  // A menu or toolbar command that sets the mode and the sent flag (when given) and opens `form`.
  std::function<void()> opener(std::optional<Mode> mode, std::optional<bool> sent, std::string form);
  void buildMenus();
  void buildToolbar();
  void endProgram();

  Session& session_;
  QMdiArea* mdi_;
  ZELStatBar* statBar_;
  QToolBar* toolBar_ = nullptr;
  QPointer<HelpWindow> help_;
  std::vector<Command> commands_;
};

}  // namespace korventa::ui
