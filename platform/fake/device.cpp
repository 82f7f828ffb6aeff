#include "platform/fake/device.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/fake/internal.h"
#include "platform/handles.h"
#include "platform/sms.h"
#include "platform/thread.h"
#include "platform/timer.h"

namespace fake {
namespace {

constexpr size_t kMaxTimers = 16;

struct Timer {
  bool armed;
  plat::HWND window;
  uintptr_t id;
  uint32_t interval;
  uint64_t due;
};

// The log stays out of Device, so a reset need not clear all of it.
Call calls[kMaxCalls];

struct Device {
  size_t callCount;
  size_t dropped;
  Failure failures[kOpCount];
  Timer timers[kMaxTimers];
  uint64_t now;
  plat::RILNOTIFYCALLBACK notifyCallback;
  uint32_t notifyParam;
  int sleeps;
};

Device device;

std::mutex callLock;
thread_local bool holdingCallLock = false;

}  // namespace

std::mutex deviceMutex;

Call* record(Op op) {
  if (device.callCount == kMaxCalls) {
    ++device.dropped;
    return nullptr;
  }
  Call* c = &calls[device.callCount++];
  std::memset(c, 0, sizeof *c);
  c->op = op;
  c->time = device.now;
  c->lockHeld = holdingCallLock;
  return c;
}

bool shouldFail(Op op) {
  Failure& f = device.failures[static_cast<size_t>(op)];
  if (f.times == 0) return false;
  if (f.after > 0) {
    --f.after;
    return false;
  }
  if (f.times > 0) --f.times;
  return true;
}

void copyUnits(char16_t* target, size_t capacity, const char16_t* source) {
  size_t n = 0;
  while (source != nullptr && n + 1 < capacity && source[n] != 0) {
    target[n] = source[n];
    ++n;
  }
  target[n] = 0;
}

std::u16string folded(const std::u16string& text) {
  std::u16string out(text);
  for (char16_t& u : out)
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
  return out;
}

void copyBytes(Call* c, const void* bytes, size_t size) {
  c->dataSize = static_cast<uint32_t>(size);
  if (bytes != nullptr)
    std::memcpy(c->data, bytes, size < sizeof c->data ? size : sizeof c->data);
}

namespace {

Timer* findTimer(plat::HWND window, uintptr_t id) {
  for (Timer& t : device.timers)
    if (t.armed && t.window == window && t.id == id) return &t;
  return nullptr;
}

}  // namespace

const char* opName(Op op) {
  static const char* const names[] = {
      "RIL_Initialize",   "SetTimer",         "KillTimer",
      "SmsOpen",          "CloseHandle",      "SmsSendMessage",
      "SmsClose",         "Sleep",            "RegOpenKeyExW",
      "RegQueryValueExW", "RegCreateKeyExW",  "RegSetValueExW",
      "RegCloseKey",      "CreateFileW",      "SetFilePointer",
      "ReadFile",         "WriteFile",        "DeleteFileW",
      "MoveFileExW",      "wcstombs",         "MultiByteToWideChar",
      "CoInitializeEx",   "CoCreateInstance", "Logon",
      "GetDefaultFolder", "get_Items",        "QueryInterface",
      "get_Count",        "Item",             "Getter",
      "Logoff",           "CoUninitialize",   "MessageBoxW",
      "RegisterClassW", "CreateWindowExW", "FindWindowW", "ShowWindow",
      "EnableWindow", "UpdateWindow", "InvalidateRect", "DefWindowProcW", "DestroyWindow",
      "PostQuitMessage", "SendMessageW", "MoveWindow", "SetForegroundWindow",
      "GetSystemMetrics", "GetMessageW", "TranslateMessage", "DispatchMessageW",
      "LoadAcceleratorsW", "TranslateAcceleratorW", "LoadIconW", "LoadImageW",
      "DestroyIcon", "Shell_NotifyIconW", "CreateThread", "FindResourceW",
      "LoadResource", "DialogBoxIndirectParamW", "EndDialog", "GetDlgItem",
      "GetDlgCtrlID", "SetWindowTextW", "GetWindowTextW", "SetFocus",
      "CreateFontIndirectW", "CreateSolidBrush", "GetStockObject",
      "DeleteObject", "SelectObject", "SetBkMode", "SetTextColor",
      "SHInitDialog", "SHDoneButton", "SHFullScreen", "SHSipPreference",
      "SHHandleWMActivate", "SHHandleWMSettingChange",
      "SHGetSpecialFolderPath", "SHCreateShortcut", "FindFirstFileW",
      "FindClose", "GetModuleFileNameW"};
  static_assert(sizeof names / sizeof *names == kOpCount, "a name per Op");
  return names[static_cast<size_t>(op)];
}

void reset() {
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    std::memset(&device, 0, sizeof device);
  }
  resetRegistry();
  resetFiles();
  resetContacts();
  resetUi();
}

size_t callCount() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return device.callCount;
}

size_t droppedCalls() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return device.dropped;
}

const Call& call(size_t index) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return calls[index < device.callCount ? index : kMaxCalls - 1];
}

void clearCalls() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  device.callCount = 0;
  device.dropped = 0;
}

const Call* findCall(Op op, size_t nth) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  for (size_t i = 0; i < device.callCount; ++i)
    if (calls[i].op == op && nth-- == 0) return &calls[i];
  return nullptr;
}

size_t countCalls(Op op) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (size_t i = 0; i < device.callCount; ++i)
    if (calls[i].op == op) ++n;
  return n;
}

void failCall(Op op, int times, int after) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  device.failures[static_cast<size_t>(op)] = {times, after};
}

uint64_t now() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return device.now;
}

bool timerArmed(plat::HWND window, uintptr_t id) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return findTimer(window, id) != nullptr;
}

bool takeNextExpiry(uint64_t ms, PendingTimer* taken) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  const uint64_t until = device.now + ms;
  Timer* next = nullptr;
  for (Timer& t : device.timers)
    if (t.armed && t.due <= until && (next == nullptr || t.due < next->due))
      next = &t;
  if (next == nullptr) {
    device.now = until;
    return false;
  }
  device.now = next->due;
  next->due += next->interval;
  *taken = {next->window, next->id};
  return true;
}

void deliver(const PendingTimer& expiry) {
  deliverMessage(expiry.window, plat::WM_TIMER, expiry.id, 0);
}

void dropWindowTimers(plat::HWND window) {
  for (Timer& t : device.timers)
    if (t.window == window) t.armed = false;
}

void advanceClock(uint64_t ms) {
  const uint64_t until = now() + ms;
  PendingTimer expiry;
  for (;;) {
    const uint64_t at = now();
    if (!takeNextExpiry(until - at, &expiry)) return;
    deliver(expiry);
  }
}

bool radioRegistered() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return device.notifyCallback != nullptr;
}

void notify(uint32_t code, const void* payload, uint32_t size) {
  plat::RILNOTIFYCALLBACK callback;
  uint32_t param;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    callback = device.notifyCallback;
    param = device.notifyParam;
  }
  if (callback != nullptr) callback(code, payload, size, param);
}

}  // namespace fake

namespace plat {

using fake::Op;
using fake::asArg;

HRESULT RIL_Initialize(uint32_t dwIndex, RILRESULTCALLBACK resultCallback,
                       RILNOTIFYCALLBACK notifyCallback,
                       uint32_t dwNotificationClasses, uint32_t dwParam,
                       HRIL* lphRil) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::RIL_Initialize)) {
    c->args[0] = dwIndex;
    c->args[1] = reinterpret_cast<uintptr_t>(resultCallback);
    c->args[2] = reinterpret_cast<uintptr_t>(notifyCallback);
    c->args[3] = dwNotificationClasses;
    c->args[4] = dwParam;
    c->args[5] = asArg(lphRil);
  }
  if (fake::shouldFail(Op::RIL_Initialize)) return E_FAIL;
  fake::device.notifyCallback = notifyCallback;
  fake::device.notifyParam = dwParam;
  if (lphRil != nullptr) *lphRil = reinterpret_cast<HRIL>(0x5A1);
  return S_OK;
}

uintptr_t SetTimer(HWND hWnd, uintptr_t nIDEvent, uint32_t uElapse) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SetTimer)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = nIDEvent;
    c->args[2] = uElapse;
  }
  fake::Timer* t = fake::findTimer(hWnd, nIDEvent);
  for (size_t i = 0; t == nullptr && i < fake::kMaxTimers; ++i)
    if (!fake::device.timers[i].armed) t = &fake::device.timers[i];
  if (t == nullptr) return 0;
  *t = {true, hWnd, nIDEvent, uElapse, fake::device.now + uElapse};
  return nIDEvent;
}

BOOL KillTimer(HWND hWnd, uintptr_t uIDEvent) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::KillTimer)) {
    c->args[0] = asArg(hWnd);
    c->args[1] = uIDEvent;
  }
  fake::Timer* t = fake::findTimer(hWnd, uIDEvent);
  if (t == nullptr) return 0;
  t->armed = false;
  return 1;
}

HRESULT SmsOpen(const char16_t* ptsMessageProtocol, uint32_t dwMessageModes,
                SMS_HANDLE* psmshHandle, HANDLE* phMessageAvailableEvent) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SmsOpen)) {
    c->args[0] = asArg(ptsMessageProtocol);
    c->args[1] = dwMessageModes;
    c->args[2] = asArg(psmshHandle);
    c->args[3] = asArg(phMessageAvailableEvent);
    fake::copyUnits(c->text, 256, ptsMessageProtocol);
  }
  if (fake::shouldFail(Op::SmsOpen)) return E_FAIL;
  *psmshHandle = reinterpret_cast<SMS_HANDLE>(0x5305);
  *phMessageAvailableEvent = reinterpret_cast<HANDLE>(0xE7E7);
  return S_OK;
}

BOOL CloseHandle(HANDLE hObject) {
  bool fails;
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::CloseHandle))
      c->args[0] = asArg(hObject);
    fails = fake::shouldFail(Op::CloseHandle);
  }
  // A failing close (data that could not be flushed) still ends the handle.
  if (!fake::closeFile(hObject)) fake::closeThread(hObject);
  return fails ? 0 : 1;
}

HRESULT SmsSendMessage(SMS_HANDLE smshHandle,
                       const SMS_ADDRESS* psmsaSMSCAddress,
                       const SMS_ADDRESS* psmsaDestinationAddress,
                       const SYSTEMTIME* pstValidityPeriod,
                       const uint8_t* pbData, uint32_t dwDataSize,
                       const uint8_t* pbProviderSpecificData,
                       uint32_t dwProviderSpecificDataSize,
                       uint32_t smsdeDataEncoding, uint32_t dwOptions,
                       uint32_t* psmsmidMessageID) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SmsSendMessage)) {
    const uintptr_t args[11] = {
        asArg(smshHandle),      asArg(psmsaSMSCAddress),
        asArg(psmsaDestinationAddress), asArg(pstValidityPeriod),
        asArg(pbData),          dwDataSize,
        asArg(pbProviderSpecificData),  dwProviderSpecificDataSize,
        smsdeDataEncoding,      dwOptions,
        asArg(psmsmidMessageID)};
    std::memcpy(c->args, args, sizeof args);
    if (psmsaDestinationAddress != nullptr) {
      c->addressType = psmsaDestinationAddress->smsatAddressType;
      fake::copyUnits(c->text, 256, psmsaDestinationAddress->ptsAddress);
    }
    fake::copyBytes(c, pbData, dwDataSize);
    if (pbProviderSpecificData != nullptr)
      std::memcpy(c->provider, pbProviderSpecificData,
                  dwProviderSpecificDataSize < sizeof c->provider
                      ? dwProviderSpecificDataSize
                      : sizeof c->provider);
  }
  return fake::shouldFail(Op::SmsSendMessage) ? E_FAIL : S_OK;
}

HRESULT SmsClose(SMS_HANDLE smshHandle) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SmsClose))
    c->args[0] = asArg(smshHandle);
  return fake::shouldFail(Op::SmsClose) ? E_FAIL : S_OK;
}

void Sleep(uint32_t dwMilliseconds) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::Sleep)) c->args[0] = dwMilliseconds;
    if (++fake::device.sleeps < fake::kSleepsBeforeParking) return;
  }
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void EnterCallLock() {
  fake::callLock.lock();
  fake::holdingCallLock = true;
}

void LeaveCallLock() {
  fake::holdingCallLock = false;
  fake::callLock.unlock();
}

}  // namespace plat
