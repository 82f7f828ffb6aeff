// Call scripts: a call as a list of radio notifications with the time between
// them, kept as text so a person can write one. The tests replay them against
// the in-memory device and the phone emulator sends them to the program.
//
//   # comment
//   <delay-ms> callerid <number>        caller identification, 1576 bytes;
//                                       the number is the rest of the line
//   <delay-ms> ring                     one ring, 32 bytes
//   <delay-ms> connect                  the call was answered, 16 bytes
//   <delay-ms> end                      the call is over, no payload
//   <delay-ms> notify <code> <size> [<number>]
//                                       any code (hex with 0x) and payload
//                                       size; the number, if given, is
//                                       written at byte 24 as far as it fits
//
// The delay is the wait before the step, counted from the step before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CallStep {
  uint32_t delayMs;
  uint32_t code;
  std::vector<uint8_t> payload;
  int line;  // where the step stands in the script, for messages
};

// The notification codes the scripts use for rings, connect and end; only
// the payload size tells them apart on the receiving side.
constexpr uint32_t kRingCode = 0x00020001u;
constexpr uint32_t kConnectCode = 0x00020002u;
constexpr uint32_t kCallEndCode = 0x00020003u;

// A caller-identification record of `size` bytes with `number` (UTF-8) at
// byte 24, NUL-terminated when there is room, cut where there is not.
std::vector<uint8_t> makeCallerRecord(const std::string& number,
                                      uint32_t size = 1576);

// Parses a whole script. On a bad line it returns false and says why in
// `error` (with the line number); `steps` then holds the lines before it.
bool parseCallScript(const std::string& text, std::vector<CallStep>* steps,
                     std::string* error);
