// The phone emulator: places calls into the running program by sending radio
// notification records to the radio stand-in's channel
// (platform/win32/radio_channel.h), and prints each record it sent. The
// command line is in kEmulatorUsage; docs/phone-emulator.md shows examples.
//
// Exit code: 0 every record delivered, 1 a failure (unreadable script, a
// record not delivered), 2 a usage error, 3 no running program found.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/radio_channel.h"
#include "platform/win32/win32.h"
#include "tools/emulator_command.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsageError = 2;
constexpr int kNoProgram = 3;

std::string toUtf8(const wchar_t* text) {
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(n - 1);
  return out;
}

std::wstring toWide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
  out.resize(n - 1);
  return out;
}

bool readScript(const std::string& path, std::string* text) {
  FILE* file = _wfopen(toWide(path).c_str(), L"rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
    text->append(buffer, got);
  const bool ok = !ferror(file);
  fclose(file);
  return ok;
}

// Milliseconds on the performance counter: the tick count moves in steps of
// up to 16 ms, too coarse for a log of rings 100 ms apart.
uint64_t nowMs() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<uint64_t>(count.QuadPart) * 1000 /
         static_cast<uint64_t>(frequency.QuadPart);
}

// Sends the steps one after another, each after its delay counted from the
// moment the step before it was delivered (as in a call script), and logs
// each with the time since the call began.
int send(void* channel, const std::vector<CallStep>& steps) {
  const uint64_t start = nowMs();
  for (const CallStep& step : steps) {
    ::Sleep(step.delayMs);
    const uint64_t sentAt = nowMs() - start;
    const bool delivered =
        radio_channel::sendRecord(channel, step.code, step.payload.data(),
                                  static_cast<uint32_t>(step.payload.size()));
    std::printf("%7llu ms  code 0x%08X  %4u bytes  %s%s\n",
                static_cast<unsigned long long>(sentAt),
                static_cast<unsigned>(step.code),
                static_cast<unsigned>(step.payload.size()),
                describeRecord(step.code, step.payload).c_str(),
                delivered ? "" : "  NOT DELIVERED");
    std::fflush(stdout);
    if (!delivered) {
      std::fprintf(stderr,
                   "phone_emulator: the program did not take the record "
                   "(did it end?)\n");
      return kFailed;
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(toUtf8(argv[i]));

  EmulatorCommand command;
  std::string error;
  if (!parseEmulatorCommand(args, &command, &error)) {
    std::fprintf(stderr, "phone_emulator: %s\n\n%s", error.c_str(),
                 kEmulatorUsage);
    return kUsageError;
  }
  if (command.help) {
    std::fputs(kEmulatorUsage, stdout);
    return 0;
  }
  if (!command.scriptPath.empty()) {
    std::string script;
    if (!readScript(command.scriptPath, &script)) {
      std::fprintf(stderr, "phone_emulator: cannot read %s\n",
                   command.scriptPath.c_str());
      return kFailed;
    }
    if (!parseCallScript(script, &command.steps, &error)) {
      std::fprintf(stderr, "phone_emulator: %s: %s\n",
                   command.scriptPath.c_str(), error.c_str());
      return kFailed;
    }
  }

  void* channel = radio_channel::findChannel(command.waitMs);
  if (channel == nullptr) {
    std::fprintf(stderr,
                 "phone_emulator: no running program found (nothing has "
                 "registered with the radio stand-in within %u ms)\n",
                 static_cast<unsigned>(command.waitMs));
    return kNoProgram;
  }
  return send(channel, command.steps);
}
