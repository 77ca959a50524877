#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/assign_command.h"
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
                                                            "The port for --list-meters and --assign, Com1 to Com256 "
                                                            "(the saved port when left out)."),
                                QStringLiteral("ComN"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(record);
  parser.addOption(trend);
  parser.addOption(listMeters);
  parser.addOption(port);
  const AssignCommand assign(parser, port);

  const QStringList arguments = QCoreApplication::arguments();
  const bool parsed = parser.parse(arguments);
  const QStringList extra = parser.positionalArguments();
  const bool portAlone = parsed && parser.isSet(port) && !parser.isSet(listMeters) && !assign.Asked();
  const QString stray = parsed ? assign.StrayOption() : QString();
  if (!parsed || !extra.isEmpty() || portAlone || !stray.isEmpty() ||
      !(parser.isSet(help) || parser.isSet(version) || parser.isSet(record) || parser.isSet(trend) ||
        parser.isSet(listMeters) || assign.Asked())) {
    // "--" alone parses, as the end of no options.
    const QString why = !parsed             ? parser.errorText()
                        : !stray.isEmpty() ? stray
                        : portAlone
                            ? QCoreApplication::translate("dornvel::CommandLine",
                                                          "--port goes with --list-meters or --assign.")
                            : QCoreApplication::translate("dornvel::CommandLine", "Unexpected argument '%1'.")
                                  .arg(extra.value(0, arguments.last()));
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
  return {std::nullopt, parser.value(record), parser.isSet(trend), parser.isSet(listMeters), parser.value(port)};
}

}  // namespace dornvel
