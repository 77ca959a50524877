#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace dornvel {

// Makes a widget that is no button report clicks: a left-button press and release
// over it, as the value boxes that open an input box need. The widget keeps its
// own handling of the mouse.
class ClickFilter : public QObject {
 public:
  // Installs itself on `target`, which owns it.
  ClickFilter(QWidget* target, std::function<void()> onClick);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* target_;
  std::function<void()> onClick_;
  bool pressed_ = false;
};

}  // namespace dornvel
