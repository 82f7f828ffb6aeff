#include <gtest/gtest.h>

#include <thread>

#include "engine/settings.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "platform/fake/registry.h"
#include "platform/fake/ui.h"
#include "platform/timer.h"
#include "resources/resource_ids.h"
#include "screens/screen_style.h"
#include "shell/app_shell.h"
#include "tests/unit/screen_fixture.h"

namespace {

using fake::Op;

plat::HINSTANCE const kInstance = reinterpret_cast<plat::HINSTANCE>(0x400000);

class AppShell : public ::testing::Test {
 protected:
  void SetUp() override { freshProgram(); }
};

plat::HWND ourWindow() {
  return plat::FindWindowW(kMainWindowClass, kMainWindowTitle);
}

void waitForWatcher() {
  while (fake::countCalls(Op::Sleep) < fake::kSleepsBeforeParking)
    std::this_thread::yield();
}

TEST_F(AppShell, ActivateGoesToTheBackgroundWithOneTrayIcon) {
  fake::addDesktopWindow();
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_ACTIVATE)});
  fake::postAction(waitForWatcher);
  EXPECT_EQ(appMain(kInstance, plat::SW_SHOW), 0);

  // The start in order: look for an instance, register, create, show.
  const Op order[] = {Op::FindWindowW, Op::RegisterClassW, Op::CreateWindowExW,
                      Op::ShowWindow, Op::UpdateWindow, Op::LoadAcceleratorsW};
  size_t at = 0;
  for (size_t i = 0; i < fake::callCount() && at < std::size(order); ++i)
    if (fake::call(i).op == order[at]) ++at;
  EXPECT_EQ(at, std::size(order));

  ASSERT_EQ(fake::trayIcons().size(), 1u);
  const plat::NOTIFYICONDATAW icon = fake::trayIcons()[0];
  EXPECT_EQ(icon.cbSize, 152u);
  EXPECT_EQ(icon.uID, 1u);
  EXPECT_EQ(icon.uFlags, 7u);
  EXPECT_EQ(icon.uCallbackMessage, 1125u);
  EXPECT_EQ(std::u16string(icon.szTip), u"Zerv: Vantorel");
  EXPECT_EQ(icon.hIcon, trayIcon);
  EXPECT_EQ(fake::iconInfo(trayIcon)->cx, 16);

  const plat::HWND window = icon.hWnd;
  EXPECT_EQ(mainWindow, window);
  const fake::Rect rect = fake::windowRect(window);
  EXPECT_EQ(rect.x, 0);
  EXPECT_EQ(rect.y, 0);
  EXPECT_EQ(rect.width, 0);
  EXPECT_EQ(rect.height, 0);
  EXPECT_TRUE(fake::windowVisible(window));
  EXPECT_EQ(fake::windowClassName(window), u"CLD_QRL");
  EXPECT_EQ(fake::windowStyle(window), plat::WS_VISIBLE);
  EXPECT_EQ(fake::windowClassName(fake::foregroundWindow()),
            u"DesktopExplorerWindow");
  EXPECT_TRUE(fake::radioRegistered());
  EXPECT_EQ(fake::openThreadHandles(), 0u);
  EXPECT_EQ(storedActivate(), 1);
  // The class as registered.
  const fake::WindowClass cls = fake::registeredClasses().at(0);
  EXPECT_EQ(cls.name, u"CLD_QRL");
  EXPECT_EQ(cls.style, plat::CS_HREDRAW | plat::CS_VREDRAW);
  EXPECT_NE(cls.icon, nullptr);
}

TEST_F(AppShell, QuitOnTheFirstScreenEndsWithoutATrayIcon) {
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_QUIT)});
  EXPECT_EQ(appMain(kInstance, plat::SW_SHOW), 0);
  EXPECT_EQ(fake::trayAddsEver(), 0u);
  EXPECT_EQ(fake::countCalls(Op::DestroyIcon), 1u);  // the tray's image
  EXPECT_EQ(trayIcon, nullptr);
  EXPECT_EQ(ourWindow(), nullptr);  // destroyed during its own creation
  EXPECT_TRUE(fake::quitPosted());
  EXPECT_FALSE(fake::messageLoopRanDry());
  EXPECT_EQ(storedActivate(), 0);
  EXPECT_EQ(fake::threadsStarted(), 0u);
}

TEST_F(AppShell, AWatcherThatCannotStartLeavesTheWindowVisible) {
  fake::failCall(Op::CreateThread);
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_ACTIVATE)});
  appMain(kInstance, plat::SW_SHOW);
  EXPECT_EQ(fake::trayAddsEver(), 0u);
  const plat::HWND window = mainWindow;
  ASSERT_NE(window, nullptr);
  EXPECT_GT(fake::windowRect(window).width, 0);
  EXPECT_TRUE(fake::windowVisible(window));
}

TEST_F(AppShell, ARunningInstanceNeedsClassAndTitle) {
  const struct {
    const char16_t* cls;
    const char16_t* title;
    bool found;
  } cases[] = {{u"CLD_QRL", u"Zerv: Vantorel", true},
               {u"CLD_QRL", u"Other", false},
               {u"Other", u"Zerv: Vantorel", false}};
  for (const auto& c : cases) {
    SetUp();
    fake::createForeignWindow(c.cls, c.title);
    fake::scriptDialog(IDD_MAIN, {fake::click(IDC_QUIT)});
    appMain(kInstance, plat::SW_SHOW);
    EXPECT_EQ(fake::countCalls(Op::RegisterClassW), c.found ? 0u : 1u)
        << std::string(c.cls, c.cls + 3);
  }
}

TEST_F(AppShell, SecondStartWithActivateLeavesTheInstanceRunning) {
  const plat::HWND running =
      fake::createForeignWindow(u"CLD_QRL", u"Zerv: Vantorel");
  fake::addDesktopWindow();
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_ACTIVATE)});
  EXPECT_EQ(appMain(kInstance, plat::SW_SHOW), 0);
  EXPECT_EQ(fake::dialogRuns().at(0).owner, running);
  const fake::Rect rect = fake::windowRect(running);
  EXPECT_EQ(rect.width, 0);
  EXPECT_EQ(rect.height, 0);
  EXPECT_EQ(fake::windowClassName(fake::foregroundWindow()),
            u"DesktopExplorerWindow");
  EXPECT_TRUE(fake::receivedMessages(running).empty());
  EXPECT_EQ(fake::countCalls(Op::CreateWindowExW), 0u);
  EXPECT_EQ(fake::threadsStarted(), 0u);
  EXPECT_EQ(storedActivate(), 1);
}

TEST_F(AppShell, SecondStartWithQuitClosesTheInstance) {
  const plat::HWND running =
      fake::createForeignWindow(u"CLD_QRL", u"Zerv: Vantorel");
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_QUIT)});
  EXPECT_EQ(appMain(kInstance, plat::SW_SHOW), 0);
  const fake::Call* tray = fake::findCall(Op::Shell_NotifyIconW);
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->args[0], plat::NIM_DELETE);
  EXPECT_EQ(tray->args[3], reinterpret_cast<uintptr_t>(running));
  const std::vector<fake::ReceivedMessage> got = fake::receivedMessages(running);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, plat::WM_ACTIVATE);
  EXPECT_EQ(got[0].wParam, plat::WA_INACTIVE);
  EXPECT_EQ(got[1].message, plat::WM_CLOSE);
  EXPECT_EQ(fake::countCalls(Op::DestroyIcon), 0u);
  EXPECT_EQ(storedActivate(), 0);
}

TEST_F(AppShell, OrientationOfTheDisplay) {
  const struct {
    int32_t width, height, orientation, screenWidth, screenHeight;
  } cases[] = {{240, 320, 0, 240, 320},
               {320, 240, 1, 320, 240},
               {480, 640, 1, 320, 240},
               {240, 240, 2, 240, 240}};
  for (const auto& c : cases) {
    SetUp();
    fake::setScreenSize(c.width, c.height);
    fake::scriptDialog(IDD_MAIN, {fake::click(IDC_QUIT)});
    appMain(kInstance, plat::SW_SHOW);
    EXPECT_EQ(orientation, c.orientation) << c.width << "x" << c.height;
    const fake::Rect screen = fake::windowRect(fake::dialogRuns().at(0).dialog);
    EXPECT_EQ(screen.width, c.screenWidth) << c.width;
    EXPECT_EQ(screen.height, c.screenHeight) << c.width;
    EXPECT_EQ(screen.x, 0);
    EXPECT_EQ(screen.y, 0);
  }
}

TEST_F(AppShell, CtrlQInTheBackgroundKeepsOneIcon) {
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_ACTIVATE)});
  fake::postAction(waitForWatcher);
  fake::postAction([] {
    fake::setControlDown(true);
    fake::postMessage(ourWindow(), plat::WM_KEYDOWN, 'Q', 0);
  });
  fake::postAction([] { fake::postMessage(ourWindow(), plat::WM_CLOSE, 0, 0); });
  appMain(kInstance, plat::SW_SHOW);
  EXPECT_EQ(fake::trayIcons().size(), 1u);
  EXPECT_EQ(fake::countCalls(Op::MoveWindow) >= 2, true);
  EXPECT_FALSE(fake::messageLoopRanDry());
}

TEST_F(AppShell, WindowProcedure) {
  fake::scriptDialog(IDD_MAIN, {fake::click(IDC_ACTIVATE)});
  fake::postAction(waitForWatcher);
  appMain(kInstance, plat::SW_SHOW);
  const plat::HWND window = mainWindow;
  fake::clearCalls();

  // Other timers and commands, the tray's own message: nothing of ours.
  EXPECT_EQ(mainWindowProc(window, plat::WM_TIMER, IDT_REPLY + 1, 0), 0);
  EXPECT_EQ(fake::callCount(), 0u);
  mainWindowProc(window, plat::WM_COMMAND, 2, 0);
  mainWindowProc(window, WM_TRAYNOTIFY, 1, 0x201);
  EXPECT_EQ(fake::countCalls(Op::DefWindowProcW), 2u);
  EXPECT_EQ(fake::trayIcons().size(), 1u);

  // The reply timer reaches the tracker, which sends only when armed.
  callState.replyTimerArmed = false;
  mainWindowProc(window, plat::WM_TIMER, IDT_REPLY, 0);
  EXPECT_EQ(fake::countCalls(Op::KillTimer), 0u);
  callState.replyTimerArmed = true;
  mainWindowProc(window, plat::WM_TIMER, IDT_REPLY, 0);
  EXPECT_EQ(fake::countCalls(Op::KillTimer), 1u);

  // The shell's own activation handling gets the window's record.
  mainWindowProc(window, plat::WM_ACTIVATE, 1, 0);
  mainWindowProc(window, plat::WM_SETTINGCHANGE, 0, 0);
  const fake::Call* activate = fake::findCall(Op::SHHandleWMActivate);
  ASSERT_NE(activate, nullptr);
  EXPECT_EQ(activate->args[3], reinterpret_cast<uintptr_t>(&activationInfo));
  EXPECT_EQ(activate->args[5], 12u);
  EXPECT_EQ(fake::countCalls(Op::SHHandleWMSettingChange), 1u);

  // WM_CLOSE destroys the window and ends the loop.
  mainWindowProc(window, plat::WM_CLOSE, 0, 0);
  EXPECT_TRUE(fake::windowDestroyed(window));
  EXPECT_TRUE(fake::quitPosted());
}

}  // namespace
