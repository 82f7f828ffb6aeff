// The few things every screen does with its controls by identifier.
#pragma once

#include <cstdint>

#include "platform/types.h"

plat::HWND dialogItem(plat::HWND screen, int32_t id);
void setItemText(plat::HWND screen, int32_t id, const char16_t* text);
void setItemCheck(plat::HWND screen, int32_t id, bool checked);
// BM_GETCHECK: non-zero for a ticked box or the set radio button.
bool isItemChecked(plat::HWND screen, int32_t id);
