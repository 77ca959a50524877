#include "ui/port_list.h"

namespace dornvel {

void PortList::showPopup() {
  if (beforeOpening_) beforeOpening_();
  QComboBox::showPopup();
}

}  // namespace dornvel
