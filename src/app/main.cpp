#include <QApplication>

#include "app/command_line.h"
#include "app/command_port.h"
#include "app/list_meters_command.h"
#include "app/main_window.h"
#include "app/run_hooks.h"
#include "app/translations.h"
#include "app/window_icon.h"
#include "platform/qt_event_pump.h"
#include "platform/settings_format.h"
#include "platform/steady_clock.h"
#include "ui/bus_window.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_settings_store.h"
#include "ui/qt_yes_no_question.h"

int main(int argc, char* argv[]) {
  const dornvel::CommandLine commandLine = dornvel::ReadCommandLine(argc, argv);
  if (commandLine.exitStatus) return *commandLine.exitStatus;
  const auto busPort = commandLine.bus && !commandLine.port.isEmpty() ? dornvel::CommandLinePort(commandLine.port)
                                                                      : std::optional<int>(0);
  if (!busPort) return 2;  // the reason is on standard error
  if (commandLine.listMeters) return dornvel::ListMeters(argc, argv, commandLine.port);
  QApplication app(argc, argv);
  const dornvel::Translations translations;
  QApplication::setWindowIcon(dornvel::WindowIcon());
  // The application's title names its settings and heads its message boxes.
  const QString title = QStringLiteral("dornvel");
  QApplication::setApplicationName(title);

  dornvel::SteadyClock clock;
  dornvel::QtEventPump pump;
  dornvel::QtSettingsStore settings(title, dornvel::UserSettingsFormat());
  dornvel::QtDialogs dialogs(title);
  dornvel::QtYesNoQuestion question(title);
  const dornvel::MainWindow window = dornvel::MakeMainWindow({pump, clock}, settings, dialogs, question);
  dornvel::InstallRunHooks(*window.form);
  if (!commandLine.bus && !commandLine.recordFile.isEmpty()) window.tools->StartRecording(commandLine.recordFile);
  window.form->Form_Load();
  if (commandLine.bus) {
    if (!commandLine.port.isEmpty()) window.form->ChoosePort(QStringLiteral("Com%1").arg(*busPort));
    if (commandLine.busMeters.empty()) {
      window.tools->WatchAll(commandLine.recordFile);
    } else {
      dornvel::OpenBusView(*window.form, commandLine.busMeters, commandLine.recordFile);
    }
  }
  if (commandLine.showTrend) window.tools->ShowTrend();
  // Closing the window ends the loop; the window is destroyed only after that,
  // when no tick runs any more.
  return app.exec();
}
