// The 0601 module: started by the suite's launcher, one copy at a time.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/startup.h"
#include "app/ui/desktop_windows.h"
#include "app/ui/instance_lock.h"
#include "app/ui/mdi_frm.h"
#include "common/ui/qt_messenger.h"
#include "common/ini.h"
#include "data/session.h"
#include "reports/ui/frm_preview.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("korventa");
  QApplication::setOrganizationName("korventa");
  QApplication::setDesktopFileName("org.korventa.Korventa");  // its icon in the task bar
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Peru));
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Spanish), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);

  korventa::ui::QtMessenger messenger;
  korventa::Session session;
  session.messenger = &messenger;

  // `korventa --preview FILE` (what `korventa-cli preview` starts): only the report preview.
  const QStringList args = QApplication::arguments();
  if (args.size() == 3 && args[1] == "--preview")
    return korventa::reports::ui::MuestraReporte(session, args[2].toStdString(), "Vprevia") ? 0 : 1;

  korventa::ui::DesktopWindows windows;
  korventa::ui::InstanceLock instance(korventa::ui::InstanceLock::besideSettings());
  korventa::app::Startup startup(session, windows, instance, korventa::IniFile::defaultPath());
  switch (startup.run()) {
    case korventa::app::StartupOutcome::Ready:
      break;
    case korventa::app::StartupOutcome::AlreadyRunning:
      return 0;
    default:
      return 1;
  }

  korventa::ui::MDIFrm frame(session);
  messenger.setParent(&frame);
  frame.show();
  return app.exec();
}
