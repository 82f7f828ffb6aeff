// The sending side of the radio channel (see radio_channel.h).
#include "platform/win32/radio_channel.h"

#include "platform/win32/win32.h"

namespace radio_channel {

void* findChannel(uint32_t waitMs) {
  const ULONGLONG until = GetTickCount64() + waitMs;
  for (;;) {
    if (::HWND channel =
            FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, nullptr))
      return channel;
    if (GetTickCount64() >= until) return nullptr;
    ::Sleep(10);
  }
}

bool sendRecord(void* channel, uint32_t code, const void* payload,
                uint32_t size) {
  if (size != 0 && payload == nullptr) return false;
  COPYDATASTRUCT record;
  record.dwData = code;
  record.cbData = size;
  record.lpData = size == 0 ? nullptr : const_cast<void*>(payload);
  return SendMessageW(static_cast<::HWND>(channel), WM_COPYDATA, 0,
                      reinterpret_cast<LPARAM>(&record)) == kDelivered;
}

}  // namespace radio_channel
