#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/assign_command.h"
#include "app/meter_list.h"
#include "app/translations.h"
#include "platform/command_line_text.h"

namespace dornvel {

namespace {

// Exit status of a command line the program does not take, as for other
// command-line tools.
constexpr int kUsageError = 2;

}  // namespace

CommandLine ReadCommandLine(int argc, char* argv[]) {
  QCoreApplication::setApplicationVersion(QStringLiteral(DORNVEL_VERSION));
  if (argc < 2) return {};

  // Gone before the program makes its own application object; the usage and
  // the version take the program's name from it.
  QCoreApplication application(argc, argv);
  const Translations translations;
  QCommandLineParser parser;
  // "-platform" is one unknown option, not eight.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      QCoreApplication::translate("dornvel::CommandLine",
                                  "Tests and sets up an insulation-resistance meter on a Modbus RTU serial line:\n"
                                  "polls its values once a second and shows them in a window, where the serial\n"
                                  "port, the baud rate and the slave id are chosen.") +
      QStringLiteral("\n\n") +
      QCoreApplication::translate("dornvel::CommandLine",
                                  "The window's tools, from a right click on it or by key: Find the meter\n"
                                  "(Ctrl+F), Record readings (Ctrl+R, or --record), Trend (Ctrl+T, or\n"
                                  "--trend) and Commission meters (or --assign, without a window).") +
      QStringLiteral("\n\n") +
      QCoreApplication::translate("dornvel::CommandLine",
                                  "Meters on the line (Ctrl+L, or --list-meters) lists every meter that\n"
                                  "answers, at 9600 and at 19200 baud."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QCoreApplication::translate("dornvel::CommandLine", "Show this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QCoreApplication::translate("dornvel::CommandLine", "Show the version and exit."));
  const QCommandLineOption record(QStringLiteral("record"),
                                  QCoreApplication::translate("dornvel::CommandLine",
                                                              "Record the readings of every poll into FILE, a CSV "
                                                              "file (appended to when it exists)."),
                                  QStringLiteral("FILE"));
  const QCommandLineOption trend(
      QStringLiteral("trend"), QCoreApplication::translate("dornvel::CommandLine", "Open the trend window at start."));
  const QCommandLineOption listMeters(
      QStringLiteral("list-meters"),
      QCoreApplication::translate("dornvel::CommandLine",
                                  "List every meter on the line as CSV (slave id, baud rate, resistance, switch, "
                                  "state) and exit: 0 when one or more answered, 1 when none, 2 when the port "
                                  "cannot be used. Needs no display."));
  const QCommandLineOption port(QStringLiteral("port"),
                                QCoreApplication::translate("dornvel::CommandLine",
                                                            "The port for --list-meters, --assign and --bus, Com1 to "
                                                            "Com256 (the saved port when left out)."),
                                QStringLiteral("ComN"));
  const QCommandLineOption bus(QStringLiteral("bus"),
                               QCoreApplication::translate("dornvel::CommandLine",
                                                           "Watch several meters on the line at once: one row each, "
                                                           "polled in turn: those of --meters, else those a census "
                                                           "finds."));
  const QCommandLineOption meters(
      QStringLiteral("meters"),
      QCoreApplication::translate("dornvel::CommandLine",
                                  "The meters the bus view polls: slave ids and ranges, each at 9600 baud unless "
                                  "@19200 follows, e.g. 3,7,41,200@19200,10-20@9600."),
      QStringLiteral("LIST"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(record);
  parser.addOption(trend);
  parser.addOption(listMeters);
  parser.addOption(port);
  const AssignCommand assign(parser, port);
  parser.addOption(bus);
  parser.addOption(meters);

  const QStringList arguments = QCoreApplication::arguments();
  const bool parsed = parser.parse(arguments);
  const QStringList extra = parser.positionalArguments();
  const MeterList busMeters = ParseMeterList(parser.value(meters));
  const bool portAlone =
      parsed && parser.isSet(port) && !parser.isSet(listMeters) && !assign.Asked() && !parser.isSet(bus);
  QString why;
  if (!parsed) {
    why = parser.errorText();
  } else if (const QString stray = assign.StrayOption(); !stray.isEmpty()) {
    why = stray;
  } else if (portAlone && extra.isEmpty()) {
    why = QCoreApplication::translate("dornvel::CommandLine", "--port goes with --list-meters, --assign or --bus.");
  } else if (!extra.isEmpty() ||
             !(parser.isSet(help) || parser.isSet(version) || parser.isSet(record) || parser.isSet(trend) ||
               parser.isSet(listMeters) || assign.Asked() || parser.isSet(bus) || parser.isSet(meters))) {
    // "--" alone parses, as the end of no options.
    why = QCoreApplication::translate("dornvel::CommandLine", "Unexpected argument '%1'.")
              .arg(extra.value(0, arguments.last()));
  } else if (parser.isSet(meters) && !parser.isSet(bus)) {
    why = QCoreApplication::translate("dornvel::CommandLine", "--meters goes with --bus.");
  } else if (parser.isSet(meters) && !busMeters.refusal.isEmpty()) {
    why = QCoreApplication::translate("dornvel::CommandLine", "--meters: %1.").arg(busMeters.refusal);
  }
  if (!why.isEmpty()) {
    ShowCommandLineText(QCoreApplication::applicationName().toStdString() + ": " + why.toStdString() + "\n" +
                            parser.helpText().toStdString(),
                        true);
    return {.exitStatus = kUsageError};
  }
  if (parser.isSet(help)) {
    ShowCommandLineText(parser.helpText().toStdString(), false);
    return {.exitStatus = 0};
  }
  if (parser.isSet(version)) {
    ShowCommandLineText(QCoreApplication::applicationName().toStdString() + ' ' +
                            QCoreApplication::applicationVersion().toStdString() + '\n',
                        false);
    return {.exitStatus = 0};
  }
  if (assign.Asked()) return {.exitStatus = assign.Run()};
  CommandLine line;
  line.recordFile = parser.value(record);
  line.showTrend = parser.isSet(trend);
  line.listMeters = parser.isSet(listMeters);
  line.port = parser.value(port);
  line.bus = parser.isSet(bus);
  line.busMeters = busMeters.meters;
  return line;
}

}  // namespace dornvel
