#include "engine/tables.h"

#include <cstring>

#include "engine/text.h"

NumberTable numberTable;
CategoryTable categoryTable;

void resetTables() {
  std::memset(&numberTable, 0, sizeof numberTable);
  std::memset(&categoryTable, 0, sizeof categoryTable);
}

namespace {

int32_t flagOf(const NumberEntry& row, ReplyKind kind) {
  return kind == ReplyKind::main ? row.selectedMain : row.selectedSecond;
}

// A count outside 0..1000 would otherwise walk past the rows.
int32_t rowsInUse(const NumberTable& table) {
  if (table.count < 0) return 0;
  return table.count > kMaxNumberRows ? kMaxNumberRows : table.count;
}

}  // namespace

int32_t countSelected(ReplyKind kind, const NumberTable& table) {
  int32_t selected = 0;
  const int32_t rows = rowsInUse(table);
  for (int32_t k = 1; k <= rows; ++k)
    if (flagOf(table.rows[k], kind) != 0) ++selected;
  return selected;
}

bool isSelected(const char16_t* number, ReplyKind kind,
                const NumberTable& table) {
  const int32_t rows = rowsInUse(table);
  for (int32_t k = 1; k <= rows; ++k) {
    const NumberEntry& row = table.rows[k];
    if (flagOf(row, kind) != 0 && textEqualsIgnoreCase(row.number, number))
      return true;
  }
  return false;
}
