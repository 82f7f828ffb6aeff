#include <gtest/gtest.h>

#include <cstring>

#include "engine/rules.h"
#include "engine/text.h"

namespace {

// Numbers the table below refers to; each sits in its own row.
constexpr const char16_t* kTickedSecond = u"+4917011111";
constexpr const char16_t* kTickedMain = u"030 222222";
constexpr const char16_t* kTickedBoth = u"+4917033333";
constexpr const char16_t* kPlainUnticked = u"030 444444";
constexpr const char16_t* kPlusUnticked = u"0049+170555";  // "+" not in front

NumberTable& sampleTable() {
  static NumberTable table;
  std::memset(&table, 0, sizeof table);
  const struct {
    const char16_t* number;
    int32_t main;
    int32_t second;
  } rows[] = {{kTickedSecond, 0, 1},
              {kTickedMain, 1, 0},
              {kTickedBoth, 1, 1},
              {kPlainUnticked, 0, 0},
              {kPlusUnticked, 0, 0}};
  for (const auto& r : rows) {
    NumberEntry& e = table.rows[++table.count];
    copyText(e.number, r.number);
    e.selectedMain = r.main;
    e.selectedSecond = r.second;
  }
  return table;
}

struct RuleCase {
  int32_t secondEnabled;
  int32_t secondMode;
  int32_t mainMode;
  const char16_t* number;
  bool eligible;
  bool useSecond;
};

// Outcomes written out by hand from the two decision tables, one line each.
const RuleCase kRuleCases[] = {
    // Second rules off: the second mode does not matter.
    {0, 1, 0, kTickedSecond, true, false},
    {0, 3, 0, kPlainUnticked, true, false},
    {0, 4, 1, kPlusUnticked, false, false},
    {0, 2, 2, kTickedMain, false, false},
    // Mode 1: only numbers ticked for the second reply get it.
    {1, 1, 0, kTickedSecond, true, true},
    {1, 1, 0, kTickedBoth, true, true},
    {1, 1, 1, kTickedMain, true, false},
    {1, 1, 1, kPlainUnticked, false, false},
    // Mode 2: all but those numbers get it.
    {1, 2, 3, kPlainUnticked, true, true},
    {1, 2, 3, kTickedMain, true, true},
    {1, 2, 0, kTickedSecond, true, false},
    {1, 2, 2, kTickedBoth, false, false},
    // Mode 3: "+" numbers get it, every other caller nothing at all.
    {1, 3, 0, kTickedBoth, true, true},
    {1, 3, 0, kPlusUnticked, true, true},
    {1, 3, 0, kPlainUnticked, false, false},
    {1, 3, 1, kTickedMain, false, false},
    // Mode 4, and every unknown mode with it: "+" first, then main rules.
    {1, 4, 3, kPlusUnticked, true, true},
    {1, 4, 1, kTickedMain, true, false},
    {1, 4, 1, kPlainUnticked, false, false},
    {1, 0, 2, kPlainUnticked, true, false},
    {1, 5, 3, kTickedSecond, true, true},
    {1, -7, 1, kTickedMain, true, false},
    // Main rules.
    {0, 0, 0, kPlainUnticked, true, false},
    {0, 0, 1, kTickedMain, true, false},
    {0, 0, 1, kTickedSecond, false, false},
    {0, 0, 2, kTickedMain, false, false},
    {0, 0, 2, kTickedSecond, true, false},
    {0, 0, 3, kPlainUnticked, false, false},
    {0, 0, -1, kPlainUnticked, false, false},
};

TEST(Rules, DecisionTables) {
  const NumberTable& table = sampleTable();
  for (const RuleCase& c : kRuleCases) {
    ReplySettings s;
    s.secondEnabled = c.secondEnabled;
    s.secondMode = c.secondMode;
    s.mainMode = c.mainMode;
    const RuleOutcome out = evaluateCaller(c.number, s, table);
    EXPECT_EQ(out.eligible, c.eligible)
        << "second " << c.secondEnabled << "/" << c.secondMode << " main "
        << c.mainMode << " row " << (&c - kRuleCases);
    EXPECT_EQ(out.useSecond, c.useSecond) << "row " << (&c - kRuleCases);
  }
}

TEST(Rules, EmptyTable) {
  static NumberTable empty;
  const struct {
    int32_t secondEnabled, secondMode, mainMode;
    bool eligible, useSecond;
  } cases[] = {{1, 1, 0, true, false},
               {1, 2, 3, true, true},
               {0, 0, 1, false, false},
               {0, 0, 2, true, false}};
  for (const auto& c : cases) {
    ReplySettings s;
    s.secondEnabled = c.secondEnabled;
    s.secondMode = c.secondMode;
    s.mainMode = c.mainMode;
    const RuleOutcome out = evaluateCaller(u"030 123456", s, empty);
    EXPECT_EQ(out.eligible, c.eligible);
    EXPECT_EQ(out.useSecond, c.useSecond);
  }
}

TEST(Rules, NeverTheSecondTextWithoutEligibility) {
  const NumberTable& table = sampleTable();
  const char16_t* numbers[] = {kTickedSecond, kTickedMain, kTickedBoth,
                               kPlainUnticked, kPlusUnticked, u""};
  for (int32_t enabled = 0; enabled <= 1; ++enabled)
    for (int32_t second = -1; second <= 6; ++second)
      for (int32_t main = -1; main <= 4; ++main)
        for (const char16_t* number : numbers) {
          ReplySettings s;
          s.secondEnabled = enabled;
          s.secondMode = second;
          s.mainMode = main;
          const RuleOutcome out = evaluateCaller(number, s, table);
          EXPECT_TRUE(out.eligible || !out.useSecond);
        }
}

}  // namespace
