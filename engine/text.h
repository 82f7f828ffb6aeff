// Fixed-size UTF-16 text as the program keeps it: NUL-terminated arrays whose
// capacity includes the terminator. Long text is cut, never refused.
#pragma once

#include <cstddef>
#include <cstdint>

// Units before the terminator, looking at no more than `capacity` units.
size_t textLength(const char16_t* text, size_t capacity);

// Copies at most `maxUnits` units of `source` (and never more than
// `capacity` - 1) into `target`, always terminating it.
void copyText(char16_t* target, size_t capacity, const char16_t* source,
              size_t maxUnits);

template <size_t N>
void copyText(char16_t (&target)[N], const char16_t* source) {
  copyText(target, N, source, N - 1);
}

// Folds one unit to its small letter; the same table on every build, so
// equality ignoring case gives the same answer everywhere.
char16_t foldCase(char16_t unit);

// Equal as whole strings when letter case is ignored.
bool textEqualsIgnoreCase(const char16_t* a, const char16_t* b);

bool textContains(const char16_t* text, char16_t unit);

// Whether `part` occurs anywhere in `text`, letter case respected; an empty
// part occurs in every text.
bool textContainsText(const char16_t* text, const char16_t* part);
