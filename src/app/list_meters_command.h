#pragma once

#include <QString>

namespace dornvel {

// dornvel --list-meters [--port ComN]: lists every meter on the port (the
// saved "ComPort" when `port` is empty) as CSV on standard output, in machine
// form whatever the locale; progress and a summary on standard error. Needs no
// display. Returns the exit status: 0 when a meter was found, 1 when none, 2
// for a bad port name or a port that cannot be opened.
int ListMeters(int argc, char* argv[], const QString& port);

}  // namespace dornvel
