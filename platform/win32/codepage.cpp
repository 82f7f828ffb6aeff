// Conversions with the ANSI code page. The C library's wcstombs converts in
// the C locale, not in the code page the handset uses, so the conversion
// goes through WideCharToMultiByte(CP_ACP).
#include <cstring>

#include "platform/win32/win32.h"

namespace plat {

size_t wcstombs(char* dst, const char16_t* src, size_t n) {
  if (src == nullptr) return 0;
  const wchar_t* text = win32::wide(src);
  size_t written = 0;
  // One character at a time, so that a double-byte character is never cut.
  for (size_t i = 0; text[i] != 0;) {
    const int units =
        IS_HIGH_SURROGATE(text[i]) && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
    char bytes[8];
    // Without WC_NO_BEST_FIT_CHARS "Ł" would become "L": a different text,
    // where "?" says that the character was lost.
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text + i,
                                     units, bytes, sizeof bytes, "?", nullptr);
    if (length <= 0) {
      bytes[0] = '?';
      length = 1;
    }
    if (dst != nullptr) {
      if (static_cast<size_t>(length) > n - written) break;
      std::memcpy(dst + written, bytes, length);
    }
    written += length;
    i += units;
  }
  if (dst != nullptr && written < n) dst[written] = '\0';
  return written;
}

int32_t MultiByteToWideChar(uint32_t CodePage, uint32_t dwFlags,
                            const char* lpMultiByteStr, int32_t cbMultiByte,
                            char16_t* lpWideCharStr, int32_t cchWideChar) {
  return ::MultiByteToWideChar(CodePage, dwFlags, lpMultiByteStr, cbMultiByte,
                               reinterpret_cast<LPWSTR>(lpWideCharStr),
                               cchWideChar);
}

}  // namespace plat
