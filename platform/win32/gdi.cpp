// Fonts, brushes and device context settings: the gdi32 calls.
#include <algorithm>
#include <iterator>

#include "platform/win32/win32.h"

namespace {

::HDC nativeDc(plat::HDC dc) { return reinterpret_cast<::HDC>(dc); }

::HGDIOBJ nativeObject(plat::HGDIOBJ object) {
  return reinterpret_cast<::HGDIOBJ>(object);
}

plat::HGDIOBJ platObject(::HGDIOBJ object) {
  return reinterpret_cast<plat::HGDIOBJ>(object);
}

}  // namespace

namespace plat {

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
  if (lplf == nullptr) return nullptr;
  ::LOGFONTW native{};
  native.lfHeight = lplf->lfHeight;
  native.lfWidth = lplf->lfWidth;
  native.lfEscapement = lplf->lfEscapement;
  native.lfOrientation = lplf->lfOrientation;
  native.lfWeight = lplf->lfWeight;
  native.lfItalic = lplf->lfItalic;
  native.lfUnderline = lplf->lfUnderline;
  native.lfStrikeOut = lplf->lfStrikeOut;
  native.lfCharSet = lplf->lfCharSet;
  native.lfOutPrecision = lplf->lfOutPrecision;
  native.lfClipPrecision = lplf->lfClipPrecision;
  native.lfQuality = lplf->lfQuality;
  native.lfPitchAndFamily = lplf->lfPitchAndFamily;
  static_assert(sizeof native.lfFaceName == sizeof lplf->lfFaceName,
                "face names of the same length");
  std::copy(std::begin(lplf->lfFaceName), std::end(lplf->lfFaceName),
            std::begin(native.lfFaceName));
  // A name that fills the field is cut by one unit rather than read past.
  native.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return reinterpret_cast<HFONT>(::CreateFontIndirectW(&native));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  return reinterpret_cast<HBRUSH>(::CreateSolidBrush(color));
}

HGDIOBJ GetStockObject(int32_t i) { return platObject(::GetStockObject(i)); }

BOOL DeleteObject(HGDIOBJ ho) { return ::DeleteObject(nativeObject(ho)); }

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  return platObject(::SelectObject(nativeDc(hdc), nativeObject(h)));
}

int32_t SetBkMode(HDC hdc, int32_t mode) {
  return ::SetBkMode(nativeDc(hdc), mode);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  return ::SetTextColor(nativeDc(hdc), color);
}

}  // namespace plat
