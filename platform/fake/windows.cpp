// Windows and their classes: creation, lookup, messages sent, destruction,
// position and visibility, and the screen they live on.
#include <cstring>
#include <mutex>

#include "platform/fake/ui_internal.h"
#include "platform/list_view.h"
#include "platform/window.h"

namespace fake {
namespace {

struct ClassEntry {
  WindowClass info;
  plat::HINSTANCE instance;
};

std::vector<Window> windows;
std::vector<ClassEntry> classes;
plat::HWND foreground = nullptr;
plat::HWND focused = nullptr;
int32_t screenW = 240;
int32_t screenH = 320;

constexpr uint16_t kFirstAtom = 0xC000;

plat::HWND handleOf(size_t index) {
  return reinterpret_cast<plat::HWND>(kFirstWindow + index);
}

const ClassEntry* findClass(const char16_t* name) {
  for (const ClassEntry& c : classes) {
    if (isIntResource(name) ? c.info.atom == reinterpret_cast<uintptr_t>(name)
                            : c.info.name == name)
      return &c;
  }
  return nullptr;
}

bool matches(const Window& w, const char16_t* className,
             const char16_t* title) {
  if (w.destroyed || w.child) return false;
  if (className != nullptr) {
    if (isIntResource(className)) {
      if (w.atom == 0 || w.atom != reinterpret_cast<uintptr_t>(className))
        return false;
    } else if (w.className != className) {
      return false;
    }
  }
  return title == nullptr || w.title == title;
}

// Laid out as the platform's CREATESTRUCTW, which WM_CREATE points to.
struct CreateParams {
  void* lpCreateParams;
  plat::HINSTANCE hInstance;
  void* hMenu;
  plat::HWND hwndParent;
  int32_t cy, cx, y, x;
  int32_t style;
  const char16_t* lpszName;
  const char16_t* lpszClass;
  uint32_t dwExStyle;
};

Window newWindow(WindowKind kind) {
  Window w{};
  w.kind = kind;
  w.rect = {0, 0, screenW, screenH};
  return w;
}

}  // namespace

std::vector<Window>& windowStore() { return windows; }

Window* findWindow(plat::HWND handle) {
  const uintptr_t index = reinterpret_cast<uintptr_t>(handle) - kFirstWindow;
  return index < windows.size() ? &windows[index] : nullptr;
}

Window* liveWindow(plat::HWND handle) {
  Window* w = findWindow(handle);
  return w != nullptr && !w->destroyed ? w : nullptr;
}

plat::HWND addWindow(Window window) {
  windows.push_back(std::move(window));
  return handleOf(windows.size() - 1);
}

int32_t screenWidth() { return screenW; }
int32_t screenHeight() { return screenH; }
plat::HWND& focusedRef() { return focused; }

void resetWindows() {
  windows.clear();
  classes.clear();
  foreground = nullptr;
  focused = nullptr;
  screenW = 240;
  screenH = 320;
}

void resetUi() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  resetWindows();
  resetMessageLoop();
  resetIcons();
  resetTray();
  resetThreads();
  resetDialogs();
  resetDrawing();
  resetShell();
  resetSearches();
}

intptr_t deliverMessage(plat::HWND window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
  plat::WNDPROC proc = nullptr;
  bool list = false;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    Window* w = liveWindow(window);
    if (w == nullptr) return 0;
    switch (w->kind) {
      case WindowKind::program:
        proc = w->proc;
        break;
      case WindowKind::dialog:
        break;
      case WindowKind::control:
        // A list view notifies its dialog, which takes the lock itself.
        list = w->controlKind == ControlSpec::listView;
        if (list) break;
        return controlMessage(*w, message, wParam, lParam);
      case WindowKind::foreign:
        w->received.push_back({message, wParam, lParam});
        return 0;
    }
  }
  if (proc != nullptr) return proc(window, message, wParam, lParam);
  if (list) return listViewMessage(window, message, wParam, lParam);
  return dialogMessage(window, message, wParam, lParam);
}

bool destroyWindowTree(plat::HWND window) {
  std::vector<plat::HWND> owned;
  std::vector<plat::HWND> children;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    Window* w = liveWindow(window);
    if (w == nullptr || w->destroying || w->kind == WindowKind::foreign)
      return false;
    w->destroying = true;
    for (size_t i = 0; i < windows.size(); ++i) {
      const Window& o = windows[i];
      if (o.destroyed || o.parent != window) continue;
      (o.child ? children : owned).push_back(handleOf(i));
    }
  }
  // As on the platform: owned windows go first, then the window hears
  // WM_DESTROY before its children do.
  for (plat::HWND o : owned) destroyWindowTree(o);
  deliverMessage(window, plat::WM_DESTROY, 0, 0);
  for (plat::HWND c : children) destroyWindowTree(c);
  std::lock_guard<std::mutex> guard(deviceMutex);
  Window* w = findWindow(window);
  w->destroyed = true;
  w->visible = false;
  dropWindowTimers(window);
  if (foreground == window) foreground = nullptr;
  if (focused == window) focused = nullptr;
  return true;
}

// ---- Test API ---------------------------------------------------------

void setScreenSize(int32_t width, int32_t height) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  screenW = width;
  screenH = height;
}

std::vector<WindowClass> registeredClasses() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  std::vector<WindowClass> out;
  for (const ClassEntry& c : classes) out.push_back(c.info);
  return out;
}

plat::HWND createForeignWindow(const std::u16string& className,
                               const std::u16string& title) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  Window w = newWindow(WindowKind::foreign);
  w.className = className;
  w.title = title;
  w.visible = true;
  return addWindow(std::move(w));
}

plat::HWND addDesktopWindow() {
  return createForeignWindow(u"DesktopExplorerWindow", u"Desktop");
}

plat::HWND createWindow(WindowProc proc) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  Window w = newWindow(WindowKind::program);
  w.className = u"fake timer window";
  w.proc = proc;
  return addWindow(std::move(w));
}

std::vector<ReceivedMessage> receivedMessages(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->received : std::vector<ReceivedMessage>{};
}

Rect windowRect(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->rect : Rect{0, 0, 0, 0};
}

bool windowVisible(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr && w->visible;
}

bool windowDestroyed(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return liveWindow(window) == nullptr;
}

std::u16string windowText(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->title : std::u16string();
}

std::u16string windowClassName(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->className : std::u16string();
}

uint32_t windowStyle(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->style : 0;
}

bool windowEnabled(plat::HWND window) {
  return windowField(window, &Window::enabled, false);
}

plat::HWND windowParent(plat::HWND window) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->parent : nullptr;
}

plat::HWND foregroundWindow() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return foreground;
}

plat::HWND focusedWindow() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return focused;
}

size_t liveWindows() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (const Window& w : windows)
    if (!w.destroyed && w.kind != WindowKind::foreign) ++n;
  return n;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

uint16_t RegisterClassW(const WNDCLASSW* lpWndClass) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RegisterClassW)) {
    c->args[0] = asArg(lpWndClass);
    if (lpWndClass != nullptr) {
      fake::copyName(c->text, 256, lpWndClass->lpszClassName);
      fake::copyName(c->text2, 128, lpWndClass->lpszMenuName);
      fake::copyBytes(c, lpWndClass, sizeof *lpWndClass);
    }
  }
  if (fake::shouldFail(Op::RegisterClassW) || lpWndClass == nullptr ||
      fake::isIntResource(lpWndClass->lpszClassName) ||
      lpWndClass->lpszClassName[0] == 0 ||
      fake::findClass(lpWndClass->lpszClassName) != nullptr)
    return 0;
  const auto atom =
      static_cast<uint16_t>(fake::kFirstAtom + fake::classes.size());
  fake::classes.push_back(
      {{lpWndClass->lpszClassName, lpWndClass->lpfnWndProc, lpWndClass->style,
        lpWndClass->hIcon, lpWndClass->hbrBackground, atom},
       lpWndClass->hInstance});
  return atom;
}

// When the procedure destroys the window during WM_CREATE, or answers -1,
// creation is abandoned and the caller gets null, as on the platform.
HWND CreateWindowExW(uint32_t dwExStyle, const char16_t* lpClassName,
                     const char16_t* lpWindowName, uint32_t dwStyle, int32_t X,
                     int32_t Y, int32_t nWidth, int32_t nHeight,
                     HWND hWndParent, void* hMenu, HINSTANCE hInstance,
                     void* lpParam) {
  HWND window;
  fake::CreateParams params;
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::CreateWindowExW)) {
      const uintptr_t args[12] = {
          dwExStyle,     asArg(lpClassName), asArg(lpWindowName),
          dwStyle,       asArg(X),           asArg(Y),
          asArg(nWidth), asArg(nHeight),     asArg(hWndParent),
          asArg(hMenu),  asArg(hInstance),   asArg(lpParam)};
      std::memcpy(c->args, args, sizeof c->args);  // lpParam does not fit
      fake::copyName(c->text, 256, lpClassName);
      fake::copyUnits(c->text2, 128, lpWindowName);
    }
    if (fake::shouldFail(Op::CreateWindowExW)) return nullptr;
    const fake::ClassEntry* cls = fake::findClass(lpClassName);
    if (cls == nullptr) return nullptr;
    if ((dwStyle & fake::WS_CHILD) != 0 &&
        fake::liveWindow(hWndParent) == nullptr)
      return nullptr;
    fake::Window w = fake::newWindow(fake::WindowKind::program);
    w.className = cls->info.name;
    w.atom = cls->info.atom;
    w.proc = cls->info.proc;
    w.title = lpWindowName != nullptr ? lpWindowName : u"";
    w.style = dwStyle;
    if (X != CW_USEDEFAULT) w.rect.x = X, w.rect.y = Y;
    if (nWidth != CW_USEDEFAULT) w.rect.width = nWidth, w.rect.height = nHeight;
    w.visible = (dwStyle & WS_VISIBLE) != 0;
    w.child = (dwStyle & fake::WS_CHILD) != 0;
    w.parent = hWndParent;
    params = {lpParam,      hInstance,     hMenu,
              hWndParent,   w.rect.height, w.rect.width,
              w.rect.y,     w.rect.x,      static_cast<int32_t>(dwStyle),
              lpWindowName, lpClassName,   dwExStyle};
    window = fake::addWindow(std::move(w));
  }
  const LRESULT created = fake::deliverMessage(
      window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&params));
  if (created == -1) fake::destroyWindowTree(window);
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  return fake::liveWindow(window) != nullptr ? window : nullptr;
}

HWND FindWindowW(const char16_t* lpClassName, const char16_t* lpWindowName) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::FindWindowW)) {
    c->args[0] = asArg(lpClassName);
    c->args[1] = asArg(lpWindowName);
    fake::copyName(c->text, 256, lpClassName);
    fake::copyUnits(c->text2, 128, lpWindowName);
  }
  if (fake::shouldFail(Op::FindWindowW)) return nullptr;
  for (size_t i = 0; i < fake::windows.size(); ++i)
    if (fake::matches(fake::windows[i], lpClassName, lpWindowName))
      return fake::handleOf(i);
  return nullptr;
}

BOOL ShowWindow(HWND hWnd, int32_t nCmdShow) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::ShowWindow)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = asArg(nCmdShow);
  }
  fake::Window* w = fake::liveWindow(hWnd);
  if (w == nullptr) return 0;
  const bool was = w->visible;  // the answer is the earlier visibility
  w->visible = nCmdShow != SW_HIDE;
  return was ? 1 : 0;
}

// The answer is whether the window was disabled before, not success.
BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::EnableWindow)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = asArg(bEnable);
  }
  fake::Window* w = fake::liveWindow(hWnd);
  if (w == nullptr) return 0;
  const bool wasDisabled = !w->enabled;
  w->enabled = bEnable != 0;
  return wasDisabled ? 1 : 0;
}

BOOL UpdateWindow(HWND hWnd) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::UpdateWindow)) c->args[0] = asArg(hWnd);
  if (fake::shouldFail(Op::UpdateWindow)) return 0;
  return fake::liveWindow(hWnd) != nullptr ? 1 : 0;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::InvalidateRect)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = asArg(lpRect);
    c->args[2] = asArg(bErase);
  }
  return fake::liveWindow(hWnd) != nullptr ? 1 : 0;
}

// WM_CLOSE destroys the window, as the platform's default does; a program
// that leaves WM_CLOSE to it relies on that.
LRESULT DefWindowProcW(HWND hWnd, uint32_t Msg, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::DefWindowProcW)) {
      c->args[0] = asArg(hWnd);
      c->args[1] = Msg;
      c->args[2] = wParam;
      c->args[3] = asArg(lParam);
    }
  }
  if (Msg == WM_CLOSE) fake::destroyWindowTree(hWnd);
  return 0;
}

BOOL DestroyWindow(HWND hWnd) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::DestroyWindow))
      c->args[0] = asArg(hWnd);
    if (fake::shouldFail(Op::DestroyWindow)) return 0;
  }
  return fake::destroyWindowTree(hWnd) ? 1 : 0;
}

LRESULT SendMessageW(HWND hWnd, uint32_t Msg, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::SendMessageW)) {
      c->args[0] = asArg(hWnd);
      c->args[1] = Msg;
      c->args[2] = wParam;
      c->args[3] = asArg(lParam);
    }
  }
  return fake::deliverMessage(hWnd, Msg, wParam, lParam);
}

BOOL MoveWindow(HWND hWnd, int32_t X, int32_t Y, int32_t nWidth,
                int32_t nHeight, BOOL bRepaint) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::MoveWindow)) {
    const uintptr_t args[6] = {asArg(hWnd),   asArg(X),       asArg(Y),
                               asArg(nWidth), asArg(nHeight), asArg(bRepaint)};
    std::memcpy(c->args, args, sizeof args);
  }
  fake::Window* w = fake::liveWindow(hWnd);
  if (fake::shouldFail(Op::MoveWindow) || w == nullptr) return 0;
  w->rect = {X, Y, nWidth, nHeight};
  return 1;
}

BOOL SetForegroundWindow(HWND hWnd) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SetForegroundWindow))
    c->args[0] = asArg(hWnd);
  if (fake::shouldFail(Op::SetForegroundWindow) ||
      fake::liveWindow(hWnd) == nullptr)
    return 0;
  fake::foreground = hWnd;
  return 1;
}

int32_t GetSystemMetrics(int32_t nIndex) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::GetSystemMetrics))
    c->args[0] = asArg(nIndex);
  if (fake::shouldFail(Op::GetSystemMetrics)) return 0;
  if (nIndex == SM_CXSCREEN) return fake::screenW;
  if (nIndex == SM_CYSCREEN) return fake::screenH;
  return 0;
}

}  // namespace plat
