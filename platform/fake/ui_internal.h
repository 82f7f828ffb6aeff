// Shared by the user interface parts of the in-memory device: the window
// store, message delivery, and each part's reset.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/fake/internal.h"
#include "platform/fake/ui.h"
#include "platform/window.h"

namespace fake {

// Handles of different kinds stay apart, so one passed for another is
// refused rather than mistaken.
constexpr uintptr_t kFirstWindow = 0x100000;
constexpr uintptr_t kFirstIcon = 0x200000;
constexpr uintptr_t kFirstDrawingObject = 0x300000;
constexpr uintptr_t kFirstDeviceContext = 0x400000;
constexpr uintptr_t kFirstThread = 0x500000;
constexpr uintptr_t kFirstSearch = 0x600000;
constexpr uintptr_t kFirstResource = 0x700000;  // + template id
constexpr uintptr_t kFirstLoaded = 0x780000;    // + template id

constexpr uint32_t WS_CHILD = 0x40000000u;
constexpr uint32_t WM_QUIT = 0x0012;

enum class WindowKind { program, dialog, control, foreign };

struct Window {
  WindowKind kind;
  std::u16string className;
  uint16_t atom;
  std::u16string title;
  plat::WNDPROC proc;        // program windows
  plat::DLGPROC dialogProc;  // dialogs
  uint32_t style;
  Rect rect;
  bool visible;
  bool destroying;  // WM_DESTROY is on its way
  bool destroyed;
  bool child;
  plat::HWND parent;  // parent of a child, owner of a top-level window
  bool enabled = true;
  // Controls.
  int controlId;
  ControlSpec::Kind controlKind;
  uintptr_t check;
  int radioGroup;  // radio buttons: which run of them in the template
  std::vector<ReceivedMessage> received;
  // List views.
  std::vector<ListRow> rows;
  std::vector<ListColumn> columns;
  uint32_t listStyle;  // the extended style
  plat::COLORREF textColour = CLR_INVALID;
  // Dialogs.
  bool ended;
  intptr_t result;
  size_t run;  // index into the dialog runs
};

// With deviceMutex held.
std::vector<Window>& windowStore();
// Any window ever created; null for handles that are not windows.
Window* findWindow(plat::HWND handle);
// A window that is not destroyed.
Window* liveWindow(plat::HWND handle);
plat::HWND addWindow(Window window);
// Without deviceMutex held: a field of any window ever created, `absent`
// for handles that are not windows.
template <typename T>
T windowField(plat::HWND window, T Window::*field, T absent) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const Window* w = findWindow(window);
  return w != nullptr ? w->*field : absent;
}
int32_t screenWidth();
int32_t screenHeight();
plat::HWND& focusedRef();

// Resource names and class names may be identifiers rather than text.
inline bool isIntResource(const char16_t* name) {
  return reinterpret_cast<uintptr_t>(name) < 0x10000;
}
inline void copyName(char16_t* target, size_t capacity, const char16_t* name) {
  copyUnits(target, capacity, isIntResource(name) ? nullptr : name);
}

// Sends WM_DESTROY to the window, its owned windows and its children, and
// marks them destroyed; false when it was not a live window.
bool destroyWindowTree(plat::HWND window);
// Moves the focus as the platform does, notifying edit boxes' dialogs;
// returns the window that had it.
plat::HWND moveFocus(plat::HWND to);
// The notification of a control to its dialog.
void notifyParent(plat::HWND control, uint16_t code);

// With deviceMutex held: what a control does with a message sent to it.
intptr_t controlMessage(Window& control, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);
// Without deviceMutex held, as a list view may notify its dialog: what a
// list view does with a message sent to it.
intptr_t listViewMessage(plat::HWND list, uint32_t message, uintptr_t wParam,
                         intptr_t lParam);
// Without deviceMutex held: whether a live list view has the row, and the
// user's taps on one, with the notifications they cause (false, and
// nothing sent, for a row the list does not have).
bool listHasRow(plat::HWND list, int32_t row);
bool tickListRow(plat::HWND list, int32_t row);
bool tapListRow(plat::HWND list, int32_t row);
// Without deviceMutex held: calls a dialog procedure and records the answer.
intptr_t dialogMessage(plat::HWND dialog, uint32_t message, uintptr_t wParam,
                       intptr_t lParam);
// Runs a dialog's script until it ends; with deviceMutex not held.
void runScript(plat::HWND dialog, size_t run,
               const std::vector<UserAction>& actions);
// With deviceMutex held: the dialog run of that index.
DialogRun& dialogRun(size_t index);
// Device contexts for the colour messages (deviceMutex held).
plat::HDC newDeviceContext();
DeviceContextState deviceContextLocked(plat::HDC dc);
void setColourAnswers(std::vector<ColourAnswer> answers);

// With deviceMutex held; fake::reset() runs them through resetUi().
void resetWindows();
void resetMessageLoop();
void resetIcons();
void resetTray();
void resetThreads();
void resetDialogs();
void resetDrawing();
void resetShell();
void resetSearches();

}  // namespace fake
