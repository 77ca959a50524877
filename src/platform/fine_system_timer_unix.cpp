#include "platform/fine_system_timer.h"

namespace dornvel {

FineSystemTimer::FineSystemTimer() = default;
FineSystemTimer::~FineSystemTimer() = default;

}  // namespace dornvel
