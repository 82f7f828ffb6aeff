#include "engine/rules.h"

#include "engine/text.h"

namespace {

constexpr RuleOutcome kNoReply{false, false};
constexpr RuleOutcome kSecondReply{true, true};

}  // namespace

RuleOutcome evaluateCaller(const char16_t* callerNumber,
                           const ReplySettings& settings,
                           const NumberTable& table) {
  if (settings.secondEnabled != 0) {
    const bool plus = textContains(callerNumber, u'+');
    switch (settings.secondMode) {
      case secondOnlySelected:
        if (isSelected(callerNumber, ReplyKind::second, table))
          return kSecondReply;
        break;
      case secondAllButSelected:
        if (!isSelected(callerNumber, ReplyKind::second, table))
          return kSecondReply;
        break;
      case secondPlusOnly:
        return plus ? kSecondReply : kNoReply;
      default:  // secondPlusFirst, and every unknown mode with it
        if (plus) return kSecondReply;
        break;
    }
  }

  switch (settings.mainMode) {
    case mainAnyNumber:
      return {true, false};
    case mainOnlySelected:
      return {isSelected(callerNumber, ReplyKind::main, table), false};
    case mainAllButSelected:
      return {!isSelected(callerNumber, ReplyKind::main, table), false};
    default:
      return kNoReply;
  }
}
