// The message queue and loop: input the test posts, the quit message, and
// the accelerator table.
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/fake/ui_internal.h"
#include "platform/window.h"

namespace fake {
namespace {

// A queued message, or test code to run when the loop reaches it.
struct Queued {
  plat::MSG msg;
  std::function<void()> action;
};

std::deque<Queued> queue;
bool quitPending = false;
bool quitEver = false;
int32_t exitCode = 0;
bool ranDry = false;
bool controlDown = false;

// The program's one accelerator table.
constexpr uint16_t kAcceleratorTable = 3;
const auto kAccelerators = reinterpret_cast<plat::HACCEL>(0xACC3);
constexpr uintptr_t kKeyQ = 'Q';
constexpr uint16_t kCtrlQCommand = 1;

void putMessage(Call* c, size_t at, const plat::MSG* msg) {
  if (c == nullptr || msg == nullptr) return;
  c->args[at] = reinterpret_cast<uintptr_t>(msg->hwnd);
  c->args[at + 1] = msg->message;
  c->args[at + 2] = msg->wParam;
  c->args[at + 3] = static_cast<uintptr_t>(msg->lParam);
  copyBytes(c, msg, sizeof *msg);
}

}  // namespace

void resetMessageLoop() {
  queue.clear();
  quitPending = false;
  quitEver = false;
  exitCode = 0;
  ranDry = false;
  controlDown = false;
}

void postMessage(plat::HWND window, uint32_t message, uintptr_t wParam,
                 intptr_t lParam) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  Queued q{};
  q.msg.hwnd = window;
  q.msg.message = message;
  q.msg.wParam = wParam;
  q.msg.lParam = lParam;
  queue.push_back(std::move(q));
}

void postAction(std::function<void()> action) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  Queued q{};
  q.action = std::move(action);
  queue.push_back(std::move(q));
}

bool messageLoopRanDry() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return ranDry;
}

bool quitPosted() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return quitEver;
}

int32_t quitCode() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return exitCode;
}

void setControlDown(bool down) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  controlDown = down;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

void PostQuitMessage(int32_t nExitCode) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::PostQuitMessage))
    c->args[0] = asArg(nExitCode);
  fake::quitPending = true;
  fake::quitEver = true;
  fake::exitCode = nExitCode;
}

// Filters are ignored: the program reads every message of its thread.
// An empty queue without a quit ends the loop too (returning 0, noted as
// having run dry), so a test never waits for input nobody will give.
BOOL GetMessageW(MSG* lpMsg, HWND hWnd, uint32_t wMsgFilterMin,
                 uint32_t wMsgFilterMax) {
  for (;;) {
    std::function<void()> action;
    {
      std::lock_guard<std::mutex> guard(fake::deviceMutex);
      if (fake::queue.empty() || !fake::queue.front().action) {
        fake::Call* c = fake::record(Op::GetMessageW);
        if (c != nullptr) {
          c->args[0] = asArg(lpMsg);
          c->args[1] = asArg(hWnd);
          c->args[2] = wMsgFilterMin;
          c->args[3] = wMsgFilterMax;
        }
        if (fake::shouldFail(Op::GetMessageW)) return -1;
        BOOL got = 1;
        if (!fake::queue.empty()) {
          *lpMsg = fake::queue.front().msg;
          fake::queue.pop_front();
        } else {
          *lpMsg = MSG{};
          lpMsg->message = fake::WM_QUIT;
          if (fake::quitPending)
            lpMsg->wParam = static_cast<WPARAM>(fake::exitCode);
          else
            fake::ranDry = true;
          fake::quitPending = false;
          got = 0;
        }
        fake::putMessage(c, 4, lpMsg);
        return got;
      }
      action = std::move(fake::queue.front().action);
      fake::queue.pop_front();
    }
    action();
  }
}

BOOL TranslateMessage(const MSG* lpMsg) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  fake::Call* c = fake::record(Op::TranslateMessage);
  if (c != nullptr) c->args[0] = asArg(lpMsg);
  fake::putMessage(c, 1, lpMsg);
  return 0;  // no character messages come of it here
}

LRESULT DispatchMessageW(const MSG* lpMsg) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    fake::Call* c = fake::record(Op::DispatchMessageW);
    if (c != nullptr) c->args[0] = asArg(lpMsg);
    fake::putMessage(c, 1, lpMsg);
  }
  if (lpMsg == nullptr || lpMsg->hwnd == nullptr) return 0;
  return fake::deliverMessage(lpMsg->hwnd, lpMsg->message, lpMsg->wParam,
                              lpMsg->lParam);
}

HACCEL LoadAcceleratorsW(HINSTANCE hInstance, const char16_t* lpTableName) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::LoadAcceleratorsW)) {
    c->args[0] = asArg(hInstance);
    c->args[1] = asArg(lpTableName);
    fake::copyName(c->text, 256, lpTableName);
  }
  if (fake::shouldFail(Op::LoadAcceleratorsW) ||
      lpTableName != makeIntResource(fake::kAcceleratorTable))
    return nullptr;
  return fake::kAccelerators;
}

// Ctrl+Q becomes WM_COMMAND 1 (high word 1: from an accelerator), sent to
// hWnd as the platform does, whichever window the key went to.
int32_t TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, MSG* lpMsg) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    fake::Call* c = fake::record(Op::TranslateAcceleratorW);
    if (c != nullptr) {
      c->args[0] = asArg(hWnd);
      c->args[1] = asArg(hAccTable);
      c->args[2] = asArg(lpMsg);
    }
    fake::putMessage(c, 3, lpMsg);
    if (hAccTable != fake::kAccelerators || lpMsg == nullptr ||
        lpMsg->message != WM_KEYDOWN || lpMsg->wParam != fake::kKeyQ ||
        !fake::controlDown || fake::liveWindow(hWnd) == nullptr)
      return 0;
  }
  fake::deliverMessage(hWnd, WM_COMMAND,
                       (WPARAM{1} << 16) | fake::kCtrlQCommand, 0);
  return 1;
}

}  // namespace plat
