#include "tools/emulator_command.h"

#include <utility>

#include "platform/radio.h"
#include "tools/utf8.h"

const char kEmulatorUsage[] =
    "usage: phone_emulator call NUMBER [--rings N] [--interval MS]\n"
    "           [--answer-after MS [--talk MS] | --reject-after MS |"
    " --leave-ringing]\n"
    "           [--wait MS]\n"
    "       phone_emulator play SCRIPT [--wait MS]\n"
    "       phone_emulator --help\n"
    "\n"
    "call   a call from NUMBER: its caller identification, then N rings\n"
    "       (default 3), the first right after it, one every --interval ms\n"
    "       (default 3000). After the last ring the caller hangs up after\n"
    "       --reject-after ms (the default, 3000); or the call is answered\n"
    "       after --answer-after ms and ends --talk ms later (default 5000);\n"
    "       or, with --leave-ringing, nothing more comes.\n"
    "play   the records of a call script with its delays.\n"
    "--wait how long to look for the running program (default 2000 ms).\n"
    "\n"
    "exit code: 0 all sent, 1 failure, 2 usage error, 3 no running program\n";

namespace {

constexpr uint32_t kMaxRings = 1000;

// Decimal digits only: "-1" or "3s" is a mistake, not 0 or 3.
bool parseCount(const std::string& text, uint32_t max, uint32_t* value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > max) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

bool isOption(const std::string& arg) { return arg.rfind("--", 0) == 0; }

CallStep step(uint32_t delayMs, uint32_t code, std::vector<uint8_t> payload) {
  return CallStep{delayMs, code, std::move(payload), 0};
}

// The number as the program reads it: UTF-16LE from byte 24 up to the NUL
// or the end of the record, here as UTF-8.
std::string numberIn(const std::vector<uint8_t>& payload) {
  std::u16string units;
  for (size_t at = plat::RILREMOTEPARTYINFO_ADDRESS_OFFSET;
       at + 1 < payload.size(); at += 2) {
    const char16_t unit =
        static_cast<char16_t>(payload[at] | (payload[at + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return utf8FromUtf16(units);
}

bool parseCall(const std::vector<std::string>& args, EmulatorCommand* command,
               std::string* error) {
  CallOptions options;
  bool haveNumber = false;
  int outcomes = 0;
  bool haveTalk = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!isOption(arg)) {
      if (haveNumber) {
        *error = "more than one number: " + arg;
        return false;
      }
      options.number = arg;
      haveNumber = true;
      continue;
    }
    if (arg == "--leave-ringing") {
      options.outcome = CallOutcome::kLeaveRinging;
      ++outcomes;
      continue;
    }
    uint32_t* value = nullptr;
    uint32_t max = 0xFFFFFFFFu;
    if (arg == "--rings") {
      value = &options.rings;
      max = kMaxRings;
    } else if (arg == "--interval") {
      value = &options.intervalMs;
    } else if (arg == "--answer-after" || arg == "--reject-after") {
      options.outcome =
          arg == "--answer-after" ? CallOutcome::kAnswer : CallOutcome::kReject;
      value = &options.outcomeAfterMs;
      ++outcomes;
    } else if (arg == "--talk") {
      value = &options.talkMs;
      haveTalk = true;
    } else if (arg == "--wait") {
      value = &command->waitMs;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
    if (i + 1 == args.size() || !parseCount(args[i + 1], max, value)) {
      *error = arg + " needs a number" +
               (max == kMaxRings ? " from 0 to 1000" : " of milliseconds");
      return false;
    }
    ++i;
  }
  if (!haveNumber) {
    *error = "call needs the caller's number";
    return false;
  }
  if (outcomes > 1) {
    *error =
        "--answer-after, --reject-after and --leave-ringing exclude "
        "each other";
    return false;
  }
  if (haveTalk && options.outcome != CallOutcome::kAnswer) {
    *error = "--talk goes with --answer-after";
    return false;
  }
  command->steps = buildCall(options);
  return true;
}

bool parsePlay(const std::vector<std::string>& args, EmulatorCommand* command,
               std::string* error) {
  bool havePath = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--wait") {
      if (i + 1 == args.size() ||
          !parseCount(args[++i], 0xFFFFFFFFu, &command->waitMs)) {
        *error = "--wait needs a number of milliseconds";
        return false;
      }
    } else if (isOption(arg)) {
      *error = "unknown option " + arg;
      return false;
    } else if (havePath) {
      *error = "play takes one script";
      return false;
    } else {
      command->scriptPath = arg;
      havePath = true;
    }
  }
  if (!havePath) {
    *error = "play needs a script file";
    return false;
  }
  return true;
}

}  // namespace

std::vector<CallStep> buildCall(const CallOptions& options) {
  std::vector<CallStep> steps;
  steps.push_back(
      step(0, plat::RIL_NOTIFY_CALLERID,
           makeCallerRecord(options.number, plat::RILREMOTEPARTYINFO_SIZE)));
  for (uint32_t ring = 0; ring < options.rings; ++ring)
    steps.push_back(step(ring == 0 ? 0 : options.intervalMs, kRingCode,
                         std::vector<uint8_t>(plat::RILRINGINFO_SIZE, 0)));
  switch (options.outcome) {
    case CallOutcome::kAnswer:
      steps.push_back(step(options.outcomeAfterMs, kConnectCode,
                           std::vector<uint8_t>(plat::RILCONNECTINFO_SIZE, 0)));
      steps.push_back(step(options.talkMs, kCallEndCode, {}));
      break;
    case CallOutcome::kReject:
      steps.push_back(step(options.outcomeAfterMs, kCallEndCode, {}));
      break;
    case CallOutcome::kLeaveRinging:
      break;
  }
  return steps;
}

bool parseEmulatorCommand(const std::vector<std::string>& args,
                          EmulatorCommand* command, std::string* error) {
  *command = EmulatorCommand();
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "help")) {
    command->help = true;
    return true;
  }
  if (args.empty()) {
    *error = "no command";
    return false;
  }
  if (args[0] == "call") return parseCall(args, command, error);
  if (args[0] == "play") return parsePlay(args, command, error);
  *error = "unknown command " + args[0];
  return false;
}

std::string describeRecord(uint32_t code, const std::vector<uint8_t>& payload) {
  if ((code & 0x00FF00FFu) == plat::RIL_NOTIFY_CALLERID) {
    const std::string number = numberIn(payload);
    return "caller identification " +
           (number.empty() ? std::string("(no number)") : number);
  }
  switch (payload.size()) {
    case plat::RILRINGINFO_SIZE:
      return "ring";
    case plat::RILCONNECTINFO_SIZE:
      return "connect";
    case 0:
      return "end";
    default:
      return "not a call notification";
  }
}
