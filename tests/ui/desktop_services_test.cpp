#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "ui/qt_dialogs.h"
#include "ui/qt_settings_store.h"
#include "ui/qt_yes_no_question.h"

namespace dornvel {
namespace {

QString ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

TEST(SettingsStore, keeps_texts_in_the_properties_section_of_an_ini_file_once_committed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("dornvel/dornvel.ini");
  {
    QtSettingsStore store(QtSettingsStore::File{path});
    store.SaveSetting("Properties", "ComPort", "Com3");
    store.SaveSetting("Properties", "BoudRate", "9600,N");
    store.SaveSetting("Properties", "Slave", "Ж17");
    EXPECT_FALSE(QFile::exists(path)) << "written before the commit";
    EXPECT_TRUE(store.Commit());
    EXPECT_TRUE(ReadFile(path).contains("[Properties]"));
    EXPECT_TRUE(ReadFile(path).contains("ComPort=Com3"));
  }
  QtSettingsStore again(QtSettingsStore::File{path});
  EXPECT_EQ(again.GetSetting("Properties", "ComPort", "1"), "Com3");
  EXPECT_EQ(again.GetSetting("Properties", "BoudRate", "9600"), "9600,N");
  EXPECT_EQ(again.GetSetting("Properties", "Slave", "1"), "Ж17");
  EXPECT_EQ(again.GetSetting("Properties", "Missing", "default"), "default");
  EXPECT_EQ(again.GetSetting("Other", "ComPort", "1"), "1");
}

TEST(SettingsStore, reads_a_hand_edited_text_with_a_comma_whole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("dornvel.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Properties]\nBoudRate=9600,N\n");
  file.close();
  QtSettingsStore store(QtSettingsStore::File{path});
  EXPECT_EQ(store.GetSetting("Properties", "BoudRate", "9600"), "9600,N");
}

TEST(SettingsStore, reports_a_file_it_cannot_write) {
  QTemporaryDir dir;
  const QString blocker = dir.filePath("plain-file");
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  QtSettingsStore store(QtSettingsStore::File{blocker + "/dornvel/dornvel.ini"});
  store.SaveSetting("Properties", "ComPort", "Com3");
  EXPECT_FALSE(store.Commit());
}

TEST(SettingsStore, the_users_store_is_a_file_named_after_the_application) {
  QtSettingsStore store(QStringLiteral("dornvel"));
  EXPECT_TRUE(store.FileName().endsWith("/dornvel/dornvel.ini")) << store.FileName().toStdString();
}

// Runs `handle` on the modal dialog as soon as it is up; a dialog that `handle`
// leaves open is closed, so that a failing check cannot hang the test.
void WhenModal(std::function<void(QWidget*)> handle) {
  QTimer::singleShot(0, [handle] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    handle(dialog);
    if (dialog->isVisible()) dialog->close();
  });
}

TEST(Dialogs, the_input_box_gives_the_answer_or_nothing_when_cancelled) {
  QtDialogs dialogs("dornvel");
  WhenModal([](QWidget* widget) {
    auto* box = qobject_cast<QInputDialog*>(widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "SlaveID");
    EXPECT_EQ(box->labelText(), "Enter new SlaveId (1..247)");
    EXPECT_EQ(box->textValue(), "5");
    box->setTextValue("17");
    box->accept();
  });
  EXPECT_EQ(dialogs.InputBox("Enter new SlaveId (1..247)", "SlaveID", "5"), "17");

  WhenModal([](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
  EXPECT_EQ(dialogs.InputBox("Enter new SlaveId (1..247)", "SlaveID", "5"), "");
}

TEST(Dialogs, the_message_box_has_the_application_title_and_an_ok_button) {
  QtDialogs dialogs("dornvel");
  bool shown = false;
  WhenModal([&shown](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    shown = true;
    EXPECT_EQ(box->windowTitle(), "dornvel");
    EXPECT_EQ(box->text(), "Comm Port не выбран!");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->click();
  });
  dialogs.MsgBox("Comm Port не выбран!");
  EXPECT_TRUE(shown);
}

TEST(Dialogs, the_yes_no_question_is_yes_only_when_yes_is_clicked) {
  QtYesNoQuestion question("dornvel");
  const struct {
    const char* what;
    std::function<void(QMessageBox*)> answer;
    bool yes;
  } cases[] = {
      {"Yes", [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }, true},
      {"No", [](QMessageBox* box) { box->button(QMessageBox::No)->click(); }, false},
      {"closed", [](QMessageBox* box) { box->close(); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WhenModal([&c](QWidget* widget) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), "dornvel");
      EXPECT_EQ(box->text(), "Meter found: slave id 5 at 9600 baud. Use these settings?");
      c.answer(box);
    });
    EXPECT_EQ(question.Ask("Meter found: slave id 5 at 9600 baud. Use these settings?"), c.yes);
  }
}

}  // namespace
}  // namespace dornvel
