// Files: the kernel32 calls. Counts come back through a DWORD of our own,
// since uint32_t and DWORD are different types to the compiler.
#include "platform/win32/file_path.h"
#include "platform/win32/win32.h"

namespace plat {

HANDLE CreateFileW(const char16_t* lpFileName, uint32_t dwDesiredAccess,
                   uint32_t dwShareMode, const void* lpSecurityAttributes,
                   uint32_t dwCreationDisposition,
                   uint32_t dwFlagsAndAttributes, HANDLE hTemplateFile) {
  return ::CreateFileW(win32::FilePath(lpFileName).get(), dwDesiredAccess,
                       dwShareMode,
                       static_cast<LPSECURITY_ATTRIBUTES>(
                           const_cast<void*>(lpSecurityAttributes)),
                       dwCreationDisposition, dwFlagsAndAttributes,
                       hTemplateFile);
}

uint32_t SetFilePointer(HANDLE hFile, int32_t lDistanceToMove,
                        int32_t* lpDistanceToMoveHigh, uint32_t dwMoveMethod) {
  LONG high = lpDistanceToMoveHigh != nullptr ? *lpDistanceToMoveHigh : 0;
  const DWORD low = ::SetFilePointer(
      hFile, lDistanceToMove, lpDistanceToMoveHigh != nullptr ? &high : nullptr,
      dwMoveMethod);
  if (lpDistanceToMoveHigh != nullptr) *lpDistanceToMoveHigh = high;
  return low;
}

BOOL ReadFile(HANDLE hFile, void* lpBuffer, uint32_t nNumberOfBytesToRead,
              uint32_t* lpNumberOfBytesRead, void* lpOverlapped) {
  DWORD read = 0;
  const BOOL ok = ::ReadFile(hFile, lpBuffer, nNumberOfBytesToRead, &read,
                             static_cast<LPOVERLAPPED>(lpOverlapped));
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = read;
  return ok;
}

BOOL WriteFile(HANDLE hFile, const void* lpBuffer,
               uint32_t nNumberOfBytesToWrite, uint32_t* lpNumberOfBytesWritten,
               void* lpOverlapped) {
  DWORD written = 0;
  const BOOL ok = ::WriteFile(hFile, lpBuffer, nNumberOfBytesToWrite, &written,
                              static_cast<LPOVERLAPPED>(lpOverlapped));
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = written;
  return ok;
}

BOOL DeleteFileW(const char16_t* lpFileName) {
  return ::DeleteFileW(win32::FilePath(lpFileName).get());
}

BOOL MoveFileExW(const char16_t* lpExistingFileName,
                 const char16_t* lpNewFileName, uint32_t dwFlags) {
  return ::MoveFileExW(win32::FilePath(lpExistingFileName).get(),
                       win32::FilePath(lpNewFileName).get(), dwFlags);
}

}  // namespace plat
