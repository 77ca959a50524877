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
                                  "--trend) and Commission meters (or --assign, without a window)."));
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
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(record);
  parser.addOption(trend);
  const AssignCommand assign(parser);

  const QStringList arguments = QCoreApplication::arguments();
  const bool parsed = parser.parse(arguments);
  const QStringList extra = parser.positionalArguments();
  const QString stray = parsed ? assign.StrayOption() : QString();
  if (!parsed || !extra.isEmpty() || !stray.isEmpty() ||
      !(parser.isSet(help) || parser.isSet(version) || parser.isSet(record) || parser.isSet(trend) || assign.Asked())) {
    // "--" alone parses, as the end of no options.
    const QString why = !parsed ? parser.errorText()
                        : !stray.isEmpty()
                            ? stray
                            : QCoreApplication::translate("dornvel::CommandLine", "Unexpected argument '%1'.")
                                  .arg(extra.value(0, arguments.last()));
    ShowCommandLineText(QCoreApplication::applicationName().toStdString() + ": " + why.toStdString() + "\n" +
                            parser.helpText().toStdString(),
                        true);
    return {kUsageError, {}};
  }
  if (parser.isSet(help)) {
    ShowCommandLineText(parser.helpText().toStdString(), false);
    return {0, {}};
  }
  if (parser.isSet(version)) {
    ShowCommandLineText(QCoreApplication::applicationName().toStdString() + ' ' +
                            QCoreApplication::applicationVersion().toStdString() + '\n',
                        false);
    return {0, {}};
  }
  if (assign.Asked()) return {assign.Run(), {}};
  return {std::nullopt, parser.value(record), parser.isSet(trend)};
}

}  // namespace dornvel
