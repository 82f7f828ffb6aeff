// Follows incoming calls through the radio notifications and decides when a
// reply goes out: after the rings (from the reply timer) or when a rung call
// ends unanswered.
#pragma once

#include <cstdint>

#include "platform/radio.h"
#include "platform/types.h"

constexpr int kCallerNumberCapacity = 24;  // 23 units and the terminator

struct CallState {
  char16_t callerNumber[kCallerNumberCapacity];
  char16_t lastRepliedNumber[kCallerNumberCapacity];
  int32_t ringCount;
  bool eligible;
  bool useSecond;
  // Whether IDT_REPLY is armed: an expiry that was already on its way when
  // the timer was cancelled must not send.
  bool replyTimerArmed;
};

constexpr uintptr_t IDT_REPLY = 11;
constexpr uint32_t kReplyDelayMs = 5000;
constexpr uint32_t kRadioCallbackParam = 0x55AA55AAu;
constexpr uint32_t kRadioPortIndex = 1;

extern CallState callState;
extern plat::HRIL radioHandle;
// The window that owns IDT_REPLY; set by the shell before the watcher starts.
extern plat::HWND mainWindow;

// Back to the zeroed state of process start (for tests).
void resetCallState();

// Thread entry: registers with the radio layer, then sleeps for ever.
uint32_t watcherThread(void* unused);

void onNotify(uint32_t code, const void* payload, uint32_t size,
              uint32_t param);
void onResult(uint32_t code, plat::HRESULT commandId, const void* data,
              uint32_t size, uint32_t param);
// WM_TIMER with IDT_REPLY, on the main window's thread.
void onReplyTimer();

// Copies the caller's number out of a caller-identification payload of any
// size, reading nothing past its end; cut to 23 units.
void readCallerNumber(const void* payload, uint32_t size,
                      char16_t (&number)[kCallerNumberCapacity]);
