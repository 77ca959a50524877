#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "harness/device_frames.h"
#include "harness/fakes.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"

namespace dornvel::testing {
namespace {

using namespace frames;

// The meter's four tags on one line, polled in the window's order.
class LateMeterTest : public ::testing::Test {
 protected:
  LateMeterTest() {
    const struct {
      const char* name;
      std::int32_t regType, address, dataType;
    } definitions[] = {
        {"nolu", InputRegisters, 0, FloatType},
        {"switch", InputRegisters, 2, IntegerType},
        {"slaveid", HoldingRegisters, 0, IntegerType},
        {"boudrate", HoldingRegisters, 1, IntegerType},
    };
    for (const auto& d : definitions) {
      tags.push_back(std::make_unique<MBData>(services));
      tags.back()->Init(1, d.regType, d.address, d.dataType, &line, d.name, nullptr);
    }
  }
  void Tick() {
    for (auto& tag : tags) tag->Refresh();
  }

  FakeClock clock;
  FakeEventPump pump{clock};
  FakeHostWindow window;
  ScriptedSerialControl port{clock, pump, &window};
  Line line{port};
  ProtocolServices services{pump, clock};
  std::vector<std::unique_ptr<MBData>> tags;
};

// Each reply comes 2.15 s after its request, just after the wait for it ended,
// and so arrives during the next exchange.
TEST_F(LateMeterTest, a_meter_that_always_answers_late_never_puts_a_reply_into_another_tag) {
  const std::pair<const char*, const char*> exchanges[] = {
      {kReadNolu, kNolu12_5},
      {kReadSwitch, kSwitch7},
      {kReadSlaveId, kSlaveId1},
      {kReadBoudrate, kBoudrate9600},
  };
  for (int tick = 0; tick < 3; ++tick) {
    for (const auto& [request, reply] : exchanges) port.Expect(request, {{2150ms, FromHex(reply)}});
    Tick();
    for (const auto& tag : tags) EXPECT_TRUE(tag->Data().IsEmpty()) << tag->TagName << " on tick " << tick;
  }
  // The first exchange only timed out; each of the eleven after it took the
  // reply to the one before and refused it.
  EXPECT_EQ(window.panel3, "12");
  for (std::size_t i = 1; i < tags.size(); ++i) EXPECT_EQ(tags[i]->LastError, 12) << tags[i]->TagName;

  // Once the meter answers in time, every tag shows its own value.
  port.ClearScript();
  clock.Advance(3s);  // the last late reply arrives, and goes as stale input
  for (const auto& [request, reply] : exchanges) port.ExpectReply(request, reply);
  Tick();
  EXPECT_EQ(tags[0]->Data(), Value(12.5f));
  EXPECT_EQ(tags[1]->Data(), Value(std::int16_t{7}));
  EXPECT_EQ(tags[2]->Data(), Value(std::int16_t{1}));
  EXPECT_EQ(tags[3]->Data(), Value(std::int16_t{9600}));
}

TEST_F(LateMeterTest, after_a_lost_reply_a_reply_that_fits_the_lost_request_as_well_is_not_trusted_once) {
  port.ExpectReply(kReadNolu, kNolu12_5);
  port.ExpectReply(kReadSwitch, kSwitch7);
  port.Expect(kReadSlaveId);  // lost
  port.ExpectReply(kReadBoudrate, kBoudrate9600);
  Tick();
  EXPECT_TRUE(tags[3]->Data().IsEmpty()) << "it may be the slave id's late reply";
  EXPECT_EQ(tags[3]->LastError, 12);

  port.ExpectReply(kReadNolu, kNolu12_5);
  port.ExpectReply(kReadSwitch, kSwitch7);
  port.ExpectReply(kReadSlaveId, kSlaveId1);
  port.ExpectReply(kReadBoudrate, kBoudrate9600);
  Tick();
  EXPECT_EQ(tags[2]->Data(), Value(std::int16_t{1}));
  EXPECT_EQ(tags[3]->Data(), Value(std::int16_t{9600}));
  EXPECT_EQ(tags[3]->LastError, 0);
}

TEST_F(LateMeterTest, a_late_reply_dropped_as_stale_input_puts_the_line_back_in_step) {
  port.Expect(kReadSlaveId, {{2150ms, FromHex(kSlaveId1)}});
  tags[2]->Refresh();
  clock.Advance(1s);
  port.ExpectReply(kReadBoudrate, kBoudrate9600);
  tags[3]->Refresh();
  EXPECT_EQ(window.messages.back(), "CommPort - не пуст!!!");
  EXPECT_EQ(tags[3]->Data(), Value(std::int16_t{9600}));
}

}  // namespace
}  // namespace dornvel::testing
