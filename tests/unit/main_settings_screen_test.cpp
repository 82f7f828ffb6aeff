#include <gtest/gtest.h>

#include <string>

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/fake/contacts.h"
#include "platform/fake/device.h"
#include "platform/fake/files.h"
#include "platform/fake/registry.h"
#include "platform/fake/ui.h"
#include "resources/resource_ids.h"
#include "screens/main_settings_screen.h"
#include "screens/screen_style.h"
#include "store/settings_store.h"
#include "tests/unit/screen_fixture.h"

namespace {

using fake::Op;

const std::u16string kDefaultText =
    u"Sorry I couldn't taken this call. I was busy too much. Please call me "
    u"later.";
const std::u16string kShortcut = u"\\Windows\\StartUp\\xQRL.lnk";

intptr_t runMainScreen(std::vector<fake::UserAction> actions) {
  fake::scriptDialog(IDD_MAIN, std::move(actions));
  return runScreen(IDD_MAIN, nullptr, mainSettingsScreenProc);
}

class MainScreen : public ::testing::Test {
 protected:
  void SetUp() override { freshProgram(); }
};

TEST_F(MainScreen, SetUpOnAnEmptyRegistry) {
  std::u16string rings, rules, heading, second, title, about, box;
  uintptr_t cancel = 9, startup = 9;
  EXPECT_EQ(runMainScreen({fake::inspect([&] {
                             rings = controlText(IDC_RINGS_TEXT);
                             rules = controlText(IDC_RULES_TEXT);
                             heading = controlText(IDC_MESSAGE_LABEL);
                             second = controlText(IDC_SECOND_REPLY);
                             title = controlText(IDC_TITLE);
                             about = controlText(IDC_ABOUT);
                             box = controlText(IDC_MESSAGE);
                             cancel = fake::checkState(fake::dialogItem(
                                 fake::activeDialog(), IDC_ON_CANCEL));
                             startup = fake::checkState(fake::dialogItem(
                                 fake::activeDialog(), IDC_SELF_ACTIVATE));
                           }),
                           fake::click(IDC_QUIT)}),
            IDC_QUIT);
  EXPECT_EQ(box, kDefaultText);
  EXPECT_EQ(rings, u"Send Reply after 2 rings");
  EXPECT_EQ(rules, u"to any numbers");
  EXPECT_EQ(second, u"Activate Second Message");
  EXPECT_EQ(heading, u"Reply message text:");
  EXPECT_EQ(title, u"Vantorel");
  EXPECT_FALSE(about.empty());
  EXPECT_EQ(cancel, 0u);
  EXPECT_EQ(startup, 0u);
  // Quit stores everything, the default text and "Activate" 0 included.
  EXPECT_EQ(storedActivate(), 0);
  EXPECT_EQ(std::u16string(replySettings.mainText), kDefaultText);
}

TEST_F(MainScreen, SetUpWithTheSecondReplyOnAndAShortcut) {
  storeDword(u"Second Message", 1);
  storeDword(u"Rings number", 0);
  storeDword(u"Reply when user cancel", 1);
  fake::setFile(kShortcut, {'#'});
  std::u16string rings, heading, second;
  uintptr_t cancel = 0, startup = 0;
  runMainScreen({fake::inspect([&] {
                   rings = controlText(IDC_RINGS_TEXT);
                   heading = controlText(IDC_MESSAGE_LABEL);
                   second = controlText(IDC_SECOND_REPLY);
                   cancel = fake::checkState(
                       fake::dialogItem(fake::activeDialog(), IDC_ON_CANCEL));
                   startup = fake::checkState(fake::dialogItem(
                       fake::activeDialog(), IDC_SELF_ACTIVATE));
                 }),
                 fake::click(IDC_ACTIVATE)});
  EXPECT_EQ(rings, u"Send Main Reply immediatelly");
  EXPECT_EQ(heading, u"Main Reply message text:");
  EXPECT_EQ(second, u"Disactivate Second Message");
  EXPECT_EQ(cancel, 1u);
  EXPECT_EQ(startup, 1u);
  EXPECT_EQ(fake::openSearches(), 0u);
  EXPECT_EQ(storedActivate(), 1);
}

TEST_F(MainScreen, RingButtonsStayWithinTheirBounds) {
  const struct {
    int32_t stored;
    int button;
    int clicks;
    int32_t after;
    const char16_t* label;
  } cases[] = {
      {2, IDC_RINGS_MORE, 1, 3, u"Send Reply after 3 rings"},
      {4, IDC_RINGS_MORE, 3, 5, u"Send Reply after 5 rings"},
      {1, IDC_RINGS_LESS, 1, 0, u"Send Reply immediatelly"},
      {0, IDC_RINGS_LESS, 2, 0, u"Send Reply immediatelly"},
      {2, IDC_RINGS_LESS, 1, 1, u"Send Reply after first ring"},
      {9, IDC_RINGS_MORE, 1, 9, u"Send Reply "},
      {9, IDC_RINGS_LESS, 1, 8, u"Send Reply "},
      {-1, IDC_RINGS_LESS, 1, -2, u"Send Reply "},
  };
  for (const auto& c : cases) {
    SetUp();
    storeDword(u"Rings number", static_cast<uint32_t>(c.stored));
    std::vector<fake::UserAction> actions;
    for (int i = 0; i < c.clicks; ++i) actions.push_back(fake::click(c.button));
    std::u16string label;
    actions.push_back(
        fake::inspect([&] { label = controlText(IDC_RINGS_TEXT); }));
    actions.push_back(fake::click(IDC_ACTIVATE));
    runMainScreen(actions);
    EXPECT_EQ(replySettings.ringsBeforeReply, c.after) << c.stored;
    EXPECT_EQ(label, c.label) << c.stored;
    EXPECT_FALSE(fake::inputPanelUp());
  }
}

TEST_F(MainScreen, TheRulesLabelCountsTickedNumbersOnly) {
  storeDword(u"Reply mode", 1);
  std::vector<fake::FakeContact> contacts(3);
  const char16_t* numbers[] = {u"030 1", u"030 2", u"030 3"};
  std::string file;
  for (int i = 0; i < 3; ++i) {
    contacts[i].fields[fake::firstName] = u"P";
    contacts[i].fields[fake::homeNumber] = numbers[i];
    contacts[i].fields[fake::categories] = i == 0 ? u"A, B" : u"";
  }
  fake::setContacts(contacts);
  const std::string line = "A;B;030 1;030 2;030 3;\r\n";
  fake::setFile(u"\\Windows\\cdbase.txt",
                std::vector<uint8_t>(line.begin(), line.end()));
  std::u16string atSetUp, afterRules;
  fake::scriptDialog(IDD_MAIN_RULES, {fake::click(IDC_SAVE_AND_BACK)});
  runMainScreen({fake::inspect([&] { atSetUp = controlText(IDC_RULES_TEXT); }),
                 fake::click(IDC_SET_RULES),
                 fake::inspect([&] { afterRules = controlText(IDC_RULES_TEXT); }),
                 fake::click(IDC_ACTIVATE)});
  EXPECT_EQ(atSetUp, u"only to\n3 selected numbers");
  EXPECT_EQ(afterRules, u"only to \n3 selected numbers");

  SetUp();
  storeDword(u"Reply mode", 7);
  runMainScreen({fake::inspect([&] { atSetUp = controlText(IDC_RULES_TEXT); }),
                 fake::click(IDC_QUIT)});
  EXPECT_EQ(atSetUp, u"to any numbers\nexcl. 0 selected");
}

// Each button opens its screen over this one; afterwards this screen is
// full-screen again with the panel down and ACTIVATE focused.
TEST_F(MainScreen, TheRulesAndSecondReplyButtonsOpenTheirScreens) {
  struct Case {
    int button;
    int templateId;
    int exit;
  };
  const Case cases[] = {{IDC_SET_RULES, IDD_MAIN_RULES, IDC_SAVE_AND_BACK},
                        {IDC_SECOND_REPLY, IDD_SECOND_REPLY, IDC_CANCEL}};
  for (const Case& c : cases) {
    SetUp();
    fake::setInputPanelUp(true);
    fake::scriptDialog(c.templateId, {fake::click(c.exit)});
    bool panelUp = true;
    bool activateFocused = false;
    size_t fits = 0;
    runMainScreen({fake::inspect([] { fake::clearCalls(); }),
                   fake::click(c.button), fake::inspect([&] {
                     panelUp = fake::inputPanelUp();
                     const plat::HWND screen = fake::activeDialog();
                     activateFocused = fake::focusedWindow() ==
                                       fake::dialogItem(screen, IDC_ACTIVATE);
                     for (size_t i = 0; i < fake::callCount(); ++i)
                       fits += fake::call(i).op == Op::SHFullScreen &&
                               fake::call(i).args[0] ==
                                   reinterpret_cast<uintptr_t>(screen);
                   }),
                   fake::click(IDC_QUIT)});
    const std::vector<fake::DialogRun> runs = fake::dialogRuns();
    ASSERT_EQ(runs.size(), 2u) << c.button;
    EXPECT_EQ(runs[1].templateId, c.templateId);
    EXPECT_EQ(runs[1].owner, runs[0].dialog);
    EXPECT_EQ(runs[1].result, c.exit);
    EXPECT_FALSE(panelUp) << c.button;
    EXPECT_TRUE(activateFocused) << c.button;
    EXPECT_EQ(fits, 1u) << c.button;
  }
}

TEST_F(MainScreen, TheSecondReplyScreenChangesButtonLabelsAndTheCancelBox) {
  storeDword(u"Reply when user cancel", 1);
  fake::scriptDialog(IDD_SECOND_REPLY,
                     {fake::click(IDC_ON_CANCEL), fake::click(IDC_ACTIVATE)});
  std::u16string second, heading, rings;
  uintptr_t onCancel = 9;
  runMainScreen({fake::click(IDC_SECOND_REPLY), fake::inspect([&] {
                   second = controlText(IDC_SECOND_REPLY);
                   heading = controlText(IDC_MESSAGE_LABEL);
                   rings = controlText(IDC_RINGS_TEXT);
                   onCancel = fake::checkState(
                       fake::dialogItem(fake::activeDialog(), IDC_ON_CANCEL));
                 }),
                 fake::click(IDC_QUIT)});
  EXPECT_EQ(second, u"Disactivate Second Message");
  EXPECT_EQ(heading, u"Main Reply message text:");
  EXPECT_EQ(rings, u"Send Main Reply after 2 rings");
  EXPECT_EQ(onCancel, 0u);
  EXPECT_EQ(storedDword(u"Reply when user cancel"), 0);
  EXPECT_EQ(storedDword(u"Second Message"), 1);
}

TEST_F(MainScreen, TheCancelBoxAndTheSecondReplysFlag) {
  storeDword(u"2 Reply when user cancel", 1);
  runMainScreen({fake::click(IDC_ON_CANCEL), fake::click(IDC_ACTIVATE)});
  EXPECT_EQ(replySettings.replyOnCancel, 1);
  EXPECT_EQ(replySettings.secondReplyOnCancel, 0);

  SetUp();
  storeDword(u"Reply when user cancel", 1);
  storeDword(u"2 Reply when user cancel", 1);
  runMainScreen({fake::click(IDC_ON_CANCEL), fake::click(IDC_ACTIVATE)});
  EXPECT_EQ(replySettings.replyOnCancel, 0);
  EXPECT_EQ(replySettings.secondReplyOnCancel, 1);  // unticking leaves it
}

TEST_F(MainScreen, TheShortcutBoxMakesAndDeletesTheShortcut) {
  runMainScreen({fake::click(IDC_SELF_ACTIVATE),
                 fake::inspect([&] {
                   const std::vector<uint8_t> bytes = fake::fileBytes(kShortcut);
                   const std::string text(bytes.begin(), bytes.end());
                   EXPECT_EQ(text,
                             "#\"\\Program Files\\Vantorel\\vantorel.exe\"");
                 }),
                 fake::click(IDC_QUIT)});
  EXPECT_TRUE(fake::fileExists(kShortcut));
  uintptr_t shown = 0;
  runMainScreen({fake::inspect([&] {
                   shown = fake::checkState(fake::dialogItem(
                       fake::activeDialog(), IDC_SELF_ACTIVATE));
                 }),
                 fake::click(IDC_SELF_ACTIVATE), fake::click(IDC_QUIT)});
  EXPECT_EQ(shown, 1u);
  EXPECT_FALSE(fake::fileExists(kShortcut));
}

TEST_F(MainScreen, NoStartupFolderMeansNoShortcutAnywhere) {
  fake::failCall(Op::SHGetSpecialFolderPath);
  runMainScreen({fake::click(IDC_SELF_ACTIVATE), fake::click(IDC_QUIT)});
  EXPECT_EQ(fake::countCalls(Op::SHCreateShortcut), 0u);
  EXPECT_EQ(fake::countCalls(Op::DeleteFileW), 0u);
}

TEST_F(MainScreen, TheMessageTextIsCutAt149) {
  const std::u16string typed(200, u'w');
  bool panelWhileTyping = false;
  runMainScreen({fake::focus(IDC_MESSAGE),
                 fake::inspect([&] { panelWhileTyping = fake::inputPanelUp(); }),
                 fake::type(IDC_MESSAGE, typed), fake::click(IDC_ACTIVATE)});
  EXPECT_TRUE(panelWhileTyping);
  EXPECT_FALSE(fake::inputPanelUp());
  EXPECT_EQ(std::u16string(replySettings.mainText), typed.substr(0, 149));
  const std::vector<fake::RegistryValue> values =
      fake::registryValues(u"SOFTWARE\\Zerv\\QRL");
  ASSERT_EQ(values.size(), 10u);
  EXPECT_EQ(values[5].bytes.size(), 300u);
}

TEST_F(MainScreen, QuitStoresTheEditedValues) {
  runMainScreen({fake::type(IDC_MESSAGE, u"Back soon"),
                 fake::click(IDC_RINGS_MORE), fake::click(IDC_ON_CANCEL),
                 fake::click(IDC_QUIT)});
  ReplySettings stored;
  std::swap(stored, replySettings);
  loadSettings();
  EXPECT_EQ(std::u16string(replySettings.mainText), u"Back soon");
  EXPECT_EQ(replySettings.ringsBeforeReply, 3);
  EXPECT_EQ(replySettings.replyOnCancel, 1);
  EXPECT_EQ(replySettings.activated, 0);
}

TEST_F(MainScreen, WideAndShortScreensHideTitleAndAbout) {
  for (int32_t o : {1, 2}) {
    SetUp();
    orientation = o;
    bool titleShown = true, aboutShown = true;
    runMainScreen({fake::inspect([&] {
                     titleShown = fake::windowVisible(
                         fake::dialogItem(fake::activeDialog(), IDC_TITLE));
                     aboutShown = fake::windowVisible(
                         fake::dialogItem(fake::activeDialog(), IDC_ABOUT));
                   }),
                   fake::click(IDC_QUIT)});
    EXPECT_FALSE(titleShown) << o;
    EXPECT_FALSE(aboutShown) << o;
  }
}

TEST_F(MainScreen, ColoursFontsAndNoNewObjectsOnRepaint) {
  std::vector<SeenColour> seen;
  size_t objectsBefore = 0, objectsAfter = 0;
  runMainScreen({fake::repaint(),
                 fake::inspect([&] { objectsBefore = fake::liveDrawingObjects(); }),
                 fake::repaint(), fake::repaint(), fake::repaint(),
                 fake::inspect([&] {
                   objectsAfter = fake::liveDrawingObjects();
                   seen = seenColours();
                 }),
                 fake::click(IDC_QUIT)});
  EXPECT_EQ(objectsBefore, 6u);  // two brushes, four fonts
  EXPECT_EQ(objectsAfter, objectsBefore);
  EXPECT_EQ(fake::liveDrawingObjects(), 0u);  // deleted when the screen ends

  const SeenColour expected[] = {
      {IDC_ACTIVATE, 0xFFFFFF, 0xC04000, 1, u"Tahoma", 18, 700},
      {IDC_QUIT, 0xFFFFFF, 0x0000FF, 1, u"Tahoma", 18, 700},
      {IDC_TITLE, 0xC04000, 0xFFFFFF, 1, u"Courier New", 22, 700},
      {IDC_ABOUT, 0xC04000, 0xFFFFFF, 1, u"Tahoma", 11, 700},
      {IDC_RINGS_TEXT, 0xC04000, 0xFFFFFF, 1, u"", 0, 0},
      {IDC_ON_CANCEL, 0xC04000, 0xFFFFFF, 1, u"", 0, 0},
      {IDC_SET_RULES, 0xC04000, 0xFFFFFF, 1, u"", 0, 0},
      {0, 0xC04000, 0xFFFFFF, 1, u"", 0, 0},  // the ground
  };
  for (const SeenColour& e : expected) {
    const SeenColour* a = nullptr;
    for (const SeenColour& x : seen)
      if (x.control == e.control) a = &x;
    ASSERT_NE(a, nullptr) << e.control;
    EXPECT_EQ(a->brush, e.brush) << e.control;
    EXPECT_EQ(a->text, e.text) << e.control;
    EXPECT_EQ(a->bkMode, e.bkMode) << e.control;
    EXPECT_EQ(a->face, e.face) << e.control;
    EXPECT_EQ(a->height, e.height) << e.control;
    EXPECT_EQ(a->weight, e.weight) << e.control;
  }
}

}  // namespace
