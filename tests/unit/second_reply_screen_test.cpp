#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/fake/device.h"
#include "platform/fake/registry.h"
#include "platform/fake/ui.h"
#include "resources/resource_ids.h"
#include "screens/screen_style.h"
#include "screens/second_reply_screen.h"
#include "store/settings_store.h"
#include "tests/unit/screen_fixture.h"

namespace {

const std::u16string kDefaultSecondText =
    u"Auto-reply: Forgive me please, I didn't answered your call. I will call "
    u"back you, asap.";

intptr_t runSecondScreen(std::vector<fake::UserAction> actions) {
  fake::scriptDialog(IDD_SECOND_REPLY, std::move(actions));
  return runScreen(IDD_SECOND_REPLY, nullptr, secondReplyScreenProc);
}

std::u16string storedText(const char16_t* name) {
  for (const fake::RegistryValue& v :
       fake::registryValues(u"SOFTWARE\\Zerv\\QRL"))
    if (v.name == name)
      return std::u16string(reinterpret_cast<const char16_t*>(v.bytes.data()),
                            v.bytes.size() / 2)
          .c_str();
  return u"(absent)";
}

void tickSecond(int32_t rows) {
  numberTable.count = 4;
  for (int32_t k = 1; k <= 4; ++k) numberTable.rows[k].selectedSecond = k <= rows;
}

class SecondReply : public ::testing::Test {
 protected:
  void SetUp() override { freshProgram(); }
};

TEST_F(SecondReply, FirstOpeningStoresTheDefaultTextOnCancel) {
  std::u16string box, heading, rings, rules;
  uintptr_t onCancel = 9;
  EXPECT_EQ(runSecondScreen({fake::inspect([&] {
                               box = controlText(IDC_MESSAGE);
                               heading = controlText(IDC_MESSAGE_LABEL);
                               rings = controlText(IDC_RINGS_TEXT);
                               rules = controlText(IDC_RULES_TEXT);
                               onCancel = fake::checkState(fake::dialogItem(
                                   fake::activeDialog(), IDC_ON_CANCEL));
                             }),
                             fake::click(IDC_CANCEL)}),
            IDC_CANCEL);
  EXPECT_EQ(box, kDefaultSecondText);
  EXPECT_EQ(heading, u"Second Reply message text:");
  EXPECT_EQ(rings, u"Send Second Reply after 2 rings");
  EXPECT_EQ(rules, u"Any domestic");  // mode 3 when nothing is stored
  EXPECT_EQ(onCancel, 0u);
  EXPECT_EQ(storedText(u"2 Message text"), kDefaultSecondText);
  EXPECT_EQ(storedDword(u"Second Message"), 0);
  EXPECT_FALSE(fake::inputPanelUp());
}

TEST_F(SecondReply, LabelsFollowRingsAndRules) {
  struct RingCase {
    int32_t rings;
    const char16_t* label;
  };
  const RingCase ringCases[] = {{0, u"Send Second Reply immediatelly"},
                                {1, u"Send Second Reply after first ring"},
                                {5, u"Send Second Reply after 5 rings"},
                                {7, u"Send Second Reply "},
                                {-1, u"Send Second Reply "}};
  char16_t text[64];
  for (const RingCase& c : ringCases) {
    replySettings.ringsBeforeReply = c.rings;
    secondRingsLabelText(text, 64);
    EXPECT_EQ(std::u16string(text), c.label) << c.rings;
  }
  struct RuleCase {
    int32_t mode;
    const char16_t* label;
  };
  const RuleCase ruleCases[] = {{0, u"to any numbers"},
                                {1, u"only to\n3 selected numbers"},
                                {2, u"to any numbers\nexcl. 3 selected"},
                                {3, u"Any domestic"},
                                {4, u"Only foreign"},
                                {9, u"Only foreign"},
                                {-2, u"Only foreign"}};
  tickSecond(3);
  for (const RuleCase& c : ruleCases) {
    replySettings.secondMode = c.mode;
    secondRulesLabelText(text, 64);
    EXPECT_EQ(std::u16string(text), c.label) << c.mode;
  }
}

TEST_F(SecondReply, ActivateAndCancelWithTheBoxTickedAndClear) {
  struct Case {
    int button;
    bool tick;
    int32_t secondEnabled, secondReplyOnCancel, replyOnCancel;
  };
  const Case cases[] = {{IDC_ACTIVATE, true, 1, 1, 0},
                        {IDC_ACTIVATE, false, 1, 0, 1},
                        {IDC_CANCEL, true, 0, 1, 1},
                        {IDC_CANCEL, false, 0, 0, 1}};
  for (const Case& c : cases) {
    freshProgram();
    replySettings.replyOnCancel = 1;
    replySettings.secondEnabled = c.button == IDC_ACTIVATE ? 0 : 1;
    std::vector<fake::UserAction> script;
    if (c.tick) script.push_back(fake::click(IDC_ON_CANCEL));
    script.push_back(fake::click(c.button));
    EXPECT_EQ(runSecondScreen(script), c.button);
    EXPECT_EQ(replySettings.secondEnabled, c.secondEnabled) << c.button;
    EXPECT_EQ(replySettings.secondReplyOnCancel, c.secondReplyOnCancel)
        << c.button << c.tick;
    EXPECT_EQ(replySettings.replyOnCancel, c.replyOnCancel)
        << c.button << c.tick;
    EXPECT_EQ(storedDword(u"Second Message"), c.secondEnabled);
    EXPECT_EQ(storedDword(u"2 Reply when user cancel"), c.secondReplyOnCancel);
    EXPECT_EQ(storedDword(u"Reply when user cancel"), c.replyOnCancel);
  }
}

TEST_F(SecondReply, TheTextIsCutAt149AndAnEmptyTextStaysEmpty) {
  const std::u16string typed(200, u'x');
  runSecondScreen({fake::type(IDC_MESSAGE, typed), fake::click(IDC_ACTIVATE)});
  EXPECT_EQ(std::u16string(replySettings.secondText), typed.substr(0, 149));
  EXPECT_EQ(storedText(u"2 Message text"), typed.substr(0, 149));

  std::u16string afterEmptying;
  runSecondScreen({fake::type(IDC_MESSAGE, u""), fake::inspect([&] {
                     afterEmptying = replySettings.secondText;
                   }),
                   fake::click(IDC_CANCEL)});
  EXPECT_EQ(afterEmptying, u"");  // stored on leaving the box
  EXPECT_EQ(storedText(u"2 Message text"), u"");
  // The default comes back at the next opening only.
  std::u16string box;
  runSecondScreen({fake::inspect([&] { box = controlText(IDC_MESSAGE); }),
                   fake::click(IDC_CANCEL)});
  EXPECT_EQ(box, kDefaultSecondText);
}

TEST_F(SecondReply, TheRulesScreenChangesTheSummaryAndGivesActivateTheFocus) {
  numberTable.count = 2;
  fake::scriptDialog(IDD_SECOND_RULES,
                     {fake::click(IDC_MODE_ONLY), fake::tickRow(IDC_NUMBERS, 0),
                      fake::tickRow(IDC_NUMBERS, 1),
                      fake::click(IDC_SAVE_AND_BACK)});
  std::u16string before, after;
  bool activateFocused = false;
  bool panelUp = true;
  runSecondScreen(
      {fake::inspect([&] { before = controlText(IDC_RULES_TEXT); }),
       fake::focus(IDC_MESSAGE), fake::click(IDC_SET_RULES),
       fake::inspect([&] {
         after = controlText(IDC_RULES_TEXT);
         activateFocused = fake::focusedWindow() ==
                           fake::dialogItem(fake::activeDialog(), IDC_ACTIVATE);
         panelUp = fake::inputPanelUp();
       }),
       fake::click(IDC_CANCEL)});
  EXPECT_EQ(before, u"Any domestic");
  EXPECT_EQ(after, u"only to\n2 selected numbers");
  EXPECT_TRUE(activateFocused);
  EXPECT_FALSE(panelUp);
  const std::vector<fake::DialogRun> runs = fake::dialogRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].templateId, IDD_SECOND_RULES);
  EXPECT_EQ(runs[1].owner, runs[0].dialog);
  // The rules screen stored its mode before Cancel switched the rules off.
  EXPECT_EQ(storedDword(u"2 Reply mode"), 1);
  EXPECT_EQ(storedDword(u"Second Message"), 0);
}

TEST_F(SecondReply, ColoursAndFonts) {
  std::vector<SeenColour> seen;
  runSecondScreen({fake::repaint(), fake::inspect([&] { seen = seenColours(); }),
                   fake::click(IDC_CANCEL)});
  EXPECT_EQ(fake::liveDrawingObjects(), 0u);
  ASSERT_FALSE(seen.empty());
  for (const SeenColour& c : seen) {
    if (c.control == IDC_ACTIVATE || c.control == IDC_CANCEL) {
      EXPECT_EQ(c.brush, 0xFFFFFFu);
      EXPECT_EQ(c.text, 0xC04000u);
      EXPECT_EQ(c.face, u"Tahoma");
      EXPECT_EQ(c.height, 18);
      EXPECT_EQ(c.weight, 700);
    } else {
      EXPECT_EQ(c.brush, 0xC04000u) << c.control;
      EXPECT_EQ(c.text, 0xFFFFFFu) << c.control;
      EXPECT_EQ(c.face, u"") << c.control;
    }
  }
}

}  // namespace
