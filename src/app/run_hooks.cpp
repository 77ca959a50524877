#include "app/run_hooks.h"

#include <QPixmap>
#include <QString>
#include <iostream>
#include <optional>

#include "protocol/numeric_text.h"
#include "ui/form_main.h"

namespace dornvel {

namespace {

// A positive whole number from the environment; none when unset or anything else.
std::optional<int> TickCount(const char* variable) {
  const auto number = ParseNumber(qEnvironmentVariable(variable).toStdString());
  if (!number || *number < 1 || *number > 1e6 || RoundHalfEven(*number) != *number) return std::nullopt;
  return static_cast<int>(*number);
}

}  // namespace

void InstallRunHooks(FormMain& window) {
  const auto quitAfter = TickCount("DORNVEL_QUIT_AFTER_TICKS");
  const QString screenshot = qEnvironmentVariable("DORNVEL_SCREENSHOT");
  if (!quitAfter && screenshot.isEmpty()) return;

  const int lastTick = quitAfter.value_or(1);
  auto afterTick = [&window, quitAfter, screenshot, lastTick, ticks = 0]() mutable {
    if (++ticks != lastTick) return;
    if (!screenshot.isEmpty()) {
      if (window.grab().save(screenshot, "PNG")) {
        std::cerr << "dornvel: window picture saved to " << screenshot.toStdString() << std::endl;
      } else {
        std::cerr << "dornvel: cannot save the window picture to " << screenshot.toStdString() << std::endl;
      }
    }
    if (quitAfter) window.close();
  };
  QObject::connect(&window, &FormMain::tickFinished, &window, afterTick);
}

}  // namespace dornvel
