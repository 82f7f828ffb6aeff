// The directories of contact numbers and categories, filled by the contact
// import and ticked by the screens. Rows are numbered from 1; slot 0 is unused.
#pragma once

#include <cstdint>

constexpr int32_t kMaxNumberRows = 1000;
constexpr int32_t kMaxCategoryRows = 49;

enum class ReplyKind { main, second };

struct NumberEntry {
  char16_t firstName[130];
  char16_t lastName[130];
  char16_t number[66];
  char16_t categories[518];
  int32_t selectedMain;
  int32_t selectedSecond;
};

struct NumberTable {
  NumberEntry rows[kMaxNumberRows + 1];
  int32_t count;
};

struct CategoryEntry {
  char16_t name[130];
  int32_t selectedMain;
  int32_t selectedSecond;
};

struct CategoryTable {
  CategoryEntry rows[kMaxCategoryRows + 1];
  int32_t count;
};

extern NumberTable numberTable;
extern CategoryTable categoryTable;

// Empties both tables, as at process start.
void resetTables();

// Rows 1..count with the flag of `kind` set.
int32_t countSelected(ReplyKind kind, const NumberTable& table = numberTable);

// True when some row 1..count holds `number` (equal ignoring letter case, no
// other normalisation) with the flag of `kind` set.
bool isSelected(const char16_t* number, ReplyKind kind,
                const NumberTable& table = numberTable);
