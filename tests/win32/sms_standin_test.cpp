// The SMS stand-in: what it accepts, what it refuses, and the outbox lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/support.h"

namespace {

const plat::TEXT_PROVIDER_SPECIFIC_DATA kProvider{
    plat::PS_MESSAGE_OPTION_NONE, plat::PS_MESSAGE_CLASS3, plat::PSRO_NONE};

std::vector<uint8_t> utf16le(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

plat::SMS_ADDRESS address(const std::u16string& number) {
  plat::SMS_ADDRESS a{};
  a.smsatAddressType = plat::SMSAT_UNKNOWN;
  number.copy(a.ptsAddress, plat::SMS_MAX_ADDRESS_LENGTH - 1);
  return a;
}

class SmsStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    outbox_ = support::freshTempPath(L"outbox");
    support::setSmsKnob(L"Outbox", outbox_);
    support::deleteSmsKnob(L"Fail");
  }
  void TearDown() override {
    for (plat::SMS_HANDLE h : open_) plat::SmsClose(h);
    support::deleteSmsKnob(L"Outbox");
    support::deleteSmsKnob(L"Fail");
    DeleteFileW(outbox_.c_str());
  }

  plat::SMS_HANDLE open() {
    plat::SMS_HANDLE sms = nullptr;
    plat::HANDLE event = nullptr;
    EXPECT_EQ(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                            &event),
              S_OK);
    if (event != nullptr) plat::CloseHandle(event);
    if (sms != nullptr) open_.push_back(sms);
    return sms;
  }

  plat::HRESULT send(plat::SMS_HANDLE sms, const std::u16string& to,
                     const std::u16string& text) {
    const plat::SMS_ADDRESS destination = address(to);
    const std::vector<uint8_t> data = utf16le(text);
    return plat::SmsSendMessage(
        sms, nullptr, &destination, nullptr, data.data(),
        static_cast<uint32_t>(data.size()),
        reinterpret_cast<const uint8_t*>(&kProvider), sizeof kProvider,
        plat::SMSDE_OPTIMAL, plat::SMS_OPTION_DELIVERY_NONE, nullptr);
  }

  bool outboxExists() {
    return GetFileAttributesW(outbox_.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::vector<support::OutboxRecord> records() {
    std::string bytes, error;
    std::vector<support::OutboxRecord> out;
    EXPECT_TRUE(support::readFile(outbox_, &bytes));
    EXPECT_TRUE(support::parseOutbox(bytes, &out, &error)) << error;
    return out;
  }

  std::wstring outbox_;
  std::vector<plat::SMS_HANDLE> open_;
};

}  // namespace

TEST_F(SmsStandIn, OpensForTextSendingWithARealEvent) {
  plat::SMS_HANDLE sms = nullptr;
  plat::HANDLE event = nullptr;
  ASSERT_EQ(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                          &event),
            S_OK);
  EXPECT_NE(sms, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(plat::CloseHandle(event));
  EXPECT_EQ(plat::SmsClose(sms), S_OK);
  EXPECT_NE(plat::SmsClose(sms), S_OK);  // already closed
  EXPECT_FALSE(outboxExists());
}

TEST_F(SmsStandIn, RefusesOtherProtocolsAndModes) {
  const char16_t* protocols[] = {u"Microsoft Text SMS Protocol ",
                                 u"microsoft text sms protocol",
                                 u"Microsoft WDP SMS Protocol", u""};
  for (const char16_t* protocol : protocols) {
    plat::SMS_HANDLE sms = reinterpret_cast<plat::SMS_HANDLE>(1);
    plat::HANDLE event = reinterpret_cast<plat::HANDLE>(2);
    EXPECT_NE(plat::SmsOpen(protocol, plat::SMS_MODE_SEND, &sms, &event),
              S_OK);
    EXPECT_EQ(sms, reinterpret_cast<plat::SMS_HANDLE>(1));
    EXPECT_EQ(event, reinterpret_cast<plat::HANDLE>(2));
  }
  for (uint32_t mode : {0u, 1u, 3u, 4u}) {
    plat::SMS_HANDLE sms = reinterpret_cast<plat::SMS_HANDLE>(1);
    plat::HANDLE event = reinterpret_cast<plat::HANDLE>(2);
    EXPECT_NE(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, mode, &sms, &event), S_OK)
        << mode;
    EXPECT_EQ(sms, reinterpret_cast<plat::SMS_HANDLE>(1));
  }
  plat::SMS_HANDLE sms = nullptr;
  plat::HANDLE event = nullptr;
  EXPECT_NE(plat::SmsOpen(nullptr, plat::SMS_MODE_SEND, &sms, &event), S_OK);
  EXPECT_NE(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND,
                          nullptr, &event),
            S_OK);
  EXPECT_NE(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                          nullptr),
            S_OK);
}

TEST_F(SmsStandIn, FailOpenMakesOpenFailUntilTheKnobChanges) {
  support::setSmsKnob(L"Fail", L"open");
  plat::SMS_HANDLE sms = reinterpret_cast<plat::SMS_HANDLE>(1);
  plat::HANDLE event = reinterpret_cast<plat::HANDLE>(2);
  EXPECT_NE(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                          &event),
            S_OK);
  EXPECT_EQ(sms, reinterpret_cast<plat::SMS_HANDLE>(1));
  EXPECT_EQ(event, reinterpret_cast<plat::HANDLE>(2));
  support::setSmsKnob(L"Fail", L"OPEN");  // letter case does not matter
  EXPECT_NE(plat::SmsOpen(plat::SMS_MSGTYPE_TEXT, plat::SMS_MODE_SEND, &sms,
                          &event),
            S_OK);
  EXPECT_FALSE(outboxExists());

  support::setSmsKnob(L"Fail", L"nothing");  // anything else: no failure
  plat::SMS_HANDLE ok = open();
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(send(ok, u"+4917012345678", u"after"), S_OK);
  EXPECT_EQ(records().size(), 1u);
}

TEST_F(SmsStandIn, FailSendMakesSendFailAndWritesNothing) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  support::setSmsKnob(L"Fail", L"send");
  EXPECT_NE(send(sms, u"+4917012345678", u"not sent"), S_OK);
  EXPECT_FALSE(outboxExists());
  // Opening is not affected by Fail=send.
  EXPECT_NE(open(), nullptr);

  support::deleteSmsKnob(L"Fail");
  EXPECT_EQ(send(sms, u"+4917012345678", u"sent"), S_OK);
  const auto lines = records();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "sent");
}

TEST_F(SmsStandIn, TwoMessagesGiveTwoLinesInOrder) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  EXPECT_EQ(send(sms, u"+491111111", u"first"), S_OK);
  EXPECT_EQ(send(sms, u"+492222222", u"second"), S_OK);
  const auto lines = records();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].destination, "+491111111");
  EXPECT_EQ(lines[0].text, "first");
  EXPECT_EQ(lines[1].destination, "+492222222");
  EXPECT_EQ(lines[1].text, "second");
  EXPECT_LE(lines[0].stamp, lines[1].stamp);
}

TEST_F(SmsStandIn, ARecordHoldsTheExactBytes) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  // Every escape, non-ASCII letters and a character beyond the BMP.
  const std::u16string text =
      u"Bin gleich zur\u00FCck \u2013 \u0416\n\\ok\tTab\r\U0001F600";
  ASSERT_EQ(send(sms, u"+49 (170)\t12\\34", text), S_OK);

  std::string bytes;
  ASSERT_TRUE(support::readFile(outbox_, &bytes));
  const std::string stamp = bytes.substr(0, 23);
  EXPECT_TRUE(support::isTimestamp(stamp)) << stamp;
  EXPECT_EQ(bytes.substr(23),
            "\t+49 (170)\\t12\\\\34\t" + std::to_string(text.size() * 2) +
                "\tBin gleich zur\xC3\xBC" "ck \xE2\x80\x93 \xD0\x96\\n\\\\ok"
                "\\tTab\\r\xF0\x9F\x98\x80\n");

  const auto lines = records();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].destination, "+49 (170)\t12\\34");
  ASSERT_EQ(text.size(), 32u);
  EXPECT_EQ(lines[0].size, "64");
  EXPECT_EQ(lines[0].text,
            "Bin gleich zur\xC3\xBC" "ck \xE2\x80\x93 \xD0\x96\n\\ok\tTab\r"
            "\xF0\x9F\x98\x80");
}

TEST_F(SmsStandIn, AnEmptyTextIsAnEmptyRecord) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  const plat::SMS_ADDRESS to = address(u"+4917012345678");
  ASSERT_EQ(plat::SmsSendMessage(sms, nullptr, &to, nullptr, nullptr, 0,
                                 reinterpret_cast<const uint8_t*>(&kProvider),
                                 sizeof kProvider, 0, 0, nullptr),
            S_OK);
  const auto lines = records();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size, "0");
  EXPECT_EQ(lines[0].text, "");
}

TEST_F(SmsStandIn, RefusesBadArgumentsAndWritesNothing) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  const plat::SMS_ADDRESS to = address(u"+4917012345678");
  const plat::SMS_ADDRESS empty = address(u"");
  plat::SMS_ADDRESS unterminated;
  unterminated.smsatAddressType = plat::SMSAT_UNKNOWN;
  for (char16_t& unit : unterminated.ptsAddress) unit = u'7';
  const uint8_t data[6] = {'a', 0, 'b', 0, 'c', 0};
  const auto* provider = reinterpret_cast<const uint8_t*>(&kProvider);
  plat::SmsObject* unknown = reinterpret_cast<plat::SmsObject*>(&sms);

  struct Case {
    const char* what;
    plat::SMS_HANDLE handle;
    const plat::SMS_ADDRESS* to;
    const uint8_t* data;
    uint32_t size;
    const uint8_t* provider;
    uint32_t providerSize;
  };
  const Case cases[] = {
      {"null handle", nullptr, &to, data, 6, provider, 12},
      {"unknown handle", unknown, &to, data, 6, provider, 12},
      {"no destination", sms, nullptr, data, 6, provider, 12},
      {"empty destination", sms, &empty, data, 6, provider, 12},
      {"unterminated destination", sms, &unterminated, data, 6, provider, 12},
      {"odd size", sms, &to, data, 5, provider, 12},
      {"odd size 1", sms, &to, data, 1, provider, 12},
      {"null data", sms, &to, nullptr, 6, provider, 12},
      {"no provider data", sms, &to, data, 6, nullptr, 12},
      {"provider size 0", sms, &to, data, 6, provider, 0},
      {"provider size 16", sms, &to, data, 6, provider, 16},
      {"provider size 11", sms, &to, data, 6, provider, 11},
  };
  for (const Case& c : cases) {
    EXPECT_NE(plat::SmsSendMessage(c.handle, nullptr, c.to, nullptr, c.data,
                                   c.size, c.provider, c.providerSize, 0, 0,
                                   nullptr),
              S_OK)
        << c.what;
  }
  EXPECT_FALSE(outboxExists());
  // The same handle still sends when the arguments are right.
  EXPECT_EQ(plat::SmsSendMessage(sms, nullptr, &to, nullptr, data, 6, provider,
                                 12, 0, 0, nullptr),
            S_OK);
  EXPECT_EQ(records().size(), 1u);
}

TEST_F(SmsStandIn, ClosingAnUnknownHandleFails) {
  EXPECT_NE(plat::SmsClose(nullptr), S_OK);
  plat::SMS_HANDLE sms = nullptr;
  EXPECT_NE(plat::SmsClose(reinterpret_cast<plat::SMS_HANDLE>(&sms)), S_OK);
  plat::SMS_HANDLE a = open();
  plat::SMS_HANDLE b = open();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  open_.clear();
  EXPECT_EQ(plat::SmsClose(a), S_OK);
  EXPECT_NE(send(a, u"+4917012345678", u"closed"), S_OK);
  EXPECT_EQ(send(b, u"+4917012345678", u"still open"), S_OK);
  EXPECT_EQ(plat::SmsClose(b), S_OK);
  EXPECT_EQ(records().size(), 1u);
}

TEST_F(SmsStandIn, GivesMessageIds) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  const plat::SMS_ADDRESS to = address(u"+4917012345678");
  const uint8_t data[2] = {'x', 0};
  uint32_t first = 0, second = 0;
  const auto* provider = reinterpret_cast<const uint8_t*>(&kProvider);
  ASSERT_EQ(plat::SmsSendMessage(sms, nullptr, &to, nullptr, data, 2, provider,
                                 12, 0, 0, &first),
            S_OK);
  ASSERT_EQ(plat::SmsSendMessage(sms, nullptr, &to, nullptr, data, 2, provider,
                                 12, 0, 0, &second),
            S_OK);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
}

TEST_F(SmsStandIn, TheOutboxKnobIsReadAtEachSend) {
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  EXPECT_EQ(send(sms, u"+491111111", u"to the first"), S_OK);
  const std::wstring other = support::freshTempPath(L"outbox");
  support::setSmsKnob(L"Outbox", other);
  EXPECT_EQ(send(sms, u"+491111111", u"to the second"), S_OK);
  std::string bytes, error;
  ASSERT_TRUE(support::readFile(other, &bytes));
  DeleteFileW(other.c_str());
  std::vector<support::OutboxRecord> second;
  ASSERT_TRUE(support::parseOutbox(bytes, &second, &error)) << error;
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].text, "to the second");
  const auto first = records();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].text, "to the first");
}

TEST_F(SmsStandIn, WithoutTheKnobTheOutboxIsNextToTheProgram) {
  support::deleteSmsKnob(L"Outbox");
  const std::wstring path = support::exeDirectory() + L"sms-outbox.txt";
  std::string before;
  const bool existed = support::readFile(path, &before);
  plat::SMS_HANDLE sms = open();
  ASSERT_NE(sms, nullptr);
  EXPECT_EQ(send(sms, u"+4917012345678", u"default place"), S_OK);
  std::string after;
  ASSERT_TRUE(support::readFile(path, &after));
  if (!existed) DeleteFileW(path.c_str());
  ASSERT_GT(after.size(), before.size());
  EXPECT_EQ(after.compare(0, before.size(), before), 0);
  std::vector<support::OutboxRecord> added;
  std::string error;
  ASSERT_TRUE(support::parseOutbox(after.substr(before.size()), &added,
                                   &error))
      << error;
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].text, "default place");
}

TEST_F(SmsStandIn, TwoProcessesAppendingDoNotInterleave) {
  constexpr int kEach = 1000;
  // Both helpers open the service, then start appending on the same go.
  // Without the stand-in's outbox mutex Wine loses or splices lines here in
  // some runs (the more records, the likelier); with it, never.
  const std::wstring sync =
      L"Local\\VantorelProbe" + std::to_wstring(GetCurrentProcessId());
  HANDLE ready = CreateSemaphoreW(nullptr, 0, 2, (sync + L".ready").c_str());
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, (sync + L".go").c_str());
  ASSERT_NE(ready, nullptr);
  ASSERT_NE(go, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION processes[2]{};
  const wchar_t* names[2] = {L"+491111111", L"+492222222"};
  for (int p = 0; p < 2; ++p) {
    std::wstring exe = support::exeDirectory() + L"standin_probe.exe";
    std::wstring line = L"\"" + exe + L"\" append " +
                        std::to_wstring(kEach) + L" " + names[p] + L" " + sync;
    ASSERT_TRUE(CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE,
                               0, nullptr, nullptr, &startup, &processes[p]));
  }
  for (int p = 0; p < 2; ++p)
    EXPECT_EQ(WaitForSingleObject(ready, 10000),
              static_cast<DWORD>(WAIT_OBJECT_0));
  SetEvent(go);
  for (PROCESS_INFORMATION& process : processes) {
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000),
              static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  ::CloseHandle(ready);
  ::CloseHandle(go);
  const auto lines = records();
  ASSERT_EQ(lines.size(), 2u * kEach);
  int next[2] = {0, 0};
  for (const support::OutboxRecord& r : lines) {
    const int p = r.destination == support::toUtf8(names[0]) ? 0 : 1;
    ASSERT_EQ(r.destination, support::toUtf8(names[p]));
    const std::string expected =
        support::toUtf8(names[p]) + " " + std::to_string(next[p]++);
    ASSERT_EQ(r.text, expected);
    ASSERT_EQ(r.size, std::to_string(expected.size() * 2));
  }
  EXPECT_EQ(next[0], kEach);
  EXPECT_EQ(next[1], kEach);
}
