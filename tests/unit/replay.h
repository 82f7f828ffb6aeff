// Drives the engine with call scripts against the in-memory device and
// collects the messages it submits.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/callscript.h"

// One submitted message, read back from the device's call log.
struct SentMessage {
  uint64_t at;  // virtual time of the submission, in ms
  std::u16string destination;
  std::u16string text;

  bool operator==(const SentMessage& other) const {
    return at == other.at && destination == other.destination &&
           text == other.text;
  }
};

void PrintTo(const SentMessage& m, std::ostream* os);

// Puts engine and device back to process start and gives the engine a main
// window whose procedure routes the reply timer, as the shell does.
void freshEngine();

// Reads tests/fixtures/<name>; fails the current test when it won't parse.
std::vector<CallStep> loadFixture(const std::string& name);

// Sends each step after its delay, then lets `tailMs` pass.
void replay(const std::vector<CallStep>& steps, uint64_t tailMs = 20000);

std::vector<SentMessage> sentMessages();

void sendNotification(const CallStep& step);
