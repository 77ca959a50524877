#include "readings/local_time_text.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace dornvel {

namespace {

using namespace std::chrono;

// A broken-down time read as if it were UTC, in seconds since the epoch.
sys_seconds AsIfUtc(const std::tm& t) {
  const sys_days day = year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                       std::chrono::day{static_cast<unsigned>(t.tm_mday)};
  return day + hours{t.tm_hour} + minutes{t.tm_min} + seconds{t.tm_sec};
}

}  // namespace

std::string LocalTimeText(WallTime time) {
  const std::time_t whole = system_clock::to_time_t(floor<seconds>(time));
  // The window has one thread, so the shared results of localtime and gmtime
  // are copied before anything else can call them. The offset is the local
  // clock's distance from UTC's, which C++20 without a zone database (and
  // strftime's %z on Windows) cannot give directly.
  const std::tm local = *std::localtime(&whole);
  const std::tm utc = *std::gmtime(&whole);
  const auto offset = duration_cast<minutes>(AsIfUtc(local) - AsIfUtc(utc)).count();

  char text[64];  // room for any int the fields could hold
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+',
                static_cast<int>(std::abs(offset) / 60), static_cast<int>(std::abs(offset) % 60));
  return text;
}

}  // namespace dornvel
