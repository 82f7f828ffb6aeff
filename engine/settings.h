// The reply configuration: one record per process, read by the reply engine
// and written only by the settings store and the screens.
#pragma once

#include <cstdint>

enum MainRuleMode : int32_t {
  mainAnyNumber = 0,
  mainOnlySelected = 1,
  mainAllButSelected = 2,
};

enum SecondRuleMode : int32_t {
  secondOnlySelected = 1,
  secondAllButSelected = 2,
  secondPlusOnly = 3,     // "+" numbers get the second text, others nothing
  secondPlusFirst = 4,    // "+" numbers get the second text, others the main rules
};

constexpr int kReplyTextCapacity = 160;  // 159 units and the terminator

struct ReplySettings {
  int32_t activated = 0;
  int32_t secondEnabled = 0;
  int32_t ringsBeforeReply = 2;
  int32_t replyOnCancel = 0;
  int32_t mainMode = mainAnyNumber;
  char16_t mainText[kReplyTextCapacity] = {};
  int32_t secondRings = 2;
  int32_t secondReplyOnCancel = 0;
  int32_t secondMode = secondPlusOnly;
  char16_t secondText[kReplyTextCapacity] = {};
};

extern ReplySettings replySettings;

// Back to the values a process starts with.
void resetReplySettings();
