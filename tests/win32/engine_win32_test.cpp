// The reply engine on the real platform: the watcher registers onNotify with
// the radio stand-in, another process places a call, the reply lands in the
// outbox.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/win32/radio_channel.h"
#include "tests/win32/support.h"

namespace {

constexpr wchar_t kCaller[] = L"+4917012345678";

// The watcher thread as the shell starts it, once for this process.
bool watcherRunning() {
  static const bool running = [] {
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD { return watcherThread(nullptr); }, nullptr, 0,
        nullptr);
    if (thread == nullptr) return false;
    ::CloseHandle(thread);
    return radio_channel::findChannel(10000) != nullptr;
  }();
  return running;
}

class EngineOnWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(watcherRunning());
    outbox_ = support::freshTempPath(L"engine-outbox");
    support::setSmsKnob(L"Outbox", outbox_);
    support::deleteSmsKnob(L"Fail");
    // Written while no record is on its way; the radio thread reads it.
    resetReplySettings();
    resetTables();
    replySettings.activated = 1;
    replySettings.replyOnCancel = 1;
  }
  void TearDown() override {
    support::deleteSmsKnob(L"Outbox");
    DeleteFileW(outbox_.c_str());
  }

  void placeCall(const std::vector<std::wstring>& steps) {
    std::string script;
    for (const std::wstring& line : steps) script += support::toUtf8(line) + "\n";
    DWORD exitCode = 99;
    ASSERT_TRUE(support::playCallScript(script, &exitCode));
    EXPECT_EQ(exitCode, 0u);
  }

  // A call that rings once and is given up by the caller.
  void missedCall() {
    placeCall({std::wstring(L"0 callerid ") + kCaller, L"0 ring", L"0 end"});
  }

  std::vector<support::OutboxRecord> outbox() {
    std::string bytes, error;
    std::vector<support::OutboxRecord> records;
    if (!support::readFile(outbox_, &bytes)) return records;
    EXPECT_TRUE(support::parseOutbox(bytes, &records, &error)) << error;
    return records;
  }

  void expectOneReply(const std::u16string& text, const std::string& utf8) {
    const auto records = outbox();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(support::isTimestamp(records[0].stamp));
    EXPECT_EQ(records[0].destination, support::toUtf8(kCaller));
    EXPECT_EQ(records[0].size, std::to_string(text.size() * 2));
    EXPECT_EQ(records[0].text, utf8);
  }

  std::wstring outbox_;
};

}  // namespace

TEST_F(EngineOnWin32, AMissedCallGetsTheMainTextInUtf8) {
  const std::u16string text = u"Bin gleich zur\u00FCck \u2013 \u0416";
  copyText(replySettings.mainText, text.c_str());
  missedCall();
  expectOneReply(text, "Bin gleich zur\xC3\xBC" "ck \xE2\x80\x93 \xD0\x96");
}

TEST_F(EngineOnWin32, ANewlineInTheTextIsEscapedInTheOutbox) {
  const std::u16string text = u"Call me\nlater \\ thanks";
  copyText(replySettings.mainText, text.c_str());
  missedCall();
  std::string raw;
  ASSERT_TRUE(support::readFile(outbox_, &raw));
  EXPECT_NE(raw.find("\tCall me\\nlater \\\\ thanks\n"), std::string::npos)
      << raw;
  expectOneReply(text, "Call me\nlater \\ thanks");
}

TEST_F(EngineOnWin32, AnAnsweredCallGetsNoReply) {
  copyText(replySettings.mainText, u"not sent");
  placeCall({std::wstring(L"0 callerid ") + kCaller, L"0 ring", L"0 connect",
             L"0 end"});
  EXPECT_TRUE(outbox().empty());
}

TEST_F(EngineOnWin32, AFailingServiceSendsNothing) {
  copyText(replySettings.mainText, u"not sent");
  support::setSmsKnob(L"Fail", L"send");
  missedCall();
  support::deleteSmsKnob(L"Fail");
  EXPECT_TRUE(outbox().empty());
}
