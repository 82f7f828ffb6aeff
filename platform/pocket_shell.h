// The handset shell's services for full-screen dialogs: the input panel,
// the Done button, the taskbar, activation handling, special folders and
// shortcuts.
#pragma once

#include "platform/types.h"
#include "platform/window.h"

namespace plat {

constexpr uint32_t SHIDIM_FLAGS = 1;
constexpr uint32_t SHIDIF_SIPDOWN = 8;
constexpr uint32_t SHDB_HIDE = 2;
constexpr uint32_t SHFS_HIDETASKBAR = 2;
constexpr uint32_t SHFS_HIDESIPBUTTON = 8;
constexpr uint32_t SHFS_HIDESTARTICON = 32;
constexpr int32_t CSIDL_STARTUP = 7;

enum SIPSTATE : int32_t { SIP_UP = 0, SIP_DOWN = 1 };

struct SHINITDLGINFO {
  uint32_t dwMask;
  HWND hDlg;
  uint32_t dwFlags;
};

// The handset's record: 12 bytes there.
struct SHACTIVATEINFO {
  uint32_t cbSize;
  HWND hwndLastFocus;
  uint32_t fSipUp : 1;
  uint32_t fSipOnDeactivation : 1;
  uint32_t fActive : 1;
  uint32_t fReserved : 29;
};
constexpr uint32_t kShActivateInfoSize = 12;

BOOL SHInitDialog(SHINITDLGINFO* pshidi);
BOOL SHDoneButton(HWND hwndRequester, uint32_t dwState);
BOOL SHFullScreen(HWND hwndRequester, uint32_t dwState);
BOOL SHSipPreference(HWND hwnd, SIPSTATE st);
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam,
                        SHACTIVATEINFO* psai, uint32_t dwFlags);
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam,
                             SHACTIVATEINFO* psai);
// The folder's path into a buffer of at least 260 units.
BOOL SHGetSpecialFolderPath(HWND hwndOwner, char16_t* lpszPath,
                            int32_t nFolder, BOOL fCreate);
BOOL SHCreateShortcut(const char16_t* szShortcut, const char16_t* szTarget);

}  // namespace plat
