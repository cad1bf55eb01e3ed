#include "app/ui/instance_lock.h"

#include <QDir>
#include <QFileInfo>

#include "common/ini.h"

namespace korventa::ui {

InstanceLock::InstanceLock(const QString& lockFile) : lock_(lockFile) {
  // A running copy keeps the lock for its whole life, however long that is.
  lock_.setStaleLockTime(0);
}

bool InstanceLock::acquire() {
  if (lock_.isLocked()) return true;
  QDir().mkpath(QFileInfo(lock_.fileName()).absolutePath());
  return lock_.tryLock(0);
}

QString InstanceLock::besideSettings() {
  QFileInfo ini(QString::fromStdString(IniFile::defaultPath().string()));
  return ini.absolutePath() + "/korventa-0601.lock";
}

}  // namespace korventa::ui
