// Helpers of the tests that drive windows, dialogs and the shell stand-in
// through plat's functions. Like plat_support.h it keeps <windows.h> out of
// those tests, whose plat names (WM_CREATE, MAX_PATH, ...) its macros would
// replace, and it reads back through Win32 itself what plat's calls did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/window.h"

namespace window_support {

// Whether this Wine session can show windows; false, with what to do, when
// there is no X display.
bool displayReady(std::string* why);

plat::HINSTANCE thisModule();

// What WM_CREATE's lParam (a CREATESTRUCTW) carries.
struct Creation {
  std::u16string className;
  std::u16string title;
  void* param = nullptr;
};
Creation creationOf(plat::LPARAM lParam);

struct Rect {
  int32_t x, y, width, height;
};
Rect windowRect(plat::HWND window);
bool isVisible(plat::HWND window);
bool isTopmost(plat::HWND window);
std::u16string classNameOf(plat::HWND window);

// What the window's class was registered with.
struct ClassInfo {
  uint32_t style;
  int32_t windowExtra;
  void* icon;
  void* background;
  plat::HINSTANCE instance;
};
ClassInfo classInfoOf(plat::HWND window);

bool postMessage(plat::HWND window, uint32_t message, plat::WPARAM wParam,
                 plat::LPARAM lParam);
// The Ctrl key as this thread's keyboard state has it, which is what
// accelerators look at.
void setControlKey(bool down);
constexpr uint32_t kWmChar = 0x0102;
constexpr uint32_t kWmQuit = 0x0012;

// What GetObjectW reads back of a font or a brush.
bool fontOf(plat::HFONT font, plat::LOGFONTW* out);
bool brushColour(plat::HBRUSH brush, plat::COLORREF* out);

// An in-memory DLGTEMPLATE of 150x100 units with, in this order: a push
// button, an auto check box, a static text and an edit box, with these ids.
constexpr int32_t kOkButton = 1;
constexpr int32_t kCheckBox = 10;
constexpr int32_t kLabel = 11;
constexpr int32_t kEditBox = 12;
std::vector<uint16_t> testDialogTemplate();

// The thread's exit code once it has ended; false when it does not end in
// time.
bool waitForThread(void* thread, uint32_t* exitCode);

}  // namespace window_support
