#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "sim/crc16.h"
#include "sim/fault_plan.h"
#include "sim/meter.h"
#include "sim/options.h"
#include "sim/reply_mangling.h"

namespace dornvel::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SimCrc, matches_the_published_modbus_vectors) {
  struct Case {
    Bytes bytes;
    std::uint16_t crc;
  };
  // Frames with their CRC as they appear on the line (0x09E4 is the example
  // of the Modbus over serial line guide).
  const Case cases[] = {
      {{0x01, 0x03, 0x00, 0x00, 0x00, 0x01}, 0x0A84},
      {{0x01, 0x04, 0x00, 0x00, 0x00, 0x02}, 0xCB71},
      {{0x01, 0x03, 0x00, 0x12, 0x00, 0x08}, 0x09E4},
      {{0x01, 0x10, 0x00, 0x01, 0x00, 0x01, 0x02, 0x4B, 0x00}, 0x7191},
  };
  for (const Case& c : cases) EXPECT_EQ(Crc16Modbus(c.bytes), c.crc);
}

TEST(SimTriggers, parse_probabilities_periods_and_lists) {
  auto half = ParseTrigger("0.5");
  ASSERT_TRUE(half);
  EXPECT_EQ(half->mode, Trigger::Mode::Probability);
  EXPECT_DOUBLE_EQ(half->probability, 0.5);
  auto percent = ParseTrigger("10%");
  ASSERT_TRUE(percent);
  EXPECT_DOUBLE_EQ(percent->probability, 0.1);
  EXPECT_EQ(ParseTrigger("0")->mode, Trigger::Mode::Never);
  auto period = ParseTrigger("every:4");
  ASSERT_TRUE(period);
  EXPECT_EQ(period->mode, Trigger::Mode::Period);
  EXPECT_EQ(period->period, 4u);
  auto list = ParseTrigger("at:2,7");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->at, (std::vector<std::uint64_t>{2, 7}));
  for (std::string_view bad : {"", "1.5", "-0.1", "150%", "every:0", "every:", "at:", "at:0", "at:1,", "often"})
    EXPECT_FALSE(ParseTrigger(bad)) << bad;
}

TEST(SimFaultPlan, periods_and_lists_fire_on_their_requests) {
  std::array<Trigger, kFaultKindCount> triggers{};
  triggers[static_cast<std::size_t>(FaultKind::Delay)] = *ParseTrigger("every:2");
  triggers[static_cast<std::size_t>(FaultKind::BadCrc)] = *ParseTrigger("at:3");
  FaultPlan plan(triggers, 1);
  std::string delays;
  std::string crcs;
  for (std::uint64_t n = 1; n <= 6; ++n) {
    FaultSet set = plan.Decide(n);
    delays += Has(set, FaultKind::Delay) ? 'D' : '.';
    crcs += Has(set, FaultKind::BadCrc) ? 'C' : '.';
  }
  EXPECT_EQ(delays, ".D.D.D");
  EXPECT_EQ(crcs, "..C...");
}

TEST(SimFaultPlan, a_hang_up_silence_or_babble_suppresses_the_rest) {
  FaultSet all{};
  all.fill(true);
  FaultSet only = EffectiveFaults(all);
  EXPECT_TRUE(Has(only, FaultKind::Hangup));
  EXPECT_EQ(std::count(only.begin(), only.end(), true), 1);

  FaultSet mangling{};
  mangling[static_cast<std::size_t>(FaultKind::BadCrc)] = true;
  mangling[static_cast<std::size_t>(FaultKind::Delay)] = true;
  EXPECT_EQ(EffectiveFaults(mangling), mangling);
}

TEST(SimFaultPlan, the_summary_names_every_kind) {
  FaultPlan plan({}, 1);
  plan.Count(FaultKind::BadCrc);
  plan.Count(FaultKind::BadCrc);
  plan.Count(FaultKind::Split);
  EXPECT_EQ(plan.Summary(), "hangup=0 silence=0 babble=0 exception=0 foreign=0 bad-crc=2 short=0 delay=0 split=1");
  EXPECT_EQ(plan.InjectedTotal(), 3u);
}

TEST(SimMangling, each_fault_changes_the_bytes_as_documented) {
  const Bytes reply = {0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xCB, 0xE2};
  EXPECT_EQ(FromOtherSlave(reply, 2), (Bytes{0x02, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xF8, 0xE2}));
  EXPECT_EQ(WithBadCrc(reply), (Bytes{0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xCB, 0x1D}));
  EXPECT_EQ(Truncated(reply, 0), (Bytes{0x01, 0x04, 0x04, 0x00}));
  EXPECT_EQ(Truncated(reply, 3), (Bytes{0x01, 0x04, 0x04}));
  EXPECT_EQ(Truncated(reply, 50).size(), reply.size() - 1);
  auto [first, second] = SplitInTwo(reply, 0);
  EXPECT_EQ(first, (Bytes{0x01, 0x04, 0x04, 0x00}));
  EXPECT_EQ(second, (Bytes{0x00, 0x41, 0x48, 0xCB, 0xE2}));
  auto [one, rest] = SplitInTwo(reply, 99);
  EXPECT_EQ(one.size(), 8u);
  EXPECT_EQ(rest.size(), 1u);
}

TEST(SimMeter, the_float_image_puts_the_low_half_first) {
  EXPECT_EQ(FloatRegisters(12.5f), (std::array<std::uint16_t, 2>{0x0000, 0x4148}));
  EXPECT_EQ(FloatRegisters(0.1f), (std::array<std::uint16_t, 2>{0xCCCD, 0x3DCC}));
}

TEST(SimMeter, writes_need_the_jumper_and_valid_values) {
  Meter::Settings settings;
  Meter without(settings, Resistance::Fixed(1.0f));
  std::uint16_t five[] = {5};
  EXPECT_EQ(without.CheckWrite(0, five).exceptionCode, 1);

  settings.jumper = true;
  Meter with(settings, Resistance::Fixed(1.0f));
  EXPECT_TRUE(with.CheckWrite(0, five).accepted);
  std::uint16_t baud19200[] = {19200};
  EXPECT_TRUE(with.CheckWrite(1, baud19200).accepted);
  std::uint16_t badId[] = {248};
  EXPECT_EQ(with.CheckWrite(0, badId).exceptionCode, 3);
  std::uint16_t idAndBadBaud[] = {7, 4800};
  EXPECT_EQ(with.CheckWrite(0, idAndBadBaud).exceptionCode, 3);
}

ParsedCommandLine Parse(std::vector<std::string_view> arguments) { return ParseCommandLine(arguments); }

TEST(SimOptions, defaults_and_both_value_forms) {
  ParsedCommandLine plain = Parse({});
  ASSERT_EQ(plain.action, ParsedCommandLine::Action::Run);
  EXPECT_EQ(plain.options.slaveId, 1);
  EXPECT_EQ(plain.options.baud, 9600);
  EXPECT_FALSE(plain.options.jumper);
  EXPECT_EQ(plain.options.refusedWriteCode, 1);
  EXPECT_FALSE(plain.options.resistance);

  ParsedCommandLine set = Parse(
      {"--slave=17", "--baud", "19200", "--jumper", "--resistance", "12.5", "--split", "every:3", "--split-gap=0.05"});
  ASSERT_EQ(set.action, ParsedCommandLine::Action::Run) << set.message;
  EXPECT_EQ(set.options.slaveId, 17);
  EXPECT_EQ(set.options.baud, 19200);
  EXPECT_TRUE(set.options.jumper);
  EXPECT_FLOAT_EQ(*set.options.resistance, 12.5f);
  EXPECT_EQ(set.options.faults.triggers[static_cast<std::size_t>(FaultKind::Split)].period, 3u);
  EXPECT_DOUBLE_EQ(set.options.faults.splitGapSeconds, 0.05);
}

TEST(SimOptions, refusals_say_which_option_and_why) {
  ParsedCommandLine refused = Parse({"--baud", "4800"});
  EXPECT_EQ(refused.action, ParsedCommandLine::Action::Refuse);
  EXPECT_EQ(refused.message, "--baud expects 9600 or 19200, not '4800'");
  EXPECT_EQ(Parse({"--jumper=1"}).message, "--jumper takes no value");
  EXPECT_EQ(Parse({"--seed"}).message, "--seed needs a value");
  EXPECT_EQ(Parse({"--what"}).message, "unknown option --what");
  EXPECT_EQ(Parse({"--help", "--what"}).action, ParsedCommandLine::Action::Help);
}

TEST(SimOptions, a_meter_spec_gives_id_rate_and_resistance) {
  struct Case {
    const char* text;
    std::optional<MeterSpec> meter;
  };
  const Case cases[] = {
      {"7", MeterSpec{7, 9600, std::nullopt}},
      {"7@19200", MeterSpec{7, 19200, std::nullopt}},
      {"247:12.5", MeterSpec{247, 9600, 12.5f}},
      {"1@9600:-3", MeterSpec{1, 9600, -3.0f}},
      {"", std::nullopt},
      {"0", std::nullopt},
      {"248", std::nullopt},
      {"7@", std::nullopt},
      {"7@4800", std::nullopt},
      {"7:", std::nullopt},
      {"7:inf", std::nullopt},
      {"7:12.5@9600", std::nullopt},
      {"7@19200@9600", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseMeterSpec(c.text), c.meter) << c.text;
}

TEST(SimOptions, the_single_meter_is_the_line_unless_meters_are_given) {
  ParsedCommandLine single = Parse({"--slave", "9", "--baud", "19200", "--resistance", "2"});
  EXPECT_EQ(MetersOf(single.options), (std::vector<MeterSpec>{{9, 19200, 2.0f}}));
  ParsedCommandLine line = Parse({"--meter", "3", "--meter=200@19200", "--jumper", "--switch", "4", "--echo"});
  ASSERT_EQ(line.action, ParsedCommandLine::Action::Run) << line.message;
  EXPECT_EQ(MetersOf(line.options), (std::vector<MeterSpec>{{3, 9600, std::nullopt}, {200, 19200, std::nullopt}}));
  EXPECT_TRUE(line.options.echo);
  EXPECT_EQ(line.options.turnaroundMs, 5);
  EXPECT_EQ(Parse({"--meter", "3", "--resistance", "2"}).message,
            "--resistance describes the single meter; with --meter give each meter's id, rate and resistance as "
            "ID[@RATE][:KOHM]");
  EXPECT_EQ(Parse({"--turnaround", "2"}).message, "--turnaround times a line of meters; it goes with --meter");
}

}  // namespace
}  // namespace dornvel::sim
