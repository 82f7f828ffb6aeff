// The program's icon, loaded at the sizes asked for; every load is a new
// handle the program must destroy.
#include <cstring>
#include <mutex>

#include "platform/fake/ui_internal.h"
#include "platform/window.h"

namespace fake {
namespace {

constexpr uint16_t kProgramIcon = 104;
constexpr int32_t kSystemIconSize = 32;

std::vector<IconInfo> icons;

plat::HICON loadIcon(const char16_t* name, int32_t cx, int32_t cy) {
  if (name != plat::makeIntResource(kProgramIcon)) return nullptr;
  icons.push_back({kProgramIcon, cx, cy, true});
  return reinterpret_cast<plat::HICON>(kFirstIcon + icons.size() - 1);
}

IconInfo* findIcon(plat::HICON icon) {
  const uintptr_t index = reinterpret_cast<uintptr_t>(icon) - kFirstIcon;
  return index < icons.size() ? &icons[index] : nullptr;
}

}  // namespace

void resetIcons() { icons.clear(); }

std::optional<IconInfo> iconInfo(plat::HICON icon) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const IconInfo* i = findIcon(icon);
  return i != nullptr ? std::optional<IconInfo>(*i) : std::nullopt;
}

size_t liveIcons() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (const IconInfo& i : icons) n += i.live ? 1 : 0;
  return n;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HICON LoadIconW(HINSTANCE hInstance, const char16_t* lpIconName) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::LoadIconW)) {
    c->args[0] = asArg(hInstance);
    c->args[1] = asArg(lpIconName);
    fake::copyName(c->text, 256, lpIconName);
  }
  if (fake::shouldFail(Op::LoadIconW)) return nullptr;
  return fake::loadIcon(lpIconName, fake::kSystemIconSize,
                        fake::kSystemIconSize);
}

void* LoadImageW(HINSTANCE hInst, const char16_t* name, uint32_t type,
                 int32_t cx, int32_t cy, uint32_t fuLoad) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::LoadImageW)) {
    const uintptr_t args[6] = {asArg(hInst), asArg(name), type,
                               asArg(cx),    asArg(cy),   fuLoad};
    std::memcpy(c->args, args, sizeof args);
    fake::copyName(c->text, 256, name);
  }
  if (fake::shouldFail(Op::LoadImageW) || type != IMAGE_ICON) return nullptr;
  return fake::loadIcon(name, cx, cy);
}

BOOL DestroyIcon(HICON hIcon) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::DestroyIcon)) c->args[0] = asArg(hIcon);
  fake::IconInfo* i = fake::findIcon(hIcon);
  if (fake::shouldFail(Op::DestroyIcon) || i == nullptr || !i->live) return 0;
  i->live = false;
  return 1;
}

}  // namespace plat
