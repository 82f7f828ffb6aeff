// The handset shell's services: the input panel, full-screen flags and the
// Done button per window, activation handling, the startup folder and
// shortcuts (files of the in-memory file system).
#include "platform/pocket_shell.h"

#include <cstring>
#include <map>
#include <mutex>

#include "platform/fake/files.h"
#include "platform/fake/ui_internal.h"

namespace fake {
namespace {

constexpr uint32_t SHIDIF_DONEBUTTON = 1;
constexpr uint32_t SHDB_SHOW = 1;
constexpr uint32_t kHideFlags[] = {
    plat::SHFS_HIDETASKBAR, plat::SHFS_HIDESIPBUTTON, plat::SHFS_HIDESTARTICON};

bool sipUp = false;
std::map<plat::HWND, uint32_t> fullScreen;
std::map<plat::HWND, uint32_t> doneButton;

void putActivateInfo(Call* c, size_t at, const plat::SHACTIVATEINFO* info) {
  if (c == nullptr || info == nullptr) return;
  c->args[at] = info->cbSize;
  c->args[at + 1] = reinterpret_cast<uintptr_t>(info->hwndLastFocus);
  c->args[at + 2] = info->fSipUp;
  c->args[at + 3] = info->fSipOnDeactivation;
  c->args[at + 4] = info->fActive;
  copyBytes(c, info, sizeof *info);
}

bool validActivateInfo(const plat::SHACTIVATEINFO* info) {
  return info != nullptr && info->cbSize == plat::kShActivateInfoSize;
}

// The file's bytes: `#"<target>"` in UTF-8.
std::vector<uint8_t> shortcutBytes(const std::u16string& target) {
  std::vector<uint8_t> out = {'#', '"'};
  for (size_t i = 0; i < target.size(); ++i) {
    uint32_t u = target[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < target.size() &&
        target[i + 1] >= 0xDC00 && target[i + 1] < 0xE000)
      u = 0x10000 + ((u - 0xD800) << 10) + (target[++i] - 0xDC00);
    if (u < 0x80) {
      out.push_back(static_cast<uint8_t>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<uint8_t>(0xC0 | (u >> 6)));
      out.push_back(static_cast<uint8_t>(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
      out.push_back(static_cast<uint8_t>(0xE0 | (u >> 12)));
      out.push_back(static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<uint8_t>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<uint8_t>(0xF0 | (u >> 18)));
      out.push_back(static_cast<uint8_t>(0x80 | ((u >> 12) & 0x3F)));
      out.push_back(static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<uint8_t>(0x80 | (u & 0x3F)));
    }
  }
  out.push_back('"');
  return out;
}

}  // namespace

void resetShell() {
  sipUp = false;
  fullScreen.clear();
  doneButton.clear();
}

bool inputPanelUp() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return sipUp;
}

void setInputPanelUp(bool up) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  sipUp = up;
}

uint32_t fullScreenFlags(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  auto it = fullScreen.find(window);
  return it != fullScreen.end() ? it->second : 0;
}

uint32_t doneButtonState(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  auto it = doneButton.find(window);
  return it != doneButton.end() ? it->second : 0;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

BOOL SHInitDialog(SHINITDLGINFO* pshidi) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SHInitDialog)) {
    c->args[0] = asArg(pshidi);
    if (pshidi != nullptr) {
      c->args[1] = pshidi->dwMask;
      c->args[2] = asArg(pshidi->hDlg);
      c->args[3] = pshidi->dwFlags;
      fake::copyBytes(c, pshidi, sizeof *pshidi);
    }
  }
  if (fake::shouldFail(Op::SHInitDialog) || pshidi == nullptr ||
      fake::liveWindow(pshidi->hDlg) == nullptr)
    return 0;
  if ((pshidi->dwMask & SHIDIM_FLAGS) != 0) {
    if ((pshidi->dwFlags & SHIDIF_SIPDOWN) != 0) fake::sipUp = false;
    if ((pshidi->dwFlags & fake::SHIDIF_DONEBUTTON) != 0)
      fake::doneButton[pshidi->hDlg] = fake::SHDB_SHOW;
  }
  return 1;
}

BOOL SHDoneButton(HWND hwndRequester, uint32_t dwState) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SHDoneButton)) {
    c->args[0] = asArg(hwndRequester);
    c->args[1] = dwState;
  }
  if (fake::shouldFail(Op::SHDoneButton) ||
      fake::liveWindow(hwndRequester) == nullptr)
    return 0;
  fake::doneButton[hwndRequester] = dwState;
  return 1;
}

// Each SHFS_SHOW... flag is the bit below its SHFS_HIDE... flag.
BOOL SHFullScreen(HWND hwndRequester, uint32_t dwState) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SHFullScreen)) {
    c->args[0] = asArg(hwndRequester);
    c->args[1] = dwState;
  }
  if (fake::shouldFail(Op::SHFullScreen) ||
      fake::liveWindow(hwndRequester) == nullptr)
    return 0;
  uint32_t& flags = fake::fullScreen[hwndRequester];
  for (uint32_t hide : fake::kHideFlags) {
    if ((dwState & hide) != 0) flags |= hide;
    if ((dwState & (hide >> 1)) != 0) flags &= ~hide;
  }
  return 1;
}

BOOL SHSipPreference(HWND hwnd, SIPSTATE st) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SHSipPreference)) {
    c->args[0] = asArg(hwnd);
    c->args[1] = asArg(static_cast<int32_t>(st));
  }
  if (fake::shouldFail(Op::SHSipPreference) || (st != SIP_UP && st != SIP_DOWN))
    return 0;
  fake::sipUp = st == SIP_UP;
  return 1;
}

// Both want the program's record with its size set; anything else is
// refused, which on the device would be undefined.
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam,
                        SHACTIVATEINFO* psai, uint32_t dwFlags) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  fake::Call* c = fake::record(Op::SHHandleWMActivate);
  if (c != nullptr) {
    c->args[0] = asArg(hwnd);
    c->args[1] = wParam;
    c->args[2] = asArg(lParam);
    c->args[3] = asArg(psai);
    c->args[4] = dwFlags;
  }
  fake::putActivateInfo(c, 5, psai);
  if (fake::shouldFail(Op::SHHandleWMActivate)) return 0;
  return fake::validActivateInfo(psai) ? 1 : 0;
}

BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam,
                             SHACTIVATEINFO* psai) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  fake::Call* c = fake::record(Op::SHHandleWMSettingChange);
  if (c != nullptr) {
    c->args[0] = asArg(hwnd);
    c->args[1] = wParam;
    c->args[2] = asArg(lParam);
    c->args[3] = asArg(psai);
  }
  fake::putActivateInfo(c, 4, psai);
  if (fake::shouldFail(Op::SHHandleWMSettingChange)) return 0;
  return fake::validActivateInfo(psai) ? 1 : 0;
}

BOOL SHGetSpecialFolderPath(HWND hwndOwner, char16_t* lpszPath, int32_t nFolder,
                            BOOL fCreate) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SHGetSpecialFolderPath)) {
    c->args[0] = asArg(hwndOwner);
    c->args[1] = asArg(lpszPath);
    c->args[2] = asArg(nFolder);
    c->args[3] = asArg(fCreate);
  }
  if (fake::shouldFail(Op::SHGetSpecialFolderPath) || lpszPath == nullptr ||
      nFolder != CSIDL_STARTUP)
    return 0;
  fake::copyUnits(lpszPath, 260, fake::kStartupFolder);
  return 1;
}

// Writes over a shortcut that is already there.
BOOL SHCreateShortcut(const char16_t* szShortcut, const char16_t* szTarget) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::SHCreateShortcut)) {
      c->args[0] = asArg(szShortcut);
      c->args[1] = asArg(szTarget);
      fake::copyUnits(c->text, 256, szShortcut);
      fake::copyUnits(c->text2, 128, szTarget);
    }
    if (fake::shouldFail(Op::SHCreateShortcut) || szShortcut == nullptr ||
        szShortcut[0] == 0 || szTarget == nullptr)
      return 0;
  }
  fake::setFile(szShortcut, fake::shortcutBytes(szTarget));
  return 1;
}

}  // namespace plat
