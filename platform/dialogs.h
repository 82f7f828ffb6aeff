// Message boxes.
#pragma once

#include "platform/types.h"

namespace plat {

constexpr uint32_t MB_OK = 0;
constexpr uint32_t MB_ICONHAND = 0x10;
constexpr int32_t IDOK = 1;

int32_t MessageBoxW(HWND hWnd, const char16_t* lpText,
                    const char16_t* lpCaption, uint32_t uType);

}  // namespace plat
