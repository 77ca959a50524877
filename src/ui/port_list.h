#pragma once

#include <QComboBox>
#include <functional>

namespace dornvel {

// The port list, which brings itself up to date each time it is opened, so that
// an adapter plugged in after start-up can be chosen.
class PortList : public QComboBox {
 public:
  using QComboBox::QComboBox;

  void SetBeforeOpening(std::function<void()> refresh) { beforeOpening_ = std::move(refresh); }
  void showPopup() override;

 private:
  std::function<void()> beforeOpening_;
};

}  // namespace dornvel
