#include "tests/e2e/tray_icons.h"

#include <commctrl.h>

namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr size_t kTextUnits = 1024;  // a tip is at most 128 units

struct TooltipSearch {
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK collectTooltip(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TooltipSearch*>(param);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 &&
      GetWindow(window, GW_OWNER) == search->owner)
    search->found.push_back(window);
  return TRUE;
}

bool ask(HWND tooltip, UINT message, WPARAM wParam, LPARAM lParam,
         DWORD_PTR* result) {
  return SendMessageTimeoutW(tooltip, message, wParam, lParam, SMTO_BLOCK,
                             kSendTimeoutMs, result) != 0;
}

// Each tool's record and text are copied into memory of the tooltip's own
// process, so both live there for the time of the request. A tool with an
// empty rectangle belongs to an icon that is no longer shown.
bool readShownTips(HWND tooltip, std::vector<std::wstring>* tips) {
  DWORD_PTR count = 0;
  if (!ask(tooltip, TTM_GETTOOLCOUNT, 0, 0, &count)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(tooltip, &pid);
  HANDLE process = OpenProcess(
      PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  const SIZE_T bytes = sizeof(TTTOOLINFOW) + kTextUnits * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(
      process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  bool ok = remote != nullptr;
  auto* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
  for (DWORD_PTR i = 0; ok && i < count; ++i) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.lpszText = remoteText;
    const wchar_t empty = 0;
    DWORD_PTR found = 0;
    wchar_t text[kTextUnits] = {};
    ok = WriteProcessMemory(process, remote, &info, sizeof info, nullptr) &&
         WriteProcessMemory(process, remoteText, &empty, sizeof empty,
                            nullptr) &&
         ask(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote),
             &found) &&
         found != 0 &&
         ReadProcessMemory(process, remote, &info, sizeof info, nullptr) &&
         ReadProcessMemory(process, remoteText, text,
                           (kTextUnits - 1) * sizeof(wchar_t), nullptr);
    if (ok && !IsRectEmpty(&info.rect)) tips->push_back(text);
  }
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return ok;
}

}  // namespace

HWND findTaskbar() { return FindWindowW(L"Shell_TrayWnd", nullptr); }

bool readTrayTips(HWND taskbar, std::vector<std::wstring>* tips) {
  TooltipSearch search{taskbar, {}};
  EnumWindows(collectTooltip, reinterpret_cast<LPARAM>(&search));
  for (HWND tooltip : search.found)
    if (!readShownTips(tooltip, tips)) return false;
  return true;
}
