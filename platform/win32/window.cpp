// Windows and their classes: the user32 calls. plat handles hold the Win32
// handles themselves, so they pass by a cast.
#include "platform/win32/callbacks.h"
#include "platform/win32/win32.h"

namespace {

::HINSTANCE nativeInstance(plat::HINSTANCE instance) {
  return reinterpret_cast<::HINSTANCE>(instance);
}

}  // namespace

namespace plat {

HWND FindWindowW(const char16_t* lpClassName, const char16_t* lpWindowName) {
  return reinterpret_cast<HWND>(
      ::FindWindowW(win32::wide(lpClassName), win32::wide(lpWindowName)));
}

uint16_t RegisterClassW(const WNDCLASSW* lpWndClass) {
  if (lpWndClass == nullptr) return 0;
  ::WNDCLASSW native{};
  native.style = lpWndClass->style;
  native.lpfnWndProc = win32::nativeWndProc(lpWndClass->lpfnWndProc);
  native.cbClsExtra = lpWndClass->cbClsExtra;
  native.cbWndExtra = lpWndClass->cbWndExtra;
  native.hInstance = nativeInstance(lpWndClass->hInstance);
  native.hIcon = reinterpret_cast<::HICON>(lpWndClass->hIcon);
  native.hCursor = static_cast<::HCURSOR>(lpWndClass->hCursor);
  native.hbrBackground = reinterpret_cast<::HBRUSH>(lpWndClass->hbrBackground);
  native.lpszMenuName = win32::wide(lpWndClass->lpszMenuName);
  native.lpszClassName = win32::wide(lpWndClass->lpszClassName);
  return ::RegisterClassW(&native);
}

HWND CreateWindowExW(uint32_t dwExStyle, const char16_t* lpClassName,
                     const char16_t* lpWindowName, uint32_t dwStyle, int32_t X,
                     int32_t Y, int32_t nWidth, int32_t nHeight,
                     HWND hWndParent, void* hMenu, HINSTANCE hInstance,
                     void* lpParam) {
  return reinterpret_cast<HWND>(::CreateWindowExW(
      dwExStyle, win32::wide(lpClassName), win32::wide(lpWindowName), dwStyle,
      X, Y, nWidth, nHeight, win32::nativeWindow(hWndParent),
      static_cast<::HMENU>(hMenu), nativeInstance(hInstance), lpParam));
}

BOOL ShowWindow(HWND hWnd, int32_t nCmdShow) {
  return ::ShowWindow(win32::nativeWindow(hWnd), nCmdShow);
}

BOOL UpdateWindow(HWND hWnd) {
  return ::UpdateWindow(win32::nativeWindow(hWnd));
}

static_assert(sizeof(RECT) == sizeof(::RECT), "the same rectangle");

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  return ::InvalidateRect(win32::nativeWindow(hWnd),
                          reinterpret_cast<const ::RECT*>(lpRect), bErase);
}

LRESULT DefWindowProcW(HWND hWnd, uint32_t Msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result =
      ::DefWindowProcW(win32::nativeWindow(hWnd), Msg, wParam, lParam);
  // The handset has no smallest window size; a desktop gives windows with
  // a caption one, and would keep the program's window from going to zero
  // size when it moves to the background.
  if (Msg == WM_GETMINMAXINFO) {
    auto* limits = reinterpret_cast<::MINMAXINFO*>(lParam);
    limits->ptMinTrackSize.x = 0;
    limits->ptMinTrackSize.y = 0;
  }
  return result;
}

BOOL DestroyWindow(HWND hWnd) {
  return ::DestroyWindow(win32::nativeWindow(hWnd));
}

void PostQuitMessage(int32_t nExitCode) { ::PostQuitMessage(nExitCode); }

LRESULT SendMessageW(HWND hWnd, uint32_t Msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(win32::nativeWindow(hWnd), Msg, wParam, lParam);
}

BOOL MoveWindow(HWND hWnd, int32_t X, int32_t Y, int32_t nWidth,
                int32_t nHeight, BOOL bRepaint) {
  return ::MoveWindow(win32::nativeWindow(hWnd), X, Y, nWidth, nHeight,
                      bRepaint);
}

BOOL SetForegroundWindow(HWND hWnd) {
  return ::SetForegroundWindow(win32::nativeWindow(hWnd));
}

int32_t GetSystemMetrics(int32_t nIndex) { return ::GetSystemMetrics(nIndex); }

}  // namespace plat
