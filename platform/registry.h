// The registry: keys with typed, named values.
#pragma once

#include "platform/types.h"

namespace plat {

struct RegistryKeyObject;
using HKEY = RegistryKeyObject*;
using LSTATUS = int32_t;

inline HKEY const HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u));

constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_MORE_DATA = 234;  // the value does not fit

constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_OPTION_NON_VOLATILE = 0;
constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

// Opens an existing key; never creates one.
LSTATUS RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, uint32_t ulOptions,
                      uint32_t samDesired, HKEY* phkResult);

// Copies the value's bytes into lpData when they fit in *lpcbData bytes, and
// sets *lpcbData to the value's size; when they do not fit it returns
// ERROR_MORE_DATA and writes nothing into lpData.
LSTATUS RegQueryValueExW(HKEY hKey, const char16_t* lpValueName,
                         uint32_t* lpReserved, uint32_t* lpType,
                         uint8_t* lpData, uint32_t* lpcbData);

// Opens the key, creating it and any missing level above it.
LSTATUS RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey,
                        uint32_t Reserved, char16_t* lpClass,
                        uint32_t dwOptions, uint32_t samDesired,
                        const void* lpSecurityAttributes, HKEY* phkResult,
                        uint32_t* lpdwDisposition);

LSTATUS RegSetValueExW(HKEY hKey, const char16_t* lpValueName,
                       uint32_t Reserved, uint32_t dwType,
                       const uint8_t* lpData, uint32_t cbData);

LSTATUS RegCloseKey(HKEY hKey);

}  // namespace plat
