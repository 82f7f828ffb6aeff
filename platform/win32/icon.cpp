// Icons from the program's resources: the user32 calls.
#include "platform/win32/win32.h"

namespace plat {

HICON LoadIconW(HINSTANCE hInstance, const char16_t* lpIconName) {
  return reinterpret_cast<HICON>(
      ::LoadIconW(reinterpret_cast<::HINSTANCE>(hInstance),
                  win32::wide(lpIconName)));
}

void* LoadImageW(HINSTANCE hInst, const char16_t* name, uint32_t type,
                 int32_t cx, int32_t cy, uint32_t fuLoad) {
  return ::LoadImageW(reinterpret_cast<::HINSTANCE>(hInst), win32::wide(name),
                      type, cx, cy, fuLoad);
}

BOOL DestroyIcon(HICON hIcon) {
  return ::DestroyIcon(reinterpret_cast<::HICON>(hIcon));
}

}  // namespace plat
