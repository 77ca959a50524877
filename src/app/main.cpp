#include <QApplication>

#include "app/command_line.h"
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
  const bool busView = !commandLine.busMeters.empty();
  if (!busView && !commandLine.recordFile.isEmpty()) window.tools->StartRecording(commandLine.recordFile);
  window.form->Form_Load();
  if (busView) dornvel::OpenBusView(*window.form, commandLine.busMeters, commandLine.recordFile);
  if (commandLine.showTrend) window.tools->ShowTrend();
  // Closing the window ends the loop; the window is destroyed only after that,
  // when no tick runs any more.
  return app.exec();
}
