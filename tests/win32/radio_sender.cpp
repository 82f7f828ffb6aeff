// Sends radio notification records to the radio stand-in of another process
// through its channel (platform/win32/radio_channel.h), with the delays of a
// call script (tools/callscript.h), and prints each record it sent.
//
//   radio_sender [--wait MS] --file SCRIPT
//   radio_sender [--wait MS] STEP...
//
// Each STEP is one line of a call script, e.g. "0 callerid +4917012345678".
// --wait: how long to look for the channel before giving up (default 5000).
// Exit code: 0 every record delivered, 1 bad command line or script,
// 2 no channel, 3 a record was refused.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/radio_channel.h"
#include "platform/win32/win32.h"
#include "tools/callscript.h"

namespace {

std::string toUtf8(const wchar_t* text) {
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

bool readScript(const wchar_t* path, std::string* text) {
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
    text->append(buffer, got);
  const bool ok = !ferror(file);
  fclose(file);
  return ok;
}

int usage() {
  std::fprintf(stderr,
               "usage: radio_sender [--wait MS] --file SCRIPT\n"
               "       radio_sender [--wait MS] STEP...\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  uint32_t waitMs = 5000;
  std::string script;
  bool haveScript = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--wait" && i + 1 < argc) {
      waitMs = static_cast<uint32_t>(wcstoul(argv[++i], nullptr, 10));
    } else if (arg == L"--file" && i + 1 < argc) {
      if (!readScript(argv[++i], &script)) {
        std::fprintf(stderr, "radio_sender: cannot read %s\n",
                     toUtf8(argv[i]).c_str());
        return 1;
      }
      haveScript = true;
    } else if (arg.rfind(L"--", 0) == 0) {
      return usage();
    } else {
      script += toUtf8(argv[i]) + "\n";
      haveScript = true;
    }
  }
  if (!haveScript) return usage();

  std::vector<CallStep> steps;
  std::string error;
  if (!parseCallScript(script, &steps, &error)) {
    std::fprintf(stderr, "radio_sender: %s\n", error.c_str());
    return 1;
  }
  void* channel = radio_channel::findChannel(waitMs);
  if (channel == nullptr) {
    std::fprintf(stderr, "radio_sender: no process has registered with the "
                         "radio stand-in\n");
    return 2;
  }
  for (const CallStep& step : steps) {
    ::Sleep(step.delayMs);
    const bool delivered = radio_channel::sendRecord(
        channel, step.code, step.payload.data(),
        static_cast<uint32_t>(step.payload.size()));
    std::printf("%s line %d: code 0x%08X, %u bytes\n",
                delivered ? "sent" : "REFUSED", step.line,
                static_cast<unsigned>(step.code),
                static_cast<unsigned>(step.payload.size()));
    std::fflush(stdout);
    if (!delivered) return 3;
  }
  return 0;
}
