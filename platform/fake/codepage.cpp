// The device's ANSI code page, as code page 1252 (Western European).
#include <cstring>

#include "platform/codepage.h"
#include "platform/fake/internal.h"

namespace fake {
namespace {

// 0x80..0x9F; the five bytes 1252 leaves undefined map to the same units,
// as the platform's converter does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t toUnit(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

char toByte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
    return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace
}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

size_t wcstombs(char* dst, const char16_t* src, size_t n) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::wcstombs)) {
      c->args[0] = asArg(dst);
      c->args[1] = asArg(src);
      c->args[2] = n;
      fake::copyUnits(c->text, 256, src);
    }
    if (fake::shouldFail(Op::wcstombs)) return static_cast<size_t>(-1);
  }
  size_t written = 0;
  for (; src[written] != 0 && written < n; ++written)
    dst[written] = fake::toByte(src[written]);
  if (written < n) dst[written] = 0;
  return written;
}

int32_t MultiByteToWideChar(uint32_t CodePage, uint32_t dwFlags,
                            const char* lpMultiByteStr, int32_t cbMultiByte,
                            char16_t* lpWideCharStr, int32_t cchWideChar) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::MultiByteToWideChar)) {
      const uintptr_t args[6] = {CodePage, dwFlags, asArg(lpMultiByteStr),
                                 static_cast<uintptr_t>(cbMultiByte),
                                 asArg(lpWideCharStr),
                                 static_cast<uintptr_t>(cchWideChar)};
      std::memcpy(c->args, args, sizeof args);
    }
    if (fake::shouldFail(Op::MultiByteToWideChar)) return 0;
  }
  if (lpMultiByteStr == nullptr || cchWideChar < 0) return 0;
  const size_t length = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1
                                        : static_cast<size_t>(cbMultiByte);
  if (cchWideChar == 0) return static_cast<int32_t>(length);
  if (length > static_cast<size_t>(cchWideChar)) return 0;
  for (size_t i = 0; i < length; ++i)
    lpWideCharStr[i] = fake::toUnit(static_cast<uint8_t>(lpMultiByteStr[i]));
  return static_cast<int32_t>(length);
}

}  // namespace plat
