#pragma once
// Single instance through a lock file beside the settings file: the first copy holds it until it
// ends; a lock left by a copy that crashed is taken over.
#include <QLockFile>
#include <QString>

#include "app/platform.h"

namespace korventa::ui {

class InstanceLock : public app::InstanceGuard {
 public:
  explicit InstanceLock(const QString& lockFile);
  bool acquire() override;
  bool held() const { return lock_.isLocked(); }
  // "<folder of the settings file>/korventa-0601.lock".
  static QString besideSettings();

 private:
  QLockFile lock_;
};

}  // namespace korventa::ui
