// The screen every start shows: the main reply's text, rings and reply on
// rejection, the start after a reset, and ACTIVATE or Quit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"
#include "resources/resource_ids.h"

intptr_t mainSettingsScreenProc(plat::HWND screen, uint32_t message,
                                plat::WPARAM wParam, plat::LPARAM lParam);

// The texts the screen writes, for a given state of the settings.
void ringsLabelText(char16_t* out, size_t capacity);
void rulesLabelText(bool afterRulesScreen, char16_t* out, size_t capacity);
