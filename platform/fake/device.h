// The in-memory device the native tests link instead of the real platform.
// It records every platform call with its arguments, can make any call fail,
// and runs window timers on a virtual clock that the test advances.
// Its call log, timer and radio paths never allocate, so it can stand behind
// allocation-counting benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/radio.h"
#include "platform/types.h"

namespace fake {

enum class Op {
  RIL_Initialize,
  SetTimer,
  KillTimer,
  SmsOpen,
  CloseHandle,
  SmsSendMessage,
  SmsClose,
  Sleep,
  RegOpenKeyExW,
  RegQueryValueExW,
  RegCreateKeyExW,
  RegSetValueExW,
  RegCloseKey,
  CreateFileW,
  SetFilePointer,
  ReadFile,
  WriteFile,
  DeleteFileW,
  MoveFileExW,
  wcstombs,
  MultiByteToWideChar,
  CoInitializeEx,
  CoCreateInstance,
  Logon,
  GetDefaultFolder,
  get_Items,
  QueryInterface,
  get_Count,
  Item,
  Getter,  // one of the nine contact getters; args[0] says which
  Logoff,
  CoUninitialize,
  MessageBoxW,
  RegisterClassW,
  CreateWindowExW,
  FindWindowW,
  ShowWindow,
  EnableWindow,
  UpdateWindow,
  InvalidateRect,
  DefWindowProcW,
  DestroyWindow,
  PostQuitMessage,
  SendMessageW,
  MoveWindow,
  SetForegroundWindow,
  GetSystemMetrics,
  GetMessageW,
  TranslateMessage,
  DispatchMessageW,
  LoadAcceleratorsW,
  TranslateAcceleratorW,
  LoadIconW,
  LoadImageW,
  DestroyIcon,
  Shell_NotifyIconW,
  CreateThread,
  FindResourceW,
  LoadResource,
  DialogBoxIndirectParamW,
  EndDialog,
  GetDlgItem,
  GetDlgCtrlID,
  SetWindowTextW,
  GetWindowTextW,
  SetFocus,
  CreateFontIndirectW,
  CreateSolidBrush,
  GetStockObject,
  DeleteObject,
  SelectObject,
  SetBkMode,
  SetTextColor,
  SHInitDialog,
  SHDoneButton,
  SHFullScreen,
  SHSipPreference,
  SHHandleWMActivate,
  SHHandleWMSettingChange,
  SHGetSpecialFolderPath,
  SHCreateShortcut,
  FindFirstFileW,
  FindClose,
  GetModuleFileNameW,
  OpCount  // not an operation: the number of them
};

const char* opName(Op op);

// One platform call as it was made. Pointer arguments are kept as addresses
// in `args`; what they pointed to is copied into the fields below (text:
// protocol, destination, key or value name, path, message box text).
struct Call {
  Op op;
  uint64_t time;  // the virtual clock when the call was made
  bool lockHeld;  // the calling thread held the call lock
  uintptr_t args[11];
  char16_t text[256];
  char16_t text2[128];   // MoveFileExW: target; MessageBoxW: caption
  uint32_t addressType;  // SmsSendMessage: destination address type
  uint8_t data[512];  // message data, value or bytes written (first 512)
  uint32_t dataSize;
  uint8_t provider[16];  // SmsSendMessage: provider data (first 16 bytes)
};

constexpr size_t kMaxCalls = 16384;

// Forgets everything: calls, failures, timers, windows, radio registration,
// and sets the virtual clock to 0.
void reset();

size_t callCount();
// Calls past kMaxCalls are counted here instead of being kept.
size_t droppedCalls();
const Call& call(size_t index);
void clearCalls();
// Calls of one kind, in order; `nth` counts from 0. Null when absent.
const Call* findCall(Op op, size_t nth = 0);
size_t countCalls(Op op);

// After `after` more calls of `op` succeed, the next `times` fail; a negative
// count fails them all from then on. Any operation that can fail on the
// device can be made to fail here.
void failCall(Op op, int times = -1, int after = 0);

// A window of the program that gets no WM_CREATE: a target for timers
// (platform/fake/ui.h has the rest of the windowing).
using WindowProc = intptr_t (*)(plat::HWND, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);
plat::HWND createWindow(WindowProc proc);

uint64_t now();
bool timerArmed(plat::HWND window, uintptr_t id);
// Moves the clock forward, delivering WM_TIMER for each expiry on the way, in
// time order, on the calling thread. Timers repeat until killed.
void advanceClock(uint64_t ms);

// Timer expiries taken off the clock but not yet delivered, as a message
// that is already on its way to the window.
struct PendingTimer {
  plat::HWND window;
  uintptr_t id;
};
// Moves the clock to the next expiry within `ms` and takes it; false when
// none falls due in that time (the clock then moves by `ms`).
bool takeNextExpiry(uint64_t ms, PendingTimer* taken);
void deliver(const PendingTimer& expiry);

// The radio layer: what the program registered, and a notification source.
bool radioRegistered();
void notify(uint32_t code, const void* payload, uint32_t size);

// Sleep parks the calling thread for ever after this many calls (the
// watcher's endless loop would otherwise spin in the test process).
constexpr int kSleepsBeforeParking = 3;

}  // namespace fake
