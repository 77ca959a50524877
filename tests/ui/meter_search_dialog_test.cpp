#include "ui/meter_search_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <set>

#include "harness/fakes.h"
#include "harness/scripted_dialogs.h"
#include "protocol/line.h"

namespace dornvel::testing {
namespace {

struct MeterSearchDialogTest : ::testing::Test {
  MeterSearchDialogTest() {
    port.SetSettings("9600,N,8,2");
    port.SetPortOpen(true);
  }

  std::optional<MeterAddress> Find() { return FindMeter(nullptr, line, {pump, clock}, {1, 9600}, dialogs, dialogs); }

  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  Line line{port};
  ScriptedDialogs dialogs;
};

TEST_F(MeterSearchDialogTest, shows_the_rate_and_id_being_tried_until_cancelled) {
  for (int probe = 0; probe < 3; ++probe) port.ExpectAnyRequest({});
  std::set<QString> shown;
  pump.onEvents = [&] {
    auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (!progress) return;
    shown.insert(progress->labelText());
    if (progress->value() == 3) progress->cancel();
  };

  EXPECT_FALSE(Find());

  EXPECT_TRUE(shown.count("Slave id 1 at 9600 baud (1 of 494)"));
  EXPECT_TRUE(shown.count("Slave id 3 at 9600 baud (3 of 494)"));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the progress dialog is gone";
}

TEST_F(MeterSearchDialogTest, says_when_the_port_cannot_be_used_and_why) {
  {
    const Line::ExchangeScope polling(line);
    EXPECT_FALSE(Find());
  }

  port.SetPortOpen(false);
  port.openable = false;
  EXPECT_FALSE(Find());

  port.openable = true;
  port.SetPortOpen(true);
  port.ExpectAnyRequest({});
  pump.onEvents = [&] {
    if (!port.Sent().empty()) port.SetPortOpen(false);
  };
  EXPECT_FALSE(Find());

  EXPECT_EQ(dialogs.messages, (std::vector<QString>{"Com1 is busy with an exchange; try again.",
                                                    "port 1 cannot be opened", "Com1 was lost during the search."}));
}

}  // namespace
}  // namespace dornvel::testing
