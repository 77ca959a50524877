#include "protocol/commissioning.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "harness/fakes.h"
#include "harness/meters_on_line.h"
#include "harness/test_crc.h"
#include "protocol/line.h"
#include "readings/commissioning_row.h"
#include "ui/commissioning_report.h"
#include "ui/commissioning_text.h"

namespace dornvel::testing {
namespace {

// 1500 kilohms as the meter sends it: the float 0x44BB8000, low half first.
const std::map<int, std::uint16_t> kMeasurements{{0, 0x8000}, {1, 0x44BB}, {2, 3}};
const Thresholds kThresholds{1000.0, 500.0};

SimulatedMeter NewMeter() {
  SimulatedMeter meter{.slave = 1, .baudRate = 9600};
  meter.jumper = true;
  meter.inputRegisters = kMeasurements;
  return meter;
}

std::string Write(int slave, int reg, int value) {
  return ToHex(WithCrc({static_cast<std::uint8_t>(slave), 0x10, 0x00, static_cast<std::uint8_t>(reg), 0x00, 0x01, 0x02,
                        static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)}));
}
const std::string kIdWrite = Write(1, 0, 12);
const std::string kRateWrite = Write(12, 1, 19200);

struct Outcome {
  std::vector<std::string> writes;
  std::string row;  // without its time
  int exitStatus = -1;
};

// Commissions the meters on a fake line as 12 at 19200 baud, or `target`.
Outcome Commissioned(std::vector<SimulatedMeter> meters, MeterAddress target = {12, 19200}) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  MetersOnLine onLine(std::move(meters));
  onLine.Attach(port);
  Line line(port);
  const auto hold = line.Take("test");
  const Commissioning result = Commission(*hold, {pump, clock}, target, {});
  Outcome outcome;
  for (const std::string& sent : port.Sent()) {
    if (sent.substr(3, 2) == "10") outcome.writes.push_back(sent);
  }
  const std::string row = CommissioningCsvRow(RowOf(result, {}, kThresholds));
  outcome.row = row.substr(row.find(','));
  outcome.exitStatus = ExitStatusOf(result);
  return outcome;
}

TEST(Commissioning, a_meter_is_given_its_settings_and_every_failure_leaves_a_row_that_says_where_it_answers) {
  SimulatedMeter noJumper = NewMeter();
  noJumper.jumper = false;
  SimulatedMeter idReplyLostTaken = NewMeter();
  idReplyLostTaken.silentWriteOf = 0;
  SimulatedMeter idReplyLostNotTaken = idReplyLostTaken;
  idReplyLostNotTaken.takesSilentWrite = false;
  SimulatedMeter rateReplyLostTaken = NewMeter();
  rateReplyLostTaken.silentWriteOf = 1;
  SimulatedMeter goneAfterRate = NewMeter();
  goneAfterRate.goneAfterWriteOf = 1;
  SimulatedMeter fastMeter = NewMeter();
  fastMeter.slave = 40;
  fastMeter.baudRate = 19200;

  const struct {
    const char* what;
    std::vector<SimulatedMeter> meters;
    MeterAddress target;
    std::vector<std::string> writes;
    std::string row;
    int exitStatus;
  } cases[] = {
      {"a new meter", {NewMeter()}, {12, 19200}, {kIdWrite, kRateWrite}, ",1,9600,12,19200,1500,3,pass,", 0},
      {"a meter at another id and rate",
       {fastMeter},
       {12, 9600},
       {Write(40, 0, 12), Write(12, 1, 9600)},
       ",40,19200,12,9600,1500,3,pass,",
       0},
      {"the jumper missing",
       {noJumper},
       {12, 19200},
       {kIdWrite},
       ",1,9600,12,19200,,,,The meter refused the slave-id write: set the jumper JP on the meter. The meter answers "
       "at slave id 1 at 9600 baud.",
       1},
      {"the id write's reply lost, the id taken",
       {idReplyLostTaken},
       {12, 19200},
       {kIdWrite, kRateWrite},
       ",1,9600,12,19200,1500,3,pass,\"The reply to the slave-id write did not come, but the meter had taken it.\"",
       0},
      {"the id write's reply lost, the id not taken",
       {idReplyLostNotTaken},
       {12, 19200},
       {kIdWrite},
       ",1,9600,12,19200,,,,The reply to the slave-id write did not come. The meter answers at slave id 1 at 9600 "
       "baud.",
       1},
      {"the rate write's reply lost, the rate taken",
       {rateReplyLostTaken},
       {12, 19200},
       {kIdWrite, kRateWrite},
       ",1,9600,12,19200,1500,3,pass,\"The reply to the baud-rate write did not come, but the meter had taken it.\"",
       0},
      {"a second meter on the line",
       {NewMeter(), SimulatedMeter{.slave = 2, .baudRate = 9600}},
       {12, 19200},
       {},
       ",1,9600,12,19200,,,,More than one meter answers at 9600 baud (also slave ids 2): connect one meter alone. "
       "Nothing was written.",
       3},
      {"the meter gone after the rate write",
       {goneAfterRate},
       {12, 19200},
       {kIdWrite, kRateWrite},
       ",1,9600,12,19200,,,,Nothing answers at the new settings. The meter answers neither at its old nor at its "
       "new settings; last known at slave id 12 at 19200 baud.",
       1},
      {"no meter", {}, {12, 19200}, {}, ",,,12,19200,,,,No meter answers on the line.", 3},
      {"an id out of range",
       {NewMeter()},
       {248, 19200},
       {},
       ",,,248,19200,,,,The slave id must be 1 to 247 and the baud rate 9600 or 19200. Nothing was sent.",
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = Commissioned(c.meters, c.target);
    EXPECT_EQ(outcome.writes, c.writes);
    EXPECT_EQ(outcome.row, c.row);
    EXPECT_EQ(outcome.exitStatus, c.exitStatus);
  }
}

TEST(Commissioning, the_verdict_follows_the_thresholds_given) {
  const struct {
    std::optional<float> resistance;
    std::optional<double> prewarning;
    std::optional<double> alarm;
    Verdict verdict;
  } cases[] = {
      {1000.0f, 1000.0, 500.0, Verdict::Pass},         {999.5f, 1000.0, 500.0, Verdict::Warning},
      {500.0f, 1000.0, 500.0, Verdict::Warning},       {499.0f, 1000.0, 500.0, Verdict::Fail},
      {499.0f, std::nullopt, 500.0, Verdict::Fail},    {501.0f, std::nullopt, 500.0, Verdict::Pass},
      {10.0f, 1000.0, std::nullopt, Verdict::Warning}, {10.0f, std::nullopt, std::nullopt, Verdict::None},
      {std::nullopt, 1000.0, 500.0, Verdict::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.resistance.value_or(-1));
    EXPECT_EQ(Judge(c.resistance, c.prewarning, c.alarm), c.verdict);
  }
}

// Each step is told as it begins and ends, with its time: the window shows
// them, the benchmark reports them.
TEST(Commissioning, tells_each_step_as_it_runs_with_its_time) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  MetersOnLine onLine({NewMeter()});
  onLine.Attach(port);
  Line line(port);
  const auto hold = line.Take("test");
  std::vector<CommissioningStep> begun;
  std::vector<CommissioningStep> ended;
  CommissioningHooks hooks;
  hooks.onStep = [&](CommissioningStep step) { begun.push_back(step); };
  hooks.onStepDone = [&](const StepTime& time) { ended.push_back(time.step); };
  const Commissioning result = Commission(*hold, {pump, clock}, {12, 19200}, hooks);
  const std::vector<CommissioningStep> all(std::begin(kCommissioningSteps), std::end(kCommissioningSteps));
  EXPECT_EQ(begun, all);
  EXPECT_EQ(ended, all);
  ASSERT_EQ(result.steps.size(), all.size());
  // Most of the time goes to the other 246 slave ids, quickly asked.
  EXPECT_GT(result.steps[1].took, result.steps[0].took + result.steps[2].took + result.steps[3].took);
}

// The next batch goes on from the last report in the folder: its highest new
// slave id plus one, in either form; 2 when there is none to go by.
TEST(Commissioning, the_first_id_proposed_is_one_above_the_last_reports_highest) {
  const char* header =
      "\xEF\xBB\xBFtime,old_slave_id,old_baud_rate,new_slave_id,new_baud_rate,resistance_kohm,switch,"
      "verdict,message\r\n";
  const struct {
    const char* what;
    std::vector<std::pair<const char*, std::string>> files;
    int proposed;
  } cases[] = {
      {"no report", {}, 2},
      {"one report",
       {{"commissioning-20261209-100000.csv",
         std::string(header) + "t,1,9600,7,19200,,,,\r\nt,1,9600,5,19200,,,,\r\n"}},
       8},
      {"the last of two, by its date",
       {{"commissioning-20261209-100000.csv", std::string(header) + "t,1,9600,40,19200,,,,\r\n"},
        {"commissioning-20261210-090000.csv", std::string(header) + "t,1,9600,12,19200,,,,\r\n"}},
       13},
      {"semicolons and a message with commas",
       {{"commissioning-20261209-100000.csv", std::string(header) + "t;1;9600;21;19200;;;;\"a, b, c\"\r\n"}},
       22},
      {"only failures before any new id", {{"commissioning-20261209-100000.csv", std::string(header)}}, 2},
      {"the last id taken",
       {{"commissioning-20261209-100000.csv", std::string(header) + "t,1,9600,247,9600,,,,\r\n"}},
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    for (const auto& [name, text] : c.files) {
      QFile file(dir.filePath(QString::fromLatin1(name)));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(text.data(), static_cast<qint64>(text.size()));
    }
    EXPECT_EQ(NextSlaveIdAfterReports(dir.path()), c.proposed);
  }
}

}  // namespace
}  // namespace dornvel::testing
