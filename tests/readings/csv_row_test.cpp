#include "readings/csv_row.h"

#include <gtest/gtest.h>

#include <ctime>

#include "harness/scoped_env.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono;

// Field `index` of a row whose fields hold no quoted comma.
std::string FieldOf(const std::string& row, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) start = row.find(',', start) + 1;
  return row.substr(start, row.find(',', start) - start);
}

TEST(CsvField, quotes_only_what_needs_it_and_doubles_quotes) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"", ""},
      {"O.K.", "O.K."},
      {"Ошибка CRC приема nolu", "Ошибка CRC приема nolu"},
      {"Не мой адрес: (nolu) - 2", "Не мой адрес: (nolu) - 2"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\rhere", "\"cr\rhere\""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;
}

TEST(CsvRow, holds_every_value_of_the_tick_and_leaves_failed_ones_empty) {
  ScopedEnv zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  ::tzset();
  const WallTime time = sys_days{2026y / 12 / 8} + 22h + 41min + 7s;

  const struct {
    const char* what;
    Reading reading;
    const char* row;
  } cases[] = {
      {"all read", {time, 12.5f, 7, 1, 9600, "", "O.K."}, "2026-12-08T23:41:07+01:00,12.5,7,1,9600,,O.K."},
      {"all failed",
       {time, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "4",
        "MBdata/GetData: Timout при получении пакета Boudrate"},
       "2026-12-08T23:41:07+01:00,,,,,4,MBdata/GetData: Timout при получении пакета Boudrate"},
      {"switch failed",
       {time, 1500.25f, std::nullopt, 247, 19200, "1", "Ошибка: (switch) - Неверная команда"},
       "2026-12-08T23:41:07+01:00,1500.25,,247,19200,1,Ошибка: (switch) - Неверная команда"},
      {"message with a comma",
       {time, 0.1f, -1, 1, 9600, "12", "a, b"},
       "2026-12-08T23:41:07+01:00,0.1,-1,1,9600,12,\"a, b\""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvRow(c.reading), c.row) << c.what;
  ::tzset();
}

TEST(BusCsvRow, holds_the_meters_address_and_values_of_one_poll_in_either_form) {
  ScopedEnv zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  ::tzset();
  Reading answered;
  answered.time = sys_days{2026y / 12 / 8} + 22h + 41min + 7s;
  answered.resistanceKohm = 987.25f;
  answered.switchValue = 7;
  answered.message = "O.K.";
  answered.meter = Reading::Meter{200, 19200};
  Reading silent = answered;
  silent.resistanceKohm.reset();
  silent.switchValue.reset();
  silent.message = "no reply, none";
  silent.meter = Reading::Meter{3, 9600};
  const struct {
    Reading reading;
    CsvForm form;
    const char* row;
  } cases[] = {
      {answered, kCommaCsv, "2026-12-08T23:41:07+01:00,200,19200,987.25,7,O.K."},
      {answered, kSemicolonCsv, "2026-12-08T23:41:07+01:00;200;19200;987,25;7;O.K."},
      {silent, kCommaCsv, "2026-12-08T23:41:07+01:00,3,9600,,,\"no reply, none\""},
      {silent, kSemicolonCsv, "2026-12-08T23:41:07+01:00;3;9600;;;no reply, none"},
  };
  for (const auto& c : cases) EXPECT_EQ(BusCsvRow(c.reading, c.form), c.row);
  ::tzset();
}

TEST(CsvRow, writes_the_resistance_in_the_shortest_text_that_reads_back_the_same) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{12.5f, "12.5"},
               {0.1f, "0.1"},
               {1500.123f, "1500.123"},
               {1e-7f, "1e-07"},
               {3.4028235e38f, "3.4028235e+38"},
               {-0.0f, "-0"},
               {16777217.0f, "16777216"}};
  for (const auto& c : cases) {
    Reading reading;
    reading.resistanceKohm = c.value;
    const std::string field = FieldOf(CsvRow(reading), 1);
    EXPECT_EQ(field, c.text);
    EXPECT_EQ(std::stof(field), c.value) << field;
  }
}

TEST(CsvHeader, joins_the_names_given_and_quotes_one_that_holds_the_separator) {
  EXPECT_EQ(CsvHeader({"time", "a;b", "c,d"}), "time,a;b,\"c,d\"");
  EXPECT_EQ(CsvHeader({"время", "a;b", "c,d"}, kSemicolonCsv), "время;\"a;b\";c,d");
}

}  // namespace
}  // namespace dornvel::testing
