#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "protocol/meter_model.h"

namespace dornvel {

// What the command line asks of the program.
struct CommandLine {
  // End at once with this status: 0 after --help or --version, 2 after an
  // argument the program does not take (the usage on standard error).
  std::optional<int> exitStatus;
  // --record FILE: record every tick's reading into FILE (a CSV file).
  QString recordFile{};
  // --trend: open the trend window with the main window.
  bool showTrend = false;
  // --list-meters [--port ComN]: list the meters on the line and end.
  bool listMeters = false;
  // --port ComN, for --list-meters, --assign and --bus; empty when not given.
  QString port{};
  // --bus [--meters LIST]: open the bus view over these meters (see
  // ParseMeterList), or over those a census finds when the list is empty;
  // --record then records its polls.
  bool bus = false;
  std::vector<MeterAddress> busMeters{};
};

// Reads --help, --version, --record FILE, --trend, --list-meters, --assign
// and --bus [--meters LIST], with --port ComN for the last three;
// nothing else is taken. Sets the
// application's version first, which --version reports. Called before the
// application object exists, so that answering needs no display.
CommandLine ReadCommandLine(int argc, char* argv[]);

}  // namespace dornvel
