// The process: single instance, the main window and its message loop, the
// tray icon, the watcher's start, the background and the end.
#pragma once

#include <cstdint>

#include "platform/pocket_shell.h"
#include "platform/tray.h"
#include "platform/types.h"
#include "platform/window.h"
#include "resources/resource_ids.h"

constexpr char16_t kMainWindowClass[] = u"CLD_QRL";
constexpr char16_t kMainWindowTitle[] = u"Zerv: Vantorel";
constexpr char16_t kDesktopWindowClass[] = u"DesktopExplorerWindow";
constexpr uint32_t kTrayIconId = 1;
constexpr uint32_t WM_TRAYNOTIFY = plat::WM_USER + 101;

extern plat::HICON trayIcon;
extern plat::SHACTIVATEINFO activationInfo;

// The portable start of the program; returns the exit code.
int32_t appMain(plat::HINSTANCE instance, int32_t showCommand);

plat::LRESULT mainWindowProc(plat::HWND window, uint32_t message,
                             plat::WPARAM wParam, plat::LPARAM lParam);

void notifyTray(plat::HWND window, uint32_t action, uint32_t id,
                plat::HICON icon, const char16_t* tip);
void enterBackground(plat::HWND window);
void closeInstance(plat::HWND window);

// Back to the state of process start (for tests).
void resetAppShell();
