#include "ui/click_filter.h"

#include <QMouseEvent>
#include <QWidget>

namespace dornvel {

ClickFilter::ClickFilter(QWidget* target, std::function<void()> onClick)
    : QObject(target), target_(target), onClick_(std::move(onClick)) {
  target->installEventFilter(this);
}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != target_) return false;
  if (event->type() == QEvent::MouseButtonPress) {
    pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  } else if (event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    // Released elsewhere is no click, as with a button.
    const bool click =
        pressed_ && mouse->button() == Qt::LeftButton && target_->rect().contains(mouse->position().toPoint());
    pressed_ = false;
    if (click) onClick_();
  }
  return false;
}

}  // namespace dornvel
