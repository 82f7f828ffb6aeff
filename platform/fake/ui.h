// The user interface side of the in-memory device: windows and the message
// loop, icons and the tray, threads, modal dialogs with a scripted user,
// drawing objects and the handset shell. fake::reset() forgets all of it.
//
// How these calls appear in the call log (device.h): `args` holds the
// parameters in order (pointers as addresses); `text` the first text
// parameter and `text2` the second (never read from a resource identifier).
// Records passed by pointer are copied whole into `data` (WNDCLASSW, MSG,
// NOTIFYICONDATAW, LOGFONTW, SHINITDLGINFO, SHACTIVATEINFO), and their
// fields follow the parameters in `args`:
//   Shell_NotifyIconW   args[2..7]: cbSize, hWnd, uID, uFlags,
//                       uCallbackMessage, hIcon; text: szTip
//   SHInitDialog        args[1..3]: dwMask, hDlg, dwFlags
//   SHHandleWMActivate  args[5..9]: cbSize, hwndLastFocus, fSipUp,
//                       fSipOnDeactivation, fActive
//   SHHandleWMSettingChange  args[4..8]: the same five fields
//   CreateWindowExW     lpParam, the twelfth parameter, is not kept
//   GetMessageW, DispatchMessageW, TranslateMessage, TranslateAcceleratorW:
//                       after the parameters, the message's hwnd, message,
//                       wParam, lParam (as the call left it for GetMessageW)
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/tray.h"
#include "platform/window.h"

namespace fake {

// ---- The screen -------------------------------------------------------

// What GetSystemMetrics reports for SM_CXSCREEN and SM_CYSCREEN; 240x320
// after a reset.
void setScreenSize(int32_t width, int32_t height);

// ---- Windows ----------------------------------------------------------

struct Rect {
  int32_t x, y, width, height;
};

struct ReceivedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

struct WindowClass {
  std::u16string name;
  plat::WNDPROC proc;
  uint32_t style;
  plat::HICON icon;
  plat::HBRUSH background;
  uint16_t atom;
};
std::vector<WindowClass> registeredClasses();

// A top-level window of another process (another instance of the program,
// the shell's desktop): FindWindowW finds it, messages sent to it are kept
// for receivedMessages(), and DestroyWindow refuses it.
plat::HWND createForeignWindow(const std::u16string& className,
                               const std::u16string& title);
// The shell's desktop window ("DesktopExplorerWindow"), absent until added.
plat::HWND addDesktopWindow();
// Messages sent or dispatched to a window that has no procedure of the
// program: foreign windows and dialog controls.
std::vector<ReceivedMessage> receivedMessages(plat::HWND window);

// State of any window ever created, also after it was destroyed.
Rect windowRect(plat::HWND window);
bool windowVisible(plat::HWND window);
bool windowDestroyed(plat::HWND window);  // also true for unknown handles
std::u16string windowText(plat::HWND window);
std::u16string windowClassName(plat::HWND window);
uint32_t windowStyle(plat::HWND window);
// The parent of a child window, the owner of a top-level one.
plat::HWND windowParent(plat::HWND window);
plat::HWND foregroundWindow();
plat::HWND focusedWindow();
// Windows neither destroyed nor foreign.
size_t liveWindows();

// ---- The message loop -------------------------------------------------

// Queues input for GetMessageW, in order.
void postMessage(plat::HWND window, uint32_t message, uintptr_t wParam,
                 intptr_t lParam);
// Queues test code that GetMessageW runs when it reaches it (outside any
// lock), before it takes the next message: the clock can move, or a
// notification arrive, while the program's loop runs.
void postAction(std::function<void()> action);
// GetMessageW found neither a message nor a quit and returned 0 anyway:
// the program's loop ended without anyone asking it to.
bool messageLoopRanDry();
// Whether PostQuitMessage was called, and its exit code.
bool quitPosted();
int32_t quitCode();
// Whether the Ctrl key is held, for TranslateAcceleratorW.
void setControlDown(bool down);

// ---- Icons ------------------------------------------------------------

struct IconInfo {
  uint16_t id;
  int32_t cx, cy;  // LoadIconW gives the system size, 32x32
  bool live;
};
std::optional<IconInfo> iconInfo(plat::HICON icon);
// Icons loaded and not yet destroyed.
size_t liveIcons();

// ---- The tray ---------------------------------------------------------

// The icons in the tray in the order they were added. NIM_ADD keeps a copy
// of the whole record; NIM_MODIFY replaces cbSize and the members its
// uFlags name, and adds those flags to the kept uFlags.
std::vector<plat::NOTIFYICONDATAW> trayIcons();
size_t trayAddsEver();

// ---- Threads ----------------------------------------------------------

size_t threadsStarted();
// Thread routines that have returned.
size_t threadsFinished();
// Handles CreateThread gave out that CloseHandle has not closed.
size_t openThreadHandles();

// ---- Dialogs ----------------------------------------------------------

// A control of a dialog template. Check boxes are automatic: a click
// toggles them. Radio buttons are automatic too: the radio buttons that
// follow each other in a template form one group, and a click sets the
// clicked one and clears the others. Texts are the control's window text.
struct ControlSpec {
  enum Kind { button, checkBox, radioButton, staticText, editBox, listView };
  int id;
  Kind kind;
  std::u16string caption;
};
// The program's dialog template `id` (replacing one of the same id).
void addDialogTemplate(int id, std::vector<ControlSpec> controls);

// What the scripted user does inside a dialog.
struct UserAction {
  enum Kind {
    click,
    type,
    focus,
    blur,
    tapGround,
    repaint,
    inspect,
    tickRow,
    tapRow
  };
  Kind kind;
  int control;
  std::u16string text;
  int32_t x, y;
  std::function<void()> check;
  int32_t row;  // of a list view
};
// A button, check box or radio button: focus moves to it (an edit box
// losing it notifies EN_KILLFOCUS), a check box toggles, a radio button is
// set and the others of its group cleared, then BN_CLICKED.
UserAction click(int controlId);
// An edit box: focus moves to it (EN_SETFOCUS), its whole text is
// replaced, focus leaves it (EN_KILLFOCUS).
UserAction type(int controlId, std::u16string text);
// Moves the focus to a visible control, or takes it off a focused one;
// edit boxes notify EN_SETFOCUS and EN_KILLFOCUS.
UserAction focus(int controlId);
UserAction blur(int controlId);
// WM_LBUTTONDOWN on the dialog's ground at (x, y).
UserAction tapGround(int32_t x = 10, int32_t y = 10);
// Asks the dialog procedure for the colours of every visible control
// (WM_CTLCOLORSTATIC for static texts, check boxes and radio buttons,
// WM_CTLCOLORBTN for buttons) and of the dialog (WM_CTLCOLORDLG), each
// with a fresh device context; lastColourAnswers() tells what came back.
UserAction repaint();
// Runs test code mid-dialog.
UserAction inspect(std::function<void()> check);
// A tap on the check box of a list view's row, as the platform's list view
// takes it: the focus moves to the list, the box toggles (state image
// 1 <-> 2; a row with image 0 has no box and stays as it is) and the dialog
// hears LVN_ITEMCHANGED, but the selection stays as it was.
UserAction tickRow(int listId, int row);
// A tap on a list view's row beside its check box: the focus moves to the
// list, that row alone becomes selected and focused; every row whose state
// changes notifies LVN_ITEMCHANGED, the rows losing the selection first.
// Both are refused for a disabled or hidden list and a row it does not have.
UserAction tapRow(int listId, int row);

// fake::reset() must not run while a dialog does.
//
// Queues one script for the next dialog of template `templateId` that has
// no script yet: each DialogBoxIndirectParamW of that template, nested ones
// included, takes the next script queued for it (none: an empty script).
void scriptDialog(int templateId, std::vector<UserAction> actions);
// Scripts queued and not yet taken by a dialog.
size_t scriptsPending();

struct DialogMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  intptr_t answer;  // what the dialog procedure returned
};

// One DialogBoxIndirectParamW that got as far as creating its dialog.
struct DialogRun {
  int templateId;
  plat::HWND dialog;
  plat::HWND owner;
  intptr_t initParam;
  bool ended;          // EndDialog was called for it
  intptr_t result;     // what DialogBoxIndirectParamW returned
  bool leftOpen;       // the script ran out before EndDialog: returned -1
  bool returned;       // DialogBoxIndirectParamW has returned
  size_t actionsDone;  // actions taken, refused ones included
  size_t actionsLeft;  // actions never taken because the dialog had ended
  // Actions (by index in the script) the user could not do: no such
  // control or row, a hidden or disabled one, or one of the wrong kind;
  // nothing was sent.
  std::vector<size_t> refused;
  // Every message the dialog procedure got, WM_INITDIALOG first.
  std::vector<DialogMessage> messages;
};
// In the order the dialogs were created (an outer dialog before the
// dialogs it opens).
std::vector<DialogRun> dialogRuns();
size_t dialogsLeftOpen();
// The innermost dialog now running, null when none.
plat::HWND activeDialog();
// A control of a dialog without a recorded call, null when absent.
plat::HWND dialogItem(plat::HWND dialog, int controlId);
uintptr_t checkState(plat::HWND control);

// A disabled window takes no clicks, types or taps from the scripted user.
bool windowEnabled(plat::HWND window);

// ---- List views -------------------------------------------------------
//
// A listView control answers the LVM_ messages of platform/list_view.h as
// the platform's report view does. Rows are kept in position order; a
// message naming a row the list does not have changes nothing and answers
// 0 (-1 for LVM_INSERTITEMW). LVM_SETITEMSTATE (row -1: every row) sends
// the dialog LVN_ITEMCHANGED for each row whose state changed under the
// mask, synchronously, before it returns; uChanged is LVIF_STATE. Rows that
// LVM_INSERTITEMW adds without a state image get image 1 while the list has
// LVS_EX_CHECKBOXES; inserting notifies nothing.

struct ListRow {
  std::vector<std::u16string> cells;  // by subitem
  uint32_t state;
};
struct ListColumn {
  int32_t index;  // where LVM_INSERTCOLUMNW put it
  uint32_t mask;
  int32_t fmt;
  int32_t width;
  std::u16string title;
  int32_t subItem;
};
std::vector<ListRow> listRows(plat::HWND list);
std::vector<ListColumn> listColumns(plat::HWND list);
uint32_t listExtendedStyle(plat::HWND list);
// CLR_INVALID until LVM_SETTEXTCOLOR.
plat::COLORREF listTextColour(plat::HWND list);
// The tick a row shows: its state image index less one (-1: no image).
int32_t rowTick(const ListRow& row);

// One answer to a colour message of the last repaint.
struct ColourAnswer {
  int control;        // the control's id; 0 for the dialog itself
  plat::HWND window;  // the control, or the dialog
  uint32_t message;
  plat::HBRUSH brush;  // what the procedure returned
  // What the procedure left in the device context: null, CLR_INVALID and
  // 0 where it did not select a font, set a text colour or a mode.
  plat::HFONT font;
  plat::COLORREF textColour;
  int32_t bkMode;
};
constexpr plat::COLORREF CLR_INVALID = 0xFFFFFFFFu;
std::vector<ColourAnswer> lastColourAnswers();

// ---- Drawing objects --------------------------------------------------

std::optional<plat::LOGFONTW> fontOf(plat::HFONT font);  // live fonts only
// Live brushes, the stock ones included.
std::optional<plat::COLORREF> brushColour(plat::HBRUSH brush);
// Fonts and brushes created and not yet deleted; stock objects not counted.
size_t liveDrawingObjects();

struct DeviceContextState {
  plat::HFONT font;  // null until one is selected
  plat::HBRUSH brush;
  plat::COLORREF textColour;  // CLR_INVALID until set
  int32_t bkMode;             // 0 until set
};
// A device context like those the colour messages carry.
plat::HDC makeDeviceContext();
DeviceContextState deviceContext(plat::HDC dc);

// ---- The handset shell ------------------------------------------------

// Down after a reset. SHSipPreference and SHInitDialog's SHIDIF_SIPDOWN
// move it; the test can move it as the user would.
bool inputPanelUp();
void setInputPanelUp(bool up);
// The SHFS_HIDE... flags in effect for a window (each SHFS_SHOW... flag,
// one bit below its SHFS_HIDE... flag, clears it).
uint32_t fullScreenFlags(plat::HWND window);
// SHHandleWMActivate and SHHandleWMSettingChange only record; they refuse
// (answer 0) a record without its cbSize set.
//
// The last state SHDoneButton was given for the window (SHIDIF_DONEBUTTON
// in SHInitDialog counts as showing it); 0 when never.
uint32_t doneButtonState(plat::HWND window);

// SHCreateShortcut writes the shortcut as a file of the in-memory file
// system (platform/fake/files.h) whose bytes are `#"<target>"` in UTF-8,
// replacing one already there. FindFirstFileW finds files there (`*` and
// `?` allowed).
//
// Search handles from FindFirstFileW not yet closed with FindClose.
size_t openSearches();

// The program's path as GetModuleFileNameW gives it.
inline constexpr char16_t kModulePath[] =
    u"\\Program Files\\Vantorel\\vantorel.exe";
inline constexpr char16_t kStartupFolder[] = u"\\Windows\\StartUp";

}  // namespace fake
