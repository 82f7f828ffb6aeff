// Dialog controls: lookup by identifier, window texts, check boxes and
// radio buttons, and the focus with the notifications an edit box sends
// when it moves.
#include <mutex>

#include "platform/dialogs.h"
#include "platform/fake/ui_internal.h"

namespace fake {
namespace {

bool isEditBox(plat::HWND window) {
  const Window* w = liveWindow(window);
  return w != nullptr && w->kind == WindowKind::control &&
         w->controlKind == ControlSpec::editBox;
}

// With deviceMutex held.
plat::HWND itemOf(plat::HWND dialog, int id) {
  std::vector<Window>& all = windowStore();
  for (size_t i = 0; i < all.size(); ++i) {
    const Window& w = all[i];
    if (!w.destroyed && w.kind == WindowKind::control && w.parent == dialog &&
        w.controlId == id)
      return reinterpret_cast<plat::HWND>(kFirstWindow + i);
  }
  return nullptr;
}

}  // namespace

intptr_t controlMessage(Window& control, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
  control.received.push_back({message, wParam, lParam});
  if (control.controlKind != ControlSpec::checkBox &&
      control.controlKind != ControlSpec::radioButton)
    return 0;
  if (message == plat::BM_SETCHECK) control.check = wParam;
  if (message == plat::BM_GETCHECK) return static_cast<intptr_t>(control.check);
  return 0;
}

plat::HWND moveFocus(plat::HWND to) {
  plat::HWND from;
  bool fromEdit;
  bool toEdit;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    from = focusedRef();
    if (from == to) return from;
    focusedRef() = to;
    fromEdit = isEditBox(from);
    toEdit = isEditBox(to);
  }
  if (fromEdit) notifyParent(from, plat::EN_KILLFOCUS);
  if (toEdit) notifyParent(to, plat::EN_SETFOCUS);
  return from;
}

void notifyParent(plat::HWND control, uint16_t code) {
  plat::HWND parent;
  uintptr_t id;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    const Window* w = liveWindow(control);
    if (w == nullptr) return;
    parent = w->parent;
    id = static_cast<uint16_t>(w->controlId);
  }
  deliverMessage(parent, plat::WM_COMMAND, id | (uintptr_t{code} << 16),
                 reinterpret_cast<intptr_t>(control));
}

plat::HWND dialogItem(plat::HWND dialog, int controlId) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return itemOf(dialog, controlId);
}

uintptr_t checkState(plat::HWND control) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(control);
  return w != nullptr ? w->check : 0;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HWND GetDlgItem(HWND hDlg, int32_t nIDDlgItem) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::GetDlgItem)) {
    c->args[0] = asArg(hDlg);
    c->args[1] = asArg(nIDDlgItem);
  }
  if (fake::shouldFail(Op::GetDlgItem) || fake::liveWindow(hDlg) == nullptr)
    return nullptr;
  return fake::itemOf(hDlg, nIDDlgItem);
}

int32_t GetDlgCtrlID(HWND hWnd) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::GetDlgCtrlID)) c->args[0] = asArg(hWnd);
  const fake::Window* w = fake::liveWindow(hWnd);
  if (fake::shouldFail(Op::GetDlgCtrlID) || w == nullptr ||
      w->kind != fake::WindowKind::control)
    return 0;
  return w->controlId;
}

BOOL SetWindowTextW(HWND hWnd, const char16_t* lpString) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SetWindowTextW)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = asArg(lpString);
    fake::copyUnits(c->text, 256, lpString);
  }
  fake::Window* w = fake::liveWindow(hWnd);
  if (fake::shouldFail(Op::SetWindowTextW) || w == nullptr) return 0;
  w->title = lpString != nullptr ? lpString : u"";
  return 1;
}

int32_t GetWindowTextW(HWND hWnd, char16_t* lpString, int32_t nMaxCount) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::GetWindowTextW)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = asArg(lpString);
    c->args[2] = asArg(nMaxCount);
  }
  if (lpString == nullptr || nMaxCount <= 0) return 0;
  lpString[0] = 0;
  const fake::Window* w = fake::liveWindow(hWnd);
  if (fake::shouldFail(Op::GetWindowTextW) || w == nullptr) return 0;
  const size_t room = static_cast<size_t>(nMaxCount) - 1;
  const size_t n = w->title.size() < room ? w->title.size() : room;
  w->title.copy(lpString, n);
  lpString[n] = 0;
  return static_cast<int32_t>(n);
}

HWND SetFocus(HWND hWnd) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::SetFocus)) c->args[0] = asArg(hWnd);
    if (fake::shouldFail(Op::SetFocus) ||
        (hWnd != nullptr && fake::liveWindow(hWnd) == nullptr))
      return nullptr;
  }
  return fake::moveFocus(hWnd);
}

}  // namespace plat
