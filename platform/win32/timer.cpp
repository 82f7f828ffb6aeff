// Window timers: the user32 calls, without a timer procedure.
#include "platform/win32/win32.h"

namespace plat {

uintptr_t SetTimer(HWND hWnd, uintptr_t nIDEvent, uint32_t uElapse) {
  return ::SetTimer(win32::nativeWindow(hWnd), nIDEvent, uElapse, nullptr);
}

BOOL KillTimer(HWND hWnd, uintptr_t uIDEvent) {
  return ::KillTimer(win32::nativeWindow(hWnd), uIDEvent);
}

}  // namespace plat
