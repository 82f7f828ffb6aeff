// The radio thread and the main thread at once: notifications on one,
// timer expiries on the other. Meant for the ThreadSanitizer build, where a
// race fails the run; the checks below hold in every build.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "engine/settings.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "tests/unit/replay.h"

namespace {

constexpr int kBatches = 20;
constexpr int kCallsPerBatch = 150;

std::vector<uint8_t> callerRecord(int call) {
  return makeCallerRecord("+49170" + std::to_string(1000000 + call));
}

void ring() {
  uint8_t ringInfo[32] = {};
  onNotify(0x00020001u, ringInfo, sizeof ringInfo, kRadioCallbackParam);
}

// Calls in a row, each rung past the reply count; every third one answered
// (which cancels a pending reply), the others end unanswered.
void placeCalls(int firstCall) {
  for (int call = firstCall; call < firstCall + kCallsPerBatch; ++call) {
    const std::vector<uint8_t> record = callerRecord(call);
    onNotify(0x00080001u, record.data(), 1576, kRadioCallbackParam);
    for (int r = 0; r < 3; ++r) {
      ring();
      std::this_thread::yield();
    }
    if (call % 3 == 0) {
      uint8_t connectInfo[16] = {};
      onNotify(0x00020002u, connectInfo, sizeof connectInfo,
               kRadioCallbackParam);
    }
    onNotify(0x00020003u, nullptr, 0, kRadioCallbackParam);
  }
}

TEST(Concurrency, NotificationsAgainstTimerExpiries) {
  freshEngine();
  replySettings.ringsBeforeReply = 0;
  copyText(replySettings.mainText, u"busy");

  for (int batch = 0; batch < kBatches; ++batch) {
    std::atomic<bool> radioDone{false};
    std::thread radio([&] {
      placeCalls(batch * kCallsPerBatch);
      radioDone = true;
    });
    // The main thread's message loop: deliver whatever falls due.
    while (!radioDone) {
      fake::advanceClock(5000);
      std::this_thread::yield();
    }
    radio.join();

    ASSERT_EQ(fake::droppedCalls(), 0u);
    std::map<std::u16string, int> perCaller;
    for (const SentMessage& m : sentMessages()) ++perCaller[m.destination];
    for (const auto& [caller, sends] : perCaller)
      EXPECT_EQ(sends, 1) << "more than one delayed reply in one call";
    for (size_t i = 0; i < fake::callCount(); ++i)
      EXPECT_TRUE(fake::call(i).lockHeld) << fake::opName(fake::call(i).op);
    fake::clearCalls();
  }
  EXPECT_FALSE(callState.replyTimerArmed);
}

// An expiry taken off the clock just before a cancel and delivered after it:
// the window procedure runs with the timer no longer armed.
TEST(Concurrency, ExpiryRacingACancelNeverSends) {
  freshEngine();
  replySettings.ringsBeforeReply = 0;
  copyText(replySettings.mainText, u"late");
  for (int call = 0; call < 500; ++call) {
    const std::vector<uint8_t> record = callerRecord(call);
    onNotify(0x00080001u, record.data(), 1576, kRadioCallbackParam);
    ring();
    fake::PendingTimer expiry;
    ASSERT_TRUE(fake::takeNextExpiry(5000, &expiry));
    std::thread main([&] { fake::deliver(expiry); });
    uint8_t connectInfo[16] = {};
    onNotify(0x00020002u, connectInfo, sizeof connectInfo,
             kRadioCallbackParam);
    main.join();
    // Either the expiry won the lock (one message) or the cancel did (none);
    // after the cancel, a late expiry finds nothing armed.
    fake::deliver(expiry);
    EXPECT_LE(fake::countCalls(fake::Op::SmsSendMessage), 1u);
    fake::clearCalls();
  }
}

}  // namespace
