// The phone emulator: the calls its command line builds, and, run as a
// process of its own, the records that reach this process's radio
// registration. The first test must run before this process registers.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/radio_channel.h"
#include "tests/win32/support.h"
#include "tools/emulator_command.h"

namespace {

constexpr uint32_t kCallerId = 0x00080001u;

// On the performance counter, which is finer than the tick count.
double nowMs() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

struct Received {
  uint32_t code;
  std::vector<uint8_t> payload;
  double atMs;
};

std::mutex receivedMutex;
std::vector<Received> received;

void recordNotify(uint32_t code, const void* payload, uint32_t size,
                  uint32_t /*param*/) {
  const auto* bytes = static_cast<const uint8_t*>(payload);
  std::lock_guard<std::mutex> guard(receivedMutex);
  received.push_back(Received{code,
                              bytes == nullptr
                                  ? std::vector<uint8_t>()
                                  : std::vector<uint8_t>(bytes, bytes + size),
                              nowMs()});
}

std::vector<Received> takeReceived() {
  std::lock_guard<std::mutex> guard(receivedMutex);
  std::vector<Received> out;
  out.swap(received);
  return out;
}

bool registered() {
  static const bool ok = [] {
    plat::HRIL ril = nullptr;
    return plat::RIL_Initialize(1, nullptr, recordNotify, plat::RIL_NCLASS_ALL,
                                0, &ril) == S_OK;
  }();
  return ok;
}

// Runs phone_emulator.exe, built in the tools folder of this build.
DWORD runEmulator(const std::vector<std::wstring>& args) {
  std::wstring path = L"" PHONE_EMULATOR;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  DWORD exitCode = 99;
  EXPECT_TRUE(support::runHelper(path.c_str(), args, &exitCode));
  return exitCode;
}

// The caller's number as the program reads it: UTF-16 from byte 24.
std::wstring numberIn(const std::vector<uint8_t>& payload) {
  std::wstring out;
  for (size_t at = 24; at + 1 < payload.size(); at += 2) {
    const wchar_t unit =
        static_cast<wchar_t>(payload[at] | payload[at + 1] << 8);
    if (unit == 0) break;
    out.push_back(unit);
  }
  return out;
}

std::vector<std::string> narrow(const std::vector<const char*>& args) {
  return std::vector<std::string>(args.begin(), args.end());
}

void writeFile(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
  ::CloseHandle(file);
  ASSERT_EQ(written, text.size());
}

struct Record {
  uint32_t code;
  size_t size;
  uint32_t delayMs;  // after the record before it
};

}  // namespace

TEST(PhoneEmulator, ExitsWithThreeWhenNoProgramHasRegistered) {
  ASSERT_EQ(radio_channel::findChannel(), nullptr)
      << "another process owns the radio channel";
  const double start = nowMs();
  EXPECT_EQ(runEmulator({L"call", L"+4917012345678", L"--wait", L"200"}), 3u);
  // It looked for the program for the time it was given.
  EXPECT_GE(nowMs() - start, 180.0);
}

TEST(PhoneEmulator, BuildsTheDefaultCall) {
  EmulatorCommand command;
  std::string error;
  ASSERT_TRUE(
      parseEmulatorCommand(narrow({"call", "+49 170 1"}), &command, &error))
      << error;
  EXPECT_EQ(command.waitMs, 2000u);
  const std::vector<Record> want = {{kCallerId, 1576, 0},
                                    {kRingCode, 32, 0},
                                    {kRingCode, 32, 3000},
                                    {kRingCode, 32, 3000},
                                    {kCallEndCode, 0, 3000}};
  ASSERT_EQ(command.steps.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(command.steps[i].code, want[i].code);
    EXPECT_EQ(command.steps[i].payload.size(), want[i].size);
    EXPECT_EQ(command.steps[i].delayMs, want[i].delayMs);
  }
  EXPECT_EQ(command.steps[0].payload, makeCallerRecord("+49 170 1"));

  // An answered call hangs up after the default talk time.
  ASSERT_TRUE(parseEmulatorCommand(
      narrow({"call", "1", "--answer-after", "700", "--wait", "9"}), &command,
      &error));
  ASSERT_EQ(command.steps.size(), 6u);
  EXPECT_EQ(command.steps[4].code, kConnectCode);
  EXPECT_EQ(command.steps[4].delayMs, 700u);
  EXPECT_EQ(command.steps[5].code, kCallEndCode);
  EXPECT_EQ(command.steps[5].delayMs, 5000u);
  EXPECT_EQ(command.waitMs, 9u);
}

TEST(PhoneEmulator, RefusesCommandLinesThatDoNotFitTheUsage) {
  const std::vector<std::vector<const char*>> bad = {
      {},
      {"dial", "1"},
      {"call"},
      {"call", "1", "2"},
      {"call", "1", "--rings"},
      {"call", "1", "--rings", "-1"},
      {"call", "1", "--rings", "3x"},
      {"call", "1", "--rings", "1001"},
      {"call", "1", "--interval", "4294967296"},
      {"call", "1", "--answer-after", "5", "--reject-after", "5"},
      {"call", "1", "--leave-ringing", "--answer-after", "5"},
      {"call", "1", "--talk", "5"},
      {"call", "1", "--ring", "5"},
      {"play"},
      {"play", "a.txt", "b.txt"},
      {"play", "a.txt", "--rings", "3"},
  };
  for (const auto& args : bad) {
    std::string line;
    for (const char* arg : args) line += std::string(arg) + " ";
    SCOPED_TRACE(line);
    EmulatorCommand command;
    std::string error;
    EXPECT_FALSE(parseEmulatorCommand(narrow(args), &command, &error));
    EXPECT_FALSE(error.empty());
  }
  // The process says so with its exit code, before looking for a program.
  EXPECT_EQ(runEmulator({L"call", L"1", L"--rings", L"x"}), 2u);
  EXPECT_EQ(runEmulator({}), 2u);
  EXPECT_EQ(runEmulator({L"--help"}), 0u);
}

TEST(PhoneEmulator, DescribesRecordsAsTheProgramTellsThemApart) {
  EXPECT_EQ(describeRecord(kCallerId,
                           makeCallerRecord("+49 \xC3\x84 \xF0\x9F\x93\x9E")),
            "caller identification +49 \xC3\x84 \xF0\x9F\x93\x9E");
  EXPECT_EQ(describeRecord(0x00081201u, makeCallerRecord("")),
            "caller identification (no number)");
  EXPECT_EQ(describeRecord(kRingCode, std::vector<uint8_t>(32)), "ring");
  EXPECT_EQ(describeRecord(0x1234, std::vector<uint8_t>(16)), "connect");
  EXPECT_EQ(describeRecord(kCallEndCode, {}), "end");
  EXPECT_EQ(describeRecord(kRingCode, std::vector<uint8_t>(31)),
            "not a call notification");
}

TEST(PhoneEmulator, CallsReachTheRegisteredProcessRecordByRecord) {
  ASSERT_TRUE(registered());
  struct Case {
    const wchar_t* what;
    std::vector<std::wstring> args;
    std::vector<Record> want;
  };
  const Case cases[] = {
      {L"answered",
       {L"--rings", L"2", L"--interval", L"120", L"--answer-after", L"60",
        L"--talk", L"90"},
       {{kCallerId, 1576, 0},
        {kRingCode, 32, 0},
        {kRingCode, 32, 120},
        {kConnectCode, 16, 60},
        {kCallEndCode, 0, 90}}},
      {L"rejected",
       {L"--rings", L"1", L"--interval", L"500", L"--reject-after", L"80"},
       {{kCallerId, 1576, 0}, {kRingCode, 32, 0}, {kCallEndCode, 0, 80}}},
      {L"left ringing",
       {L"--rings", L"3", L"--interval", L"70", L"--leave-ringing"},
       {{kCallerId, 1576, 0},
        {kRingCode, 32, 0},
        {kRingCode, 32, 70},
        {kRingCode, 32, 70}}},
      {L"no rings",
       {L"--rings", L"0", L"--reject-after", L"0"},
       {{kCallerId, 1576, 0}, {kCallEndCode, 0, 0}}},
  };
  // A number with a blank, a letter outside ASCII and one outside the BMP,
  // to show it passes the command line and the UTF-16 record unchanged.
  const std::wstring number = L"+49 170 \u00C4\U0001F4DE";
  for (const Case& c : cases) {
    SCOPED_TRACE(support::toUtf8(c.what));
    takeReceived();
    std::vector<std::wstring> args = {L"call", number};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(runEmulator(args), 0u);
    const std::vector<Received> got = takeReceived();
    ASSERT_EQ(got.size(), c.want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(got[i].code, c.want[i].code);
      EXPECT_EQ(got[i].payload.size(), c.want[i].size);
      // Only that the emulator waited (less 2 ms for the clocks): how much
      // longer it took depends on the machine.
      if (i > 0) {
        EXPECT_GE(got[i].atMs - got[i - 1].atMs + 2, c.want[i].delayMs);
      }
    }
    EXPECT_EQ(numberIn(got[0].payload), number);
  }
}

TEST(PhoneEmulator, PlaysAScriptRecordForRecord) {
  ASSERT_TRUE(registered());
  const std::string script =
      "# answered after one ring\n"
      "0 callerid +4917012345678\n"
      "0 ring\n"
      "50 connect\n"
      "0 notify 0x12345678 7 ab\n"
      "20 end\n";
  std::vector<CallStep> want;
  std::string error;
  ASSERT_TRUE(parseCallScript(script, &want, &error)) << error;
  const std::wstring path = support::freshTempPath(L"emulator-script");
  ASSERT_NO_FATAL_FAILURE(writeFile(path, script));
  takeReceived();
  EXPECT_EQ(runEmulator({L"play", path}), 0u);
  const std::vector<Received> got = takeReceived();
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].code, want[i].code);
    EXPECT_EQ(got[i].payload, want[i].payload);
  }

  // A script that cannot be read or does not parse sends nothing.
  ASSERT_NO_FATAL_FAILURE(writeFile(path, "0 ring\nsoon end\n"));
  EXPECT_EQ(runEmulator({L"play", path}), 1u);
  DeleteFileW(path.c_str());
  EXPECT_EQ(runEmulator({L"play", path}), 1u);
  EXPECT_TRUE(takeReceived().empty());
}
