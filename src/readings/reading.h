#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace dornvel {

using WallTime = std::chrono::system_clock::time_point;

// What one tick of the window read from the meter. A value whose exchange
// failed in that tick is empty, never the value of an earlier tick.
struct Reading {
  WallTime time;
  // The meter sends the resistance as a 32-bit float; kept as one, so that its
  // shortest decimal text reads back to the very same number.
  std::optional<float> resistanceKohm;
  std::optional<int> switchValue;
  std::optional<int> deviceSlaveId;
  std::optional<int> deviceBaudRate;
  // The error count as the status bar shows it after the tick (panel 3), and
  // the messages of the tick's own exchanges.
  std::string errorCount;
  std::string message;
  // The meter read, by its slave id and the line's rate; empty when the
  // reading names none.
  struct Meter {
    int slave = 0;
    int baudRate = 0;
  };
  std::optional<Meter> meter{};
};

}  // namespace dornvel
