#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/fake/files.h"
#include "platform/fake/registry.h"
#include "platform/fake/ui.h"
#include "platform/list_view.h"
#include "resources/resource_ids.h"
#include "screens/number_rules_screen.h"
#include "store/settings_store.h"
#include "tests/unit/screen_fixture.h"

namespace {

const std::u16string kMainFile = u"\\Windows\\cdbase.txt";
const std::u16string kSecondFile = u"\\Windows\\cdbase2.txt";

void addNumber(const char16_t* first, const char16_t* last,
               const char16_t* number, const char16_t* categories,
               int32_t tick = 0) {
  NumberEntry& e = numberTable.rows[++numberTable.count];
  copyText(e.firstName, first);
  copyText(e.lastName, last);
  copyText(e.number, number);
  copyText(e.categories, categories);
  e.selectedMain = tick;
  e.selectedSecond = tick;
}

void addCategory(const char16_t* name, int32_t tick = 0) {
  CategoryEntry& e = categoryTable.rows[++categoryTable.count];
  copyText(e.name, name);
  e.selectedMain = tick;
  e.selectedSecond = tick;
}

std::vector<int32_t> mainFlags() {
  std::vector<int32_t> flags;
  for (int32_t k = 1; k <= numberTable.count; ++k)
    flags.push_back(numberTable.rows[k].selectedMain);
  return flags;
}

// What one list shows.
struct ListView {
  std::vector<int32_t> ticks;
  std::vector<std::u16string> names;
  plat::COLORREF colour;
  bool enabled;
};

ListView listOf(int listId) {
  const plat::HWND list = fake::dialogItem(fake::activeDialog(), listId);
  ListView view{{}, {}, fake::listTextColour(list), fake::windowEnabled(list)};
  for (const fake::ListRow& row : fake::listRows(list)) {
    view.ticks.push_back(fake::rowTick(row));
    view.names.push_back(row.cells.empty() ? u"" : row.cells[0]);
  }
  return view;
}

std::vector<uintptr_t> radioStates(std::initializer_list<int> ids) {
  std::vector<uintptr_t> states;
  for (int id : ids)
    states.push_back(
        fake::checkState(fake::dialogItem(fake::activeDialog(), id)));
  return states;
}

intptr_t runRules(ReplyKind kind, std::vector<fake::UserAction> actions) {
  fake::scriptDialog(kind == ReplyKind::main ? IDD_MAIN_RULES
                                             : IDD_SECOND_RULES,
                     std::move(actions));
  return runNumberRulesScreen(kind, nullptr);
}

std::string fileText(const std::u16string& path) {
  if (!fake::fileExists(path)) return "(none)";
  const std::vector<uint8_t> bytes = fake::fileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

class NumberRules : public ::testing::Test {
 protected:
  void SetUp() override { freshProgram(); }

  // Three numbers of two contacts and three categories, one of whose names
  // lies inside another's.
  void addContacts() {
    addNumber(u"Ann", u"Lee", u"+4930111", u"Work, Family");
    addNumber(u"Ann", u"Lee", u"+4930222", u"Work, Family");
    addNumber(u"Bob", u"", u"0172333", u"TeamWork");
    addNumber(u"", u"Cruz", u"0172444", u"work");
    addCategory(u"Work");
    addCategory(u"Family");
    addCategory(u"TeamWork");
  }
};

TEST_F(NumberRules, TheVariantTable) {
  const NumberRulesScreen& m = numberRulesScreen(ReplyKind::main);
  const NumberRulesScreen& s = numberRulesScreen(ReplyKind::second);
  EXPECT_EQ(m.templateId, 108);
  EXPECT_EQ(s.templateId, 110);
  EXPECT_EQ(m.mode, &ReplySettings::mainMode);
  EXPECT_EQ(s.mode, &ReplySettings::secondMode);
  EXPECT_EQ(m.numberFlag, &NumberEntry::selectedMain);
  EXPECT_EQ(s.categoryFlag, &CategoryEntry::selectedSecond);
  ASSERT_EQ(m.buttonCount, 3u);
  ASSERT_EQ(s.buttonCount, 4u);
  const ModeButton mainButtons[] = {{1005, 0}, {1007, 1}, {1008, 2}};
  const ModeButton secondButtons[] = {{1007, 1}, {1008, 2}, {1006, 3}, {1009, 4}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(m.buttons[i].id, mainButtons[i].id);
    EXPECT_EQ(m.buttons[i].mode, mainButtons[i].mode);
  }
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(s.buttons[i].id, secondButtons[i].id);
    EXPECT_EQ(s.buttons[i].mode, secondButtons[i].mode);
  }

  struct Case {
    int32_t mode;
    bool mainInUse;
    bool secondInUse;
  };
  const Case cases[] = {{-1, true, true}, {0, false, true}, {1, true, true},
                        {2, true, true},  {3, true, false}, {4, true, false},
                        {7, true, false}};
  for (const Case& c : cases) {
    replySettings.mainMode = c.mode;
    replySettings.secondMode = c.mode;
    EXPECT_EQ(listsInUse(ReplyKind::main), c.mainInUse) << c.mode;
    EXPECT_EQ(listsInUse(ReplyKind::second), c.secondInUse) << c.mode;
  }
}

TEST_F(NumberRules, DisplayName) {
  struct Case {
    const char16_t* first;
    const char16_t* last;
    const char16_t* shown;
  };
  const Case cases[] = {{u"Ann", u"Lee", u"Lee Ann"},
                        {u"Ann", u"", u"Ann"},
                        {u"", u"Lee", u"Lee "},
                        {u"", u"", u""}};
  for (const Case& c : cases) {
    NumberEntry e{};
    copyText(e.firstName, c.first);
    copyText(e.lastName, c.last);
    char16_t out[kDisplayNameUnits];
    displayName(e, out);
    EXPECT_EQ(std::u16string(out), c.shown);
  }
  NumberEntry full{};
  for (size_t i = 0; i < 128; ++i) {
    full.firstName[i] = u'f';
    full.lastName[i] = u'l';
  }
  char16_t out[kDisplayNameUnits];
  displayName(full, out);
  EXPECT_EQ(std::u16string(out),
            std::u16string(128, u'l') + u" " + std::u16string(128, u'f'));
}

TEST_F(NumberRules, SetUpWithTheListsInUse) {
  addContacts();
  replySettings.mainMode = 1;
  numberTable.rows[2].selectedMain = 1;
  numberTable.rows[3].selectedMain = 1;
  categoryTable.rows[3].selectedMain = 1;
  ListView numbers, categories;
  std::vector<uintptr_t> radios;
  std::u16string title, only, excl;
  std::vector<fake::ListColumn> numberColumns, categoryColumns;
  std::vector<fake::ListRow> rows;
  uint32_t style = 0;
  EXPECT_EQ(runRules(ReplyKind::main,
                     {fake::inspect([&] {
                        const plat::HWND d = fake::activeDialog();
                        numbers = listOf(IDC_NUMBERS);
                        categories = listOf(IDC_CATEGORIES);
                        radios = radioStates({1005, 1007, 1008});
                        title = controlText(IDC_RULES_TITLE);
                        only = controlText(IDC_MODE_ONLY);
                        excl = controlText(IDC_MODE_EXCLUDE);
                        numberColumns =
                            fake::listColumns(fake::dialogItem(d, IDC_NUMBERS));
                        categoryColumns = fake::listColumns(
                            fake::dialogItem(d, IDC_CATEGORIES));
                        rows = fake::listRows(fake::dialogItem(d, IDC_NUMBERS));
                        style = fake::listExtendedStyle(
                            fake::dialogItem(d, IDC_CATEGORIES));
                      }),
                      fake::click(IDC_SAVE_AND_BACK)}),
            1);
  EXPECT_EQ(title, u"Send SMS Reply to:");
  EXPECT_EQ(radios, (std::vector<uintptr_t>{0, 1, 0}));
  EXPECT_EQ(only, u"Only 2 selected below");
  EXPECT_EQ(excl, u"Any nr excl. 2 selected below");
  EXPECT_EQ(numbers.ticks, (std::vector<int32_t>{0, 1, 1, 0}));
  EXPECT_EQ(numbers.names, (std::vector<std::u16string>{u"Lee Ann", u"Lee Ann",
                                                         u"Bob", u"Cruz "}));
  EXPECT_EQ(categories.ticks, (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(categories.names,
            (std::vector<std::u16string>{u"Work", u"Family", u"TeamWork"}));
  EXPECT_EQ(numbers.colour, 0x000000u);
  EXPECT_TRUE(numbers.enabled);
  EXPECT_EQ(categories.colour, 0x000000u);
  EXPECT_TRUE(categories.enabled);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1].cells.at(1), u"+4930222");
  EXPECT_EQ(style, plat::LVS_EX_CHECKBOXES | plat::LVS_EX_FULLROWSELECT);
  ASSERT_EQ(numberColumns.size(), 2u);
  EXPECT_EQ(numberColumns[0].title, u"Name");
  EXPECT_EQ(numberColumns[0].width, 115);
  EXPECT_EQ(numberColumns[1].title, u"Number");
  EXPECT_EQ(numberColumns[1].width, 80);
  EXPECT_EQ(numberColumns[1].subItem, 1);
  EXPECT_EQ(numberColumns[1].mask, 15u);
  ASSERT_EQ(categoryColumns.size(), 1u);
  EXPECT_EQ(categoryColumns[0].width, 195);
  // Building the lists changed no flag.
  EXPECT_EQ(mainFlags(), (std::vector<int32_t>{0, 1, 1, 0}));
}

TEST_F(NumberRules, SetUpWithoutTheListsAndAModeChangeAndBack) {
  addContacts();
  replySettings.mainMode = 0;
  replySettings.secondEnabled = 1;
  numberTable.rows[1].selectedMain = 1;
  categoryTable.rows[2].selectedMain = 1;
  struct Seen {
    ListView numbers, categories;
    std::vector<uintptr_t> radios;
    std::u16string only, excl;
  };
  auto look = [](Seen& seen) {
    return fake::inspect([&seen] {
      seen = {listOf(IDC_NUMBERS), listOf(IDC_CATEGORIES),
              radioStates({1005, 1007, 1008}), controlText(IDC_MODE_ONLY),
              controlText(IDC_MODE_EXCLUDE)};
    });
  };
  Seen atSetUp, withLists, withoutLists;
  std::u16string title;
  runRules(ReplyKind::main,
           {fake::inspect([&] { title = controlText(IDC_RULES_TITLE); }),
            look(atSetUp), fake::click(IDC_MODE_ONLY), look(withLists),
            fake::click(IDC_MODE_ANY), look(withoutLists),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(title, u"Send SMS Reply 1 to:");

  EXPECT_EQ(atSetUp.radios, (std::vector<uintptr_t>{1, 0, 0}));
  EXPECT_EQ(atSetUp.numbers.ticks, (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(atSetUp.categories.ticks, (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(atSetUp.numbers.colour, 0x808080u);
  EXPECT_FALSE(atSetUp.numbers.enabled);
  EXPECT_FALSE(atSetUp.categories.enabled);
  EXPECT_EQ(atSetUp.only, u"Only selected below");
  EXPECT_EQ(atSetUp.excl, u"Any nr excl. selected below");

  EXPECT_EQ(withLists.radios, (std::vector<uintptr_t>{0, 1, 0}));
  EXPECT_EQ(withLists.numbers.ticks, (std::vector<int32_t>{1, 0, 0, 0}));
  EXPECT_EQ(withLists.categories.ticks, (std::vector<int32_t>{0, 1, 0}));
  EXPECT_EQ(withLists.numbers.colour, 0x000000u);
  EXPECT_TRUE(withLists.categories.enabled);
  EXPECT_EQ(withLists.only, u"Only 1 selected below");

  EXPECT_EQ(withoutLists.numbers.ticks, (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(withoutLists.categories.colour, 0x808080u);
  EXPECT_FALSE(withoutLists.numbers.enabled);
  EXPECT_EQ(withoutLists.excl, u"Any nr excl. selected below");
  // The flags held through both changes; the last mode is kept.
  EXPECT_EQ(mainFlags(), (std::vector<int32_t>{1, 0, 0, 0}));
  EXPECT_EQ(categoryTable.rows[2].selectedMain, 1);
  EXPECT_EQ(replySettings.mainMode, 0);
}

TEST_F(NumberRules, TickingANumberFollowsItsBoxWhateverIsSelected) {
  addContacts();
  replySettings.mainMode = 2;
  std::u16string only, excl;
  // Row 0 is selected first; the box of row 2 is ticked without touching
  // its row, as the list view takes a tap on a box.
  runRules(ReplyKind::main,
           {fake::tapRow(IDC_NUMBERS, 0), fake::tickRow(IDC_NUMBERS, 2),
            fake::inspect([&] {
              only = controlText(IDC_MODE_ONLY);
              excl = controlText(IDC_MODE_EXCLUDE);
            }),
            fake::tickRow(IDC_NUMBERS, 3), fake::tickRow(IDC_NUMBERS, 2),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(mainFlags(), (std::vector<int32_t>{0, 0, 0, 1}));
  EXPECT_EQ(only, u"Only 1 selected below");
  EXPECT_EQ(excl, u"Any nr excl. 1 selected below");
  // Number ticks never touch the categories.
  for (int32_t g = 1; g <= categoryTable.count; ++g)
    EXPECT_EQ(categoryTable.rows[g].selectedMain, 0);
}

TEST_F(NumberRules, TheHandlersTakeTheFirstSelectedRow) {
  addContacts();
  replySettings.mainMode = 1;
  numberTable.rows[2].selectedMain = 1;
  std::vector<int32_t> beforeAnySelection, afterTap;
  runRules(ReplyKind::main,
           {fake::inspect([&] {
              // The flag of row 2 changes behind the screen's back; with
              // nothing selected the handler leaves it.
              numberTable.rows[2].selectedMain = 0;
              plat::SendMessageW(fake::activeDialog(), WM_NUMBERTICKED, 0, 0);
              beforeAnySelection = mainFlags();
            }),
            fake::tapRow(IDC_NUMBERS, 1), fake::inspect([&] {
              afterTap = mainFlags();
            }),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(beforeAnySelection, (std::vector<int32_t>{0, 0, 0, 0}));
  // Selecting the row read its box back into the flag.
  EXPECT_EQ(afterTap, (std::vector<int32_t>{0, 1, 0, 0}));
}

TEST_F(NumberRules, DeriveNumberTicks) {
  struct Case {
    const char* what;
    std::vector<int32_t> categoryTicks;  // Work, Family, TeamWork
    std::vector<int32_t> numberTicks;    // before
    std::vector<int32_t> derived;
  };
  const Case cases[] = {
      {"a name inside a longer one matches, another case does not",
       {1, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 0}},
      {"a number ticked on its own loses its tick", {0, 1, 0}, {0, 0, 1, 1},
       {1, 1, 0, 0}},
      {"no ticked category: no ticked number", {0, 0, 0}, {1, 1, 1, 1},
       {0, 0, 0, 0}},
      {"two categories", {0, 1, 1}, {0, 0, 0, 0}, {1, 1, 1, 0}},
  };
  for (const Case& c : cases) {
    freshProgram();
    addContacts();
    for (int32_t g = 1; g <= 3; ++g) {
      categoryTable.rows[g].selectedMain = c.categoryTicks[g - 1];
      categoryTable.rows[g].selectedSecond = 1;
    }
    for (int32_t f = 1; f <= 4; ++f) {
      numberTable.rows[f].selectedMain = c.numberTicks[f - 1];
      numberTable.rows[f].selectedSecond = 1;
    }
    deriveNumberTicks(ReplyKind::main);
    EXPECT_EQ(mainFlags(), c.derived) << c.what;
    for (int32_t f = 1; f <= 4; ++f)
      EXPECT_EQ(numberTable.rows[f].selectedSecond, 1) << c.what;
  }
}

TEST_F(NumberRules, TheCategoryHandlerDerivesTheNumbersAndShowsThem) {
  addContacts();
  replySettings.mainMode = 1;
  numberTable.rows[4].selectedMain = 1;  // ticked on its own
  ListView afterWork, afterFamily, afterUntickWork, afterTapFamily;
  std::u16string only;
  auto look = [](ListView& view) {
    return fake::inspect([&view] { view = listOf(IDC_NUMBERS); });
  };
  runRules(ReplyKind::main,
           {fake::tickRow(IDC_CATEGORIES, 0), look(afterWork),
            fake::inspect([&] { only = controlText(IDC_MODE_ONLY); }),
            fake::tickRow(IDC_CATEGORIES, 1), look(afterFamily),
            fake::tickRow(IDC_CATEGORIES, 0), look(afterUntickWork),
            // A number ticked by hand, then a tap on a category's name:
            // the numbers are derived again.
            fake::tickRow(IDC_NUMBERS, 3), fake::tapRow(IDC_CATEGORIES, 1),
            look(afterTapFamily), fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(afterWork.ticks, (std::vector<int32_t>{1, 1, 1, 0}));
  EXPECT_EQ(only, u"Only 3 selected below");
  EXPECT_EQ(afterFamily.ticks, (std::vector<int32_t>{1, 1, 1, 0}));
  EXPECT_EQ(afterUntickWork.ticks, (std::vector<int32_t>{1, 1, 0, 0}));
  EXPECT_EQ(afterTapFamily.ticks, (std::vector<int32_t>{1, 1, 0, 0}));
  EXPECT_EQ(mainFlags(), (std::vector<int32_t>{1, 1, 0, 0}));
  EXPECT_EQ(categoryTable.rows[1].selectedMain, 0);
  EXPECT_EQ(categoryTable.rows[2].selectedMain, 1);
}

TEST_F(NumberRules, SaveAndBackWithTheListsInUse) {
  addContacts();
  replySettings.secondMode = 2;
  EXPECT_EQ(runRules(ReplyKind::second,
                     {fake::tickRow(IDC_CATEGORIES, 1),
                      fake::tickRow(IDC_NUMBERS, 3),
                      fake::click(IDC_SAVE_AND_BACK)}),
            1);
  EXPECT_EQ(fileText(kSecondFile), "Family;+4930111;+4930222;0172444;\r\n");
  EXPECT_EQ(fileText(kMainFile), "(none)");
  EXPECT_EQ(storedDword(u"2 Reply mode"), 2);
  EXPECT_FALSE(fake::inputPanelUp());
}

TEST_F(NumberRules, SaveAndBackWithoutTheListsLeavesTheFile) {
  addContacts();
  const std::string old = "Old;1;\r\n";
  fake::setFile(kMainFile, std::vector<uint8_t>(old.begin(), old.end()));
  replySettings.mainMode = 1;
  runRules(ReplyKind::main,
           {fake::tickRow(IDC_NUMBERS, 0), fake::click(IDC_MODE_ANY),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(fileText(kMainFile), old);
  EXPECT_EQ(storedDword(u"Reply mode"), 0);
  EXPECT_EQ(mainFlags(), (std::vector<int32_t>{1, 0, 0, 0}));  // in memory

  // The second screen's own first mode, "Any domestic", uses no lists.
  replySettings.secondMode = 3;
  std::vector<uintptr_t> radios;
  ListView numbers;
  runRules(ReplyKind::second,
           {fake::inspect([&] {
              radios = radioStates({1007, 1008, 1006, 1009});
              numbers = listOf(IDC_NUMBERS);
            }),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(radios, (std::vector<uintptr_t>{0, 0, 1, 0}));
  EXPECT_FALSE(numbers.enabled);
  EXPECT_EQ(numbers.ticks, (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(fileText(kSecondFile), "(none)");
  EXPECT_EQ(storedDword(u"2 Reply mode"), 3);
}

TEST_F(NumberRules, AStoredSecondModeOfZero) {
  addContacts();
  numberTable.rows[3].selectedSecond = 1;
  storeDword(u"2 Reply mode", 0);
  loadSettings();
  ASSERT_EQ(replySettings.secondMode, 0);
  std::vector<uintptr_t> radios;
  ListView numbers;
  std::u16string title, only;
  runRules(ReplyKind::second,
           {fake::inspect([&] {
              radios = radioStates({1007, 1008, 1006, 1009});
              numbers = listOf(IDC_NUMBERS);
              title = controlText(IDC_RULES_TITLE);
              only = controlText(IDC_MODE_ONLY);
            }),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(radios, (std::vector<uintptr_t>{0, 0, 0, 0}));
  EXPECT_TRUE(numbers.enabled);
  EXPECT_EQ(numbers.ticks, (std::vector<int32_t>{0, 0, 1, 0}));
  EXPECT_EQ(title, u"Send Second Reply to:");
  EXPECT_EQ(only, u"Only 1 selected");
  EXPECT_EQ(fileText(kSecondFile), "0172333;\r\n");
  EXPECT_EQ(storedDword(u"2 Reply mode"), 0);
}

TEST_F(NumberRules, EmptyTablesAndColours) {
  replySettings.mainMode = 2;
  std::u16string only, excl;
  size_t rows = 9;
  std::vector<SeenColour> seen;
  runRules(ReplyKind::main,
           {fake::inspect([&] {
              only = controlText(IDC_MODE_ONLY);
              excl = controlText(IDC_MODE_EXCLUDE);
              rows = fake::listRows(fake::dialogItem(fake::activeDialog(),
                                                     IDC_NUMBERS))
                         .size();
            }),
            fake::repaint(), fake::inspect([&] { seen = seenColours(); }),
            fake::click(IDC_SAVE_AND_BACK)});
  EXPECT_EQ(rows, 0u);
  EXPECT_EQ(only, u"Only 0 selected below");
  EXPECT_EQ(excl, u"Any nr excl. 0 selected below");
  EXPECT_EQ(fileText(kMainFile), "\r\n");
  EXPECT_EQ(fake::liveDrawingObjects(), 0u);
  size_t onWhite = 0;
  for (const SeenColour& c : seen) {
    const bool save = c.control == IDC_SAVE_AND_BACK;
    onWhite += save;
    EXPECT_EQ(c.brush, save ? 0xFFFFFFu : 0xC04000u) << c.control;
    EXPECT_EQ(c.text, save ? 0xC04000u : 0xFFFFFFu) << c.control;
    EXPECT_EQ(c.face, u"") << c.control;  // the template's font
  }
  EXPECT_EQ(onWhite, 1u);
}

}  // namespace
