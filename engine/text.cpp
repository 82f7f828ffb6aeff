#include "engine/text.h"

size_t textLength(const char16_t* text, size_t capacity) {
  size_t n = 0;
  while (n < capacity && text[n] != 0) ++n;
  return n;
}

void copyText(char16_t* target, size_t capacity, const char16_t* source,
              size_t maxUnits) {
  if (capacity == 0) return;
  size_t limit = capacity - 1 < maxUnits ? capacity - 1 : maxUnits;
  size_t n = 0;
  while (n < limit && source[n] != 0) {
    target[n] = source[n];
    ++n;
  }
  target[n] = 0;
}

namespace {

// Capital-letter ranges of the alphabets a phone book is likely to hold.
// `step` 1: every unit in [first, last] maps to unit + delta.
// `step` 2: capitals and small letters alternate, capital on even offsets.
struct FoldRange {
  char16_t first;
  char16_t last;
  int16_t delta;
  uint8_t step;
};

constexpr FoldRange kFoldRanges[] = {
    {0x0041, 0x005A, 32, 1},   // Basic Latin
    {0x00C0, 0x00D6, 32, 1},   // Latin-1, before the multiplication sign
    {0x00D8, 0x00DE, 32, 1},   // Latin-1, after it
    {0x0100, 0x012F, 1, 2},    // Latin Extended-A, first block of pairs
    {0x0132, 0x0137, 1, 2},
    {0x0139, 0x0148, 1, 2},    // odd capitals in this block
    {0x014A, 0x0177, 1, 2},
    {0x0179, 0x017E, 1, 2},    // odd capitals again
    {0x0386, 0x0386, 38, 1},   // Greek
    {0x0388, 0x038A, 37, 1},
    {0x038C, 0x038C, 64, 1},
    {0x038E, 0x038F, 63, 1},
    {0x0391, 0x03A1, 32, 1},
    {0x03A3, 0x03AB, 32, 1},
    {0x0400, 0x040F, 80, 1},   // Cyrillic
    {0x0410, 0x042F, 32, 1},
    {0x0460, 0x0481, 1, 2},
    {0x048A, 0x04BF, 1, 2},
    {0x04D0, 0x04FF, 1, 2},
    {0x0531, 0x0556, 48, 1},   // Armenian
    {0x1E00, 0x1E95, 1, 2},    // Latin Extended Additional
    {0x1EA0, 0x1EFF, 1, 2},
    {0xFF21, 0xFF3A, 32, 1},   // full-width Latin
};

}  // namespace

char16_t foldCase(char16_t unit) {
  if (unit < 0x41) return unit;
  if (unit == 0x0178) return 0x00FF;  // Ÿ pairs with ÿ outside its block
  for (const FoldRange& r : kFoldRanges) {
    if (unit < r.first || unit > r.last) continue;
    if (r.step == 1) return static_cast<char16_t>(unit + r.delta);
    // In paired blocks the capital comes first, the small letter after it.
    if (((unit - r.first) & 1) == 0) return static_cast<char16_t>(unit + 1);
    return unit;
  }
  return unit;
}

bool textEqualsIgnoreCase(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    if (*a != *b && foldCase(*a) != foldCase(*b)) return false;
    if (*a == 0) return true;
  }
}

bool textContains(const char16_t* text, char16_t unit) {
  for (; *text != 0; ++text)
    if (*text == unit) return true;
  return false;
}

bool textContainsText(const char16_t* text, const char16_t* part) {
  for (;; ++text) {
    size_t i = 0;
    while (part[i] != 0 && text[i] == part[i]) ++i;
    if (part[i] == 0) return true;
    if (*text == 0) return false;
  }
}
