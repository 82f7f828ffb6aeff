#include "engine/tracker.h"

#include <cstring>

#include "engine/rules.h"
#include "engine/sender.h"
#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/thread.h"
#include "platform/timer.h"

CallState callState;
plat::HRIL radioHandle;
plat::HWND mainWindow;

void resetCallState() {
  std::memset(&callState, 0, sizeof callState);
  radioHandle = nullptr;
  mainWindow = nullptr;
}

namespace {

// Holds the process lock for one handler from its first step to its last.
struct CallLock {
  CallLock() { plat::EnterCallLock(); }
  ~CallLock() { plat::LeaveCallLock(); }
  CallLock(const CallLock&) = delete;
  CallLock& operator=(const CallLock&) = delete;
};

bool isCallerIdentification(uint32_t code) {
  return ((code >> 16) & 0xFFu) == 0x08u && (code & 0xFFu) == 0x01u;
}

void armReplyTimer() {
  plat::SetTimer(mainWindow, IDT_REPLY, kReplyDelayMs);
  callState.replyTimerArmed = true;
}

void cancelReplyTimer() {
  plat::KillTimer(mainWindow, IDT_REPLY);
  callState.replyTimerArmed = false;
}

void forgetLastReplied() { copyText(callState.lastRepliedNumber, u" "); }

}  // namespace

void readCallerNumber(const void* payload, uint32_t size,
                      char16_t (&number)[kCallerNumberCapacity]) {
  const auto* bytes = static_cast<const uint8_t*>(payload);
  size_t n = 0;
  if (bytes != nullptr) {
    // Byte by byte: the payload carries no alignment promise.
    for (uint32_t at = plat::RILREMOTEPARTYINFO_ADDRESS_OFFSET;
         at + 1 < size && n + 1 < kCallerNumberCapacity;
         at += 2) {
      const char16_t unit =
          static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
      if (unit == 0) break;
      number[n++] = unit;
    }
  }
  number[n] = 0;
}

void onNotify(uint32_t code, const void* payload, uint32_t size,
              uint32_t /*param*/) {
  CallLock lock;

  if (isCallerIdentification(code)) {
    readCallerNumber(payload, size, callState.callerNumber);
    const RuleOutcome outcome =
        evaluateCaller(callState.callerNumber, replySettings, numberTable);
    callState.eligible = outcome.eligible;
    callState.useSecond = outcome.useSecond;
  }

  switch (size) {
    case plat::RILREMOTEPARTYINFO_SIZE:
      callState.ringCount = 0;
      cancelReplyTimer();
      break;
    case plat::RILRINGINFO_SIZE:
      // Saturate rather than overflow on an endless stream of rings.
      if (callState.ringCount < INT32_MAX) ++callState.ringCount;
      if (callState.ringCount > replySettings.ringsBeforeReply &&
          callState.eligible)
        armReplyTimer();
      break;
    case plat::RILCONNECTINFO_SIZE:
      callState.ringCount = 0;
      cancelReplyTimer();
      forgetLastReplied();
      break;
    case 0:
      cancelReplyTimer();
      forgetLastReplied();
      if (callState.ringCount != 0) {
        if (replySettings.replyOnCancel != 0) {
          callState.useSecond = false;
          sendReply();
        }
        if (replySettings.secondReplyOnCancel != 0) {
          callState.useSecond = true;
          sendReply();
        }
      }
      callState.ringCount = 0;
      break;
    default:
      break;
  }
}

void onResult(uint32_t, plat::HRESULT, const void*, uint32_t, uint32_t) {}

void onReplyTimer() {
  CallLock lock;
  if (!callState.replyTimerArmed) return;
  cancelReplyTimer();
  sendReply();
}

uint32_t watcherThread(void* /*unused*/) {
  plat::RIL_Initialize(kRadioPortIndex, onResult, onNotify,
                       plat::RIL_NCLASS_ALL, kRadioCallbackParam,
                       &radioHandle);
  for (;;) plat::Sleep(100);
}
