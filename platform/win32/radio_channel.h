// The channel through which another process on the same machine (the phone
// emulator) hands radio notification records to the
// radio stand-in behind plat::RIL_Initialize. docs/radio-channel.md describes
// it for people; this header is the one definition for code.
//
// The channel is a message-only window of class kWindowClass, made by the
// stand-in's thread in the process that registered with the radio layer:
//
//   HWND channel = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, nullptr);
//
// A record is one WM_COPYDATA (kRecordMessage) sent to that window with
// SendMessageW:
//
//   COPYDATASTRUCT.dwData  notification code, 0 to 0xFFFFFFFF
//   COPYDATASTRUCT.cbData  payload size in bytes, 0 allowed
//   COPYDATASTRUCT.lpData  payload bytes; may be null when cbData is 0
//   wParam                 the sender's window or 0; not looked at
//
// SendMessageW returns kDelivered once the notify callback has returned for
// that record and kRefused when the record was not handed on (code wider
// than 32 bits, cbData without lpData, a record sent from inside the
// callback). SendMessageW returns only after the stand-in handled the
// record, so records sent one after another arrive one at a time in order.
//
// Only one process on the machine owns the channel: the first to call
// RIL_Initialize. It holds the named mutex kOwnerMutexName until it ends;
// any later RIL_Initialize, in that process or another, fails with E_FAIL.
//
// This header does not include <windows.h>; the functions below wrap the
// Win32 calls for senders that would rather not (radio_channel.cpp, library
// radio_channel).
#pragma once

#include <cstdint>

namespace radio_channel {

constexpr wchar_t kWindowClass[] = L"VantorelRadioChannel";
constexpr wchar_t kOwnerMutexName[] = L"Local\\VantorelRadioChannel";

constexpr uint32_t kRecordMessage = 0x004A;  // WM_COPYDATA
constexpr intptr_t kDelivered = 1;
constexpr intptr_t kRefused = 0;

// The channel window (a ::HWND), or null when no process has registered.
// Looks again every 10 ms until `waitMs` have passed.
void* findChannel(uint32_t waitMs = 0);

// Sends one record and waits until the stand-in has handled it. True when
// the notify callback received it.
bool sendRecord(void* channel, uint32_t code, const void* payload,
                uint32_t size);

}  // namespace radio_channel
