#include "harness/tag_fixture.h"

namespace dornvel::testing {
namespace {

constexpr auto kReadSwitch = "01 04 00 02 00 01 90 0A";
constexpr auto kSwitchIs3 = "01 04 02 00 03 F9 31";
constexpr auto kReadNolu = "01 04 00 00 00 02 71 CB";

class TransactionTest : public TagTest {
 protected:
  void SetUp() override { Define(InputRegisters, 2, IntegerType).TagName = "switch"; }
};

TEST_F(TransactionTest, no_reply_times_out_after_2_1_seconds_and_counts_one_error) {
  tag.LastError = 4;
  port.Expect(kReadSwitch);
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_NEAR(Seconds(start), 2.1, 0.01);
  EXPECT_EQ(window.panel4, "MBdata/GetData: Timout при получении пакета switch");
  EXPECT_EQ(window.panel3, "1");
  EXPECT_EQ(tag.LastError, 4);
  EXPECT_TRUE(tag.Data().IsEmpty());
}

TEST_F(TransactionTest, a_good_reply_ends_after_0_1_seconds_of_silence) {
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_NEAR(Seconds(start), 0.105, 0.001);
  EXPECT_EQ(tag.Data(), Value(3.0));
  EXPECT_EQ(tag.LastError, 0);
  EXPECT_EQ(window.panel3, "");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(TransactionTest, refused_replies_report_their_text_and_count) {
  struct Case {
    std::string reply;
    std::string message;
    int lastError;
  };
  const Case cases[] = {
      {"01 04 02 00 03 F9 30", "Ошибка CRC приема switch", 10},
      {"02 04 02 00 03 BD 31", "Не мой адрес: (switch) - 2", 9},
      {"01 84 02 C2 C1", "Ошибка: (switch) - Неверный адрес регистра", 2},
      {"01 84 0B 02 C7", "Ошибка: (switch) - Не документированная ошибка", 11},
  };
  int count = 0;
  for (const auto& c : cases) {
    port.ExpectReply(kReadSwitch, c.reply);
    tag.Refresh();
    EXPECT_EQ(window.panel4, c.message);
    EXPECT_EQ(window.panel3, std::to_string(++count));
    EXPECT_EQ(tag.LastError, c.lastError) << c.reply;
    EXPECT_TRUE(tag.Data().IsEmpty());
  }
}

TEST_F(TransactionTest, a_reply_that_does_not_answer_the_request_is_refused_and_keeps_the_value) {
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  tag.Refresh();
  const char* replies[] = {
      "01 04 02 00 41 79",           // too short to decode: no data
      "01",                          // one byte
      "01 04 04 00 00 41 48 CB E2",  // the reply to a read of two registers
      "01 03 02 00 07 F9 86",        // the reply to a holding-register read
      "01 83 02 C0 F1",              // the exception of another function
  };
  int count = 0;
  for (const char* reply : replies) {
    port.ExpectReply(kReadSwitch, reply);
    tag.Refresh();
    EXPECT_EQ(window.panel4, "Ответ не соответствует запросу: (switch)") << reply;
    EXPECT_EQ(window.panel3, std::to_string(++count)) << reply;
    EXPECT_EQ(tag.LastError, 12) << reply;
    EXPECT_EQ(tag.Data(), Value(3.0)) << reply;
  }
  EXPECT_EQ(MBData::GetErrorText(Value(12.0)), "Ответ не соответствует запросу");
}

TEST_F(TransactionTest, a_port_that_cannot_open_is_reported_without_counting) {
  port.openable = false;
  tag.Refresh();
  EXPECT_EQ(window.panel4, "MBData/GetData: Comm не открыт...");
  EXPECT_EQ(window.panel3, "");
  EXPECT_TRUE(port.Sent().empty());
}

TEST_F(TransactionTest, every_transaction_opens_the_port_so_a_returning_port_works_again) {
  port.openable = false;
  tag.Refresh();
  port.openable = true;
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  tag.Refresh();
  EXPECT_EQ(port.openCalls, 2);
  EXPECT_EQ(tag.Data(), Value(3.0));
}

TEST_F(TransactionTest, stale_input_is_reported_and_dropped_before_sending) {
  port.AddStaleInput("AA BB");
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  tag.Refresh();
  EXPECT_EQ(window.messages, std::vector<std::string>{"CommPort - не пуст!!!"});
  EXPECT_EQ(tag.Data(), Value(3.0));
  EXPECT_EQ(tag.LastError, 0);
}

TEST_F(TransactionTest, a_reply_with_gaps_under_0_1_seconds_is_collected_whole) {
  port.Expect(kReadSwitch, {{20ms, FromHex("01 04")}, {90ms, FromHex("02 00")}, {90ms, FromHex("03 F9 31")}});
  tag.Refresh();
  EXPECT_EQ(tag.Data(), Value(3.0));
  EXPECT_EQ(tag.LastError, 0);
}

TEST_F(TransactionTest, a_gap_over_0_1_seconds_cuts_the_reply_and_the_rest_is_stale_next_time) {
  port.Expect(kReadSwitch, {{20ms, FromHex("01 04 02")}, {150ms, FromHex("00 03 F9 31")}});
  tag.Refresh();
  EXPECT_EQ(tag.LastError, 10);
  EXPECT_EQ(ToHex(tag.RxBytes()), "01 04 02");

  clock.Advance(1s);
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  tag.Refresh();
  EXPECT_EQ(window.messages.back(), "CommPort - не пуст!!!");
  EXPECT_EQ(tag.LastError, 0);
}

TEST_F(TransactionTest, a_babbling_line_is_cut_off_at_256_bytes) {
  std::vector<ScriptedSerialControl::Chunk> babble;
  for (int i = 0; i < 100; ++i) babble.push_back({10ms, Bytes(10, 0x55)});
  port.Expect(kReadSwitch, babble);
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_EQ(tag.RxBytes().size(), 260u);
  EXPECT_LT(Seconds(start), 0.3);
  EXPECT_EQ(tag.LastError, 10);
}

TEST_F(TransactionTest, a_slow_babbling_line_is_cut_off_2_seconds_after_its_first_byte) {
  std::vector<ScriptedSerialControl::Chunk> babble;
  for (int i = 0; i < 100; ++i) babble.push_back({50ms, Bytes(1, 0x55)});
  port.Expect(kReadSwitch, babble);
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_NEAR(Seconds(start), 2.05, 0.06);
  EXPECT_LT(tag.RxBytes().size(), 45u);
}

TEST_F(TransactionTest, output_that_never_drains_is_dropped_and_the_reply_still_awaited) {
  port.outputDrains = false;
  port.Expect(kReadSwitch, {{1500ms, FromHex(kSwitchIs3)}});
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_EQ(port.OutBufferCount(), 0);
  EXPECT_NEAR(Seconds(start), 1.6, 0.02);  // 1 s + 8 bytes of line time, then the reply
  EXPECT_EQ(tag.Data(), Value(3.0));
}

TEST_F(TransactionTest, a_port_held_by_another_transaction_is_waited_for_30_seconds_then_busy) {
  const Line::ExchangeScope other(line);
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_NEAR(Seconds(start), 30, 0.01);
  EXPECT_EQ(window.panel4, "Busy! switch");
  EXPECT_TRUE(port.Sent().empty());
  EXPECT_EQ(window.panel3, "");
}

TEST_F(TransactionTest, a_port_freed_while_waiting_is_used) {
  std::optional<Line::ExchangeScope> other(std::in_place, line);
  pump.onEvents = [&] { other.reset(); };
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  tag.Refresh();
  EXPECT_EQ(tag.Data(), Value(3.0));
}

TEST_F(TransactionTest, a_window_busy_flag_is_waited_for_30_seconds_and_then_sent_anyway) {
  window.commBusy = true;
  port.ExpectReply(kReadSwitch, kSwitchIs3);
  TimePoint start = clock.Now();
  tag.Refresh();
  EXPECT_EQ(window.messages.front(), "Busy! switch");
  EXPECT_GE(Seconds(start), 30);
  EXPECT_EQ(tag.Data(), Value(3.0));
}

TEST_F(TransactionTest, events_run_while_waiting_and_checking_but_never_between_the_bytes_of_a_reply) {
  int eventsInsideReply = 0;
  port.Expect(kReadSwitch, {{20ms, FromHex("01 04")}, {50ms, FromHex("02 00 03 F9 31")}});
  pump.onEvents = [&] { eventsInsideReply += port.InBufferCount() > 0; };
  tag.Refresh();
  EXPECT_EQ(eventsInsideReply, 0);
  EXPECT_GE(pump.passes, (6 + 5) * 8) << "the CRC of request and reply lets events run per bit";
  EXPECT_EQ(tag.Data(), Value(3.0));
}

TEST_F(TransactionTest, the_error_counter_counts_on_from_its_number_or_restarts_at_1) {
  const std::pair<std::string, std::string> cases[] = {
      {"41", "42"}, {"", "1"}, {"abc", "1"}, {" 7 ", "8"}, {"2.5", "3"}};
  for (const auto& [before, after] : cases) {
    window.panel3 = before;
    tag.IncError();
    EXPECT_EQ(window.panel3, after) << before;
  }
}

// Many two-wire adapters hear their own request: the copy before the reply
// is theirs, not the meter's.
TEST_F(TransactionTest, an_adapters_echo_of_the_request_is_not_taken_for_the_reply) {
  const struct {
    const char* what;
    std::vector<ScriptedSerialControl::Chunk> input;
    double value;  // 0: none
    const char* panel3;
  } cases[] = {
      {"echo, then the reply", {{1ms, FromHex(kReadSwitch)}, {5ms, FromHex(kSwitchIs3)}}, 3, ""},
      {"echo, the reply 0.3 s later", {{1ms, FromHex(kReadSwitch)}, {300ms, FromHex(kSwitchIs3)}}, 3, ""},
      {"echo alone", {{1ms, FromHex(kReadSwitch)}}, 0, "1"},
      {"no echo", {{5ms, FromHex(kSwitchIs3)}}, 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tag.ForgetValue();
    line.NoteInStep();
    window.panel3.clear();
    port.Expect(kReadSwitch, c.input);
    tag.Refresh();
    EXPECT_EQ(tag.Data(), c.value ? Value(c.value) : Value());
    EXPECT_EQ(window.panel3, c.panel3);
    EXPECT_EQ(tag.LastError, 0);
    clock.Advance(1s);  // what is still on its way arrives before the next case
    port.Input();
  }
}

TEST(ErrorText, gives_the_text_of_each_code_by_numeric_value) {
  const std::pair<int, std::string> cases[] = {
      {0, "O.K."},
      {1, "Неверная команда"},
      {2, "Неверный адрес регистра"},
      {3, "Неверное значение регистра"},
      {4, "Фатальная ошибка при выполнении запрошенного действия"},
      {5, "Контроллеру требуется время для выполнения запрошенного действия"},
      {6, "Контроллер выполняет ранее запрошенное действие"},
      {7, "Контроллер не может выполнить запрошенное действие"},
      {8, "Ошибка четности расширенной памяти"},
      {9, "Не мой адрес"},
      {10, "Ошибка CRC"},
      {11, "Не документированная ошибка"},
      {255, "Не документированная ошибка"},
      {-1, "Не документированная ошибка"},
  };
  for (const auto& [code, text] : cases) {
    EXPECT_EQ(MBData::GetErrorText(Value(static_cast<double>(code))), text) << code;
    EXPECT_EQ(MBData::GetErrorText(Value(static_cast<std::int16_t>(code))), text) << code;
  }
  EXPECT_EQ(MBData::GetErrorText(Value(2.5)), "Не документированная ошибка");
}

}  // namespace
}  // namespace dornvel::testing
