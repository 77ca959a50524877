#pragma once

#include <QSettings>
#include <QString>

#include "ui/settings_store.h"

namespace dornvel {

// The settings in an INI file. Saved texts stay in memory until Commit, which
// writes the whole file at once through a temporary file renamed into place, so
// that an interrupted write leaves the former file whole.
class QtSettingsStore final : public SettingsStore {
 public:
  // The user's own file of `application`: on Linux
  // $XDG_CONFIG_HOME/<application>/<application>.ini (~/.config by default), on
  // Windows %APPDATA%\<application>\<application>.ini.
  explicit QtSettingsStore(const QString& application);
  // The user's own settings of `application` in `format`; NativeFormat is the
  // registry on Windows (HKEY_CURRENT_USER\Software\<application>\<application>).
  QtSettingsStore(const QString& application, QSettings::Format format);
  // A file of the caller's choice.
  struct File {
    QString path;
  };
  explicit QtSettingsStore(const File& file);

  QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) override;
  void SaveSetting(const QString& section, const QString& key, const QString& value) override;
  // Says on standard error why the file could not be written.
  bool Commit() override;

  QString FileName() const { return settings_.fileName(); }

 private:
  QSettings settings_;
};

}  // namespace dornvel
