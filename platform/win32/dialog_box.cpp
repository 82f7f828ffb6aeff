// Modal dialogs from templates and their controls: the user32 and kernel32
// calls. MessageBoxW is in dialogs.cpp.
#include "platform/win32/callbacks.h"
#include "platform/win32/win32.h"

namespace plat {

HRSRC FindResourceW(HINSTANCE hModule, const char16_t* lpName,
                    const char16_t* lpType) {
  return reinterpret_cast<HRSRC>(
      ::FindResourceW(reinterpret_cast<::HMODULE>(hModule),
                      win32::wide(lpName), win32::wide(lpType)));
}

HGLOBAL LoadResource(HINSTANCE hModule, HRSRC hResInfo) {
  return reinterpret_cast<HGLOBAL>(
      ::LoadResource(reinterpret_cast<::HMODULE>(hModule),
                     reinterpret_cast<::HRSRC>(hResInfo)));
}

intptr_t DialogBoxIndirectParamW(HINSTANCE hInstance, HGLOBAL hDialogTemplate,
                                 HWND hWndParent, DLGPROC lpDialogFunc,
                                 LPARAM dwInitParam) {
  // The handset takes what LoadResource gave as the template itself; here
  // LockResource turns it into the template's address (which Win32 makes
  // the same value).
  const void* dialogTemplate =
      ::LockResource(reinterpret_cast<::HGLOBAL>(hDialogTemplate));
  if (dialogTemplate == nullptr) return -1;
  return ::DialogBoxIndirectParamW(
      reinterpret_cast<::HINSTANCE>(hInstance),
      static_cast<const ::DLGTEMPLATE*>(dialogTemplate),
      win32::nativeWindow(hWndParent), win32::nativeDlgProc(lpDialogFunc),
      dwInitParam);
}

BOOL EndDialog(HWND hDlg, intptr_t nResult) {
  return ::EndDialog(win32::nativeWindow(hDlg), nResult);
}

HWND GetDlgItem(HWND hDlg, int32_t nIDDlgItem) {
  return reinterpret_cast<HWND>(
      ::GetDlgItem(win32::nativeWindow(hDlg), nIDDlgItem));
}

int32_t GetDlgCtrlID(HWND hWnd) {
  return ::GetDlgCtrlID(win32::nativeWindow(hWnd));
}

BOOL SetWindowTextW(HWND hWnd, const char16_t* lpString) {
  return ::SetWindowTextW(win32::nativeWindow(hWnd), win32::wide(lpString));
}

int32_t GetWindowTextW(HWND hWnd, char16_t* lpString, int32_t nMaxCount) {
  return ::GetWindowTextW(win32::nativeWindow(hWnd),
                          reinterpret_cast<wchar_t*>(lpString), nMaxCount);
}

HWND SetFocus(HWND hWnd) {
  return reinterpret_cast<HWND>(::SetFocus(win32::nativeWindow(hWnd)));
}

}  // namespace plat
