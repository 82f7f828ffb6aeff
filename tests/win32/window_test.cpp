// Windows, the message loop, accelerators, icons and the tray through plat's
// functions, on Wine's real user32 and shell32. Needs an X display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/timer.h"
#include "platform/tray.h"
#include "platform/window.h"
#include "resources/resource_ids.h"
#include "tests/win32/window_support.h"

namespace {

using window_support::Creation;

constexpr char16_t kClass[] = u"VantorelTestWindow";
constexpr char16_t kTitle[] = u"Zerv: Window test";
constexpr uint32_t kPopup = 0x80000000u;  // WS_POPUP

// What the window procedure was given.
struct Seen {
  std::vector<Creation> creations;
  std::vector<plat::MSG> messages;  // posted, commands, characters, destroy
};
Seen seen;

plat::LRESULT testProc(plat::HWND window, uint32_t message,
                       plat::WPARAM wParam, plat::LPARAM lParam) {
  if (message == plat::WM_CREATE) {
    seen.creations.push_back(window_support::creationOf(lParam));
  } else if (message == plat::WM_COMMAND || message >= plat::WM_USER ||
             message == window_support::kWmChar ||
             message == plat::WM_DESTROY) {
    seen.messages.push_back(
        plat::MSG{window, message, wParam, lParam, 0, {0, 0}});
  }
  return plat::DefWindowProcW(window, message, wParam, lParam);
}

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(window_support::displayReady(&why)) << why;
    ASSERT_NE(registeredClass(), 0);
    seen = Seen{};
    // A hidden popup: Wine waits up to 2 s for a window manager whenever an
    // activated window is hidden or destroyed, and Xvfb runs none.
    window_ = plat::CreateWindowExW(
        0, kClass, kTitle, kPopup, 10, 20, 200, 100, nullptr, nullptr,
        window_support::thisModule(), &creationParam_);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) plat::DestroyWindow(window_);
  }

  static plat::HBRUSH background() {
    static const plat::HBRUSH brush = plat::CreateSolidBrush(0x00336699);
    return brush;
  }
  static plat::HICON icon() {
    static const plat::HICON loaded = plat::LoadIconW(
        window_support::thisModule(), plat::makeIntResource(IDI_APP));
    return loaded;
  }
  static uint16_t registeredClass() {
    static const uint16_t atom = [] {
      plat::WNDCLASSW wc{};
      wc.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
      wc.lpfnWndProc = testProc;
      wc.cbWndExtra = 16;
      wc.hInstance = window_support::thisModule();
      wc.hIcon = icon();
      wc.hbrBackground = background();
      wc.lpszClassName = kClass;
      return plat::RegisterClassW(&wc);
    }();
    return atom;
  }

  // The next message of the queue that is `wanted` (or the quit message),
  // dispatching the others. A timer makes sure that the wait ends.
  plat::MSG nextOf(uint32_t wanted) {
    constexpr uintptr_t kGiveUp = 99;
    plat::SetTimer(window_, kGiveUp, 5000);
    plat::MSG msg{};
    for (;;) {
      const plat::BOOL got = plat::GetMessageW(&msg, nullptr, 0, 0);
      if (got <= 0 || msg.message == wanted) break;
      if (msg.message == plat::WM_TIMER && msg.wParam == kGiveUp) {
        ADD_FAILURE() << "message 0x" << std::hex << wanted << " not seen";
        break;
      }
      plat::DispatchMessageW(&msg);
    }
    plat::KillTimer(window_, kGiveUp);
    return msg;
  }

  int creationParam_ = 0;
  plat::HWND window_ = nullptr;
};

TEST_F(Windows, CreateReceivesTheClassTitleAndParameterOfTheCall) {
  ASSERT_EQ(seen.creations.size(), 1u);
  EXPECT_EQ(seen.creations[0].className, kClass);
  EXPECT_EQ(seen.creations[0].title, kTitle);
  EXPECT_EQ(seen.creations[0].param, &creationParam_);
  EXPECT_EQ(window_support::classNameOf(window_), kClass);

  // Every field of the class record arrived where it belongs.
  const window_support::ClassInfo info = window_support::classInfoOf(window_);
  EXPECT_EQ(info.style, plat::CS_HREDRAW | plat::CS_VREDRAW);
  EXPECT_EQ(info.windowExtra, 16);
  EXPECT_NE(icon(), nullptr);
  EXPECT_EQ(info.icon, static_cast<void*>(icon()));
  EXPECT_EQ(info.background, static_cast<void*>(background()));
  EXPECT_EQ(info.instance, window_support::thisModule());

  ASSERT_TRUE(plat::DestroyWindow(window_));
  plat::HWND destroyed = window_;
  window_ = nullptr;
  ASSERT_EQ(seen.messages.size(), 1u);
  EXPECT_EQ(seen.messages[0].message, plat::WM_DESTROY);
  EXPECT_EQ(seen.messages[0].hwnd, destroyed);
}

TEST_F(Windows, FindWindowNeedsBothClassAndTitleToMatch) {
  struct Case {
    const char16_t* className;
    const char16_t* title;
    bool found;
  };
  const Case cases[] = {
      {kClass, kTitle, true},
      {kClass, nullptr, true},
      {nullptr, kTitle, true},
      {kClass, u"Zerv: Other", false},
      {u"VantorelOtherClass", kTitle, false},
      {u"DesktopExplorerWindow", nullptr, false},  // absent on a desktop
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.className ? "class" : "no class") + ", " +
                 (c.title ? "title" : "no title") + ", case " +
                 std::to_string(&c - cases));
    plat::HWND found = plat::FindWindowW(c.className, c.title);
    if (c.found)
      EXPECT_EQ(found, window_);
    else
      EXPECT_EQ(found, nullptr);
  }
}

// The program's main window: WS_VISIBLE and nothing else, which a desktop
// gives a caption (and with it a smallest size).
TEST_F(Windows, MovedToZeroSizeStaysVisibleAtTheOrigin) {
  plat::HWND main = plat::CreateWindowExW(
      0, kClass, u"Zerv: Main", plat::WS_VISIBLE, plat::CW_USEDEFAULT,
      plat::CW_USEDEFAULT, plat::CW_USEDEFAULT, plat::CW_USEDEFAULT, nullptr,
      nullptr, window_support::thisModule(), nullptr);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(window_support::isVisible(main));
  ASSERT_TRUE(plat::MoveWindow(main, 0, 0, 0, 0, 0));
  const window_support::Rect r = window_support::windowRect(main);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.width, 0);
  EXPECT_EQ(r.height, 0);
  EXPECT_TRUE(window_support::isVisible(main));
  EXPECT_TRUE(plat::UpdateWindow(main));

  EXPECT_TRUE(plat::ShowWindow(main, plat::SW_HIDE)) << "it was visible";
  EXPECT_FALSE(window_support::isVisible(main));
  EXPECT_TRUE(plat::DestroyWindow(main));
}

TEST_F(Windows, MessagesKeepEveryFieldThroughTheLoop) {
  // Values that need all 64 bits, so that a narrowing shows.
  const plat::WPARAM wParam = 0xFEDCBA9876543210u;
  const plat::LPARAM lParam = -0x123456789ABCDEF;
  ASSERT_TRUE(window_support::postMessage(window_, plat::WM_USER + 7, wParam,
                                          lParam));
  const plat::MSG msg = nextOf(plat::WM_USER + 7);
  EXPECT_EQ(msg.hwnd, window_);
  EXPECT_EQ(msg.message, plat::WM_USER + 7);
  EXPECT_EQ(msg.wParam, wParam);
  EXPECT_EQ(msg.lParam, lParam);
  EXPECT_NE(msg.time, 0u);

  EXPECT_TRUE(seen.messages.empty());
  plat::DispatchMessageW(&msg);
  ASSERT_EQ(seen.messages.size(), 1u);
  EXPECT_EQ(seen.messages[0].hwnd, window_);
  EXPECT_EQ(seen.messages[0].message, plat::WM_USER + 7);
  EXPECT_EQ(seen.messages[0].wParam, wParam);
  EXPECT_EQ(seen.messages[0].lParam, lParam);

  // SendMessageW goes straight to the procedure, and its answer comes back.
  seen.messages.clear();
  EXPECT_EQ(plat::SendMessageW(window_, plat::WM_USER + 8, wParam, lParam),
            0);
  ASSERT_EQ(seen.messages.size(), 1u);
  EXPECT_EQ(seen.messages[0].lParam, lParam);

  plat::PostQuitMessage(3);
  const plat::MSG quit = nextOf(window_support::kWmQuit);
  EXPECT_EQ(quit.message, window_support::kWmQuit);
  EXPECT_EQ(quit.wParam, 3u);
}

// The program's own table (resource 3): Ctrl+Q sends command 1.
TEST_F(Windows, CtrlQBecomesCommandOneAndAPlainQStaysAKey) {
  plat::HACCEL table = plat::LoadAcceleratorsW(
      window_support::thisModule(), plat::makeIntResource(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  constexpr plat::WPARAM kQ = 'Q';
  constexpr plat::LPARAM kQScanCode = 0x00100001;  // repeat 1, scan code 16

  window_support::setControlKey(true);
  ASSERT_TRUE(window_support::postMessage(window_, plat::WM_KEYDOWN, kQ,
                                          kQScanCode));
  plat::MSG msg = nextOf(plat::WM_KEYDOWN);
  EXPECT_NE(plat::TranslateAcceleratorW(window_, table, &msg), 0);
  window_support::setControlKey(false);
  ASSERT_EQ(seen.messages.size(), 1u);
  EXPECT_EQ(seen.messages[0].message, plat::WM_COMMAND);
  EXPECT_EQ(seen.messages[0].wParam, (1u << 16) | IDM_CTRL_Q)
      << "command 1, from an accelerator";

  seen.messages.clear();
  ASSERT_TRUE(window_support::postMessage(window_, plat::WM_KEYDOWN, kQ,
                                          kQScanCode));
  msg = nextOf(plat::WM_KEYDOWN);
  EXPECT_EQ(plat::TranslateAcceleratorW(window_, table, &msg), 0);
  EXPECT_TRUE(plat::TranslateMessage(&msg));
  plat::DispatchMessageW(&msg);
  const plat::MSG character = nextOf(window_support::kWmChar);
  EXPECT_EQ(character.message, window_support::kWmChar);
  EXPECT_EQ(character.wParam, plat::WPARAM('q'));
  EXPECT_TRUE(seen.messages.empty()) << "no command without Ctrl";
}

TEST_F(Windows, TrayIconIsAddedChangedAndRemoved) {
  void* image = plat::LoadImageW(window_support::thisModule(),
                                 plat::makeIntResource(IDI_APP),
                                 plat::IMAGE_ICON, 16, 16, 0);
  ASSERT_NE(image, nullptr);
  plat::NOTIFYICONDATAW data{};
  data.cbSize = plat::kNotifyIconDataSize;
  data.hWnd = window_;
  data.uID = 1;
  data.uFlags = plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP;
  data.uCallbackMessage = plat::WM_USER + 1;
  data.hIcon = static_cast<plat::HICON>(image);
  // A tip that fills the handset's field to the last unit.
  for (char16_t& c : data.szTip) c = u'x';

  ASSERT_TRUE(plat::Shell_NotifyIconW(plat::NIM_ADD, &data));
  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_MODIFY, &data));
  plat::NOTIFYICONDATAW other = data;
  other.uID = 2;
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_MODIFY, &other))
      << "the icon is known by window and id";

  plat::NOTIFYICONDATAW removal{};
  removal.cbSize = plat::kNotifyIconDataSize;
  removal.hWnd = window_;
  removal.uID = 1;
  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_DELETE, &removal));
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_DELETE, &removal))
      << "already removed";
  EXPECT_TRUE(plat::DestroyIcon(static_cast<plat::HICON>(image)));
}

}  // namespace
