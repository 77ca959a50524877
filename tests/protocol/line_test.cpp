#include "protocol/line.h"

#include <gtest/gtest.h>

#include "harness/fakes.h"
#include "harness/test_crc.h"
#include "protocol/line_request.h"

namespace dornvel::testing {
namespace {

const Bytes kReadSlaveId5 = WithCrc({5, 0x03, 0x00, 0x00, 0x00, 0x01});

struct LineRig {
  LineRig() {
    port.SetSettings("9600,N,8,2");
    port.SetPortOpen(true);
  }
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  Line line{port};
};

TEST(Line, one_tool_at_a_time_and_never_while_an_exchange_runs) {
  LineRig rig;
  {
    const Line::ExchangeScope polling(rig.line);
    EXPECT_EQ(rig.line.Take("census"), nullptr);
  }
  auto hold = rig.line.Take("census");
  ASSERT_NE(hold, nullptr);
  EXPECT_EQ(rig.line.Holder(), "census");
  EXPECT_EQ(rig.line.Take("search"), nullptr);
}

TEST(Line, a_hold_gives_the_port_back_as_it_was_and_tells_who_waits) {
  for (const bool open : {true, false}) {
    LineRig rig;
    rig.port.SetPortOpen(false);
    rig.port.SetCommPort(3);
    rig.port.SetSettings("19200,N,8,2");
    rig.port.SetPortOpen(open);
    int told = 0;
    rig.line.OnReleased([&] { told += rig.line.Held() ? 100 : 1; });
    rig.line.NoteUnanswered(kReadSlaveId5);
    {
      auto hold = rig.line.Take("bus");
      ASSERT_TRUE(hold->OpenAt(9600));
      EXPECT_EQ(rig.port.Settings(), "9600,N,8,2");
      EXPECT_EQ(hold->Rate(), 9600);
    }
    EXPECT_EQ(rig.port.CommPort(), 3);
    EXPECT_EQ(rig.port.Settings(), "19200,N,8,2");
    EXPECT_EQ(rig.port.PortOpen(), open);
    EXPECT_FALSE(rig.line.UnansweredRequest()) << "its reply went with the tool's traffic";
    EXPECT_EQ(told, 1) << "told once, with the line free";
  }
}

// A tool's request ends as soon as the reply's announced length is in, and
// an echoing adapter's copy of the request is left out.
TEST(Ask, ends_with_the_frame_its_first_bytes_announce) {
  const Bytes reply = WithCrc({5, 0x03, 0x02, 0x00, 5});
  const Bytes& request = kReadSlaveId5;
  const Bytes exception = WithCrc({5, 0x83, 0x02});
  Bytes echoAndReply = request;
  echoAndReply.insert(echoAndReply.end(), reply.begin(), reply.end());
  const struct {
    const char* what;
    std::vector<ScriptedSerialControl::Chunk> input;
    AskEnd end;
    Bytes reply;
    Duration took;
  } cases[] = {
      {"a reply", {{5ms, reply}}, AskEnd::Whole, reply, 5ms},
      {"an exception", {{5ms, exception}}, AskEnd::Whole, exception, 5ms},
      {"a reply in two pieces",
       {{5ms, Bytes(reply.begin(), reply.begin() + 2)}, {10ms, Bytes(reply.begin() + 2, reply.end())}},
       AskEnd::Whole,
       reply,
       15ms},
      {"echo and reply at once", {{1ms, echoAndReply}}, AskEnd::Whole, reply, 1ms},
      {"echo, then the reply", {{1ms, request}, {30ms, reply}}, AskEnd::Whole, reply, 31ms},
      {"echo alone", {{1ms, request}}, AskEnd::Silent, {}, 200ms},
      {"nothing", {}, AskEnd::Silent, {}, 200ms},
      {"too few bytes",
       {{5ms, Bytes(reply.begin(), reply.begin() + 4)}},
       AskEnd::Garbled,
       Bytes(reply.begin(), reply.begin() + 4),
       55ms},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LineRig rig;
    rig.port.AddStaleInput("05 03 02");
    rig.port.Expect(ToHex(request), c.input);
    auto hold = rig.line.Take("test");
    const TimePoint start = rig.clock.Now();
    const Answer answer = Ask(*hold, {rig.pump, rig.clock}, request, {200ms, 50ms});
    EXPECT_EQ(answer.end, c.end);
    EXPECT_EQ(ToHex(answer.reply), ToHex(c.reply));
    EXPECT_EQ(ToHex(answer.stale), "05 03 02");
    EXPECT_EQ(rig.clock.Now() - start, c.took);
  }
}

}  // namespace
}  // namespace dornvel::testing
