// The taskbar tray: icons by window and identifier.
#include "platform/tray.h"

#include <cstring>
#include <mutex>

#include "platform/fake/ui_internal.h"

namespace fake {
namespace {

std::vector<plat::NOTIFYICONDATAW> tray;
size_t addsEver = 0;

plat::NOTIFYICONDATAW* findIcon(const plat::NOTIFYICONDATAW& d) {
  for (plat::NOTIFYICONDATAW& i : tray)
    if (i.hWnd == d.hWnd && i.uID == d.uID) return &i;
  return nullptr;
}

void modify(plat::NOTIFYICONDATAW& kept, const plat::NOTIFYICONDATAW& d) {
  kept.cbSize = d.cbSize;
  kept.uFlags |= d.uFlags;
  if ((d.uFlags & plat::NIF_MESSAGE) != 0)
    kept.uCallbackMessage = d.uCallbackMessage;
  if ((d.uFlags & plat::NIF_ICON) != 0) kept.hIcon = d.hIcon;
  if ((d.uFlags & plat::NIF_TIP) != 0)
    std::memcpy(kept.szTip, d.szTip, sizeof kept.szTip);
}

}  // namespace

void resetTray() {
  tray.clear();
  addsEver = 0;
}

std::vector<plat::NOTIFYICONDATAW> trayIcons() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return tray;
}

size_t trayAddsEver() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return addsEver;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

BOOL Shell_NotifyIconW(uint32_t dwMessage, NOTIFYICONDATAW* lpdata) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::Shell_NotifyIconW)) {
    c->args[0] = dwMessage;
    c->args[1] = asArg(lpdata);
    if (lpdata != nullptr) {
      const uintptr_t fields[6] = {
          lpdata->cbSize, asArg(lpdata->hWnd),      lpdata->uID,
          lpdata->uFlags, lpdata->uCallbackMessage, asArg(lpdata->hIcon)};
      std::memcpy(c->args + 2, fields, sizeof fields);
      // The tip need not be terminated within its 64 units.
      char16_t tip[65] = {};
      std::memcpy(tip, lpdata->szTip, sizeof lpdata->szTip);
      fake::copyUnits(c->text, 256, tip);
      fake::copyBytes(c, lpdata, sizeof *lpdata);
    }
  }
  if (fake::shouldFail(Op::Shell_NotifyIconW) || lpdata == nullptr) return 0;
  NOTIFYICONDATAW* kept = fake::findIcon(*lpdata);
  switch (dwMessage) {
    case NIM_ADD:
      if (kept != nullptr) return 0;
      fake::tray.push_back(*lpdata);
      ++fake::addsEver;
      return 1;
    case NIM_MODIFY:
      if (kept == nullptr) return 0;
      fake::modify(*kept, *lpdata);
      return 1;
    case NIM_DELETE:
      if (kept == nullptr) return 0;
      fake::tray.erase(fake::tray.begin() + (kept - fake::tray.data()));
      return 1;
    default:
      return 0;
  }
}

}  // namespace plat
