#include "readings/csv_recorder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "harness/file_size_limit.h"
#include "harness/scoped_env.h"
#include "harness/temp_dir.h"
#include "readings/commissioning_row.h"
#include "readings/csv_row.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono;

constexpr const char* kHeader =
    "\xEF\xBB\xBFtime,resistance_kohm,switch,device_slave_id,device_baud_rate,errors,message\r\n";

const std::vector<std::string> kEnglish = {"time",   "resistance_kohm", "switch", "device_slave_id", "device_baud_rate",
                                           "errors", "message"};

const std::vector<std::string> kReport(std::begin(kCommissioningColumns), std::end(kCommissioningColumns));

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

class CsvRecorderTest : public ::testing::Test {
 protected:
  CsvRecorderTest() { ::tzset(); }
  ~CsvRecorderTest() override { ::tzset(); }

  static CommissioningRow Commissioned(float resistance, const char* verdict, const char* message) {
    return {Tick(7, {}).time, 1, 9600, 12, 19200, resistance, 3, verdict, message};
  }

  static Reading Tick(int second, std::optional<float> resistance, const char* message = "O.K.") {
    return {sys_days{2026y / 12 / 8} + 22h + 41min + seconds{second}, resistance, 3, 1, 9600, "", message};
  }

  ScopedEnv zone_{"TZ", "CET-1CEST,M3.5.0,M10.5.0/3"};
  TempDir dir_;
};

TEST_F(CsvRecorderTest, a_new_file_gets_the_header_and_each_row_is_in_the_file_when_the_tick_ends) {
  const auto file = dir_ / "readings.csv";
  CsvRecorder recorder(file, kCommaCsv, kEnglish);
  ASSERT_TRUE(recorder.Ok()) << recorder.Failure();
  EXPECT_EQ(Contents(file), kHeader);

  EXPECT_TRUE(recorder.Record(Tick(7, 12.5f)));
  EXPECT_EQ(Contents(file), std::string(kHeader) + "2026-12-08T23:41:07+01:00,12.5,3,1,9600,,O.K.\r\n");

  EXPECT_TRUE(recorder.Record(Tick(8, std::nullopt, "Ошибка CRC приема nolu")));
  EXPECT_EQ(Contents(file), std::string(kHeader) +
                                "2026-12-08T23:41:07+01:00,12.5,3,1,9600,,O.K.\r\n"
                                "2026-12-08T23:41:08+01:00,,3,1,9600,,Ошибка CRC приема nolu\r\n");
}

TEST_F(CsvRecorderTest, writes_the_form_asked_for_with_the_column_names_given) {
  const std::vector<std::string> russian = {
      "время", "сопротивление_кОм", "переключатель", "адрес_устройства", "скорость_устройства", "ошибки", "сообщение"};
  const struct {
    const char* what;
    CsvForm form;
    std::vector<std::string> names;
    Reading reading;
    std::string file;
    // A commissioning report's row instead of the reading.
    std::optional<CommissioningRow> commissioned = std::nullopt;
  } cases[] = {
      {"points and commas", kCommaCsv, kEnglish, Tick(7, 987.25f, "a; b, c"),
       "\xEF\xBB\xBFtime,resistance_kohm,switch,device_slave_id,device_baud_rate,errors,message\r\n"
       "2026-12-08T23:41:07+01:00,987.25,3,1,9600,,\"a; b, c\"\r\n"},
      {"decimal commas and semicolons", kSemicolonCsv, russian, Tick(7, 987.25f, "a; b, c"),
       "\xEF\xBB\xBFвремя;сопротивление_кОм;переключатель;адрес_устройства;скорость_устройства;ошибки;сообщение\r\n"
       "2026-12-08T23:41:07+01:00;987,25;3;1;9600;;\"a; b, c\"\r\n"},
      {"decimal commas, a resistance in exponent form", kSemicolonCsv, russian, Tick(7, 1.5e-7f, "Ошибка CRC"),
       "\xEF\xBB\xBFвремя;сопротивление_кОм;переключатель;адрес_устройства;скорость_устройства;ошибки;сообщение\r\n"
       "2026-12-08T23:41:07+01:00;1,5e-07;3;1;9600;;Ошибка CRC\r\n"},
      {"a commissioning report, points and commas",
       kCommaCsv,
       kReport,
       {},
       "\xEF\xBB\xBFtime,old_slave_id,old_baud_rate,new_slave_id,new_baud_rate,resistance_kohm,switch,verdict,"
       "message\r\n"
       "2026-12-08T23:41:07+01:00,1,9600,12,19200,987.25,3,warning,\"lost, then found\"\r\n",
       Commissioned(987.25f, "warning", "lost, then found")},
      {"a commissioning report, decimal commas and semicolons",
       kSemicolonCsv,
       kReport,
       {},
       "\xEF\xBB\xBFtime;old_slave_id;old_baud_rate;new_slave_id;new_baud_rate;resistance_kohm;switch;verdict;"
       "message\r\n"
       "2026-12-08T23:41:07+01:00;1;9600;12;19200;987,25;3;pass;\r\n",
       Commissioned(987.25f, "pass", "")},
      {"a commissioning report, a meter not found",
       kSemicolonCsv,
       kReport,
       {},
       "\xEF\xBB\xBFtime;old_slave_id;old_baud_rate;new_slave_id;new_baud_rate;resistance_kohm;switch;verdict;"
       "message\r\n"
       "2026-12-08T23:41:07+01:00;;;12;19200;;;;\"No meter; none\"\r\n",
       CommissioningRow{Tick(7, {}).time, {}, {}, 12, 19200, {}, {}, "", "No meter; none"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir_ / "form.csv";
    std::filesystem::remove(file);
    {
      CsvRecorder recorder(file, c.form, c.names);
      EXPECT_TRUE(c.commissioned ? recorder.Record(CommissioningCsvRow(*c.commissioned, c.form))
                                 : recorder.Record(c.reading));
    }
    EXPECT_EQ(Contents(file), c.file);
  }
}

TEST_F(CsvRecorderTest, an_existing_file_is_appended_to_and_an_empty_one_gets_the_header) {
  const struct {
    const char* what;
    std::string before;
    std::string after;
  } cases[] = {
      {"rows already", std::string(kHeader) + "old row\r\n",
       std::string(kHeader) + "old row\r\n2026-12-08T23:41:09+01:00,1,3,1,9600,,O.K.\r\n"},
      {"empty", "", std::string(kHeader) + "2026-12-08T23:41:09+01:00,1,3,1,9600,,O.K.\r\n"},
      {"last row cut off", std::string(kHeader) + "2026-12-08T23:4",
       std::string(kHeader) + "2026-12-08T23:4\r\n2026-12-08T23:41:09+01:00,1,3,1,9600,,O.K.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir_ / "existing.csv";
    WriteFile(file, c.before);
    {
      CsvRecorder recorder(file, kCommaCsv, kEnglish);
      EXPECT_TRUE(recorder.Record(Tick(9, 1.0f)));
    }
    EXPECT_EQ(Contents(file), c.after);
  }
}

TEST_F(CsvRecorderTest, a_file_that_cannot_be_written_is_reported_with_the_reason) {
  const struct {
    const char* what;
    std::filesystem::path path;
    int reason;
  } cases[] = {
      {"folder missing", dir_ / "no such folder" / "readings.csv", ENOENT},
      {"a folder by that name", dir_.Path(), EISDIR},
      {"disk full", "/dev/full", ENOSPC},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CsvRecorder recorder(c.path, kCommaCsv, kEnglish);
    EXPECT_FALSE(recorder.Ok());
    EXPECT_EQ(recorder.Failure(), std::strerror(c.reason));
    EXPECT_FALSE(recorder.Record(Tick(1, 1.0f)));
    EXPECT_EQ(recorder.Failure(), std::strerror(c.reason));
  }
}

TEST_F(CsvRecorderTest, a_row_that_cannot_be_written_stops_the_recording_with_the_reason) {
  const auto file = dir_ / "readings.csv";
  CsvRecorder recorder(file, kCommaCsv, kEnglish);
  ASSERT_TRUE(recorder.Record(Tick(1, 1.0f)));
  {
    FileSizeLimit full(std::filesystem::file_size(file) + 10);
    EXPECT_FALSE(recorder.Record(Tick(2, 2.0f)));
  }
  EXPECT_FALSE(recorder.Ok());
  EXPECT_EQ(recorder.Failure(), std::strerror(EFBIG));
  const auto sizeAfterFailure = std::filesystem::file_size(file);
  EXPECT_FALSE(recorder.Record(Tick(3, 3.0f)));
  EXPECT_EQ(std::filesystem::file_size(file), sizeAfterFailure);
}

}  // namespace
}  // namespace dornvel::testing
