#include <gtest/gtest.h>

#include <string>

#include "engine/tables.h"
#include "engine/tracker.h"
#include "platform/fake/contacts.h"
#include "platform/fake/device.h"
#include "platform/fake/files.h"
#include "store/contact_import.h"
#include "tests/unit/replay.h"

namespace {

using fake::FakeContact;
using fake::Op;

plat::HWND const kOwner = reinterpret_cast<plat::HWND>(0x4242);

FakeContact person(const std::u16string& first, const std::u16string& last,
                   std::vector<std::u16string> numbers,
                   const std::u16string& categories = u"") {
  FakeContact c;
  c.fields[fake::firstName] = first;
  c.fields[fake::lastName] = last;
  numbers.resize(6);
  for (int i = 0; i < 6; ++i) c.fields[fake::homeNumber + i] = numbers[i];
  c.fields[fake::categories] = categories;
  return c;
}

std::u16string numberAt(int32_t row) {
  return numberTable.rows[row].number;
}

std::vector<std::u16string> categoryNames() {
  std::vector<std::u16string> names;
  for (int32_t k = 1; k <= categoryTable.count; ++k)
    names.push_back(categoryTable.rows[k].name);
  return names;
}

class ContactImport : public ::testing::Test {
 protected:
  void SetUp() override {
    freshEngine();
    mainWindow = nullptr;  // the import runs before the main window exists
    resetContactImport();
  }
  // Every object given back, every text freed, COM left as found.
  void expectAllReleased() {
    EXPECT_EQ(fake::liveStoreObjects(), 0u);
    EXPECT_EQ(fake::liveStoreTexts(), 0u);
    EXPECT_EQ(fake::comInitialisations(), 0);
    EXPECT_FALSE(fake::storeLoggedOn());
    EXPECT_EQ(contactApp, nullptr);
  }
};

TEST_F(ContactImport, RowsPerNumberInFieldOrder) {
  fake::setContacts({
      person(u"Anna", u"Berg", {u"030 111", u"", u"", u"", u"0170 222"},
             u"Family"),
      person(u"", u"", {u"030 999"}),  // a company: no name
      person(u"Carl", u"", {}),         // no number
      person(u"", u"Dora", {u"040 333", u"", u"040 333"}),
      person(u"Eve", u"", {u"1", u"2", u"3", u"4", u"5", u"6"}),
  });
  EXPECT_TRUE(importContacts(kOwner));
  ASSERT_EQ(numberTable.count, 10);
  EXPECT_EQ(numberAt(1), u"030 111");
  EXPECT_EQ(numberAt(2), u"0170 222");
  for (int32_t k : {1, 2}) {
    EXPECT_EQ(std::u16string(numberTable.rows[k].firstName), u"Anna");
    EXPECT_EQ(std::u16string(numberTable.rows[k].lastName), u"Berg");
    EXPECT_EQ(std::u16string(numberTable.rows[k].categories), u"Family");
  }
  EXPECT_EQ(numberAt(3), u"040 333");
  EXPECT_EQ(numberAt(4), u"040 333");
  for (int32_t k = 5; k <= 10; ++k)
    EXPECT_EQ(numberAt(k), std::u16string(1, u'0' + (k - 4)));
  EXPECT_EQ(categoryNames(), std::vector<std::u16string>{u"Family"});
  expectAllReleased();
}

TEST_F(ContactImport, TextsAreCutToTheirFields) {
  fake::setContacts({person(std::u16string(200, u'f'), std::u16string(130, u'l'),
                            {std::u16string(70, u'9')},
                            std::u16string(600, u'c'))});
  importContacts(kOwner);
  ASSERT_EQ(numberTable.count, 1);
  EXPECT_EQ(std::u16string(numberTable.rows[1].firstName).size(), 128u);
  EXPECT_EQ(std::u16string(numberTable.rows[1].lastName).size(), 128u);
  EXPECT_EQ(numberAt(1), std::u16string(64, u'9'));
  EXPECT_EQ(std::u16string(numberTable.rows[1].categories).size(), 516u);
  EXPECT_EQ(categoryNames(), std::vector<std::u16string>{std::u16string(64, u'c')});
}

TEST_F(ContactImport, CategoryNames) {
  const std::u16string seventy(70, u'n');
  const struct {
    const char* what;
    std::vector<std::u16string> lists;  // one contact each
    std::vector<std::u16string> names;
  } cases[] = {
      {"comma and one space", {u"Family, Work"}, {u"Family", u"Work"}},
      {"comma and two spaces", {u"Family,  Work"}, {u"Family", u" Work"}},
      {"trailing spaces stay", {u"Family ,Work  "}, {u"Family ", u"Work  "}},
      {"empty pieces", {u",,Family,,,Work,"}, {u"Family", u"Work"}},
      {"first spelling wins", {u"work", u"Work,WORK, Family"},
       {u"work", u"Family"}},
      {"non-ASCII case", {u"\u00c4rzte", u"\u00e4RZTE"}, {u"\u00c4rzte"}},
      {"a single space", {u" ", u" , "}, {u""}},
      {"long piece", {seventy}, {std::u16string(64, u'n')}},
      {"space and long piece", {u" " + seventy}, {std::u16string(63, u'n')}},
  };
  for (const auto& c : cases) {
    SetUp();
    std::vector<FakeContact> contacts;
    for (size_t i = 0; i < c.lists.size(); ++i)
      contacts.push_back(person(u"P", u"", {u"0301" + std::u16string(1, u'0' + i)},
                                c.lists[i]));
    fake::setContacts(contacts);
    importContacts(kOwner);
    EXPECT_EQ(categoryNames(), c.names) << c.what;
  }
}

TEST_F(ContactImport, AtMost49Categories) {
  std::u16string list;
  for (int i = 0; i < 50; ++i) list += u"cat" + std::u16string(1, u'A' + i / 10) +
                                       std::u16string(1, u'0' + i % 10) + u",";
  fake::setContacts({person(u"P", u"", {u"030 1"}, list),
                     person(u"Q", u"", {u"030 2"}, u"new one")});
  importContacts(kOwner);
  ASSERT_EQ(categoryTable.count, 49);
  EXPECT_EQ(std::u16string(categoryTable.rows[49].name), u"catE8");
}

TEST_F(ContactImport, TheThousandRowBoundary) {
  std::vector<FakeContact> contacts;
  for (int i = 0; i < 999; ++i)
    contacts.push_back(person(u"P", u"", {u"0" + std::u16string(1, u'a' + i % 26) +
                                          std::u16string(1, u'a' + i / 26)},
                              i == 0 ? u"Family" : u""));
  contacts.push_back(person(u"Full", u"", {u"030 1000", u"030 1001", u"030 1002"}));
  FakeContact unreadable = person(u"Bad", u"", {u"030 2000"});
  unreadable.failingField = fake::carNumber;
  contacts.push_back(unreadable);
  contacts.push_back(person(u"", u"", {}));  // readable: brings the warning
  contacts.push_back(person(u"Never", u"", {u"030 3000"}));
  fake::setContacts(contacts);
  fake::setFile(u"\\Windows\\cdbase.txt",
                {'0', '3', '0', ' ', '1', '0', '0', '0', ';', '\r', '\n'});

  EXPECT_TRUE(importContacts(kOwner));
  ASSERT_EQ(numberTable.count, 1000);
  EXPECT_EQ(numberAt(1000), u"030 1000");
  ASSERT_EQ(fake::countCalls(Op::MessageBoxW), 1u);
  const fake::Call* box = fake::findCall(Op::MessageBoxW);
  EXPECT_EQ(std::u16string(box->text),
            u"You have more than thusand numbers in your Contacts Database.\n"
            u"This program read/use only the first thusand.");
  EXPECT_EQ(std::u16string(box->text2), u"Zerv: Vantorel");
  EXPECT_EQ(box->args[3], 16u);
  EXPECT_EQ(box->args[0], 0u);  // no owner yet
  // The enumeration ended at the warning.
  EXPECT_EQ(fake::countCalls(Op::Item), 1002u);
  // Categories and ticks are still processed.
  EXPECT_EQ(categoryNames(), std::vector<std::u16string>{u"Family"});
  EXPECT_EQ(numberTable.rows[1000].selectedMain, 1);
  expectAllReleased();
}

TEST_F(ContactImport, NoWarningWhenTheNumbersEndAtTheLimit) {
  std::vector<FakeContact> contacts;
  for (int i = 0; i < 998; ++i)
    contacts.push_back(person(u"P", u"", {u"030 " + std::u16string(3, u'0' + i % 10)}));
  contacts.push_back(person(u"Last", u"", {u"1", u"2", u"3", u"4"}));
  fake::setContacts(contacts);
  importContacts(kOwner);
  EXPECT_EQ(numberTable.count, 1000);
  EXPECT_EQ(fake::countCalls(Op::MessageBoxW), 0u);
}

TEST_F(ContactImport, CallsTheStoreInOrder) {
  fake::setContacts({person(u"A", u"B", {u"030 1"})});
  importContacts(kOwner);
  const Op expected[] = {Op::CoInitializeEx, Op::CoCreateInstance, Op::Logon,
                         Op::GetDefaultFolder, Op::get_Items,
                         Op::QueryInterface, Op::get_Count, Op::Item,
                         Op::Getter, Op::Getter, Op::Getter, Op::Getter,
                         Op::Getter, Op::Getter, Op::Getter, Op::Getter,
                         Op::Getter, Op::Logoff, Op::CoUninitialize};
  std::vector<Op> store;
  for (size_t i = 0; i < fake::callCount(); ++i)
    if (fake::call(i).op != Op::CreateFileW && fake::call(i).op != Op::ReadFile)
      store.push_back(fake::call(i).op);
  EXPECT_EQ(store, std::vector<Op>(std::begin(expected), std::end(expected)));
  EXPECT_EQ(fake::findCall(Op::CoInitializeEx)->args[1], 0u);
  const fake::Call* create = fake::findCall(Op::CoCreateInstance);
  EXPECT_EQ(create->args[0], 1u);  // the application's class
  EXPECT_EQ(create->args[2], 1u);  // in process
  EXPECT_EQ(create->args[3], 1u);  // its interface
  EXPECT_EQ(fake::findCall(Op::Logon)->args[0], 0x4242u);
  EXPECT_EQ(fake::findCall(Op::GetDefaultFolder)->args[0], 10u);
  for (size_t field = 0; field < 9; ++field)
    EXPECT_EQ(fake::findCall(Op::Getter, field)->args[0], field);
}

TEST_F(ContactImport, FailureExitsAndWhatTheyLeave) {
  const struct {
    const char* what;
    std::function<void()> fail;
    bool result;
    bool appKept;  // created and logged on, for the next import
    int com;       // initialisations left
  } cases[] = {
      {"create", [] { fake::failCall(Op::CoCreateInstance, 1); }, false, false, 1},
      {"logon", [] { fake::failCall(Op::Logon, 1); }, false, false, 0},
      {"folder", [] { fake::failCall(Op::GetDefaultFolder, 1); }, false, true, 1},
      {"no folder", [] { fake::giveNoFolder(); }, false, true, 1},
      {"items", [] { fake::failCall(Op::get_Items, 1); }, false, true, 1},
      {"collection", [] { fake::failCall(Op::QueryInterface, 1); }, false, true, 1},
      {"no collection", [] { fake::giveNoCollection(); }, true, false, 0},
      {"count", [] { fake::failCall(Op::get_Count, 1); }, true, false, 0},
  };
  for (const auto& c : cases) {
    SetUp();
    fake::setContacts({person(u"A", u"", {u"030 1"}, u"Family")});
    fake::setFile(u"\\Windows\\cdbase.txt", {'0', '3', '0', ' ', '1', ';', '\r', '\n'});
    c.fail();
    EXPECT_EQ(importContacts(kOwner), c.result) << c.what;
    EXPECT_EQ(numberTable.count, 0) << c.what;
    EXPECT_EQ(categoryTable.count, 0) << c.what;
    EXPECT_EQ(fake::countCalls(Op::CreateFileW), 0u) << c.what;
    EXPECT_EQ(contactApp != nullptr, c.appKept) << c.what;
    EXPECT_EQ(fake::storeLoggedOn(), c.appKept) << c.what;
    EXPECT_EQ(fake::comInitialisations(), c.com) << c.what;
    // Nothing but the kept application object is left unreleased.
    EXPECT_EQ(fake::liveStoreObjects(), c.appKept ? 1u : 0u) << c.what;
    if (c.appKept) {
      // The next import uses it as it is, then ends the session.
      fake::clearCalls();
      fake::giveNoFolder(false);
      EXPECT_TRUE(importContacts(kOwner)) << c.what;
      EXPECT_EQ(fake::countCalls(Op::CoCreateInstance), 0u) << c.what;
      EXPECT_EQ(fake::countCalls(Op::Logon), 0u) << c.what;
      EXPECT_EQ(numberTable.count, 1) << c.what;
      EXPECT_EQ(numberTable.rows[1].selectedMain, 1) << c.what;
      EXPECT_EQ(fake::liveStoreObjects(), 0u) << c.what;
      EXPECT_EQ(contactApp, nullptr) << c.what;
    }
  }
}

TEST_F(ContactImport, UnreadableContactsAreSkippedWhole) {
  FakeContact unfetchable = person(u"A", u"", {u"030 1"});
  unfetchable.failFetch = true;
  FakeContact badName = person(u"B", u"", {u"030 2"});
  badName.failingField = fake::firstName;
  FakeContact badCategories = person(u"C", u"", {u"030 3"}, u"Lost");
  badCategories.failingField = fake::categories;
  fake::setContacts({unfetchable, badName, badCategories,
                     person(u"D", u"", {u"030 4"}, u"Kept")});
  EXPECT_TRUE(importContacts(kOwner));
  ASSERT_EQ(numberTable.count, 1);
  EXPECT_EQ(numberAt(1), u"030 4");
  EXPECT_EQ(categoryNames(), std::vector<std::u16string>{u"Kept"});
  expectAllReleased();
}

TEST_F(ContactImport, AnEmptyStoreReadsNoSelectionFile) {
  fake::setFile(u"\\Windows\\cdbase.txt", {'x', ';', '\r', '\n'});
  EXPECT_TRUE(importContacts(kOwner));
  EXPECT_EQ(numberTable.count, 0);
  EXPECT_EQ(fake::countCalls(Op::CreateFileW), 0u);
  expectAllReleased();
}

TEST_F(ContactImport, EachImportStartsFromAnEmptyTable) {
  fake::setContacts({person(u"A", u"", {u"030 1", u"030 2"})});
  importContacts(kOwner);
  fake::setContacts({person(u"B", u"", {u"040 1"})});
  importContacts(kOwner);
  ASSERT_EQ(numberTable.count, 1);
  EXPECT_EQ(numberAt(1), u"040 1");
}

}  // namespace
