// Conversions with the ANSI code page of the Wine prefix.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "platform/codepage.h"
#include "tests/win32/plat_support.h"

namespace {

// Every character of windows-1252 that it defines, from the space on.
std::string all1252() {
  std::string bytes;
  for (int b = 0x20; b <= 0xFF; ++b)
    if (b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 &&
        b != 0x9D)
      bytes += static_cast<char>(b);
  return bytes;
}

}  // namespace

TEST(CodePage, RoundTripOfWindows1252) {
  const uint32_t acp = plat_support::ansiCodePage();
  std::cout << "ANSI code page: " << acp << "\n";
  if (acp != 1252) GTEST_SKIP() << "this prefix uses code page " << acp;

  const std::string bytes = all1252();
  char16_t units[512];
  const int32_t n = plat::MultiByteToWideChar(plat::CP_ACP, 0, bytes.c_str(),
                                              -1, units, 512);
  ASSERT_EQ(n, static_cast<int32_t>(bytes.size() + 1));  // with the terminator
  EXPECT_EQ(units[n - 1], 0);
  const std::u16string text(units, n - 1);
  EXPECT_EQ(text[text.find(u'\u20ac')], u'\u20ac');  // 0x80
  EXPECT_EQ(text.find(u'\u20ac'), 0x80u - 0x20u - 1u);
  EXPECT_NE(text.find(u"\u00c4\u00c5"), std::u16string::npos);
  EXPECT_NE(text.find(u'\u0178'), std::u16string::npos);  // 0x9F

  char back[512];
  const size_t written = plat::wcstombs(back, text.c_str(), sizeof back);
  EXPECT_EQ(written, bytes.size());
  EXPECT_EQ(std::string(back), bytes);
}

TEST(CodePage, WhatTheCodePageLacksBecomesAQuestionMark) {
  if (plat_support::ansiCodePage() != 1252)
    GTEST_SKIP() << "cases written for code page 1252";
  const struct {
    const char16_t* text;
    const char* bytes;
  } cases[] = {
      {u"\u0416ukov", "?ukov"},        // Cyrillic
      {u"\u0141\u00f3d\u017a", "?\xF3" "d?"},  // no best fit: not "Lodz"
      {u"a\U0001F600b", "a??b"},       // one "?" for each of its two units
      {u"a\xD800" u"b", "a?b"},        // a surrogate on its own
      {u"\u20ac 5", "\x80 5"},
  };
  for (const auto& c : cases) {
    char out[32];
    std::memset(out, 'x', sizeof out);
    const size_t n = plat::wcstombs(out, c.text, sizeof out);
    EXPECT_EQ(std::string(out, n), c.bytes);
    EXPECT_EQ(out[n], '\0');
  }
}

TEST(CodePage, OutputIsBoundedAndTerminatedWhenThereIsRoom) {
  const struct {
    size_t room;
    size_t written;
    bool terminated;
  } cases[] = {{0, 0, false}, {4, 4, false}, {6, 6, false}, {7, 6, true},
               {20, 6, true}};
  for (const auto& c : cases) {
    char out[24];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(plat::wcstombs(out, u"abc;de", c.room), c.written) << c.room;
    EXPECT_EQ(std::string(out, c.written), std::string("abc;de", c.written));
    EXPECT_EQ(out[c.written], c.terminated ? '\0' : 'x') << c.room;
    if (c.room > c.written + 1) {
      EXPECT_EQ(out[c.written + 1], 'x');
    }
  }
  EXPECT_EQ(plat::wcstombs(nullptr, u"abc;de", 0), 6u);  // the size it needs

  char16_t units[3] = {u'x', u'x', u'x'};
  EXPECT_EQ(plat::MultiByteToWideChar(plat::CP_ACP, 0, "abc", -1, units, 3), 0)
      << "no room for the terminator";
  EXPECT_EQ(plat::MultiByteToWideChar(plat::CP_ACP, 0, "ab", -1, units, 3), 3);
  EXPECT_EQ(std::u16string(units), u"ab");
}
