// Threads and the one lock of the process.
#pragma once

#include <cstddef>

#include "platform/types.h"

namespace plat {

using LPTHREAD_START_ROUTINE = uint32_t (*)(void* lpThreadParameter);

// Starts a thread at once (the program passes no security attributes, the
// default stack size and no creation flags); null when it cannot.
HANDLE CreateThread(const void* lpThreadAttributes, size_t dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, void* lpParameter,
                    uint32_t dwCreationFlags, uint32_t* lpThreadId);

void Sleep(uint32_t dwMilliseconds);

// The process has exactly one lock: it guards the per-call state and the
// reply sender against the radio thread and the main thread at once.
void EnterCallLock();
void LeaveCallLock();

}  // namespace plat
