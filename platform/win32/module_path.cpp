// The program's own path: the kernel32 call.
#include "platform/win32/win32.h"

namespace plat {

uint32_t GetModuleFileNameW(HINSTANCE hModule, char16_t* lpFilename,
                            uint32_t nSize) {
  const DWORD n =
      ::GetModuleFileNameW(reinterpret_cast<::HMODULE>(hModule),
                           reinterpret_cast<wchar_t*>(lpFilename), nSize);
  // A path that does not fit is cut and ends with a terminator all the
  // same, as later Windows does; older Windows (and Wine) may leave it
  // unterminated, and the program passes the buffer on as a string.
  if (n >= nSize && nSize > 0) lpFilename[nSize - 1] = u'\0';
  return n;
}

}  // namespace plat
