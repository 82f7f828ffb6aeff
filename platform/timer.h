// Window timers. An expiry arrives as WM_TIMER at the window procedure of the
// window that owns the timer, on that window's thread.
#pragma once

#include "platform/types.h"

namespace plat {

constexpr uint32_t WM_TIMER = 0x0113;

// Arms the timer, or restarts its countdown when it is already armed. The
// program never uses a timer procedure, so there is no parameter for one.
uintptr_t SetTimer(HWND hWnd, uintptr_t nIDEvent, uint32_t uElapse);
// Stops the timer; harmless when it is not armed.
BOOL KillTimer(HWND hWnd, uintptr_t uIDEvent);

}  // namespace plat
