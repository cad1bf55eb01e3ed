#include <QApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <string>

#include "ui/ui_test_registry.h"

namespace korventa::uitest {
std::vector<std::pair<const char*, Maker>>& registry() {
  static std::vector<std::pair<const char*, Maker>> r;
  return r;
}
}  // namespace korventa::uitest

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  // "test_ui ClassName [QTest options]" runs one class only.
  std::string only;
  if (argc > 1 && argv[1][0] != '-') {
    only = argv[1];
    for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
    --argc;
  }
  int failures = 0;
  if (only.empty()) {
    // Each class runs in a process of its own: a class whose initTestCase skips leaves QTest's
    // state behind, and every class after it in the same process would run no test and pass.
    QStringList rest;
    for (int i = 1; i < argc; ++i) rest << QString::fromLocal8Bit(argv[i]);
    for (auto& [name, make] : korventa::uitest::registry()) {
      int rc = QProcess::execute(QCoreApplication::applicationFilePath(), QStringList{QString(name)} + rest);
      if (rc != 0) {
        std::fprintf(stderr, "%s: %s\n", name, rc < 0 ? "did not run to its end" : "failed");
        ++failures;
      }
    }
    return failures == 0 ? 0 : 1;
  }
  for (auto& [name, make] : korventa::uitest::registry()) {
    std::string n = name;
    if (n != only && n.substr(n.rfind(':') == std::string::npos ? 0 : n.rfind(':') + 1) != only) continue;
    auto obj = make();
    failures += QTest::qExec(obj.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
