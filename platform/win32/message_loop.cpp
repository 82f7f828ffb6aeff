// The message loop and accelerators: the user32 calls. plat::MSG has the
// fields of a Win32 MSG but not its layout, so each call copies the fields
// across.
#include "platform/win32/win32.h"

namespace {

::MSG toNative(const plat::MSG& msg) {
  ::MSG native{};
  native.hwnd = win32::nativeWindow(msg.hwnd);
  native.message = msg.message;
  native.wParam = msg.wParam;
  native.lParam = msg.lParam;
  native.time = msg.time;
  native.pt.x = msg.pt.x;
  native.pt.y = msg.pt.y;
  return native;
}

void fromNative(const ::MSG& native, plat::MSG* msg) {
  msg->hwnd = reinterpret_cast<plat::HWND>(native.hwnd);
  msg->message = native.message;
  msg->wParam = native.wParam;
  msg->lParam = native.lParam;
  msg->time = native.time;
  msg->pt.x = native.pt.x;
  msg->pt.y = native.pt.y;
}

}  // namespace

namespace plat {

BOOL GetMessageW(MSG* lpMsg, HWND hWnd, uint32_t wMsgFilterMin,
                 uint32_t wMsgFilterMax) {
  if (lpMsg == nullptr) return -1;
  ::MSG native{};
  const BOOL result = ::GetMessageW(&native, win32::nativeWindow(hWnd),
                                    wMsgFilterMin, wMsgFilterMax);
  if (result != -1) fromNative(native, lpMsg);
  return result;
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (lpMsg == nullptr) return FALSE;
  const ::MSG native = toNative(*lpMsg);
  return ::TranslateMessage(&native);
}

LRESULT DispatchMessageW(const MSG* lpMsg) {
  if (lpMsg == nullptr) return 0;
  const ::MSG native = toNative(*lpMsg);
  return ::DispatchMessageW(&native);
}

HACCEL LoadAcceleratorsW(HINSTANCE hInstance, const char16_t* lpTableName) {
  return reinterpret_cast<HACCEL>(
      ::LoadAcceleratorsW(reinterpret_cast<::HINSTANCE>(hInstance),
                          win32::wide(lpTableName)));
}

int32_t TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, MSG* lpMsg) {
  if (lpMsg == nullptr) return 0;
  ::MSG native = toNative(*lpMsg);
  return ::TranslateAcceleratorW(win32::nativeWindow(hWnd),
                                 reinterpret_cast<::HACCEL>(hAccTable),
                                 &native);
}

}  // namespace plat
