#include <gtest/gtest.h>

#include <string>

#include "engine/settings.h"
#include "engine/text.h"
#include "platform/fake/device.h"
#include "platform/fake/registry.h"
#include "platform/registry.h"
#include "store/settings_store.h"
#include "tests/unit/replay.h"

namespace {

using fake::Op;

const std::u16string kKey = u"SOFTWARE\\Zerv\\QRL";

const char16_t* const kNames[10] = {
    u"Activate",     u"Second Message", u"Rings number",
    u"Reply when user cancel", u"Reply mode", u"Message text",
    u"2 Rings number", u"2 Reply when user cancel", u"2 Reply mode",
    u"2 Message text"};

ReplySettings sample(const std::u16string& mainText,
                     const std::u16string& secondText) {
  ReplySettings s;
  s.activated = 1;
  s.secondEnabled = 7;
  s.ringsBeforeReply = -1;
  s.replyOnCancel = 1;
  s.mainMode = 9;
  copyText(s.mainText, mainText.c_str());
  s.secondRings = 123456;
  s.secondReplyOnCancel = 0;
  s.secondMode = -2;
  copyText(s.secondText, secondText.c_str());
  return s;
}

void expectSame(const ReplySettings& a, const ReplySettings& b) {
  EXPECT_EQ(a.activated, b.activated);
  EXPECT_EQ(a.secondEnabled, b.secondEnabled);
  EXPECT_EQ(a.ringsBeforeReply, b.ringsBeforeReply);
  EXPECT_EQ(a.replyOnCancel, b.replyOnCancel);
  EXPECT_EQ(a.mainMode, b.mainMode);
  EXPECT_EQ(std::u16string(a.mainText), std::u16string(b.mainText));
  EXPECT_EQ(a.secondRings, b.secondRings);
  EXPECT_EQ(a.secondReplyOnCancel, b.secondReplyOnCancel);
  EXPECT_EQ(a.secondMode, b.secondMode);
  EXPECT_EQ(std::u16string(a.secondText), std::u16string(b.secondText));
}

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { freshEngine(); }
};

TEST_F(SettingsStore, RoundTripOfAllTenValues) {
  const std::u16string texts[] = {u"", u"x", u"Bin gleich zur\u00fcck \u0416",
                                  std::u16string(149, u'a'),
                                  std::u16string(159, u'\u00e9')};
  for (const std::u16string& text : texts) {
    freshEngine();
    const ReplySettings saved = sample(text, std::u16string(text.rbegin(),
                                                            text.rend()));
    replySettings = saved;
    saveSettings();
    replySettings = sample(u"other", u"other");
    replySettings.activated = 0;
    loadSettings();
    expectSame(replySettings, saved);

    // Exactly the ten names, in order, with their types and sizes.
    const std::vector<fake::RegistryValue> values = fake::registryValues(kKey);
    ASSERT_EQ(values.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
      EXPECT_EQ(values[i].name, kNames[i]);
      const bool isText = i == 5 || i == 9;
      EXPECT_EQ(values[i].type, isText ? plat::REG_SZ : plat::REG_DWORD);
      EXPECT_EQ(values[i].bytes.size(), isText ? 2 * (text.size() + 1) : 4u);
    }
    EXPECT_EQ(values[2].bytes, fake::dwordBytes(0xFFFFFFFFu));
    EXPECT_EQ(values[5].bytes, fake::textBytes(text));
    EXPECT_EQ(fake::openRegistryKeys(), 0u);
  }
}

TEST_F(SettingsStore, NoKeyChangesNothingAndCreatesNothing) {
  loadSettings();
  expectSame(replySettings, ReplySettings{});
  EXPECT_EQ(replySettings.ringsBeforeReply, 2);
  EXPECT_EQ(replySettings.secondRings, 2);
  EXPECT_EQ(replySettings.secondMode, 3);
  EXPECT_FALSE(fake::registryKeyExists(kKey));
  const fake::Call* open = fake::findCall(Op::RegOpenKeyExW);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->args[0], reinterpret_cast<uintptr_t>(plat::HKEY_LOCAL_MACHINE));
  EXPECT_EQ(std::u16string(open->text), kKey);
  EXPECT_EQ(open->args[2], 0u);
  EXPECT_EQ(open->args[3], 0u);
  EXPECT_EQ(fake::countCalls(Op::RegQueryValueExW), 0u);
}

TEST_F(SettingsStore, OnlyTheStoredValuesChange) {
  fake::setRegistryValue(kKey, u"Rings number", plat::REG_DWORD,
                         fake::dwordBytes(4));
  replySettings = sample(u"kept", u"kept too");
  const ReplySettings before = replySettings;
  loadSettings();
  ReplySettings expected = before;
  expected.ringsBeforeReply = 4;
  expectSame(replySettings, expected);
  // Every query is offered the field's whole capacity, set anew each time.
  ASSERT_EQ(fake::countCalls(Op::RegQueryValueExW), 10u);
  for (size_t i = 0; i < 10; ++i) {
    const fake::Call* q = fake::findCall(Op::RegQueryValueExW, i);
    EXPECT_EQ(std::u16string(q->text), kNames[i]);
    EXPECT_EQ(q->args[5], (i == 5 || i == 9) ? 320u : 4u) << i;
  }
  EXPECT_EQ(fake::openRegistryKeys(), 0u);
}

TEST_F(SettingsStore, ValuesThatDoNotFitOrHaveAnotherType) {
  std::vector<uint8_t> units160;
  for (int i = 0; i < 160; ++i) {
    units160.push_back('b');
    units160.push_back(0);
  }
  const struct {
    const char* what;
    const char16_t* name;
    uint32_t type;
    std::vector<uint8_t> bytes;
    std::u16string mainText;  // expected afterwards
    int32_t mainMode;
    int32_t ringsBeforeReply;
  } cases[] = {
      {"a text of 200 characters keeps the old one", u"Message text",
       plat::REG_SZ, fake::textBytes(std::u16string(200, u'z')), u"old", 1, 5},
      {"160 units without terminator keep 159", u"Message text", plat::REG_SZ,
       units160, std::u16string(159, u'b'), 1, 5},
      {"an odd size keeps the whole units", u"Message text", plat::REG_SZ,
       {'h', 0, 'i', 0, '!'}, u"hi", 1, 5},
      {"a number under a text name is its raw units", u"Message text",
       plat::REG_DWORD, fake::dwordBytes(0x00690048), u"Hi", 1, 5},
      {"a 4-byte text under a mode is its raw bits", u"Reply mode",
       plat::REG_SZ, {'2', 0, 0, 0}, u"old", 0x32, 5},
      {"eight bytes under a mode do not fit", u"Reply mode", plat::REG_BINARY,
       {1, 2, 3, 4, 5, 6, 7, 8}, u"old", 1, 5},
      {"two bytes replace the low half", u"Rings number", plat::REG_BINARY,
       {0x03, 0x00}, u"old", 1, 3},
  };
  for (const auto& c : cases) {
    freshEngine();
    fake::setRegistryValue(kKey, c.name, c.type, c.bytes);
    fake::setRegistryValue(kKey, u"2 Rings number", plat::REG_DWORD,
                           fake::dwordBytes(9));
    copyText(replySettings.mainText, u"old");
    replySettings.mainMode = 1;
    replySettings.ringsBeforeReply = 5;
    replySettings.secondText[0] = u'\0';
    loadSettings();
    EXPECT_EQ(std::u16string(replySettings.mainText), c.mainText) << c.what;
    EXPECT_EQ(replySettings.mainMode, c.mainMode) << c.what;
    EXPECT_EQ(replySettings.ringsBeforeReply, c.ringsBeforeReply) << c.what;
    EXPECT_EQ(replySettings.secondRings, 9) << c.what;  // the rest still loads
    EXPECT_EQ(replySettings.mainText[159], 0) << c.what;
  }
}

TEST_F(SettingsStore, FailuresAreSilentAndContained) {
  // A failed create writes nothing.
  fake::failCall(Op::RegCreateKeyExW, 1);
  saveSettings();
  EXPECT_FALSE(fake::registryKeyExists(kKey));
  EXPECT_EQ(fake::countCalls(Op::RegSetValueExW), 0u);

  // One failed write does not stop the others.
  fake::failCall(Op::RegSetValueExW, 1, 2);
  saveSettings();
  EXPECT_EQ(fake::countCalls(Op::RegSetValueExW), 10u);
  EXPECT_EQ(fake::registryValues(kKey).size(), 9u);
  EXPECT_EQ(fake::openRegistryKeys(), 0u);

  // A failed open reads nothing.
  replySettings.mainMode = 2;
  saveSettings();
  replySettings.mainMode = 0;
  fake::failCall(Op::RegOpenKeyExW, 1);
  loadSettings();
  EXPECT_EQ(replySettings.mainMode, 0);
  loadSettings();
  EXPECT_EQ(replySettings.mainMode, 2);
}

TEST_F(SettingsStore, SaveCreatesTheKeyWithFullAccess) {
  saveSettings();
  const fake::Call* create = fake::findCall(Op::RegCreateKeyExW);
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create->args[0],
            reinterpret_cast<uintptr_t>(plat::HKEY_LOCAL_MACHINE));
  EXPECT_EQ(std::u16string(create->text), kKey);
  EXPECT_EQ(create->args[4], plat::REG_OPTION_NON_VOLATILE);
  EXPECT_EQ(create->args[5], plat::KEY_ALL_ACCESS);
  EXPECT_TRUE(fake::registryKeyExists(u"SOFTWARE\\Zerv"));
}

}  // namespace
