// The radio stand-in: records sent by another process reach the registered
// notify callback on the stand-in's thread, whole and in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/radio_channel.h"
#include "tests/win32/support.h"
#include "tools/callscript.h"

namespace {

constexpr uint32_t kParam = 0xC0FFEE42u;

struct Received {
  uint32_t code;
  bool payloadNull;
  std::vector<uint8_t> payload;
  uint32_t param;
  DWORD thread;
};

std::mutex receivedMutex;
std::vector<Received> received;

void recordNotify(uint32_t code, const void* payload, uint32_t size,
                  uint32_t param) {
  const auto* bytes = static_cast<const uint8_t*>(payload);
  std::lock_guard<std::mutex> guard(receivedMutex);
  received.push_back(Received{
      code, payload == nullptr,
      bytes == nullptr ? std::vector<uint8_t>()
                       : std::vector<uint8_t>(bytes, bytes + size),
      param, GetCurrentThreadId()});
}

std::vector<Received> takeReceived() {
  std::lock_guard<std::mutex> guard(receivedMutex);
  std::vector<Received> out;
  out.swap(received);
  return out;
}

// This process registers once, for every test here that needs it.
plat::HRIL registered() {
  static plat::HRIL ril = [] {
    plat::HRIL handle = nullptr;
    const plat::HRESULT hr = plat::RIL_Initialize(
        1, nullptr, recordNotify, plat::RIL_NCLASS_ALL, kParam, &handle);
    EXPECT_EQ(hr, S_OK);
    return handle;
  }();
  return ril;
}

::HWND channelWindow() {
  return FindWindowExW(HWND_MESSAGE, nullptr, radio_channel::kWindowClass,
                       nullptr);
}

}  // namespace

TEST(RadioStandIn, RegistrationMakesTheChannelWindow) {
  ASSERT_NE(registered(), nullptr);
  const ::HWND window = channelWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(radio_channel::findChannel(), static_cast<void*>(window));
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  EXPECT_EQ(process, GetCurrentProcessId());
  EXPECT_NE(thread, GetCurrentThreadId());
}

TEST(RadioStandIn, RecordsFromAnotherProcessArriveWholeAndInOrder) {
  ASSERT_NE(registered(), nullptr);
  takeReceived();
  const std::string script =
      "# every kind of step, and sizes around the edges\n"
      "0 callerid +4917012345678\n"
      "0 ring\n"
      "0 connect\n"
      "0 end\n"
      "0 notify 0xFFFFFFFF 1\n"
      "0 notify 0x00000000 3\n"
      "0 notify 0x00080001 25 +49\n"
      "0 notify 0x12345678 4096 0123456789\n"
      "0 notify 0x00080001 1576 Unknown\n"
      "5 ring\n"
      "0 end\n";
  std::vector<CallStep> expected;
  std::string error;
  ASSERT_TRUE(parseCallScript(script, &expected, &error)) << error;
  ASSERT_EQ(expected.size(), 11u);

  DWORD exitCode = 99;
  ASSERT_TRUE(support::playCallScript(script, &exitCode));
  EXPECT_EQ(exitCode, 0u);

  const std::vector<Received> got = takeReceived();
  ASSERT_EQ(got.size(), expected.size());
  DWORD channelThread = GetWindowThreadProcessId(channelWindow(), nullptr);
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i));
    EXPECT_EQ(got[i].code, expected[i].code);
    EXPECT_EQ(got[i].payload, expected[i].payload);
    EXPECT_EQ(got[i].payloadNull, expected[i].payload.empty());
    EXPECT_EQ(got[i].param, kParam);
    EXPECT_EQ(got[i].thread, channelThread);
    EXPECT_NE(got[i].thread, GetCurrentThreadId());
  }
  // The bytes themselves, not only what the parser made of the script.
  EXPECT_EQ(got[0].code, 0x00080001u);
  ASSERT_EQ(got[0].payload.size(), 1576u);
  const uint8_t number[] = {'+', 0, '4', 0, '9', 0, '1', 0};
  EXPECT_TRUE(std::equal(number, number + 8, got[0].payload.begin() + 24));
  EXPECT_EQ(got[1].payload, std::vector<uint8_t>(32, 0));
  EXPECT_EQ(got[2].payload.size(), 16u);
  EXPECT_TRUE(got[3].payloadNull);
  EXPECT_EQ(got[4].code, 0xFFFFFFFFu);
  EXPECT_EQ(got[4].payload, std::vector<uint8_t>{1});
  EXPECT_EQ(got[7].payload.size(), 4096u);
}

TEST(RadioStandIn, RecordsFromThisProcessToo) {
  ASSERT_NE(registered(), nullptr);
  takeReceived();
  void* channel = radio_channel::findChannel();
  ASSERT_NE(channel, nullptr);
  const uint8_t bytes[] = {1, 2, 3, 4, 5};
  EXPECT_TRUE(radio_channel::sendRecord(channel, 0x00020001u, bytes, 5));
  EXPECT_TRUE(radio_channel::sendRecord(channel, 0x00020003u, nullptr, 0));
  const std::vector<Received> got = takeReceived();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].payload, std::vector<uint8_t>(bytes, bytes + 5));
  EXPECT_TRUE(got[1].payloadNull);
  EXPECT_NE(got[0].thread, GetCurrentThreadId());
}

TEST(RadioStandIn, RefusesRecordsThatDoNotFit) {
  ASSERT_NE(registered(), nullptr);
  takeReceived();
  const ::HWND window = channelWindow();
  ASSERT_NE(window, nullptr);
  COPYDATASTRUCT wide{0x100000001ull, 0, nullptr};
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0,
                         reinterpret_cast<LPARAM>(&wide)),
            radio_channel::kRefused);
  EXPECT_FALSE(radio_channel::sendRecord(window, 1, nullptr, 4));
  // Other messages are not records.
  EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 0);
  EXPECT_TRUE(takeReceived().empty());
}

TEST(RadioStandIn, ASecondRegistrationFailsAndFillsNothing) {
  const plat::HRIL first = registered();
  ASSERT_NE(first, nullptr);
  plat::HRIL second = reinterpret_cast<plat::HRIL>(0x1234);
  EXPECT_EQ(plat::RIL_Initialize(1, nullptr, recordNotify,
                                 plat::RIL_NCLASS_ALL, 7, &second),
            E_FAIL);
  EXPECT_EQ(second, reinterpret_cast<plat::HRIL>(0x1234));

  // Another process cannot take the channel either.
  DWORD exitCode = 0;
  ASSERT_TRUE(support::runHelper(L"standin_probe.exe", {L"register"},
                                 &exitCode));
  EXPECT_EQ(exitCode, 1u);

  // The first registration still receives, with its own parameter.
  takeReceived();
  ASSERT_TRUE(radio_channel::sendRecord(radio_channel::findChannel(), 9,
                                        nullptr, 0));
  const std::vector<Received> got = takeReceived();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].param, kParam);
}

TEST(RadioStandIn, RefusesMissingArguments) {
  EXPECT_NE(plat::RIL_Initialize(1, nullptr, recordNotify,
                                 plat::RIL_NCLASS_ALL, 0, nullptr),
            S_OK);
  plat::HRIL ril = nullptr;
  EXPECT_NE(plat::RIL_Initialize(1, nullptr, nullptr, plat::RIL_NCLASS_ALL, 0,
                                 &ril),
            S_OK);
  EXPECT_EQ(ril, nullptr);
}
