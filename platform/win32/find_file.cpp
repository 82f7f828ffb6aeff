// Looking a file up by name: the kernel32 calls. The program keeps only the
// search handle, so the record gets the attributes and the name.
#include <algorithm>
#include <iterator>

#include "platform/win32/file_path.h"
#include "platform/win32/win32.h"

namespace plat {

HANDLE FindFirstFileW(const char16_t* lpFileName,
                      WIN32_FIND_DATAW* lpFindFileData) {
  ::WIN32_FIND_DATAW native{};
  HANDLE search = ::FindFirstFileW(win32::FilePath(lpFileName).get(), &native);
  if (search != INVALID_HANDLE_VALUE && lpFindFileData != nullptr) {
    static_assert(sizeof native.cFileName == sizeof lpFindFileData->cFileName,
                  "names of the same length");
    lpFindFileData->dwFileAttributes = native.dwFileAttributes;
    std::copy(std::begin(native.cFileName), std::end(native.cFileName),
              std::begin(lpFindFileData->cFileName));
  }
  return search;
}

BOOL FindClose(HANDLE hFindFile) { return ::FindClose(hFindFile); }

}  // namespace plat
