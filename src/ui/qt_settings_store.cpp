#include "ui/qt_settings_store.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>
#include <iostream>
#include <utility>

namespace dornvel {

namespace {

QString KeyPath(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }

// Tells one version of the file from the next without reading it, as it may be
// unreadable: a write replaces it with a new file.
std::pair<QDateTime, qint64> Version(const QString& path) {
  const QFileInfo file(path);
  return {file.lastModified(), file.size()};
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& application) : QtSettingsStore(application, QSettings::IniFormat) {}

QtSettingsStore::QtSettingsStore(const QString& application, QSettings::Format format)
    : settings_(format, QSettings::UserScope, application, application) {
  settings_.setAtomicSyncRequired(true);
}

QtSettingsStore::QtSettingsStore(const File& file) : settings_(file.path, QSettings::IniFormat) {
  settings_.setAtomicSyncRequired(true);
}

QString QtSettingsStore::GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
  const QVariant stored = settings_.value(KeyPath(section, key));
  if (!stored.isValid()) return defaultValue;
  // An unquoted comma in a hand-edited file makes the INI reader split the text.
  if (stored.typeId() == QMetaType::QStringList) return stored.toStringList().join(QLatin1Char(','));
  return stored.toString();
}

void QtSettingsStore::SaveSetting(const QString& section, const QString& key, const QString& value) {
  settings_.setValue(KeyPath(section, key), value);
}

bool QtSettingsStore::Commit() {
  const auto before = Version(settings_.fileName());
  settings_.sync();
  if (settings_.status() == QSettings::NoError) return true;
  // QSettings keeps the first error it met, also one from reading the file, so
  // after a file that could not be read its status says nothing of the write.
  if (Version(settings_.fileName()) != before) {
    std::cerr << "dornvel: " << settings_.fileName().toStdString()
              << " could not be read in full; it now holds the settings of this session" << std::endl;
    return true;
  }
  switch (settings_.status()) {
    case QSettings::NoError: return true;
    case QSettings::AccessError:
      std::cerr << "dornvel: settings not saved: cannot write " << settings_.fileName().toStdString()
                << " (check that its folder exists and is writable)" << std::endl;
      return false;
    case QSettings::FormatError:
      std::cerr << "dornvel: settings not saved: " << settings_.fileName().toStdString()
                << " is not a readable settings file" << std::endl;
      return false;
  }
  return false;
}

}  // namespace dornvel
