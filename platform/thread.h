// Threads and the one lock of the process.
#pragma once

#include "platform/types.h"

namespace plat {

void Sleep(uint32_t dwMilliseconds);

// The process has exactly one lock: it guards the per-call state and the
// reply sender against the radio thread and the main thread at once.
void EnterCallLock();
void LeaveCallLock();

}  // namespace plat
