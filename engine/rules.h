// Which callers qualify for the delayed reply, and with which text.
#pragma once

#include "engine/settings.h"
#include "engine/tables.h"

struct RuleOutcome {
  bool eligible;
  bool useSecond;  // only ever set together with eligible
};

// A pure function of its inputs: the second reply's rules first, then, unless
// they decided, the main reply's.
RuleOutcome evaluateCaller(const char16_t* callerNumber,
                           const ReplySettings& settings,
                           const NumberTable& table);
