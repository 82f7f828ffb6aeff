// The handset shell's services for full-screen dialogs, on a desktop. The
// input panel, the Done button and the shell's activation handling have
// nothing on a desktop to act on, so each call is recorded in the registry
// (HKEY_CURRENT_USER\Software\Vantorel Stand-ins\Shell), where a test in
// another process reads it; SHFullScreen also brings the window over the
// whole desktop. docs/shell-standin.md describes the values.
#include <cwchar>
#include <string>

#include "platform/win32/win32.h"

namespace {

constexpr wchar_t kShellKey[] = L"Software\\Vantorel Stand-ins\\Shell";

// A window handle as the REG_DWORD it is recorded as: window handles are
// 32-bit values even in 64-bit processes, so that processes of either kind
// can share them.
DWORD handleValue(plat::HWND window) {
  return static_cast<DWORD>(reinterpret_cast<uintptr_t>(window));
}

void setDword(::HKEY key, const wchar_t* name, DWORD value) {
  ::RegSetValueExW(key, name, 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The call's subkey gets the window and state of this call; "Calls" counts
// up last, so a reader that sees the count change sees this call's values.
void record(const wchar_t* call, plat::HWND window, DWORD state) {
  const std::wstring path = std::wstring(kShellKey) + L"\\" + call;
  ::HKEY key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
    return;
  DWORD calls = 0;
  DWORD size = sizeof calls;
  DWORD type = 0;
  if (::RegQueryValueExW(key, L"Calls", nullptr, &type,
                         reinterpret_cast<BYTE*>(&calls),
                         &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof calls)
    calls = 0;
  setDword(key, L"Window", handleValue(window));
  setDword(key, L"State", state);
  setDword(key, L"Calls", calls + 1);
  ::RegCloseKey(key);
}

void setInputPanel(bool up) {
  const wchar_t* text = up ? L"up" : L"down";
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kShellKey, L"InputPanel", REG_SZ, text,
                    static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

bool isWindow(plat::HWND window) {
  return ::IsWindow(win32::nativeWindow(window)) != FALSE;
}

// The handset hides its taskbar so that the window covers the screen; a
// desktop keeps its taskbar, so the window goes over it instead. Later moves
// and sizes by the program are left as they are.
BOOL coverDesktop(plat::HWND window) {
  return ::SetWindowPos(win32::nativeWindow(window), HWND_TOPMOST, 0, 0,
                        ::GetSystemMetrics(SM_CXSCREEN),
                        ::GetSystemMetrics(SM_CYSCREEN),
                        SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

namespace plat {

BOOL SHInitDialog(SHINITDLGINFO* pshidi) {
  if (pshidi == nullptr || !isWindow(pshidi->hDlg)) return FALSE;
  const uint32_t flags =
      (pshidi->dwMask & SHIDIM_FLAGS) != 0 ? pshidi->dwFlags : 0;
  if ((flags & SHIDIF_SIPDOWN) != 0) setInputPanel(false);
  record(L"SHInitDialog", pshidi->hDlg, flags);
  return TRUE;
}

BOOL SHDoneButton(HWND hwndRequester, uint32_t dwState) {
  if (!isWindow(hwndRequester)) return FALSE;
  record(L"SHDoneButton", hwndRequester, dwState);
  return TRUE;
}

BOOL SHFullScreen(HWND hwndRequester, uint32_t dwState) {
  if (!isWindow(hwndRequester)) return FALSE;
  const BOOL ok =
      (dwState & SHFS_HIDETASKBAR) != 0 ? coverDesktop(hwndRequester) : TRUE;
  record(L"SHFullScreen", hwndRequester, dwState);
  return ok;
}

BOOL SHSipPreference(HWND hwnd, SIPSTATE st) {
  if (!isWindow(hwnd)) return FALSE;
  const bool known = st == SIP_UP || st == SIP_DOWN;
  if (known) setInputPanel(st == SIP_UP);
  record(L"SHSipPreference", hwnd, static_cast<DWORD>(st));
  return known ? TRUE : FALSE;
}

// The handset shell keeps the input panel with the window that is active
// and refits full-screen windows when the display changes; a desktop has
// neither to do, so these two only record that they were asked.
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM /*lParam*/,
                        SHACTIVATEINFO* /*psai*/, uint32_t /*dwFlags*/) {
  record(L"SHHandleWMActivate", hwnd, static_cast<DWORD>(wParam));
  return TRUE;
}

BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM /*lParam*/,
                             SHACTIVATEINFO* /*psai*/) {
  record(L"SHHandleWMSettingChange", hwnd, static_cast<DWORD>(wParam));
  return TRUE;
}

}  // namespace plat
