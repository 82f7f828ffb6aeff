// What the settings screens share: opening one, fitting it to the display,
// the colours and fonts, and the input-panel rules.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/types.h"

// Set by the shell at start: the module every template is loaded from, and
// the display's class (0: 240x320, 1: wide, 2: short), which never changes.
extern plat::HINSTANCE appInstance;
extern int32_t orientation;

struct ScreenPalette {
  plat::COLORREF white;
  plat::COLORREF blue;
  plat::COLORREF red;
};
constexpr ScreenPalette screenPalette{0xFFFFFF, 0xC04000, 0x0000FF};

// One control drawn unlike the rest: its font (none: the template's), its
// text colour, and whether it stands on the white brush.
struct ControlStyle {
  int32_t controlId;
  const char16_t* face;
  int32_t height;
  plat::COLORREF text;
  bool onWhite;
};

constexpr size_t kMaxStyledControls = 4;

// The drawing objects one open screen owns, from set-up to its end.
struct ScreenObjects {
  const ControlStyle* rows;
  size_t rowCount;
  plat::HBRUSH blueBrush;
  plat::HBRUSH whiteBrush;
  plat::HFONT fonts[kMaxStyledControls];
};

// The width and height of every screen for the display's class.
void screenSize(int32_t orientationClass, int32_t* width, int32_t* height);

// The class of a display of this size: wider than 240 is wide, else lower
// than 320 is short.
int32_t orientationOf(int32_t screenWidth, int32_t screenHeight);

plat::HFONT makeFont(const char16_t* face, int32_t height, bool bold,
                     int32_t style, bool clearType);

// Loads the template and runs the screen modally; returns when it ends.
intptr_t runScreen(uint16_t templateId, plat::HWND owner, plat::DLGPROC proc);

// The last step of every screen's set-up.
void initScreen(plat::HWND screen);
// Full screen at the display's size, taskbar, Done button and input-panel
// button hidden; again after a screen opened from this one has closed.
void refitScreen(plat::HWND screen);

void createScreenObjects(ScreenObjects& objects, const ControlStyle* rows,
                         size_t rowCount);
void deleteScreenObjects(ScreenObjects& objects);

// The answer to WM_CTLCOLORBTN, WM_CTLCOLORDLG and WM_CTLCOLORSTATIC: selects
// only objects made at set-up, so repainting creates nothing.
intptr_t answerColour(const ScreenObjects& objects, plat::HDC dc,
                      plat::HWND control);

bool isColourMessage(uint32_t message);

// What every screen answers alike: a tap on the ground takes the input
// panel down, and the colour messages get the colour answer; anything else
// is not handled (0).
intptr_t answerScreenMessage(const ScreenObjects& objects, plat::HWND screen,
                             uint32_t message, plat::WPARAM wParam,
                             plat::LPARAM lParam);

// Copies a message text box into `text`, at most 149 characters.
void readMessageBox(plat::HWND screen, int32_t boxId, char16_t* text);

// The message text box's notifications: the panel up while it has the focus;
// leaving it stores its text. Other notifications do nothing.
void handleMessageBox(plat::HWND screen, uint16_t notification,
                      int32_t boxId, char16_t* text);
