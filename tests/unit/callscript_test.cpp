#include <gtest/gtest.h>

#include "tools/callscript.h"

namespace {

TEST(CallScript, ReadsEveryKindOfStep) {
  std::vector<CallStep> steps;
  std::string error;
  ASSERT_TRUE(parseCallScript("# a call\r\n"
                              "0 callerid +49 170 123\r\n"
                              "\n"
                              "  250 ring\n"
                              "3000 connect\n"
                              "10 end\n"
                              "0x10 notify 0x00080001 30 12345678\n",
                              &steps, &error))
      << error;
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0].code, 0x00080001u);
  ASSERT_EQ(steps[0].payload.size(), 1576u);
  EXPECT_EQ(steps[0].payload[0], 0x28);  // the record's own size, 1576
  EXPECT_EQ(steps[0].payload[1], 0x06);
  const uint8_t number[] = {'+', 0, '4', 0, '9', 0, ' ', 0, '1', 0,
                            '7', 0, '0', 0, ' ', 0, '1', 0, '2', 0,
                            '3', 0, 0,   0};
  EXPECT_TRUE(std::equal(std::begin(number), std::end(number),
                         steps[0].payload.begin() + 24));
  EXPECT_EQ(steps[1].delayMs, 250u);
  EXPECT_EQ(steps[1].payload.size(), 32u);
  EXPECT_EQ(steps[2].payload.size(), 16u);
  EXPECT_TRUE(steps[3].payload.empty());
  EXPECT_EQ(steps[4].delayMs, 16u);
  EXPECT_EQ(steps[4].line, 7);
  // Only three units fit in 30 bytes, and no terminator.
  const std::vector<uint8_t> cut = {'1', 0, '2', 0, '3', 0};
  EXPECT_EQ(std::vector<uint8_t>(steps[4].payload.begin() + 24,
                                 steps[4].payload.end()),
            cut);
}

TEST(CallScript, NonAsciiNumbersAreWrittenAsUtf16) {
  const std::vector<uint8_t> r = makeCallerRecord("\xc3\x84\xf0\x9f\x93\x9e");
  const std::vector<uint8_t> expected = {0xC4, 0x00, 0x3D, 0xD8,
                                         0xDE, 0xDC, 0x00, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(r.begin() + 24, r.begin() + 32), expected);
}

TEST(CallScript, RejectsBadLinesAndSaysWhere) {
  const struct {
    const char* script;
    const char* message;
  } cases[] = {
      {"0 ring\nsoon ring\n", "line 2: the delay \"soon\""},
      {"-5 ring\n", "line 1: the delay"},
      {"0 callerid\n", "line 1: callerid needs a number"},
      {"0 hangup\n", "unknown step \"hangup\""},
      {"0 ring twice\n", "unexpected \"twice\""},
      {"0 notify 0x1\n", "notify needs a code"},
      {"0 notify 0x1 70000\n", "at most 65536"},
      {"99999999999 ring\n", "the delay"},
  };
  for (const auto& c : cases) {
    std::vector<CallStep> steps;
    std::string error;
    EXPECT_FALSE(parseCallScript(c.script, &steps, &error)) << c.script;
    EXPECT_NE(error.find(c.message), std::string::npos)
        << c.script << " -> " << error;
  }
}

}  // namespace
