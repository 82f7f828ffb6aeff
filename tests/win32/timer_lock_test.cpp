// Window timers on a real window, the call lock, kernel handles.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/win32/support.h"

namespace {

struct TimerSeen {
  ::HWND window;
  WPARAM id;
};
std::vector<TimerSeen> timersSeen;  // only the test's thread touches it

LRESULT CALLBACK timerProc(::HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  if (message == WM_TIMER) {
    timersSeen.push_back({window, wParam});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Message-only: a real window with a window procedure that needs no display.
::HWND makeWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = timerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VantorelTimerTest";
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, L"VantorelTimerTest", L"", 0, 0, 0, 0, 0,
                         HWND_MESSAGE, nullptr, windowClass.hInstance,
                         nullptr);
}

// Runs the message loop for `ms`, or until `count` timer messages came.
void pump(DWORD ms, size_t count) {
  const ULONGLONG until = GetTickCount64() + ms;
  while (timersSeen.size() < count) {
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(until - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
  }
}

}  // namespace

TEST(Timer, DeliversWmTimerWithItsIdUntilKilled) {
  const ::HWND window = makeWindow();
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<plat::HWND>(window);
  timersSeen.clear();

  EXPECT_EQ(plat::SetTimer(handle, 42, 20), 42u);
  pump(3000, 2);
  ASSERT_GE(timersSeen.size(), 2u);  // it repeats until killed
  for (const TimerSeen& seen : timersSeen) {
    EXPECT_EQ(seen.window, window);
    EXPECT_EQ(seen.id, 42u);
  }

  EXPECT_TRUE(plat::KillTimer(handle, 42));
  timersSeen.clear();
  pump(150, SIZE_MAX);
  EXPECT_TRUE(timersSeen.empty());
  EXPECT_FALSE(plat::KillTimer(handle, 42));  // no longer armed

  // Arming again, and restarting an armed timer, keep the id.
  EXPECT_EQ(plat::SetTimer(handle, 42, 5000), 42u);
  EXPECT_EQ(plat::SetTimer(handle, 42, 20), 42u);
  pump(3000, 1);
  ASSERT_FALSE(timersSeen.empty());
  EXPECT_EQ(timersSeen[0].id, 42u);
  EXPECT_TRUE(plat::KillTimer(handle, 42));
  DestroyWindow(window);
}

// As the engine does it: the radio thread arms the timer of the main window.
TEST(Timer, ArmedFromAnotherThreadItArrivesOnTheWindowsThread) {
  const ::HWND window = makeWindow();
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<plat::HWND>(window);
  timersSeen.clear();
  uintptr_t armed = 0;
  std::thread([&] { armed = plat::SetTimer(handle, 11, 20); }).join();
  EXPECT_EQ(armed, 11u);
  pump(3000, 1);
  ASSERT_FALSE(timersSeen.empty());
  EXPECT_EQ(timersSeen[0].window, window);
  EXPECT_EQ(timersSeen[0].id, 11u);
  BOOL killed = 0;
  std::thread([&] { killed = plat::KillTimer(handle, 11); }).join();
  EXPECT_TRUE(killed);
  timersSeen.clear();
  pump(100, SIZE_MAX);
  EXPECT_TRUE(timersSeen.empty());
  DestroyWindow(window);
}

TEST(CallLock, KeepsTwoThreadsApart) {
  long counter = 0;
  const auto work = [&counter] {
    for (int i = 0; i < 100000; ++i) {
      plat::EnterCallLock();
      const long seen = counter;
      if (i % 1000 == 0) plat::Sleep(0);
      counter = seen + 1;
      plat::LeaveCallLock();
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 200000);
}

TEST(Kernel, CloseHandleClosesAnEvent) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_TRUE(plat::CloseHandle(event));
}
