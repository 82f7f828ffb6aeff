// Files, read and written through handles (closed with CloseHandle).
#pragma once

#include "platform/types.h"

namespace plat {

inline HANDLE const INVALID_HANDLE_VALUE =
    reinterpret_cast<HANDLE>(~static_cast<uintptr_t>(0));

constexpr uint32_t GENERIC_READ = 0x80000000u;
constexpr uint32_t GENERIC_WRITE = 0x40000000u;
constexpr uint32_t FILE_SHARE_READ = 1;
constexpr uint32_t FILE_SHARE_WRITE = 2;
constexpr uint32_t CREATE_ALWAYS = 2;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t FILE_BEGIN = 0;
constexpr uint32_t MOVEFILE_REPLACE_EXISTING = 1;
constexpr uint32_t MOVEFILE_WRITE_THROUGH = 8;

HANDLE CreateFileW(const char16_t* lpFileName, uint32_t dwDesiredAccess,
                   uint32_t dwShareMode, const void* lpSecurityAttributes,
                   uint32_t dwCreationDisposition,
                   uint32_t dwFlagsAndAttributes, HANDLE hTemplateFile);

uint32_t SetFilePointer(HANDLE hFile, int32_t lDistanceToMove,
                        int32_t* lpDistanceToMoveHigh, uint32_t dwMoveMethod);

// A read of 0 bytes with a true result is the end of the file.
BOOL ReadFile(HANDLE hFile, void* lpBuffer, uint32_t nNumberOfBytesToRead,
              uint32_t* lpNumberOfBytesRead, void* lpOverlapped);

BOOL WriteFile(HANDLE hFile, const void* lpBuffer,
               uint32_t nNumberOfBytesToWrite, uint32_t* lpNumberOfBytesWritten,
               void* lpOverlapped);

BOOL DeleteFileW(const char16_t* lpFileName);

// Renames a file; with MOVEFILE_REPLACE_EXISTING an existing target is
// replaced in one step.
BOOL MoveFileExW(const char16_t* lpExistingFileName,
                 const char16_t* lpNewFileName, uint32_t dwFlags);

constexpr uint32_t MAX_PATH = 260;

// Only the search handle matters to the program; the record is opaque.
struct WIN32_FIND_DATAW {
  uint32_t dwFileAttributes;
  char16_t cFileName[MAX_PATH];
};

HANDLE FindFirstFileW(const char16_t* lpFileName,
                      WIN32_FIND_DATAW* lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// The program's own path when hModule is null; returns the units copied.
uint32_t GetModuleFileNameW(HINSTANCE hModule, char16_t* lpFilename,
                            uint32_t nSize);

}  // namespace plat
