// Drawing objects (fonts, brushes, the stock ones) and the device contexts
// the colour messages hand to the dialog procedure.
#include "platform/gdi.h"

#include <cstring>
#include <map>
#include <mutex>

#include "platform/fake/ui_internal.h"

namespace fake {
namespace {

constexpr int32_t WHITE_BRUSH = 0;
constexpr int32_t SYSTEM_FONT = 13;
constexpr int32_t OPAQUE = 2;

struct DrawingObject {
  enum Kind { font, brush } kind;
  bool live;
  bool stock;
  plat::LOGFONTW logFont;
  plat::COLORREF colour;
};

std::vector<DrawingObject> objects;
std::map<int32_t, plat::HGDIOBJ> stock;  // made on first use
std::vector<DeviceContextState> contexts;

plat::HGDIOBJ addObject(const DrawingObject& o) {
  objects.push_back(o);
  return reinterpret_cast<plat::HGDIOBJ>(kFirstDrawingObject + objects.size() -
                                         1);
}

DrawingObject* findObject(plat::HGDIOBJ handle) {
  const uintptr_t index =
      reinterpret_cast<uintptr_t>(handle) - kFirstDrawingObject;
  return index < objects.size() && objects[index].live ? &objects[index]
                                                       : nullptr;
}

// Null for the stock objects the program has no use for.
plat::HGDIOBJ stockObject(int32_t which) {
  auto it = stock.find(which);
  if (it != stock.end()) return it->second;
  DrawingObject o{};
  o.live = true;
  o.stock = true;
  if (which == plat::BLACK_BRUSH || which == WHITE_BRUSH) {
    o.kind = DrawingObject::brush;
    o.colour = which == WHITE_BRUSH ? 0xFFFFFFu : 0;
  } else if (which == SYSTEM_FONT) {
    o.kind = DrawingObject::font;
    o.logFont.lfHeight = 16;
    o.logFont.lfWeight = plat::FW_NORMAL;
    copyUnits(o.logFont.lfFaceName, 32, u"System");
  } else {
    return nullptr;
  }
  return stock[which] = addObject(o);
}

DeviceContextState* findContext(plat::HDC dc) {
  const uintptr_t index = reinterpret_cast<uintptr_t>(dc) - kFirstDeviceContext;
  return index < contexts.size() ? &contexts[index] : nullptr;
}

}  // namespace

void resetDrawing() {
  objects.clear();
  stock.clear();
  contexts.clear();
}

plat::HDC newDeviceContext() {
  contexts.push_back({nullptr, nullptr, CLR_INVALID, 0});
  return reinterpret_cast<plat::HDC>(kFirstDeviceContext + contexts.size() - 1);
}

DeviceContextState deviceContextLocked(plat::HDC dc) {
  const DeviceContextState* s = findContext(dc);
  return s != nullptr ? *s
                      : DeviceContextState{nullptr, nullptr, CLR_INVALID, 0};
}

plat::HDC makeDeviceContext() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return newDeviceContext();
}

DeviceContextState deviceContext(plat::HDC dc) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return deviceContextLocked(dc);
}

std::optional<plat::LOGFONTW> fontOf(plat::HFONT font) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const DrawingObject* o = findObject(font);
  if (o == nullptr || o->kind != DrawingObject::font) return std::nullopt;
  return o->logFont;
}

std::optional<plat::COLORREF> brushColour(plat::HBRUSH brush) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const DrawingObject* o = findObject(brush);
  if (o == nullptr || o->kind != DrawingObject::brush) return std::nullopt;
  return o->colour;
}

size_t liveDrawingObjects() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (const DrawingObject& o : objects) n += o.live && !o.stock ? 1 : 0;
  return n;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::CreateFontIndirectW)) {
    c->args[0] = asArg(lplf);
    if (lplf != nullptr) {
      char16_t face[33] = {};  // need not be terminated within its 32
      std::memcpy(face, lplf->lfFaceName, sizeof lplf->lfFaceName);
      fake::copyUnits(c->text, 256, face);
      fake::copyBytes(c, lplf, sizeof *lplf);
    }
  }
  if (fake::shouldFail(Op::CreateFontIndirectW) || lplf == nullptr)
    return nullptr;
  fake::DrawingObject o{};
  o.kind = fake::DrawingObject::font;
  o.live = true;
  o.logFont = *lplf;
  return fake::addObject(o);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::CreateSolidBrush)) c->args[0] = color;
  if (fake::shouldFail(Op::CreateSolidBrush)) return nullptr;
  fake::DrawingObject o{};
  o.kind = fake::DrawingObject::brush;
  o.live = true;
  o.colour = color;
  return fake::addObject(o);
}

HGDIOBJ GetStockObject(int32_t i) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::GetStockObject)) c->args[0] = asArg(i);
  if (fake::shouldFail(Op::GetStockObject)) return nullptr;
  return fake::stockObject(i);
}

// Stock objects are not the program's to delete: refused.
BOOL DeleteObject(HGDIOBJ ho) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::DeleteObject)) c->args[0] = asArg(ho);
  fake::DrawingObject* o = fake::findObject(ho);
  if (fake::shouldFail(Op::DeleteObject) || o == nullptr || o->stock) return 0;
  o->live = false;
  return 1;
}

// Answers the object of the same kind it replaces (at first the context's
// defaults: the system font, the white brush).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SelectObject)) {
    c->args[0] = asArg(hdc);
    c->args[1] = asArg(h);
  }
  fake::DeviceContextState* dc = fake::findContext(hdc);
  const fake::DrawingObject* o = fake::findObject(h);
  if (fake::shouldFail(Op::SelectObject) || dc == nullptr || o == nullptr)
    return nullptr;
  HGDIOBJ previous;
  if (o->kind == fake::DrawingObject::font) {
    previous =
        dc->font != nullptr ? dc->font : fake::stockObject(fake::SYSTEM_FONT);
    dc->font = h;
  } else {
    previous =
        dc->brush != nullptr ? dc->brush : fake::stockObject(fake::WHITE_BRUSH);
    dc->brush = h;
  }
  return previous;
}

int32_t SetBkMode(HDC hdc, int32_t mode) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SetBkMode)) {
    c->args[0] = asArg(hdc);
    c->args[1] = asArg(mode);
  }
  fake::DeviceContextState* dc = fake::findContext(hdc);
  if (fake::shouldFail(Op::SetBkMode) || dc == nullptr) return 0;
  const int32_t previous = dc->bkMode != 0 ? dc->bkMode : fake::OPAQUE;
  dc->bkMode = mode;
  return previous;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SetTextColor)) {
    c->args[0] = asArg(hdc);
    c->args[1] = color;
  }
  fake::DeviceContextState* dc = fake::findContext(hdc);
  if (fake::shouldFail(Op::SetTextColor) || dc == nullptr)
    return fake::CLR_INVALID;
  const COLORREF previous =
      dc->textColour != fake::CLR_INVALID ? dc->textColour : 0;
  dc->textColour = color;
  return previous;
}

}  // namespace plat
