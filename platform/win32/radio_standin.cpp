// Radio layer stand-in: RIL_Initialize starts a thread with a message-only
// window that receives notification records from another process through
// WM_COPYDATA and hands each one to the notify callback on that thread
// (radio_channel.h, docs/radio-channel.md).
#include "platform/win32/radio_channel.h"
#include "platform/win32/win32.h"

// The registration behind an HRIL. Only the process that owns the channel
// has one, and keeps it until it ends.
struct plat::RilObject {
  ::HWND window;
  plat::RILNOTIFYCALLBACK notify;
  plat::RILRESULTCALLBACK result;  // kept; no command is ever issued
  uint32_t notificationClasses;    // kept; every record goes to notify
  uint32_t param;
  bool inCallback;  // touched only by the stand-in's thread
};

namespace {

plat::RilObject registration;

struct ThreadStart {
  plat::RilObject* ril;
  HANDLE ready;  // set once `window` is made or could not be made
  bool ok;
};

LRESULT CALLBACK channelProc(::HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (message != WM_COPYDATA)
    return DefWindowProcW(window, message, wParam, lParam);

  auto* ril = reinterpret_cast<plat::RilObject*>(
      GetWindowLongPtrW(window, GWLP_USERDATA));
  const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (ril == nullptr || record == nullptr || record->dwData > 0xFFFFFFFFu ||
      (record->cbData != 0 && record->lpData == nullptr) || ril->inCallback)
    return radio_channel::kRefused;
  // A callback that pumps sent messages could let the next record in before
  // this one is done; that record is refused rather than nested.
  ril->inCallback = true;
  ril->notify(static_cast<uint32_t>(record->dwData),
              record->cbData == 0 ? nullptr : record->lpData, record->cbData,
              ril->param);
  ril->inCallback = false;
  return radio_channel::kDelivered;
}

DWORD WINAPI channelThread(void* argument) {
  auto* start = static_cast<ThreadStart*>(argument);
  const HINSTANCE instance = GetModuleHandleW(nullptr);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = channelProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = radio_channel::kWindowClass;
  // A registration that failed earlier in this process may have left the
  // class registered.
  const bool classReady = RegisterClassExW(&windowClass) != 0 ||
                          GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  ::HWND window = nullptr;
  if (classReady)
    window = CreateWindowExW(0, radio_channel::kWindowClass, L"", 0, 0, 0, 0,
                             0, HWND_MESSAGE, nullptr, instance, start->ril);
  start->ril->window = window;
  start->ok = window != nullptr;
  SetEvent(start->ready);  // `start` belongs to RIL_Initialize from here on
  if (window == nullptr) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

namespace plat {

HRESULT RIL_Initialize(uint32_t /*dwIndex*/, RILRESULTCALLBACK resultCallback,
                       RILNOTIFYCALLBACK notifyCallback,
                       uint32_t dwNotificationClasses, uint32_t dwParam,
                       HRIL* lphRil) {
  if (notifyCallback == nullptr || lphRil == nullptr) return E_INVALIDARG;

  // The first registration on the machine owns the channel for as long as
  // its process lives; every later one fails.
  HANDLE owner = CreateMutexW(nullptr, FALSE, radio_channel::kOwnerMutexName);
  if (owner == nullptr) return E_FAIL;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(owner);
    return E_FAIL;
  }

  registration = RilObject{nullptr, notifyCallback, resultCallback,
                           dwNotificationClasses, dwParam, false};
  ThreadStart start{&registration,
                    CreateEventW(nullptr, TRUE, FALSE, nullptr), false};
  HANDLE thread = nullptr;
  if (start.ready != nullptr)
    thread = ::CreateThread(nullptr, 0, channelThread, &start, 0, nullptr);
  bool ok = false;
  if (thread != nullptr) {
    const HANDLE waits[2] = {start.ready, thread};
    ok = WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 &&
         start.ok;
    // A thread that could not make its window is let run to its end, so
    // that a later attempt finds nothing of it left.
    if (!ok) WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
  }
  if (start.ready != nullptr) ::CloseHandle(start.ready);
  if (!ok) {
    ::CloseHandle(owner);
    return E_FAIL;
  }
  // `owner` stays open: the name is this process's until it ends.
  *lphRil = &registration;
  return S_OK;
}

}  // namespace plat
