#include "platform/open_failure_log.h"

namespace dornvel {

void OpenFailureLog::Failed(const std::string& port, const std::string& reason) {
  auto [entry, isNew] = reported_.try_emplace(port, reason);
  if (!isNew && entry->second == reason) return;
  entry->second = reason;
  out_ << "dornvel: cannot open " << port << ": " << reason << std::endl;
}

void OpenFailureLog::Opened(const std::string& port) { reported_.erase(port); }

}  // namespace dornvel
