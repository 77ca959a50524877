#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <cmath>

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
  if (tickRunning_ || !tags_) return;
  tickRunning_ = true;
  tick_ = TickOutcome{};
  UseAwaitedPortOnceThere();
  const std::uint64_t answeredBefore = AnsweredExchanges();

  StepProgressBar();
  for (std::size_t i = 0; i < kDeviceTags.size() && !unloaded_ && !endTickEarly_; ++i) {
    ShowTag(kDeviceTags[i], valueBoxes_[i]);
    tick_.refreshed[i] = true;
  }
  ResetProgressBar();
  ShowPortProblem();
  // A device that answered nothing this tick confirms nothing: not even the
  // slave id and rate read once at the start.
  tick_.deviceAnswered = tags_ && AnsweredExchanges() != answeredBefore;
  if (!tick_.deviceAnswered) {
    for (QLineEdit* box : valueBoxes_) SetBackground(box, true);
  }

  lastTick_ = tick_;
  tickRunning_ = false;
  endTickEarly_ = false;
  // The window closed during this tick: the tags are no longer in use.
  if (unloaded_) tags_.reset();
  emit tickFinished();
}

std::uint64_t FormMain::AnsweredExchanges() const {
  std::uint64_t answered = 0;
  for (const MBData& tag : *tags_) answered += tag.AnsweredExchanges();
  return answered;
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
  progressBar1_->setMaximum(tags_->Count());
  const int controlCount = static_cast<int>(controls_.size());
  for (int counter = 1; counter <= controlCount; ++counter) progressBar1_->setValue(counter);
}

void FormMain::ResetProgressBar() {
  DeferredPaint once(progressBar1_);
  progressBar1_->setValue(0);
}

void FormMain::ShowTag(const DeviceTag& tag, QLineEdit* box) {
  const std::string key = tag.key;
  Attempt([&] { tags_->Item(key).Refresh(); });
  Attempt([&] { ShowValueText(*box, QString::fromStdString(FormatWithPattern(tags_->Item(key).Data(), tag.digits))); });
  bool unconfirmed = false;
  Attempt([&] {
    const MBData& refreshed = tags_->Item(key);
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
