// Building the screens' label texts in fixed buffers: every step cuts at the
// capacity and keeps the text terminated.
#pragma once

#include <cstddef>
#include <cstdint>

void appendText(char16_t* out, size_t capacity, const char16_t* text);
// `pattern` with its first "%d" replaced by `value` in decimal.
void formatCount(char16_t* out, size_t capacity, const char16_t* pattern,
                 int32_t value);

// How the reply screens say when a reply goes out; empty for a ring count
// that no phrase stands for.
const char16_t* ringPhrase(int32_t rings);
