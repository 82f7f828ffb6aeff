// Conversions between UTF-16 and the device's ANSI code page.
#pragma once

#include <cstddef>

#include "platform/types.h"

namespace plat {

constexpr uint32_t CP_ACP = 0;

// Converts `src` into at most `n` bytes of the ANSI code page at `dst`,
// terminated when there is room. A character the code page cannot represent
// becomes "?". Returns the bytes written without the terminator.
size_t wcstombs(char* dst, const char16_t* src, size_t n);

// With cbMultiByte -1 the source is terminated and the terminator is
// converted too. Returns the units written, 0 on failure (the destination
// too small among them).
int32_t MultiByteToWideChar(uint32_t CodePage, uint32_t dwFlags,
                            const char* lpMultiByteStr, int32_t cbMultiByte,
                            char16_t* lpWideCharStr, int32_t cchWideChar);

}  // namespace plat
