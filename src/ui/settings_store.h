#pragma once

#include <QString>

namespace dornvel {

// The per-user store of the application's settings: texts by section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or `defaultValue` when the key has none.
  virtual QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) = 0;
  virtual void SaveSetting(const QString& section, const QString& key, const QString& value) = 0;
  // Writes the saved texts to lasting storage in one piece. False when that
  // failed; the store says why itself.
  virtual bool Commit() = 0;
};

}  // namespace dornvel
