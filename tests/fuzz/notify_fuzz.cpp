// Feeds arbitrary streams of radio notifications, timer expiries, settings
// and table rows to the engine on the in-memory device, and checks after
// every step the promises a misbehaving radio or a damaged settings file must
// not break. Payloads are heap buffers of exactly their size, so a read past
// one is caught by AddressSanitizer.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "platform/timer.h"
#include "tests/fuzz/notify_ops.h"
#include "tools/callscript.h"

namespace {

using namespace notifyfuzz;

constexpr size_t kMaxPending = 4;

// What the checks remember between steps of one input.
struct Run {
  fake::PendingTimer pending[kMaxPending];
  size_t pendingCount;
  // The caller the guards last accepted, and whether that was since the
  // last connect or end.
  char16_t lastSent[256];
  bool sentSinceCallOver;
  // Messages go out only when the reply timer fires or a call ends.
  bool mayReply;
  int step;
};
Run run;

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "broken after step %d: %s\n", run.step, what);
  std::abort();
}

// The shell's window procedure, as far as the reply timer goes.
intptr_t windowProc(plat::HWND, uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == plat::WM_TIMER && wParam == IDT_REPLY) onReplyTimer();
  return 0;
}

// Small to capital and back, in the alphabets the pool uses.
char16_t flipCase(char16_t u) {
  if (u == 0x178) return 0xFF;
  if (u == 0xFF) return 0x178;
  if ((u >= 0x100 && u <= 0x17F) || (u >= 0x1E00 && u <= 0x1EFF))
    return static_cast<char16_t>(u ^ 1);  // pairs of neighbours
  if (u >= 0xFF21 && u <= 0xFF3A) return static_cast<char16_t>(u + 32);
  if (u >= 0xFF41 && u <= 0xFF5A) return static_cast<char16_t>(u - 32);
  if ((u >= u'A' && u <= u'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7) ||
      (u >= 0x391 && u <= 0x3AB) || (u >= 0x410 && u <= 0x42F))
    return static_cast<char16_t>(u + 32);
  if ((u >= u'a' && u <= u'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7) ||
      (u >= 0x3B1 && u <= 0x3CB) || (u >= 0x430 && u <= 0x44F))
    return static_cast<char16_t>(u - 32);
  return u;
}

uint32_t decodeSize(Reader& in) {
  const uint8_t s = in.u8();
  if (s < kDirectSizes) return s;
  if (s < kSizeFromU16) return kSizes[s - kDirectSizes];
  return in.u16() % kMaxU16Size;
}

// The pool number at byte 24 of `bytes`, as far as it fits.
void writePoolNumber(uint8_t* bytes, uint32_t size, uint8_t pool, bool flip,
                     bool terminate) {
  const char16_t* number = kPool[pool % kPoolSize];
  uint32_t at = plat::RILREMOTEPARTYINFO_ADDRESS_OFFSET;
  for (; *number != 0 && at + 1 < size; ++number, at += 2) {
    const char16_t u = flip ? flipCase(*number) : *number;
    bytes[at] = static_cast<uint8_t>(u & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(u >> 8);
  }
  if (terminate && at + 1 < size) bytes[at] = bytes[at + 1] = 0;
}

void notify(uint32_t code, const uint8_t* payload, uint32_t size);

void callerId(Reader& in) {
  const uint32_t size = decodeSize(in);
  const uint32_t code = kCallerIdCodes[in.u8() % kCallerIdCodeChoices];
  const uint8_t fill = in.u8();
  const uint8_t pool = in.u8();
  std::unique_ptr<uint8_t[]> payload(new uint8_t[size]);
  switch (fill & 3) {
    case kFillOpen:
      // Non-zero filler: no terminator anywhere after the number.
      std::memset(payload.get(), in.u8() | 1, size);
      writePoolNumber(payload.get(), size, pool, fill & kFillFlipCase, false);
      break;
    case kFillRaw:
      for (uint32_t i = 0; i < size; ++i) payload[i] = in.u8();
      break;
    default:
      std::memset(payload.get(), 0, size);
      writePoolNumber(payload.get(), size, pool, fill & kFillFlipCase, true);
      break;
  }
  notify(code, payload.get(), size);
}

void rawNotify(Reader& in) {
  const uint32_t code = in.u32();
  const uint32_t size = decodeSize(in);
  std::unique_ptr<uint8_t[]> payload(new uint8_t[size]);
  for (uint32_t i = 0; i < size; ++i) payload[i] = in.u8();
  notify(code, payload.get(), size);
}

void fixedNotify(uint32_t code, uint32_t size) {
  std::unique_ptr<uint8_t[]> payload(new uint8_t[size]());
  notify(code, payload.get(), size);
}

int32_t decodeValue(Reader& in) {
  const uint8_t v = in.u8();
  if (v < kValueFromU32) return kValues[v];
  return static_cast<int32_t>(in.u32());
}

void setting(Reader& in) {
  const uint8_t field = in.u8() % kSettingFields;
  const int32_t value = decodeValue(in);
  ReplySettings& s = replySettings;
  int32_t* const fields[kSettingFields] = {
      &s.activated, &s.secondEnabled, &s.ringsBeforeReply,
      &s.replyOnCancel, nullptr, &s.secondRings,
      &s.secondReplyOnCancel, nullptr};
  if (field == kMainMode)
    s.mainMode = static_cast<MainRuleMode>(value);
  else if (field == kSecondMode)
    s.secondMode = static_cast<SecondRuleMode>(value);
  else
    *fields[field] = value;
}

void text(Reader& in) {
  char16_t* target =
      (in.u8() & 1) ? replySettings.secondText : replySettings.mainText;
  const uint8_t length = in.u8();
  const bool raw = (in.u8() & 1) == kTextRaw;
  const size_t units =
      length < kReplyTextCapacity ? length : kReplyTextCapacity;
  for (size_t i = 0; i < units; ++i) {
    char16_t u = raw ? in.u16() : static_cast<char16_t>(u'a' + i % 26);
    target[i] = u != 0 ? u : u'x';
  }
  if (units < kReplyTextCapacity) target[units] = 0;
}

void row(Reader& in) {
  NumberEntry& entry = numberTable.rows[kRows[in.u8() % kRowChoices]];
  const uint8_t pool = in.u8();
  const uint8_t flags = in.u8();
  const int32_t set = (flags & 4) ? -1 : 1;
  entry.selectedMain = (flags & 1) ? set : 0;
  entry.selectedSecond = (flags & 2) ? set : 0;
  if ((pool & kRowRaw) < kPoolSize) {
    const char16_t* number = kPool[pool & kRowRaw];
    size_t n = 0;
    for (; number[n] != 0; ++n)
      entry.number[n] = (pool & kRowPoolFlip) ? flipCase(number[n]) : number[n];
    entry.number[n] = 0;
    return;
  }
  for (char16_t& u : entry.number) {
    u = in.u16();
    if (u == 0) u = u'x';
  }
}

void rowCount(Reader& in) {
  const uint8_t v = in.u8();
  numberTable.count = v < kCountFromU32 ? kCounts[v]
                                        : static_cast<int32_t>(in.u32());
}

void fail(Reader& in) {
  static constexpr fake::Op ops[kFailOps] = {
      fake::Op::SmsOpen, fake::Op::SmsSendMessage, fake::Op::SmsClose};
  const fake::Op op = ops[in.u8() % kFailOps];
  fake::failCall(op, kFailTimes[in.u8() % (sizeof kFailTimes / sizeof(int))]);
}

void take(Reader& in) {
  const uint16_t ms = in.u16();
  fake::PendingTimer expiry;
  if (!fake::takeNextExpiry(ms, &expiry)) return;
  if (run.pendingCount == kMaxPending) {
    fake::deliver(run.pending[0]);
    std::memmove(run.pending, run.pending + 1,
                 sizeof run.pending - sizeof *run.pending);
    --run.pendingCount;
  }
  run.pending[run.pendingCount++] = expiry;
}

void deliverOldest() {
  if (run.pendingCount == 0) return;
  const fake::PendingTimer expiry = run.pending[0];
  std::memmove(run.pending, run.pending + 1,
               sizeof run.pending - sizeof *run.pending);
  --run.pendingCount;
  fake::deliver(expiry);
}

bool terminatedNumber(const char16_t* number) {
  return textLength(number, kCallerNumberCapacity) < kCallerNumberCapacity;
}

// The platform calls the step made, then forgets them so the log never fills.
void checkCalls() {
  if (fake::droppedCalls() != 0) broken("the device dropped calls");
  const size_t count = fake::callCount();
  for (size_t i = 0; i < count; ++i) {
    const fake::Call& c = fake::call(i);
    if (!c.lockHeld) broken("a platform call without the call lock");
    if (c.op == fake::Op::SmsOpen) {
      // The guards passed: the caller now counts as answered, whether or
      // not the service then takes the message.
      if (run.sentSinceCallOver &&
          textEqualsIgnoreCase(callState.callerNumber, run.lastSent))
        broken("two replies to one caller with no connect or end between");
      copyText(run.lastSent, callState.callerNumber);
      run.sentSinceCallOver = true;
      continue;
    }
    if (c.op != fake::Op::SmsSendMessage) continue;
    if (!run.mayReply) broken("a message with no armed timer or call end");
    if (c.dataSize % 2 != 0) broken("message data of an odd size");
    if (c.dataSize > 2 * (kReplyTextCapacity - 1))
      broken("message data over 159 units");
    if (textLength(c.text, 256) < 5) broken("message to a number under 5 units");
    if (!(std::u16string(c.text) == std::u16string(run.lastSent)))
      broken("a message to another number than the caller answered");
  }
  fake::clearCalls();
}

void notify(uint32_t code, const uint8_t* payload, uint32_t size) {
  run.mayReply = size == 0;
  // A connect or call end forgets the last caller answered before a call
  // end sends, so its reply may go to the caller who had the delayed one.
  checkCalls();
  if (size == plat::RILCONNECTINFO_SIZE || size == 0)
    run.sentSinceCallOver = false;
  onNotify(code, payload, size, kRadioCallbackParam);
  checkCalls();
  const bool identification =
      ((code >> 16) & 0xFFu) == 0x08u && (code & 0xFFu) == 0x01u;
  if (identification && size != 0 && callState.useSecond &&
      !callState.eligible)
    broken("the second text chosen for a caller who gets no reply");
}

void checkState() {
  checkCalls();
  if (!terminatedNumber(callState.callerNumber))
    broken("caller number without a terminator");
  if (!terminatedNumber(callState.lastRepliedNumber))
    broken("last replied number without a terminator");
  if (callState.ringCount < 0) broken("negative ring count");
  if (fake::timerArmed(mainWindow, IDT_REPLY) != callState.replyTimerArmed)
    broken("the reply timer and replyTimerArmed disagree");
}

// A timer step may send only while the reply timer is armed: an expiry that
// arrives after a cancel must not. notify() allows a send for a call end.
void step(Reader& in) {
  run.mayReply = fake::timerArmed(mainWindow, IDT_REPLY);
  switch (in.u8() % kOpKinds) {
    case kOpCallerId:
      callerId(in);
      break;
    case kOpRing:
      for (int n = 1 + in.u8() % 8; n > 0; --n) {
        fixedNotify(kRingCode, plat::RILRINGINFO_SIZE);
        checkState();
      }
      break;
    case kOpConnect:
      fixedNotify(kConnectCode, plat::RILCONNECTINFO_SIZE);
      break;
    case kOpEnd:
      if (in.u8() & 1)
        fixedNotify(kCallEndCode, 0);
      else
        notify(kCallEndCode, nullptr, 0);
      break;
    case kOpNotify:
      rawNotify(in);
      break;
    case kOpAdvance:
      fake::advanceClock(in.u16());
      break;
    case kOpTake:
      take(in);
      break;
    case kOpDeliver:
      deliverOldest();
      break;
    case kOpSetting:
      setting(in);
      break;
    case kOpText:
      text(in);
      break;
    case kOpRow:
      row(in);
      break;
    case kOpRowCount:
      rowCount(in);
      break;
    case kOpFail:
      fail(in);
      break;
  }
  checkState();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  resetCallState();
  resetReplySettings();
  resetTables();
  fake::reset();
  std::memset(&run, 0, sizeof run);
  mainWindow = fake::createWindow(windowProc);

  Reader in(data, size);
  while (!in.done()) {
    ++run.step;
    step(in);
  }
  // Expiries still on their way arrive after the input's last step.
  while (run.pendingCount != 0) {
    ++run.step;
    run.mayReply = fake::timerArmed(mainWindow, IDT_REPLY);
    deliverOldest();
    checkState();
  }
  return 0;
}
