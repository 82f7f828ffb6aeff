// The taskbar tray.
#pragma once

#include "platform/types.h"
#include "platform/window.h"

namespace plat {

constexpr uint32_t NIM_ADD = 0;
constexpr uint32_t NIM_MODIFY = 1;
constexpr uint32_t NIM_DELETE = 2;
constexpr uint32_t NIF_MESSAGE = 1;
constexpr uint32_t NIF_ICON = 2;
constexpr uint32_t NIF_TIP = 4;

// The handset's record: 152 bytes there, with a tip of 64 units.
struct NOTIFYICONDATAW {
  uint32_t cbSize;
  HWND hWnd;
  uint32_t uID;
  uint32_t uFlags;
  uint32_t uCallbackMessage;
  HICON hIcon;
  char16_t szTip[64];
};
constexpr uint32_t kNotifyIconDataSize = 152;

BOOL Shell_NotifyIconW(uint32_t dwMessage, NOTIFYICONDATAW* lpdata);

}  // namespace plat
