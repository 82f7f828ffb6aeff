#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "engine/settings.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "platform/timer.h"
#include "tests/unit/replay.h"

namespace {

const std::u16string kMain = u"main text";
const std::u16string kSecond = u"second text";
const std::u16string kMobile = u"+4917012345678";

struct ScriptCase {
  const char* fixture;
  const char* what;
  std::function<void(ReplySettings&)> configure;
  std::vector<SentMessage> expected;
};

void none(ReplySettings&) {}

void PrintTo(const ScriptCase& c, std::ostream* os) {
  *os << c.fixture << " (" << c.what << ")";
}

class ScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptTest, SendsExactlyTheExpectedMessages) {
  const ScriptCase& c = GetParam();
  freshEngine();
  copyText(replySettings.mainText, kMain.c_str());
  copyText(replySettings.secondText, kSecond.c_str());
  c.configure(replySettings);
  replay(loadFixture(c.fixture));
  EXPECT_EQ(sentMessages(), c.expected) << c.fixture << ": " << c.what;
}

const ScriptCase kScriptCases[] = {
    {"three_rings_unanswered.call", "reply 5 s after the third ring", none,
     {{11000, kMobile, kMain}}},
    {"three_rings_unanswered.call", "then again at the end when asked",
     [](ReplySettings& s) { s.replyOnCancel = 1; },
     {{11000, kMobile, kMain}, {14000, kMobile, kMain}}},
    {"three_rings_unanswered.call", "three rings never exceed 3",
     [](ReplySettings& s) { s.ringsBeforeReply = 3; },
     {}},
    {"three_rings_unanswered.call", "the second rules pick the text",
     [](ReplySettings& s) {
       s.secondEnabled = 1;
       s.secondMode = secondPlusOnly;
     },
     {{11000, kMobile, kSecond}}},
    {"three_rings_unanswered.call", "a caller the rules refuse",
     [](ReplySettings& s) { s.mainMode = mainOnlySelected; },
     {}},
    {"single_ring_silence.call", "rings 0: the first ring arms",
     [](ReplySettings& s) { s.ringsBeforeReply = 0; },
     {{5000, kMobile, kMain}}},
    {"single_ring_silence.call", "a negative ring count acts like 0",
     [](ReplySettings& s) { s.ringsBeforeReply = -1; },
     {{5000, kMobile, kMain}}},
    {"single_ring_silence.call", "rings 2: one ring arms nothing", none, {}},
    {"three_rings_answered.call", "answered: no reply, not at the end either",
     [](ReplySettings& s) {
       s.replyOnCancel = 1;
       s.secondReplyOnCancel = 1;
     },
     {}},
    {"one_ring_then_end.call", "rejected: main text though not eligible",
     [](ReplySettings& s) {
       s.replyOnCancel = 1;
       s.mainMode = 3;
     },
     {{2000, u"030 1234567", kMain}}},
    {"one_ring_then_end.call", "both cancel flags: one message, main text",
     [](ReplySettings& s) {
       s.replyOnCancel = 1;
       s.secondReplyOnCancel = 1;
     },
     {{2000, u"030 1234567", kMain}}},
    {"one_ring_then_end.call", "second text on rejection, second rules off",
     [](ReplySettings& s) { s.secondReplyOnCancel = 1; },
     {{2000, u"030 1234567", kSecond}}},
    {"one_ring_then_end.call", "no cancel flag, nothing", none, {}},
    {"end_before_ring.call", "no ring counted, no reply",
     [](ReplySettings& s) {
       s.replyOnCancel = 1;
       s.secondReplyOnCancel = 1;
     },
     {}},
    {"long_ringing.call", "later expiries are refused as repeats", none,
     {{17000, kMobile, kMain}}},
    {"long_ringing.call", "the call end answers again",
     [](ReplySettings& s) { s.replyOnCancel = 1; },
     {{17000, kMobile, kMain}, {30000, kMobile, kMain}}},
    {"quick_rings.call", "rings under 5 s apart hold the reply back", none,
     {}},
    {"quick_rings.call", "so only the call end answers",
     [](ReplySettings& s) { s.replyOnCancel = 1; },
     {{15000, kMobile, kMain}}},
    {"foreign_record_resets.call", "the pending reply is cancelled", none,
     {}},
    {"foreign_record_resets.call", "the caller stays for the next ring",
     [](ReplySettings& s) { s.ringsBeforeReply = 0; },
     {{9000, kMobile, kMain}}},
    {"callerid_other_size.call", "new caller, count and timer kept", none,
     {{7000, u"+4930111", kMain}}},
    {"odd_sizes.call", "other sizes leave the pending reply",
     [](ReplySettings& s) { s.ringsBeforeReply = 0; },
     {{5000, kMobile, kMain}}},
    {"two_calls.call", "each call of the same caller is answered",
     [](ReplySettings& s) { s.ringsBeforeReply = 0; },
     {{5000, kMobile, kMain}, {19000, kMobile, kMain}}},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, ScriptTest,
                         ::testing::ValuesIn(kScriptCases));

CallStep step(const char* line) {
  std::vector<CallStep> steps;
  std::string error;
  EXPECT_TRUE(parseCallScript(line, &steps, &error)) << error;
  return steps.at(0);
}

TEST(Tracker, StateAfterEachKindOfNotification) {
  freshEngine();
  sendNotification(step("0 callerid +4917012345678"));
  EXPECT_EQ(std::u16string(callState.callerNumber), kMobile);
  EXPECT_TRUE(callState.eligible);
  sendNotification(step("0 ring"));
  sendNotification(step("0 ring"));
  EXPECT_EQ(callState.ringCount, 2);
  EXPECT_FALSE(fake::timerArmed(mainWindow, IDT_REPLY));
  sendNotification(step("0 ring"));
  EXPECT_TRUE(fake::timerArmed(mainWindow, IDT_REPLY));

  sendNotification(step("0 notify 0x00020005 1576"));
  EXPECT_EQ(callState.ringCount, 0);
  EXPECT_FALSE(fake::timerArmed(mainWindow, IDT_REPLY));
  EXPECT_EQ(std::u16string(callState.callerNumber), kMobile);

  copyText(callState.lastRepliedNumber, kMobile.c_str());
  sendNotification(step("0 connect"));
  EXPECT_EQ(std::u16string(callState.lastRepliedNumber), u" ");

  copyText(callState.lastRepliedNumber, kMobile.c_str());
  sendNotification(step("0 end"));
  EXPECT_EQ(std::u16string(callState.lastRepliedNumber), u" ");
  EXPECT_EQ(callState.ringCount, 0);
}

TEST(Tracker, TimerCallsUseTheMainWindowAndReplyTimer) {
  freshEngine();
  replySettings.ringsBeforeReply = 0;
  replay(loadFixture("single_ring_silence.call"));
  const fake::Call* set = fake::findCall(fake::Op::SetTimer);
  const fake::Call* kill = fake::findCall(fake::Op::KillTimer);
  ASSERT_NE(set, nullptr);
  ASSERT_NE(kill, nullptr);
  EXPECT_EQ(set->args[0], reinterpret_cast<uintptr_t>(mainWindow));
  EXPECT_EQ(set->args[1], 11u);
  EXPECT_EQ(set->args[2], 5000u);
  EXPECT_EQ(kill->args[0], reinterpret_cast<uintptr_t>(mainWindow));
  EXPECT_EQ(kill->args[1], 11u);
  for (size_t i = 0; i < fake::callCount(); ++i)
    EXPECT_TRUE(fake::call(i).lockHeld) << fake::opName(fake::call(i).op);
}

TEST(Tracker, ExpiryOnItsWayWhenCancelledSendsNothing) {
  freshEngine();
  replySettings.ringsBeforeReply = 0;
  sendNotification(step("0 callerid +4917012345678"));
  sendNotification(step("0 ring"));
  fake::PendingTimer expiry;
  ASSERT_TRUE(fake::takeNextExpiry(5000, &expiry));
  sendNotification(step("0 connect"));
  fake::deliver(expiry);
  fake::deliver(expiry);
  EXPECT_TRUE(sentMessages().empty());
}

TEST(Tracker, TwoExpiriesOfOneArmingSendOnce) {
  freshEngine();
  replySettings.ringsBeforeReply = 0;
  sendNotification(step("0 callerid +4917012345678"));
  sendNotification(step("0 ring"));
  fake::PendingTimer expiry;
  ASSERT_TRUE(fake::takeNextExpiry(5000, &expiry));
  fake::deliver(expiry);
  fake::deliver(expiry);
  EXPECT_EQ(sentMessages().size(), 1u);
}

TEST(Tracker, OtherTimersOfTheWindowAreNotTheReplyTimer) {
  freshEngine();
  replySettings.ringsBeforeReply = 0;
  sendNotification(step("0 callerid +4917012345678"));
  sendNotification(step("0 ring"));
  fake::deliver({mainWindow, IDT_REPLY + 1});
  EXPECT_TRUE(sentMessages().empty());
  EXPECT_TRUE(fake::timerArmed(mainWindow, IDT_REPLY));
}

TEST(Tracker, EndlessRingsSaturateTheCount) {
  freshEngine();
  replySettings.ringsBeforeReply = INT32_MAX - 1;
  sendNotification(step("0 callerid +4917012345678"));
  callState.ringCount = INT32_MAX - 1;
  sendNotification(step("0 ring"));
  EXPECT_EQ(callState.ringCount, INT32_MAX);
  EXPECT_TRUE(fake::timerArmed(mainWindow, IDT_REPLY));
  sendNotification(step("0 ring"));
  EXPECT_EQ(callState.ringCount, INT32_MAX);
}

struct PayloadCase {
  const char* what;
  std::vector<uint8_t> payload;
  std::u16string number;
};

std::vector<uint8_t> withUnits(uint32_t size, const std::u16string& units) {
  std::vector<uint8_t> bytes(size, 0);
  for (size_t i = 0; i < units.size() && 24 + 2 * i + 1 < size; ++i) {
    bytes[24 + 2 * i] = static_cast<uint8_t>(units[i]);
    bytes[25 + 2 * i] = static_cast<uint8_t>(units[i] >> 8);
  }
  return bytes;
}

TEST(Tracker, CallerNumberIsReadWithinThePayloadOnly) {
  const std::u16string longNumber = u"+49 170 1234567 890 1234 5678";
  const PayloadCase cases[] = {
      {"empty", {}, u""},
      {"header only", withUnits(24, u""), u""},
      {"half a unit", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                       0, 0, 0, 0, 0, 0, 0, 0, '5'}, u""},
      {"one unit, no terminator", withUnits(26, u"5"), u"5"},
      {"no terminator", withUnits(34, u"12345"), u"12345"},
      {"odd size", withUnits(35, u"123456"), u"12345"},
      {"cut at 23", withUnits(1576, longNumber), longNumber.substr(0, 23)},
      {"non-ASCII units", withUnits(1576, u"\u0416\u00c4 12345"),
       u"\u0416\u00c4 12345"},
      {"terminator ends it", withUnits(1576, std::u16string(u"12\0" u"34", 5)),
       u"12"},
  };
  for (const PayloadCase& c : cases) {
    // A heap copy of exactly the payload's size, so a sanitizer build sees
    // any read past it.
    std::vector<uint8_t> exact(c.payload);
    char16_t number[kCallerNumberCapacity];
    readCallerNumber(exact.empty() ? nullptr : exact.data(),
                     static_cast<uint32_t>(exact.size()), number);
    EXPECT_EQ(std::u16string(number), c.number) << c.what;
  }
}

TEST(Tracker, CallerIdentificationCodeIgnoresTheMiddleAndTopBits) {
  const struct {
    uint32_t code;
    bool identifies;
  } cases[] = {{0x00080001u, true},  {0xFF08FF01u, true},
               {0x00080002u, false}, {0x00090001u, false},
               {0x00180001u, false}, {0x00000001u, false}};
  for (const auto& c : cases) {
    freshEngine();
    const std::vector<uint8_t> record = makeCallerRecord("+4917012345678", 100);
    onNotify(c.code, record.data(), 100, kRadioCallbackParam);
    EXPECT_EQ(std::u16string(callState.callerNumber) == kMobile, c.identifies)
        << std::hex << c.code;
  }
}

TEST(Tracker, WatcherRegistersForEveryClassThenSleeps) {
  freshEngine();
  std::thread watcher(watcherThread, nullptr);
  watcher.detach();  // it never ends, as on the phone
  while (fake::countCalls(fake::Op::Sleep) < fake::kSleepsBeforeParking)
    std::this_thread::yield();

  const fake::Call* reg = fake::findCall(fake::Op::RIL_Initialize);
  ASSERT_NE(reg, nullptr);
  EXPECT_EQ(reg->args[0], 1u);
  EXPECT_EQ(reg->args[1], reinterpret_cast<uintptr_t>(&onResult));
  EXPECT_EQ(reg->args[2], reinterpret_cast<uintptr_t>(&onNotify));
  EXPECT_EQ(reg->args[3], 0xFFFFFFFFu);
  EXPECT_EQ(reg->args[4], 0x55AA55AAu);
  EXPECT_EQ(reg->args[5], reinterpret_cast<uintptr_t>(&radioHandle));
  EXPECT_NE(radioHandle, nullptr);
  for (size_t n = 0; n < fake::kSleepsBeforeParking; ++n)
    EXPECT_EQ(fake::findCall(fake::Op::Sleep, n)->args[0], 100u);

  // Notifications now reach the tracker through the registration.
  const std::vector<uint8_t> record = makeCallerRecord("+4917012345678");
  fake::notify(0x00080001u, record.data(), 1576);
  EXPECT_EQ(std::u16string(callState.callerNumber), kMobile);
}

TEST(Tracker, FailedRegistrationMeansNoNotificationEver) {
  freshEngine();
  fake::failCall(fake::Op::RIL_Initialize);
  std::thread watcher(watcherThread, nullptr);
  watcher.detach();
  while (fake::countCalls(fake::Op::Sleep) < fake::kSleepsBeforeParking)
    std::this_thread::yield();
  EXPECT_FALSE(fake::radioRegistered());
  const std::vector<uint8_t> record = makeCallerRecord("+4917012345678");
  fake::notify(0x00080001u, record.data(), 1576);
  EXPECT_EQ(std::u16string(callState.callerNumber), u"");
}

}  // namespace
