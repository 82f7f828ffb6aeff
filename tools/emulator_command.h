// The phone emulator's command line and the calls it places, kept apart from
// its Win32 side (phone_emulator.cpp) so that what it sends is plain data:
// a list of call-script steps (tools/callscript.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/callscript.h"

extern const char kEmulatorUsage[];

enum class CallOutcome { kAnswer, kReject, kLeaveRinging };

struct CallOptions {
  std::string number;  // UTF-8
  uint32_t rings = 3;
  uint32_t intervalMs = 3000;
  CallOutcome outcome = CallOutcome::kReject;
  uint32_t outcomeAfterMs = 3000;  // after the last ring: connect or end
  uint32_t talkMs = 5000;          // answered: from connect to end
};

// The records of one call: the caller identification, the first ring right
// after it, a ring every interval, then the outcome.
std::vector<CallStep> buildCall(const CallOptions& options);

struct EmulatorCommand {
  bool help = false;            // print the usage text and stop
  std::vector<CallStep> steps;  // `call`: the call to place
  std::string scriptPath;       // `play`: the script to read (UTF-8)
  uint32_t waitMs = 2000;       // how long to look for the program
};

// Reads the arguments after the program name. False, with the reason, when
// they do not fit the usage text.
bool parseEmulatorCommand(const std::vector<std::string>& args,
                          EmulatorCommand* command, std::string* error);

// What the program makes of a record, for the emulator's log: "ring",
// "caller identification +4917012345678", ... It tells notifications apart
// by the caller-identification code and by payload size, as the program does.
std::string describeRecord(uint32_t code, const std::vector<uint8_t>& payload);
