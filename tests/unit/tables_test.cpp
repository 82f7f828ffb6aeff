#include <gtest/gtest.h>

#include <cstring>

#include "engine/tables.h"
#include "engine/text.h"

namespace {

void addRow(NumberTable& t, const char16_t* number, int32_t main,
            int32_t second) {
  NumberEntry& e = t.rows[++t.count];
  copyText(e.number, number);
  e.selectedMain = main;
  e.selectedSecond = second;
}

class Tables : public ::testing::Test {
 protected:
  void SetUp() override { resetTables(); }
};

TEST_F(Tables, EmptyTableSelectsNothing) {
  EXPECT_EQ(countSelected(ReplyKind::main), 0);
  EXPECT_EQ(countSelected(ReplyKind::second), 0);
  EXPECT_FALSE(isSelected(u"", ReplyKind::main));
  EXPECT_FALSE(isSelected(u"+4917012345678", ReplyKind::second));
}

TEST_F(Tables, RowsAboveCountAreNotInUse) {
  addRow(numberTable, u"030 111111", 1, 1);
  addRow(numberTable, u"030 222222", 1, 0);
  numberTable.count = 1;  // row 2 is stale
  EXPECT_EQ(countSelected(ReplyKind::main), 1);
  EXPECT_FALSE(isSelected(u"030 222222", ReplyKind::main));
}

TEST_F(Tables, FlagOfALaterRowWithTheSameNumberCounts) {
  addRow(numberTable, u"030 111111", 0, 0);
  addRow(numberTable, u"030 111111", 0, 1);
  EXPECT_TRUE(isSelected(u"030 111111", ReplyKind::second));
  EXPECT_FALSE(isSelected(u"030 111111", ReplyKind::main));
  EXPECT_EQ(countSelected(ReplyKind::second), 1);
}

TEST_F(Tables, KindsAreIndependent) {
  addRow(numberTable, u"030 111111", 1, 0);
  addRow(numberTable, u"030 222222", 0, 7);  // any non-zero value is on
  addRow(numberTable, u"030 333333", 1, 1);
  EXPECT_EQ(countSelected(ReplyKind::main), 2);
  EXPECT_EQ(countSelected(ReplyKind::second), 2);
  EXPECT_FALSE(isSelected(u"030 111111", ReplyKind::second));
  EXPECT_FALSE(isSelected(u"030 222222", ReplyKind::main));
  EXPECT_TRUE(isSelected(u"030 222222", ReplyKind::second));
}

TEST_F(Tables, NumbersAreComparedWholeWithoutNormalising) {
  addRow(numberTable, u"+49 30 1234567", 1, 1);
  addRow(numberTable, u"Ext. 12 A", 1, 1);
  const struct {
    const char16_t* caller;
    bool selected;
  } cases[] = {{u"+49 30 1234567", true},   {u"+49301234567", false},
               {u"+49-30-1234567", false},  {u"030 1234567", false},
               {u"+49 30 123456", false},   {u"+49 30 12345678", false},
               {u"ext. 12 a", true},        {u"EXT. 12 A", true}};
  for (const auto& c : cases)
    EXPECT_EQ(isSelected(c.caller, ReplyKind::main), c.selected);
}

TEST_F(Tables, FullTableAndACountOutOfRange) {
  for (int i = 0; i < kMaxNumberRows; ++i) addRow(numberTable, u"12345", 1, 0);
  EXPECT_EQ(countSelected(ReplyKind::main), kMaxNumberRows);
  numberTable.count = kMaxNumberRows + 5;  // never read past the last slot
  EXPECT_EQ(countSelected(ReplyKind::main), kMaxNumberRows);
  numberTable.count = -3;
  EXPECT_EQ(countSelected(ReplyKind::main), 0);
  EXPECT_FALSE(isSelected(u"12345", ReplyKind::main));
}

}  // namespace
