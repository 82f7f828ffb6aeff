// Message boxes: the user32 call.
#include "platform/win32/win32.h"

namespace plat {

int32_t MessageBoxW(HWND hWnd, const char16_t* lpText,
                    const char16_t* lpCaption, uint32_t uType) {
  return ::MessageBoxW(win32::nativeWindow(hWnd), win32::wide(lpText),
                       win32::wide(lpCaption), uType);
}

}  // namespace plat
