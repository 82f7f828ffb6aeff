// The tray icon: the shell32 call. The handset's record is shorter than
// the desktop's and laid out differently, so its fields go into a real
// NOTIFYICONDATAW of the desktop's size; the handset's cbSize is not
// looked at.
#include "platform/win32/win32.h"

#include <shellapi.h>

namespace plat {

BOOL Shell_NotifyIconW(uint32_t dwMessage, NOTIFYICONDATAW* lpdata) {
  if (lpdata == nullptr) return FALSE;
  ::NOTIFYICONDATAW native{};
  native.cbSize = sizeof native;
  native.hWnd = win32::nativeWindow(lpdata->hWnd);
  native.uID = lpdata->uID;
  native.uFlags = lpdata->uFlags;
  native.uCallbackMessage = lpdata->uCallbackMessage;
  native.hIcon = reinterpret_cast<::HICON>(lpdata->hIcon);
  // Up to the handset's 64 units; the desktop's field has room for all of
  // them and the terminator.
  static_assert(sizeof native.szTip / sizeof native.szTip[0] >
                    sizeof lpdata->szTip / sizeof lpdata->szTip[0],
                "the desktop's tip holds the handset's");
  for (size_t i = 0; i < sizeof lpdata->szTip / sizeof lpdata->szTip[0] &&
                     lpdata->szTip[i] != u'\0';
       ++i)
    native.szTip[i] = static_cast<wchar_t>(lpdata->szTip[i]);
  return ::Shell_NotifyIconW(dwMessage, &native);
}

}  // namespace plat
