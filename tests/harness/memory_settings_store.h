#pragma once

#include <QString>
#include <map>

#include "ui/settings_store.h"

namespace dornvel::testing {

// Settings held in memory under "section/key"; remembers what was committed.
class MemorySettingsStore : public SettingsStore {
 public:
  QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) override {
    auto it = values.find(section + "/" + key);
    return it == values.end() ? defaultValue : it->second;
  }
  void SaveSetting(const QString& section, const QString& key, const QString& value) override {
    values[section + "/" + key] = value;
  }
  bool Commit() override {
    ++commits;
    committed = values;
    return true;
  }

  std::map<QString, QString> values;
  std::map<QString, QString> committed;
  int commits = 0;
};

}  // namespace dornvel::testing
