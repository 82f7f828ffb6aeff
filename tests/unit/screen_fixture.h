// A device with the program's main screen template, for the shell and
// screen tests.
#pragma once

#include <string>

#include "platform/types.h"

// freshEngine(), and the shell, screens and contact import back to start,
// with template 107 registered.
void freshProgram();

// The text of one of the active dialog's controls.
std::u16string controlText(int controlId);
std::u16string controlTextOf(plat::HWND dialog, int controlId);

// The registry value "Activate", or -1 when absent.
int32_t storedActivate();
