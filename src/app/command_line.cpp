#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

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
                                  "(Ctrl+F), Record readings (Ctrl+R, or --record) and Trend (Ctrl+T, or\n"
                                  "--trend)."));
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
  const QCommandLineOption bus(QStringLiteral("bus"),
                               QCoreApplication::translate("dornvel::CommandLine",
                                                           "Watch several meters on the line at once: one row each, "
                                                           "polled in turn (with --meters)."));
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
  parser.addOption(bus);
  parser.addOption(meters);

  const QStringList arguments = QCoreApplication::arguments();
  const bool parsed = parser.parse(arguments);
  const QStringList extra = parser.positionalArguments();
  const MeterList busMeters = ParseMeterList(parser.value(meters));
  QString why;
  if (!parsed) {
    why = parser.errorText();
  } else if (!extra.isEmpty() || !(parser.isSet(help) || parser.isSet(version) || parser.isSet(record) ||
                                   parser.isSet(trend) || parser.isSet(bus) || parser.isSet(meters))) {
    // "--" alone parses, as the end of no options.
    why = QCoreApplication::translate("dornvel::CommandLine", "Unexpected argument '%1'.")
              .arg(extra.value(0, arguments.last()));
  } else if (parser.isSet(bus) != parser.isSet(meters)) {
    why = QCoreApplication::translate("dornvel::CommandLine", "--bus and --meters LIST go together.");
  } else if (parser.isSet(meters) && !busMeters.refusal.isEmpty()) {
    why = QCoreApplication::translate("dornvel::CommandLine", "--meters: %1.").arg(busMeters.refusal);
  }
  if (!why.isEmpty()) {
    ShowCommandLineText(QCoreApplication::applicationName().toStdString() + ": " + why.toStdString() + "\n" +
                            parser.helpText().toStdString(),
                        true);
    return {kUsageError, {}, false, {}};
  }
  if (parser.isSet(help)) {
    ShowCommandLineText(parser.helpText().toStdString(), false);
    return {0, {}, false, {}};
  }
  if (parser.isSet(version)) {
    ShowCommandLineText(QCoreApplication::applicationName().toStdString() + ' ' +
                            QCoreApplication::applicationVersion().toStdString() + '\n',
                        false);
    return {0, {}, false, {}};
  }
  return {std::nullopt, parser.value(record), parser.isSet(trend), busMeters.meters};
}

}  // namespace dornvel
