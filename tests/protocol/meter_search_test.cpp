#include "protocol/meter_search.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "harness/fakes.h"
#include "harness/test_crc.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"
#include "protocol/request_frames.h"

namespace dornvel::testing {
namespace {

// The scripted port, noting the line settings each request went out with.
class RateNotingLine : public ScriptedSerialControl {
 public:
  using ScriptedSerialControl::ScriptedSerialControl;
  void SetOutput(const Bytes& frame) override {
    settingsAtSend.push_back(PortOpen() ? Settings() : "closed");
    ScriptedSerialControl::SetOutput(frame);
  }
  std::vector<std::string> settingsAtSend;
};

std::string ProbeHex(const MeterAddress& probe) {
  NoEventPump pump;
  return ToHex(BuildReadRequest({static_cast<std::uint8_t>(probe.slave), HoldingRegisters, 0, IntegerType}, pump));
}

// The meter's reply to a probe: its slave id from holding register 0.
Bytes MeterReply(int slave) {
  return WithCrc({static_cast<std::uint8_t>(slave), 0x03, 0x02, 0x00, static_cast<std::uint8_t>(slave)});
}

struct SearchRig {
  SearchRig() {
    port.SetSettings("9600,N,8,2");
    port.SetPortOpen(true);
  }

  // Expects the probes of the search from `shown` in order, up to and including
  // `last`; `replies` gives the chunks that answer some of them.
  void ScriptProbes(
      MeterAddress shown, MeterAddress last,
      const std::vector<std::pair<MeterAddress, std::vector<ScriptedSerialControl::Chunk>>>& replies = {}) {
    for (const MeterAddress& probe : SearchOrder(shown)) {
      std::vector<ScriptedSerialControl::Chunk> chunks;
      for (const auto& [answered, reply] : replies) {
        if (answered == probe) chunks = reply;
      }
      port.Expect(ProbeHex(probe), chunks);
      if (probe == last) return;
    }
  }

  SearchResult Search(MeterAddress shown) {
    SearchHooks hooks;
    hooks.onProbe = [this](const SearchProgress& progress) {
      reported.push_back(progress);
      if (cancelAtProbe == progress.number) cancelled = true;
      ownedDuringSearch = ownedDuringSearch && line.Held();
    };
    hooks.cancelled = [this] { return cancelled; };
    return SearchForMeter(line, ProtocolServices{pump, clock}, shown, hooks);
  }

  FakeClock clock;
  FakeEventPump pump{clock};
  RateNotingLine port{clock, pump, nullptr};
  Line line{port};
  std::vector<SearchProgress> reported;
  bool cancelled = false;
  int cancelAtProbe = 0;
  bool ownedDuringSearch = true;
};

TEST(MeterSearchOrder, starts_at_the_shown_rate_and_id_goes_upwards_and_wraps_round_to_1) {
  struct Case {
    MeterAddress shown;
    std::size_t index;
    MeterAddress expected;
  };
  const Case cases[] = {
      {{1, 9600}, 0, {1, 9600}},        {{1, 9600}, 246, {247, 9600}},     {{1, 9600}, 247, {1, 19200}},
      {{1, 9600}, 493, {247, 19200}},   {{200, 19200}, 0, {200, 19200}},   {{200, 19200}, 47, {247, 19200}},
      {{200, 19200}, 48, {1, 19200}},   {{200, 19200}, 246, {199, 19200}}, {{200, 19200}, 247, {200, 9600}},
      {{200, 19200}, 493, {199, 9600}}, {{0, 4800}, 0, {1, 9600}},         {{248, 19200}, 0, {1, 19200}},
  };
  for (const Case& c : cases) {
    const auto order = SearchOrder(c.shown);
    SCOPED_TRACE("shown " + std::to_string(c.shown.slave) + " at " + std::to_string(c.shown.baudRate));
    ASSERT_EQ(order.size(), 494u);
    EXPECT_EQ(order[c.index].slave, c.expected.slave) << "probe " << c.index;
    EXPECT_EQ(order[c.index].baudRate, c.expected.baudRate) << "probe " << c.index;
    std::set<std::pair<int, int>> distinct;
    for (const auto& probe : order) distinct.insert({probe.slave, probe.baudRate});
    EXPECT_EQ(distinct.size(), 494u);
  }
}

TEST(MeterSearch, a_meter_at_id_37_and_19200_baud_is_found_from_slave_1_at_9600) {
  SearchRig rig;
  rig.ScriptProbes({1, 9600}, {37, 19200}, {{{37, 19200}, {{20ms, MeterReply(37)}}}});

  const SearchResult result = rig.Search({1, 9600});

  EXPECT_EQ(result.outcome, SearchOutcome::Found);
  EXPECT_EQ(result.meter, (MeterAddress{37, 19200}));
  ASSERT_EQ(rig.port.settingsAtSend.size(), 284u);
  EXPECT_EQ(rig.port.settingsAtSend.front(), "9600,N,8,2");
  EXPECT_EQ(rig.port.settingsAtSend[246], "9600,N,8,2");
  EXPECT_EQ(rig.port.settingsAtSend[247], "19200,N,8,2");
  EXPECT_EQ(rig.port.settingsAtSend.back(), "19200,N,8,2");
  ASSERT_EQ(rig.reported.size(), 284u);
  EXPECT_EQ(rig.reported.back().number, 284);
  EXPECT_EQ(rig.reported.back().probed, (MeterAddress{37, 19200}));
  EXPECT_TRUE(rig.ownedDuringSearch);
}

TEST(MeterSearch, with_no_meter_it_asks_all_494_and_only_ever_reads_holding_register_0) {
  SearchRig rig;
  rig.ScriptProbes({1, 9600}, {247, 19200});

  const SearchResult result = rig.Search({1, 9600});

  EXPECT_EQ(result.outcome, SearchOutcome::NothingFound);
  EXPECT_FALSE(result.meter);
  const auto& sent = rig.port.Sent();
  ASSERT_EQ(sent.size(), 494u);
  // Independent CRC-16/MODBUS vectors.
  EXPECT_EQ(sent[0], "01 03 00 00 00 01 84 0A");
  EXPECT_EQ(sent[36], "25 03 00 00 00 01 82 EE");
  EXPECT_EQ(sent[246], "F7 03 00 00 00 01 90 9C");
  for (const std::string& frame : sent) EXPECT_EQ(frame.substr(2, 15), " 03 00 00 00 01");
  ASSERT_EQ(rig.reported.size(), 494u);
  for (int i = 0; i < 494; ++i) EXPECT_EQ(rig.reported[i].number, i + 1);
}

TEST(MeterSearch, replies_that_are_not_the_meters_are_passed_over) {
  const Bytes meter = MeterReply(37);
  Bytes badCrc = meter;
  badCrc.back() ^= 0x01;
  const struct {
    const char* what;
    Bytes reply;
  } cases[] = {
      {"bad CRC", badCrc},
      {"another slave's reply", MeterReply(38)},
      {"an exception", WithCrc({37, 0x83, 0x02})},
      {"function 4", WithCrc({37, 0x04, 0x02, 0x00, 37})},
      {"byte count 4", WithCrc({37, 0x03, 0x04, 0x00, 37})},
      {"six bytes", Bytes(meter.begin(), meter.end() - 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SearchRig rig;
    // Any reply is a sign of life of the slave its first byte names, which is
    // asked again, patiently.
    const int named = c.reply[0];
    rig.port.Expect(ProbeHex({37, 9600}), {{20ms, c.reply}});
    rig.port.Expect(ProbeHex({named, 9600}), named == 38
                                                 ? std::vector<ScriptedSerialControl::Chunk>{{20ms, MeterReply(38)}}
                                                 : std::vector<ScriptedSerialControl::Chunk>{});
    if (named != 38) rig.port.Expect(ProbeHex({38, 9600}), {{20ms, MeterReply(38)}});

    const SearchResult result = rig.Search({37, 9600});

    EXPECT_EQ(result.meter, (MeterAddress{38, 9600}));
  }
}

TEST(MeterSearch, a_reply_that_comes_in_pieces_is_collected_until_its_seventh_byte) {
  const Bytes reply = MeterReply(5);
  SearchRig rig;
  rig.ScriptProbes(
      {5, 19200}, {5, 19200},
      {{{5, 19200}, {{15ms, Bytes(reply.begin(), reply.begin() + 3)}, {4ms, Bytes(reply.begin() + 3, reply.end())}}}});

  EXPECT_EQ(rig.Search({5, 19200}).meter, (MeterAddress{5, 19200}));
}

// A meter that answers the slave id it has, at the rate it has, this late.
void LateMeter(SearchRig& rig, MeterAddress meter, Duration delay) {
  rig.port.respond = [&rig, meter, delay](const Bytes& request) {
    const bool asked = request[0] == meter.slave && rig.port.Settings() == std::to_string(meter.baudRate) + ",N,8,2";
    return asked ? std::vector<ScriptedSerialControl::Chunk>{{delay, MeterReply(meter.slave)}}
                 : std::vector<ScriptedSerialControl::Chunk>{};
  };
}

TEST(MeterSearch, a_meter_that_answers_up_to_2_s_late_is_found_and_the_search_stays_within_a_minute) {
  const struct {
    MeterAddress meter;
    Duration delay;
    bool found;
  } cases[] = {
      {{5, 9600}, 60ms, true},   {{5, 9600}, 150ms, true},   {{5, 9600}, 1s, true},
      {{5, 19200}, 1s, true},    {{4, 9600}, 1s, true},  // the last probe at its rate
      {{5, 9600}, 1900ms, true}, {{5, 9600}, 2500ms, false}, {{5, 19200}, 2500ms, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.meter.slave) + " at " + std::to_string(c.meter.baudRate) + ", " +
                 std::to_string(c.delay.count() / 1000000) + " ms late");
    SearchRig rig;
    LateMeter(rig, c.meter, c.delay);
    const TimePoint start = rig.clock.Now();

    const SearchResult result = rig.Search({5, 9600});

    EXPECT_EQ(result.outcome, c.found ? SearchOutcome::Found : SearchOutcome::NothingFound);
    if (c.found) {
      EXPECT_EQ(result.meter, c.meter);
    }
    EXPECT_LT(rig.clock.Now() - start, 60s);
  }
}

TEST(MeterSearch, noise_that_names_a_slave_after_every_probe_cannot_stretch_the_search_past_a_minute) {
  SearchRig rig;
  rig.port.respond = [](const Bytes& request) {
    return std::vector<ScriptedSerialControl::Chunk>{{5ms, {request[0], 0xFF}}};
  };
  const TimePoint start = rig.clock.Now();

  EXPECT_EQ(rig.Search({1, 9600}).outcome, SearchOutcome::NothingFound);
  EXPECT_LT(rig.clock.Now() - start, 60s);
  EXPECT_EQ(rig.port.Sent().size(), 494u + 8u) << "eight patient probes at most";
}

TEST(MeterSearch, a_cancel_during_a_wait_stops_the_search_before_another_probe) {
  SearchRig rig;
  rig.ScriptProbes({1, 9600}, {10, 9600});
  rig.pump.onEvents = [&] {
    if (rig.port.Sent().size() == 10) rig.cancelled = true;
  };

  const SearchResult result = rig.Search({1, 9600});

  EXPECT_EQ(result.outcome, SearchOutcome::Cancelled);
  EXPECT_EQ(rig.port.Sent().size(), 10u);
}

TEST(MeterSearch, a_cancel_while_progress_is_shown_sends_no_further_probe) {
  SearchRig rig;
  rig.cancelAtProbe = 3;
  rig.ScriptProbes({1, 9600}, {2, 9600});

  EXPECT_EQ(rig.Search({1, 9600}).outcome, SearchOutcome::Cancelled);
  EXPECT_EQ(rig.port.Sent().size(), 2u);
}

TEST(MeterSearch, a_port_that_closes_under_the_search_ends_it) {
  SearchRig rig;
  rig.ScriptProbes({1, 9600}, {4, 9600});
  rig.pump.onEvents = [&] {
    if (rig.port.Sent().size() == 4) rig.port.SetPortOpen(false);
  };

  EXPECT_EQ(rig.Search({1, 9600}).outcome, SearchOutcome::PortUnavailable);
  EXPECT_EQ(rig.port.Sent().size(), 4u);
}

TEST(MeterSearch, a_port_that_cannot_be_opened_ends_it_before_any_probe) {
  SearchRig rig;
  rig.port.SetPortOpen(false);
  rig.port.openable = false;

  EXPECT_EQ(rig.Search({1, 9600}).outcome, SearchOutcome::PortUnavailable);
  EXPECT_TRUE(rig.port.Sent().empty());
  EXPECT_EQ(rig.port.Settings(), "9600,N,8,2");
}

TEST(MeterSearch, the_port_is_left_as_it_was_whatever_the_outcome_and_the_line_in_step) {
  const struct {
    const char* how;
    bool open;
    int cancelAtProbe;
  } cases[] = {{"found, port open", true, 0},
               {"found, port closed", false, 0},
               {"cancelled, port open", true, 2},
               {"cancelled, port closed", false, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    SearchRig rig;
    rig.port.SetPortOpen(false);
    rig.port.SetCommPort(3);
    rig.port.SetSettings("19200,N,8,2");
    rig.port.SetPortOpen(c.open);
    rig.line.NoteUnanswered(FromHex("01 04 00 00 00 02 71 CB"));
    rig.cancelAtProbe = c.cancelAtProbe;
    if (c.cancelAtProbe) {
      rig.ScriptProbes({100, 9600}, {100, 9600});
    } else {
      rig.ScriptProbes({100, 9600}, {101, 9600}, {{{101, 9600}, {{20ms, MeterReply(101)}}}});
    }

    rig.Search({100, 9600});

    EXPECT_EQ(rig.port.CommPort(), 3);
    EXPECT_EQ(rig.port.Settings(), "19200,N,8,2");
    EXPECT_EQ(rig.port.PortOpen(), c.open);
    EXPECT_FALSE(rig.line.Held());
    EXPECT_FALSE(rig.line.UnansweredRequest()) << "its late reply went with the probes' stale input";
  }
}

TEST(MeterSearch, is_refused_while_a_polling_exchange_owns_the_port) {
  SearchRig rig;
  const Line::ExchangeScope polling(rig.line);
  const int opensBefore = rig.port.openCalls;

  EXPECT_EQ(rig.Search({1, 9600}).outcome, SearchOutcome::PortBusy);
  EXPECT_TRUE(rig.port.Sent().empty());
  EXPECT_EQ(rig.port.openCalls, opensBefore);
  EXPECT_TRUE(rig.port.PortOpen());
  EXPECT_TRUE(rig.line.ExchangeRunning());
}

}  // namespace
}  // namespace dornvel::testing
