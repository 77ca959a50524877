#pragma once

#include <string>

namespace dornvel {

// What a tag may reach of the window that hosts its serial control: the port-busy
// flag and two status panels (3: error count, 4: last message).
class HostWindow {
 public:
  virtual ~HostWindow() = default;
  virtual bool CommBusy() const = 0;
  virtual std::string ErrorCountText() const = 0;
  virtual void SetErrorCountText(const std::string& text) = 0;
  virtual void SetMessageText(const std::string& text) = 0;
};

}  // namespace dornvel
