// zelvaro: the suite's launcher stand-in. Its window "Zelvaro" must stay open while the 0601
// module runs; the module refuses to start without it.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/ui/window_announcer.h"
#include "launcher/launcher_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelvaro"));
  QApplication::setDesktopFileName(QStringLiteral("org.korventa.Zelvaro"));  // its icon in the task bar
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Peru));
  QTranslator qtTexts;  // "Sí", "No", "Cancelar" on the standard buttons
  if (qtTexts.load(QLocale(QLocale::Spanish), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);

  korventa::launcher::LauncherWindow window;
  // Where the module cannot list other programs' windows (Wayland), it asks this socket;
  // on X11 it finds the window by its title.
  korventa::ui::WindowAnnouncer announcer(window.windowTitle(), &window);
  window.show();
  return QApplication::exec();
}
