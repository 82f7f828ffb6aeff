#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>

#include "engine/tables.h"
#include "engine/text.h"
#include "platform/fake/device.h"
#include "platform/fake/files.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "store/selection_files.h"
#include "tests/unit/replay.h"

namespace {

using fake::Op;

const std::u16string kMainFile = u"\\Windows\\cdbase.txt";
const std::u16string kSecondFile = u"\\Windows\\cdbase2.txt";

std::vector<uint8_t> bytesOf(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

void addNumber(const char16_t* number, int32_t main = 0, int32_t second = 0) {
  NumberEntry& e = numberTable.rows[++numberTable.count];
  copyText(e.number, number);
  e.selectedMain = main;
  e.selectedSecond = second;
}

void addCategory(const char16_t* name, int32_t main = 0, int32_t second = 0) {
  CategoryEntry& e = categoryTable.rows[++categoryTable.count];
  copyText(e.name, name);
  e.selectedMain = main;
  e.selectedSecond = second;
}

class SelectionFiles : public ::testing::Test {
 protected:
  void SetUp() override { freshEngine(); }
};

TEST_F(SelectionFiles, WritesCategoriesThenNumbersInTheCodePage) {
  addCategory(u"Family", 1, 0);
  addCategory(u"Work", 0, 1);
  addCategory(u"Caf\u00e9 \u20ac", 1, 1);
  addNumber(u"+49 170 1111", 1, 0);
  addNumber(u"030 2222", 0, 0);
  addNumber(u"0049-3333", 1, 1);
  addNumber(u"\u0416 44444", 1, 0);  // no form in the code page
  writeSelectionFile(ReplyKind::main);
  writeSelectionFile(ReplyKind::second);
  EXPECT_EQ(fake::fileBytes(kMainFile),
            bytesOf("Family;Caf\xe9 \x80;+49 170 1111;0049-3333;? 44444;\r\n"));
  EXPECT_EQ(fake::fileBytes(kSecondFile),
            bytesOf("Work;Caf\xe9 \x80;0049-3333;\r\n"));
  // Nothing is left beside them.
  EXPECT_EQ(fake::filePaths(),
            (std::vector<std::u16string>{kMainFile, kSecondFile}));
  EXPECT_EQ(fake::openFiles(), 0u);
}

TEST_F(SelectionFiles, NothingTickedIsALineEndAlone) {
  addNumber(u"030 2222");
  writeSelectionFile(ReplyKind::main);
  EXPECT_EQ(fake::fileBytes(kMainFile), bytesOf("\r\n"));
  const fake::Call* create = fake::findCall(Op::CreateFileW);
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create->args[1], plat::GENERIC_WRITE);
  EXPECT_EQ(create->args[2], 3u);
  EXPECT_EQ(create->args[4], plat::CREATE_ALWAYS);
  EXPECT_EQ(create->args[5], plat::FILE_ATTRIBUTE_NORMAL);
}

// Each step of a write fails in turn; the old file must survive each time.
TEST_F(SelectionFiles, AFailedWriteLeavesTheOldFileByteForByte) {
  const std::vector<uint8_t> old = bytesOf("Old;030 1;\r\n");
  const std::function<void()> failures[] = {
      [] { fake::failCall(Op::CreateFileW, 1); },
      [] { fake::failCall(Op::SetFilePointer, 1); },
      [] { fake::failCall(Op::wcstombs, 1, 1); },
      [] { fake::failCall(Op::WriteFile, 1); },
      [] { fake::failCall(Op::WriteFile, 1, 1); },
      [] { fake::failCall(Op::WriteFile, 1, 2); },  // the line end
      [] { fake::limitWrites(5); },                 // full part-way
      [] { fake::failCall(Op::CloseHandle, 1); },
      [] { fake::failCall(Op::MoveFileExW, 1); },
  };
  for (size_t step = 0; step < std::size(failures); ++step) {
    freshEngine();
    fake::setFile(kMainFile, old);
    addCategory(u"Family", 1);
    addNumber(u"+49 170 1111", 1);
    failures[step]();
    writeSelectionFile(ReplyKind::main);
    EXPECT_EQ(fake::fileBytes(kMainFile), old) << "step " << step;
    EXPECT_EQ(fake::filePaths(), std::vector<std::u16string>{kMainFile})
        << "step " << step;
  }
  // And without a failure the new content replaces it.
  freshEngine();
  fake::setFile(kMainFile, old);
  fake::setFile(kMainFile + u".new", bytesOf("stale"));
  addNumber(u"+49 170 1111", 1);
  writeSelectionFile(ReplyKind::main);
  EXPECT_EQ(fake::fileBytes(kMainFile), bytesOf("+49 170 1111;\r\n"));
  EXPECT_EQ(fake::filePaths(), std::vector<std::u16string>{kMainFile});
}

struct ReadCase {
  const char* what;
  std::string file;
  bool read;
  std::u16string line;
};

TEST_F(SelectionFiles, ReadsTheFirstNonEmptyLine) {
  const std::string longLine = std::string(1200, 'x');
  const ReadCase cases[] = {
      {"one line", "a;b;\r\n", true, u"a;b;"},
      {"leading empty lines", "\r\n\r\na;b;\r\n", true, u"a;b;"},
      {"several lines", "a;\r\nb;\r\n", true, u"a;"},
      {"any byte after the CR", "a;\rXb;\r\n", true, u"a;"},
      {"CR as the last byte", "a;\r", false, u"unchanged"},
      {"LF-only lines", "a;\nb;\n", false, u"unchanged"},
      {"no line end", "a;b;", false, u"unchanged"},
      {"empty file", "", false, u"unchanged"},
      {"only CR LF", "\r\n", false, u"unchanged"},
      {"code page bytes", "Caf\xe9;\x80;\r\n", true, u"Caf\u00e9;\u20ac;"},
      {"cut at 999", longLine + "\r\n", true, std::u16string(999, u'x')},
      {"past 8000 bytes", std::string(9000, 'y') + "\r\n", true,
       std::u16string(999, u'y')},
  };
  for (const ReadCase& c : cases) {
    freshEngine();
    fake::setFile(kMainFile, bytesOf(c.file));
    plat::HANDLE file = plat::CreateFileW(
        kMainFile.c_str(), plat::GENERIC_READ, plat::FILE_SHARE_READ, nullptr,
        plat::OPEN_EXISTING, plat::FILE_ATTRIBUTE_NORMAL, nullptr);
    char16_t line[kSelectionLineUnits];
    copyText(line, u"unchanged");
    EXPECT_EQ(readSelectionLine(file, line), c.read) << c.what;
    EXPECT_EQ(std::u16string(line), c.line) << c.what;
    plat::CloseHandle(file);
  }
}

TEST_F(SelectionFiles, TokensTickBothTablesOfTheirKind) {
  addCategory(u"Family");
  addCategory(u"WORK");
  addCategory(u" ");
  addCategory(u"030 1111");  // a name that is also a number
  addNumber(u"030 1111");
  addNumber(u"+49 2222");
  addNumber(u"+49 2222");  // shared by two contacts
  addNumber(u"+49 3333");
  addNumber(u"Work");
  fake::setFile(kMainFile, bytesOf(";;family;;030 1111;+49 2222; ;\r\n"));
  fake::setFile(kSecondFile, bytesOf("work;+49 3333\r\n"));
  applySelectionFiles();

  const int32_t mainCategories[] = {1, 0, 1, 1};
  const int32_t secondCategories[] = {0, 1, 0, 0};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(categoryTable.rows[k].selectedMain, mainCategories[k - 1]) << k;
    EXPECT_EQ(categoryTable.rows[k].selectedSecond, secondCategories[k - 1])
        << k;
  }
  const int32_t mainNumbers[] = {1, 1, 1, 0, 0};
  const int32_t secondNumbers[] = {0, 0, 0, 1, 1};
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(numberTable.rows[k].selectedMain, mainNumbers[k - 1]) << k;
    EXPECT_EQ(numberTable.rows[k].selectedSecond, secondNumbers[k - 1]) << k;
  }
  // Four passes, each on its own opening, shared for reading.
  ASSERT_EQ(fake::countCalls(Op::CreateFileW), 4u);
  const fake::Call* open = fake::findCall(Op::CreateFileW);
  EXPECT_EQ(open->args[1], plat::GENERIC_READ);
  EXPECT_EQ(open->args[2], plat::FILE_SHARE_READ);
  EXPECT_EQ(open->args[4], plat::OPEN_EXISTING);
  EXPECT_EQ(fake::openFiles(), 0u);
}

TEST_F(SelectionFiles, FlagsAreOnlySetAndALineNeverCarriesOver) {
  addNumber(u"030 1111", 0, 1);
  addNumber(u"030 2222");
  fake::setFile(kMainFile, bytesOf("030 2222;\r\n"));
  fake::setFile(kSecondFile, bytesOf("030 2222;\r"));  // unreadable line
  applySelectionFiles();
  EXPECT_EQ(numberTable.rows[1].selectedSecond, 1);  // kept
  EXPECT_EQ(numberTable.rows[2].selectedMain, 1);
  EXPECT_EQ(numberTable.rows[2].selectedSecond, 0);  // not the main line
}

TEST_F(SelectionFiles, AbsentFilesTickNothing) {
  addNumber(u"030 1111");
  applySelectionFiles();
  EXPECT_EQ(numberTable.rows[1].selectedMain, 0);
  EXPECT_EQ(numberTable.rows[1].selectedSecond, 0);
}

TEST_F(SelectionFiles, TicksSurviveAWriteAndARead) {
  addCategory(u"Family", 1, 1);
  addCategory(u"Work", 0, 1);
  for (int i = 0; i < 300; ++i) {
    std::u16string n = u"+49 170 ";
    for (char d : std::to_string(100000 + i)) n.push_back(d);
    addNumber(n.c_str(), i % 3 == 0, i % 5 == 0);
  }
  const NumberTable ticked = numberTable;
  writeSelectionFile(ReplyKind::main);
  writeSelectionFile(ReplyKind::second);
  for (int32_t k = 1; k <= numberTable.count; ++k)
    numberTable.rows[k].selectedMain = numberTable.rows[k].selectedSecond = 0;
  categoryTable.rows[1].selectedMain = categoryTable.rows[1].selectedSecond = 0;
  categoryTable.rows[2].selectedSecond = 0;
  applySelectionFiles();
  EXPECT_EQ(categoryTable.rows[1].selectedMain, 1);
  EXPECT_EQ(categoryTable.rows[1].selectedSecond, 1);
  EXPECT_EQ(categoryTable.rows[2].selectedSecond, 1);
  // Items past the first 999 characters of a line do not come back.
  int32_t backMain = 0;
  for (int32_t k = 1; k <= numberTable.count; ++k) {
    if (numberTable.rows[k].selectedMain) ++backMain;
    if (!ticked.rows[k].selectedMain) {
      EXPECT_EQ(numberTable.rows[k].selectedMain, 0) << k;
    }
  }
  EXPECT_GT(backMain, 0);
  EXPECT_LT(backMain, countSelected(ReplyKind::main, ticked));
}

}  // namespace
