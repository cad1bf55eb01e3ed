#pragma once
// The suite's launcher stand-in: the window "Zelvaro" that the 0601 module looks for. It shows
// the settings the module reads, creates the database, loads and edits the registry and starts
// the module. Commands sit in one button row; more commands are added with addCommand().
#include <memory>
#include <string>

#include <QMainWindow>

#include "common/ui/qt_messenger.h"
#include "data/database.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;

namespace korventa::launcher {

class RegistryModel;

// The values of section Options of the settings file that the module reads.
struct LauncherSettings {
  std::string iniFile;
  std::string sysPath, dbPath, dbName, sysUser;
  // The database file as the module names it: DBPath followed by DBName.
  std::string databaseFile() const { return dbPath + dbName; }
  static LauncherSettings read();
};

class LauncherWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit LauncherWindow(QWidget* parent = nullptr);
  ~LauncherWindow() override;

  // Adds a button at the end of the command row (before the stretch) and returns it.
  QPushButton* addCommand(const QString& caption, const QString& objectName);
  // The open database, or nullptr when the settings name no usable file.
  data::Database* database() const { return db_.get(); }
  Messenger& messenger() { return messenger_; }
  const LauncherSettings& settings() const { return settings_; }

  // Reads the settings again and reopens the database they name.
  void reload();

 signals:
  // The database was opened, created anew or closed; views over it must read again.
  void databaseChanged();

 private:
  void buildUi();
  void showSettings();
  void openDatabase(bool reportFailure);
  void closeDatabase();
  void fillTables();
  void showTable(const QString& table);
  void updateState();

  void startModule();         // "Iniciar 0601"
  void createDatabaseFile();  // "Crear base de datos"
  void loadRegistry();        // "Cargar registro…"
  void editSettings();        // "Configuración…"
  void sendDeclaration();     // "Enviar declaración…"
  void addRow();
  void deleteRow();

  ui::QtMessenger messenger_;
  LauncherSettings settings_;
  std::unique_ptr<data::Database> db_;
  QString lastFolder_;

  QLabel* iniLabel_ = nullptr;
  QLabel* sysPathLabel_ = nullptr;
  QLabel* dbPathLabel_ = nullptr;
  QLabel* dbNameLabel_ = nullptr;
  QLabel* userLabel_ = nullptr;
  QLabel* dbStateLabel_ = nullptr;
  QHBoxLayout* buttonRow_ = nullptr;
  QPushButton* startButton_ = nullptr;
  QPushButton* sendButton_ = nullptr;
  QPushButton* loadButton_ = nullptr;
  QComboBox* tableCombo_ = nullptr;
  QTableView* view_ = nullptr;
  QLabel* countLabel_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  QPushButton* refreshButton_ = nullptr;
  RegistryModel* model_ = nullptr;
};

}  // namespace korventa::launcher
