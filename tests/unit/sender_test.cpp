#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/sender.h"
#include "engine/settings.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "platform/sms.h"
#include "platform/thread.h"
#include "tests/unit/replay.h"

namespace {

using fake::Op;

// sendReply expects the call lock, as both of its callers hold it.
void sendLocked() {
  plat::EnterCallLock();
  sendReply();
  plat::LeaveCallLock();
}

class Sender : public ::testing::Test {
 protected:
  void SetUp() override {
    freshEngine();
    copyText(replySettings.mainText, u"main text");
    copyText(replySettings.secondText, u"second text");
    copyText(callState.callerNumber, u"+4917012345678");
  }
};

TEST_F(Sender, GuardsOnTheCallersNumber) {
  const struct {
    const char16_t* caller;
    const char16_t* lastReplied;
    bool sent;
  } cases[] = {
      {u"12345", u"", true},         {u"1234", u"", false},
      {u"", u"", false},             {u"Unknown", u"", false},
      {u"UNKNOWN", u"", false},      {u"unknown", u"", false},
      {u"Unknow", u"", true},        {u"Unknown1", u"", true},
      {u"12345", u"12345", false},   {u"abcde", u"ABCDE", false},
      {u"12345", u" ", true},        {u"12345", u"123456", true},
  };
  for (const auto& c : cases) {
    SetUp();
    copyText(callState.callerNumber, c.caller);
    copyText(callState.lastRepliedNumber, c.lastReplied);
    sendLocked();
    EXPECT_EQ(fake::countCalls(Op::SmsSendMessage), c.sent ? 1u : 0u)
        << std::u16string(c.caller).size();
    // A refused number changes nothing; an accepted one is remembered.
    EXPECT_EQ(std::u16string(callState.lastRepliedNumber),
              c.sent ? c.caller : c.lastReplied);
    if (!c.sent) {
      EXPECT_EQ(fake::callCount(), 0u);
    }
  }
}

TEST_F(Sender, CallsTheServiceInOrderWithTheExactArguments) {
  sendLocked();
  ASSERT_EQ(fake::callCount(), 4u);
  const fake::Call& open = fake::call(0);
  const fake::Call& closeEvent = fake::call(1);
  const fake::Call& send = fake::call(2);
  const fake::Call& close = fake::call(3);
  ASSERT_EQ(open.op, Op::SmsOpen);
  ASSERT_EQ(closeEvent.op, Op::CloseHandle);
  ASSERT_EQ(send.op, Op::SmsSendMessage);
  ASSERT_EQ(close.op, Op::SmsClose);

  EXPECT_EQ(std::u16string(open.text), u"Microsoft Text SMS Protocol");
  EXPECT_EQ(open.args[1], 2u);
  EXPECT_NE(open.args[2], 0u);
  EXPECT_NE(open.args[3], 0u);
  EXPECT_EQ(closeEvent.args[0], 0xE7E7u);  // the event SmsOpen gave out

  EXPECT_EQ(send.args[0], 0x5305u);  // the SMS handle SmsOpen gave out
  EXPECT_EQ(send.args[1], 0u);       // default service centre
  EXPECT_NE(send.args[2], 0u);
  EXPECT_EQ(send.addressType, 0u);
  EXPECT_EQ(std::u16string(send.text), u"+4917012345678");
  EXPECT_EQ(send.args[3], 0u);  // default validity
  EXPECT_NE(send.args[4], 0u);
  EXPECT_EQ(send.args[5], 18u);
  const uint8_t expectedText[] = {'m', 0, 'a', 0, 'i', 0, 'n', 0, ' ', 0,
                                  't', 0, 'e', 0, 'x', 0, 't', 0};
  EXPECT_EQ(std::memcmp(send.data, expectedText, sizeof expectedText), 0);
  EXPECT_NE(send.args[6], 0u);
  EXPECT_EQ(send.args[7], 12u);
  const uint8_t expectedProvider[12] = {0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(send.provider, expectedProvider, 12), 0);
  EXPECT_EQ(send.args[8], 0u);   // the service chooses the encoding
  EXPECT_EQ(send.args[9], 0u);   // no delivery report
  EXPECT_EQ(send.args[10], 0u);  // no message identifier wanted

  EXPECT_EQ(close.args[0], 0x5305u);
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(fake::call(i).lockHeld);
}

TEST_F(Sender, AFailingOpenStillCountsAsTheReply) {
  fake::failCall(Op::SmsOpen);
  sendLocked();
  sendLocked();  // the timer again, same caller, same call
  EXPECT_EQ(fake::countCalls(Op::SmsOpen), 1u);
  EXPECT_EQ(fake::countCalls(Op::SmsSendMessage), 0u);
  EXPECT_EQ(fake::countCalls(Op::SmsClose), 0u);
  EXPECT_EQ(fake::countCalls(Op::CloseHandle), 0u);
  EXPECT_EQ(std::u16string(callState.lastRepliedNumber), u"+4917012345678");
}

TEST_F(Sender, AFailingSubmissionIsClosedAndNotRetried) {
  fake::failCall(Op::SmsSendMessage);
  fake::failCall(Op::SmsClose);
  sendLocked();
  sendLocked();
  EXPECT_EQ(fake::countCalls(Op::SmsSendMessage), 1u);
  EXPECT_EQ(fake::countCalls(Op::SmsClose), 1u);
}

TEST_F(Sender, TheSameCallerAgainAfterTheMemoryIsReset) {
  sendLocked();
  sendLocked();
  copyText(callState.lastRepliedNumber, u" ");
  sendLocked();
  EXPECT_EQ(fake::countCalls(Op::SmsSendMessage), 2u);
}

TEST_F(Sender, TextChoiceAndSizes) {
  const std::u16string longText(149, u'x');
  const std::u16string fullText(159, u'y');
  const struct {
    bool useSecond;
    std::u16string mainText;
    std::u16string secondText;
    std::u16string sent;
  } cases[] = {
      {false, u"main", u"second", u"main"},
      {true, u"main", u"second", u"second"},
      {false, u"", u"second", u""},
      {false, longText, u"", longText},
      {true, u"", fullText, fullText},
      {false, u"R\u00fcckruf \u0416 \u20ac", u"", u"R\u00fcckruf \u0416 \u20ac"},
  };
  for (const auto& c : cases) {
    SetUp();
    copyText(replySettings.mainText, c.mainText.c_str());
    copyText(replySettings.secondText, c.secondText.c_str());
    callState.useSecond = c.useSecond;
    sendLocked();
    const std::vector<SentMessage> sent = sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, c.sent);
    EXPECT_EQ(fake::findCall(Op::SmsSendMessage)->dataSize,
              2 * c.sent.size());
  }
}

TEST_F(Sender, AnUnterminatedTextIsSentNoFurtherThanItsLimit) {
  for (char16_t& u : replySettings.mainText) u = u'z';
  sendLocked();
  EXPECT_EQ(fake::findCall(Op::SmsSendMessage)->dataSize, 318u);
}

}  // namespace
