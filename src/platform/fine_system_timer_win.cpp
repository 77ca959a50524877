#include <windows.h>
// after windows.h
#include <mmsystem.h>

#include "platform/fine_system_timer.h"

namespace dornvel {

FineSystemTimer::FineSystemTimer() { ::timeBeginPeriod(1); }
FineSystemTimer::~FineSystemTimer() { ::timeEndPeriod(1); }

}  // namespace dornvel
