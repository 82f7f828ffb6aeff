// The second reply screen: the second message's text, whether it also
// answers a rejected call, its number rules, and ACTIVATE or Cancel, which
// switch its rules on or off.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"
#include "resources/resource_ids.h"

intptr_t secondReplyScreenProc(plat::HWND screen, uint32_t message,
                               plat::WPARAM wParam, plat::LPARAM lParam);

// The texts of labels 1015 and 1026 for the current settings.
void secondRingsLabelText(char16_t* out, size_t capacity);
void secondRulesLabelText(char16_t* out, size_t capacity);
