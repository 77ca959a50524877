#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include "platform/settings_format.h"
#include "ui/qt_settings_store.h"

namespace dornvel {
namespace {

// A name of its own, so that the user's dornvel settings are never touched;
// removed before and after.
const QString kApplication = QStringLiteral("dornvel-registry-test");

void RemoveTestKey() { QSettings(QSettings::NativeFormat, QSettings::UserScope, kApplication, kApplication).clear(); }

TEST(RegistrySettings, the_window_keeps_its_settings_in_the_users_registry) {
  RemoveTestKey();
  {
    QtSettingsStore store(kApplication, UserSettingsFormat());
    EXPECT_EQ(store.FileName(), QStringLiteral("\\HKEY_CURRENT_USER\\Software\\%1\\%1").arg(kApplication));
    EXPECT_EQ(store.GetSetting("Properties", "ComPort", "Com1"), "Com1");
    store.SaveSetting("Properties", "ComPort", "Com12");
    store.SaveSetting("Properties", "BoudRate", "19200");
    ASSERT_TRUE(store.Commit());
  }
  // Read back as another program would, and by a new store at the next start.
  QSettings registry(QSettings::NativeFormat, QSettings::UserScope, kApplication, kApplication);
  EXPECT_EQ(registry.value("Properties/ComPort").toString(), "Com12");
  EXPECT_EQ(registry.value("Properties/BoudRate").toString(), "19200");
  QtSettingsStore next(kApplication, UserSettingsFormat());
  EXPECT_EQ(next.GetSetting("Properties", "BoudRate", "9600"), "19200");
  EXPECT_EQ(next.GetSetting("Properties", "Slave", "1"), "1");
  RemoveTestKey();
}

}  // namespace
}  // namespace dornvel
