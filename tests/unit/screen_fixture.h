// A device with the program's screen templates, for the shell and screen
// tests.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/types.h"

// freshEngine(), and the shell, screens and contact import back to start,
// with templates 107 to 110 registered.
void freshProgram();

// The text of one of the active dialog's controls.
std::u16string controlText(int controlId);
std::u16string controlTextOf(plat::HWND dialog, int controlId);

// A DWORD value of the settings key, or -1 when absent.
int32_t storedDword(const char16_t* name);
int32_t storedActivate();
void storeDword(const char16_t* name, uint32_t value);

struct SeenColour {
  int control;
  plat::COLORREF brush;
  plat::COLORREF text;
  int32_t bkMode;
  std::u16string face;  // empty: no font selected
  int32_t height;
  int32_t weight;
};

// What the last repaint answered, read while the objects are still alive.
std::vector<SeenColour> seenColours();
