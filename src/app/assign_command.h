#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace dornvel {

// --assign ID --rate RATE [--port ComN] [--report FILE] [--prewarning KOHM]
// [--alarm KOHM]: gives the one meter on the line the slave id and rate, with
// no window, and appends the attempt's row to the report. The exit status: 0
// verified at the new settings, 1 not (the reason on standard error and in
// the row), 2 a bad argument, 3 no meter or more than one.
class AssignCommand {
 public:
  // Adds the command's options to `parser`, which must outlive it, as must
  // `port`, the --port option the commands share.
  AssignCommand(QCommandLineParser& parser, const QCommandLineOption& port);

  bool Asked() const { return parser_.isSet(assign_); }
  // Why the command line is refused when an option of the command comes
  // without --assign ("--rate needs --assign."); empty otherwise. --port is
  // not the command's alone.
  QString StrayOption() const;
  // Runs the command on the parsed options; the exit status.
  int Run() const;

 private:
  QCommandLineParser& parser_;
  const QCommandLineOption& port_;
  const QCommandLineOption assign_;
  const QCommandLineOption rate_;
  const QCommandLineOption report_;
  const QCommandLineOption prewarning_;
  const QCommandLineOption alarm_;
};

}  // namespace dornvel
