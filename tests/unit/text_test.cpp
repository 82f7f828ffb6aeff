#include <gtest/gtest.h>

#include <string>

#include "engine/text.h"

namespace {

TEST(Text, CopyCutsAndAlwaysTerminates) {
  char16_t small[4];
  copyText(small, u"123456");
  EXPECT_EQ(std::u16string(small), u"123");
  char16_t wide[10] = {u'x', u'x', u'x'};
  copyText(wide, sizeof wide / sizeof wide[0], u"123456", 2);
  EXPECT_EQ(std::u16string(wide), u"12");
  copyText(wide, u"");
  EXPECT_EQ(std::u16string(wide), u"");
}

TEST(Text, LengthStopsAtTheCapacity) {
  const char16_t unterminated[3] = {u'a', u'b', u'c'};
  EXPECT_EQ(textLength(unterminated, 3), 3u);
  EXPECT_EQ(textLength(u"ab", 10), 2u);
}

TEST(Text, EqualityIgnoresCaseAcrossAlphabets) {
  const struct {
    const char16_t* a;
    const char16_t* b;
    bool equal;
  } cases[] = {
      {u"Unknown", u"UNKNOWN", true},
      {u"unknown", u"Unknown", true},
      {u"Unknown", u"Unknown ", false},
      {u"Unknow", u"Unknown", false},
      {u"", u"", true},
      {u"\u00c4rger", u"\u00e4RGER", true},         // Ä ä
      {u"\u0416\u0401", u"\u0436\u0451", true},     // Ж Ё
      {u"\u03a9\u0386", u"\u03c9\u03ac", true},     // Ω Ά
      {u"\u0141\u0178", u"\u0142\u00ff", true},     // Ł Ÿ
      {u"\u1e9e", u"\u1e9e", true},
      {u"\u00d7", u"\u00f7", false},                // × and ÷ are no letters
      {u"+49", u"+49", true},
      {u"[1]", u"{1}", false},                      // brackets are not letters
      {u"@", u"`", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(textEqualsIgnoreCase(c.a, c.b), c.equal)
        << std::u16string(c.a).size() << " vs " << std::u16string(c.b).size();
}

TEST(Text, FoldingOnlyPairsCapitalsWithTheirSmallLetters) {
  // Every unit folds to itself or to a unit that folds to itself, and a
  // small letter never folds away.
  for (char32_t u = 0; u < 0x10000; ++u) {
    const char16_t f = foldCase(static_cast<char16_t>(u));
    EXPECT_EQ(foldCase(f), f) << std::hex << static_cast<uint32_t>(u);
  }
  EXPECT_EQ(foldCase(u'a'), u'a');
  EXPECT_EQ(foldCase(u'\u0101'), u'\u0101');
  EXPECT_EQ(foldCase(u'\u0100'), u'\u0101');
  EXPECT_EQ(foldCase(u'\u0139'), u'\u013a');
  EXPECT_EQ(foldCase(u'\u013a'), u'\u013a');
}

TEST(Text, ContainsLooksEverywhere) {
  EXPECT_TRUE(textContains(u"+49", u'+'));
  EXPECT_TRUE(textContains(u"0049+1", u'+'));
  EXPECT_TRUE(textContains(u"12+", u'+'));
  EXPECT_FALSE(textContains(u"0049 1", u'+'));
  EXPECT_FALSE(textContains(u"", u'+'));
}

}  // namespace
