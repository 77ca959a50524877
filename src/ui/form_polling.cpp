#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <cmath>

#include "protocol/line.h"
#include "protocol/runtime_error.h"
#include "tags/mb_collection.h"
#include "ui/device_tags.h"
#include "ui/form_main.h"
#include "ui/number_pattern.h"
#include "ui/value_box_text.h"

namespace dornvel {

namespace {

// A step of the tick that fails (a key missing from the registry, a pending value
// the tag cannot encode) is skipped, and the tick goes on with the next step.
template <class Step>
void Attempt(Step step) {
  try {
    step();
  } catch (const NoSuchTag&) {
  } catch (const RuntimeError&) {
  }
}

}  // namespace

void FormMain::Timer1_Timer() {
  // One tick at a time: a tick that fires while another one waits inside an
  // exchange is skipped, so ticks never nest or pile up.
  if (tickRunning_ || !session_) return;
  // A tool has the line: polling waits for it, and counts nothing meanwhile.
  if (line_->Held()) {
    Panel(4)->setText(QCoreApplication::translate("dornvel::FormMain", "Polling paused while a tool uses the line"));
    return;
  }
  tickRunning_ = true;
  UseAwaitedPortOnceThere();

  StepProgressBar();
  const PollOutcome& poll =
      session_->Poll([this] { return unloaded_ || endTickEarly_; }, [this](std::size_t i) { ShowTag(i); });
  ResetProgressBar();
  ShowPortProblem();
  // A device that answered nothing this tick confirms nothing: not even the
  // slave id and rate read once at the start.
  if (!poll.deviceAnswered) {
    for (QLineEdit* box : valueBoxes_) SetBackground(box, true);
  }

  tickRunning_ = false;
  endTickEarly_ = false;
  // The window closed during this tick: the tags are no longer in use.
  if (unloaded_) session_.reset();
  emit tickFinished();
}

Reading FormMain::LastReading() const {
  const WallTime now = std::chrono::system_clock::now();
  if (session_) return session_->LastReading(now);
  Reading nothing;
  nothing.time = now;
  return nothing;
}

namespace {

// QProgressBar repaints at once on every change of its value; with updates held
// back, the bar is painted once, on the next pass of the event loop, with the
// value it has then.
class DeferredPaint {
 public:
  explicit DeferredPaint(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
  ~DeferredPaint() { widget_->setUpdatesEnabled(true); }
  DeferredPaint(const DeferredPaint&) = delete;
  DeferredPaint& operator=(const DeferredPaint&) = delete;

 private:
  QWidget* widget_;
};

}  // namespace

// One step per control of the window; the bar refuses values above the number
// of tags, so it stands full while the tags are polled.
void FormMain::StepProgressBar() {
  DeferredPaint once(progressBar1_);
  progressBar1_->setMinimum(0);
  progressBar1_->setMaximum(Tags()->Count());
  const int controlCount = static_cast<int>(controls_.size());
  for (int counter = 1; counter <= controlCount; ++counter) progressBar1_->setValue(counter);
}

void FormMain::ResetProgressBar() {
  DeferredPaint once(progressBar1_);
  progressBar1_->setValue(0);
}

void FormMain::ShowTag(std::size_t index) {
  const std::string key = kMeterTags[index].key;
  QLineEdit* box = valueBoxes_[index];
  Attempt([&] {
    ShowValueText(*box, QString::fromStdString(FormatWithPattern(Tags()->Item(key).Data(), kValueBoxes[index].digits)));
  });
  bool unconfirmed = false;
  Attempt([&] {
    const MBData& refreshed = Tags()->Item(key);
    const std::optional<double> number = refreshed.Data().Number();
    unconfirmed = refreshed.LastError != 0 || !refreshed.LastExchangeAnswered() || (number && !std::isfinite(*number));
  });
  SetBackground(box, unconfirmed);
}

// The normal background is the palette's for text entry; the error background
// the palette's grey of disabled text.
void FormMain::SetBackground(QLineEdit* box, bool unconfirmed) {
  QPalette boxPalette = box->palette();
  boxPalette.setColor(QPalette::Base, unconfirmed ? palette().color(QPalette::Disabled, QPalette::Text)
                                                  : palette().color(QPalette::Active, QPalette::Base));
  // The box keeps its palette as it is when the colour is already the one set
  // (as it is at nearly every tick), without resolving the palette anew first.
  if (boxPalette == box->palette() && boxPalette.resolveMask() == box->palette().resolveMask()) return;
  box->setPalette(boxPalette);
}

}  // namespace dornvel
