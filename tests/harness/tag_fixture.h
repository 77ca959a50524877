#pragma once

#include <gtest/gtest.h>

#include "harness/fakes.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"

namespace dornvel::testing {

// A window, its serial control and a tag on the fake clock.
class TagTest : public ::testing::Test {
 protected:
  MBData& Define(std::int32_t regType, std::int32_t address, std::int32_t dataType, std::uint8_t slave = 1,
                 std::int16_t dataLen = 0) {
    tag.Init(slave, regType, address, dataType, &line, "tag", nullptr, dataLen);
    return tag;
  }
  double Seconds(TimePoint since) const { return std::chrono::duration<double>(clock.Now() - since).count(); }

  FakeClock clock;
  FakeEventPump pump{clock};
  FakeHostWindow window;
  ScriptedSerialControl port{clock, pump, &window};
  Line line{port};
  ProtocolServices services{pump, clock};
  MBData tag{services};
};

}  // namespace dornvel::testing
