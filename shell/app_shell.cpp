#include "shell/app_shell.h"

#include <cstring>

#include "engine/settings.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/thread.h"
#include "platform/timer.h"
#include "screens/main_settings_screen.h"
#include "screens/screen_style.h"
#include "store/settings_store.h"

plat::HICON trayIcon = nullptr;
plat::SHACTIVATEINFO activationInfo;

namespace {

uint32_t watcherThreadId = 0;

void computeOrientation() {
  orientation = orientationOf(plat::GetSystemMetrics(plat::SM_CXSCREEN),
                              plat::GetSystemMetrics(plat::SM_CYSCREEN));
}

void bringDesktopForward() {
  plat::SetForegroundWindow(plat::FindWindowW(kDesktopWindowClass, nullptr));
}

// The first configuration, while the main window is being created.
void onCreate(plat::HWND window) {
  std::memset(&activationInfo, 0, sizeof activationInfo);
  activationInfo.cbSize = plat::kShActivateInfoSize;
  computeOrientation();
  trayIcon = static_cast<plat::HICON>(plat::LoadImageW(
      appInstance, plat::makeIntResource(IDI_APP), plat::IMAGE_ICON, 16, 16, 0));
  loadSettings();
  runScreen(IDD_MAIN, window, mainSettingsScreenProc);

  if (replySettings.activated == 1) {
    mainWindow = window;
    plat::HANDLE thread = plat::CreateThread(nullptr, 0, watcherThread, nullptr,
                                             0, &watcherThreadId);
    if (thread == nullptr) return;  // stays visible, without a watcher
    plat::CloseHandle(thread);
    enterBackground(window);
  } else if (replySettings.activated == 0) {
    closeInstance(window);
  }
}

// A start that found a running instance configures it from this process.
int32_t secondStart(plat::HWND running) {
  computeOrientation();
  plat::SetForegroundWindow(running);
  runScreen(IDD_MAIN, running, mainSettingsScreenProc);
  if (replySettings.activated == 1) {
    plat::MoveWindow(running, 0, 0, 0, 0, 0);
    bringDesktopForward();
  } else if (replySettings.activated == 0) {
    closeInstance(running);
  }
  return 0;
}

}  // namespace

void resetAppShell() {
  trayIcon = nullptr;
  std::memset(&activationInfo, 0, sizeof activationInfo);
  watcherThreadId = 0;
  appInstance = nullptr;
  orientation = 0;
}

void notifyTray(plat::HWND window, uint32_t action, uint32_t id,
                plat::HICON icon, const char16_t* tip) {
  plat::NOTIFYICONDATAW record{};
  record.cbSize = plat::kNotifyIconDataSize;
  record.hWnd = window;
  record.uID = id;
  record.uFlags = plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP;
  record.uCallbackMessage = WM_TRAYNOTIFY;
  record.hIcon = icon;
  copyText(record.szTip, tip != nullptr ? tip : u"");
  plat::Shell_NotifyIconW(action, &record);
}

void enterBackground(plat::HWND window) {
  notifyTray(window, plat::NIM_ADD, kTrayIconId, trayIcon, kMainWindowTitle);
  plat::MoveWindow(window, 0, 0, 0, 0, 0);
  bringDesktopForward();
}

void closeInstance(plat::HWND window) {
  notifyTray(window, plat::NIM_DELETE, kTrayIconId, nullptr, nullptr);
  if (trayIcon != nullptr) {
    plat::DestroyIcon(trayIcon);
    trayIcon = nullptr;
  }
  plat::SendMessageW(window, plat::WM_ACTIVATE, plat::WA_INACTIVE,
                     reinterpret_cast<plat::LPARAM>(window));
  plat::SendMessageW(window, plat::WM_CLOSE, 0, 0);
}

plat::LRESULT mainWindowProc(plat::HWND window, uint32_t message,
                             plat::WPARAM wParam, plat::LPARAM lParam) {
  switch (message) {
    case plat::WM_CREATE:
      onCreate(window);
      return 0;
    case plat::WM_DESTROY:
      plat::PostQuitMessage(0);
      return 0;
    case plat::WM_ACTIVATE:
      plat::SHHandleWMActivate(window, wParam, lParam, &activationInfo, 0);
      return 0;
    case plat::WM_CLOSE:
      plat::DestroyWindow(window);
      plat::PostQuitMessage(0);
      return 0;
    case plat::WM_SETTINGCHANGE:
      plat::SHHandleWMSettingChange(window, wParam, lParam, &activationInfo);
      return 0;
    case plat::WM_COMMAND:
      if ((wParam & 0xFFFF) == plat::IDOK) {
        enterBackground(window);
        return 0;
      }
      return plat::DefWindowProcW(window, message, wParam, lParam);
    case plat::WM_TIMER:
      if (wParam == IDT_REPLY) onReplyTimer();
      return 0;
    default:
      return plat::DefWindowProcW(window, message, wParam, lParam);
  }
}

int32_t appMain(plat::HINSTANCE instance, int32_t showCommand) {
  appInstance = instance;
  plat::HWND running = plat::FindWindowW(kMainWindowClass, kMainWindowTitle);
  if (running != nullptr) return secondStart(running);

  plat::WNDCLASSW windowClass{};
  windowClass.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = plat::LoadIconW(instance, plat::makeIntResource(IDI_APP));
  windowClass.hbrBackground =
      static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH));
  windowClass.lpszClassName = kMainWindowClass;
  plat::RegisterClassW(&windowClass);

  plat::HWND window = plat::CreateWindowExW(
      0, kMainWindowClass, kMainWindowTitle, plat::WS_VISIBLE,
      plat::CW_USEDEFAULT, plat::CW_USEDEFAULT, plat::CW_USEDEFAULT,
      plat::CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  plat::ShowWindow(window, showCommand);
  plat::UpdateWindow(window);

  plat::HACCEL accelerators = plat::LoadAcceleratorsW(
      instance, plat::makeIntResource(IDR_ACCELERATORS));
  plat::MSG message{};
  while (plat::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (plat::TranslateAcceleratorW(message.hwnd, accelerators, &message) == 0) {
      plat::TranslateMessage(&message);
      plat::DispatchMessageW(&message);
    }
  }
  return static_cast<int32_t>(message.wParam);
}
