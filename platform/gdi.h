// Drawing objects: fonts and brushes, and the device context settings the
// colour messages make.
#pragma once

#include "platform/types.h"
#include "platform/window.h"

namespace plat {

struct DeviceContext;
using HDC = DeviceContext*;
using HFONT = GdiObject*;
using HGDIOBJ = GdiObject*;
using COLORREF = uint32_t;  // 0x00BBGGRR

constexpr int32_t TRANSPARENT = 1;
constexpr int32_t BLACK_BRUSH = 4;
constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t CLEARTYPE_QUALITY = 5;

struct LOGFONTW {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char16_t lfFaceName[32];
};

HFONT CreateFontIndirectW(const LOGFONTW* lplf);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ GetStockObject(int32_t i);
BOOL DeleteObject(HGDIOBJ ho);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
int32_t SetBkMode(HDC hdc, int32_t mode);
COLORREF SetTextColor(HDC hdc, COLORREF color);

}  // namespace plat
