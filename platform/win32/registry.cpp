// The registry: the advapi32 calls, with two of the handset's ways mapped
// onto the desktop's (the predefined root and the access mask), and a value
// that does not fit reported without touching the caller's buffer.
#include <algorithm>
#include <vector>

#include "platform/win32/win32.h"

namespace {

// plat spells a predefined root by its 32-bit value; a 64-bit Win32 HKEY
// holds that value sign-extended. Opened keys are plain handles, far below.
::HKEY nativeKey(plat::HKEY key) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(key);
  if (value >= 0x80000000u && value <= 0x8000000Fu)
    return reinterpret_cast<::HKEY>(
        static_cast<intptr_t>(static_cast<int32_t>(value)));
  return reinterpret_cast<::HKEY>(key);
}

// The handset ignores the access mask and the program passes 0. On the
// desktop 0 grants nothing: such a key could not even be read.
REGSAM desktopAccess(uint32_t samDesired, REGSAM instead) {
  return samDesired == 0 ? instead : samDesired;
}

}  // namespace

namespace plat {

LSTATUS RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, uint32_t ulOptions,
                      uint32_t samDesired, HKEY* phkResult) {
  ::HKEY opened = nullptr;
  const LSTATUS rc = ::RegOpenKeyExW(
      nativeKey(hKey), win32::wide(lpSubKey), ulOptions,
      desktopAccess(samDesired, KEY_READ),
      phkResult != nullptr ? &opened : nullptr);
  if (rc == ERROR_SUCCESS && phkResult != nullptr)
    *phkResult = reinterpret_cast<HKEY>(opened);
  return rc;
}

LSTATUS RegQueryValueExW(HKEY hKey, const char16_t* lpValueName,
                         uint32_t* lpReserved, uint32_t* lpType,
                         uint8_t* lpData, uint32_t* lpcbData) {
  const ::HKEY key = nativeKey(hKey);
  const wchar_t* name = win32::wide(lpValueName);
  // Must be null; passed on so that Win32 refuses anything else.
  auto* reserved = reinterpret_cast<LPDWORD>(lpReserved);
  if (lpData == nullptr) {
    DWORD type = 0, size = 0;
    const LSTATUS rc = ::RegQueryValueExW(key, name, reserved, &type, nullptr,
                                          lpcbData != nullptr ? &size : nullptr);
    if (rc == ERROR_SUCCESS && lpType != nullptr) *lpType = type;
    if (rc == ERROR_SUCCESS && lpcbData != nullptr) *lpcbData = size;
    return rc;
  }
  if (lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  // Win32 may write part of a value that does not fit. The value goes into
  // a buffer of its own size first and reaches lpData only whole. Its size
  // is asked again when it grew in between.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    LSTATUS rc = ::RegQueryValueExW(key, name, reserved, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (lpType != nullptr) *lpType = type;
    if (size > *lpcbData) {
      *lpcbData = size;
      return ERROR_MORE_DATA;
    }
    std::vector<BYTE> value(size == 0 ? 1 : size);
    DWORD got = size;
    rc = ::RegQueryValueExW(key, name, reserved, &type, value.data(), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return rc;
    if (lpType != nullptr) *lpType = type;
    std::copy(value.begin(), value.begin() + got, lpData);
    *lpcbData = got;
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LSTATUS RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey,
                        uint32_t Reserved, char16_t* lpClass,
                        uint32_t dwOptions, uint32_t samDesired,
                        const void* lpSecurityAttributes, HKEY* phkResult,
                        uint32_t* lpdwDisposition) {
  ::HKEY created = nullptr;
  DWORD disposition = 0;
  const LSTATUS rc = ::RegCreateKeyExW(
      nativeKey(hKey), win32::wide(lpSubKey), Reserved,
      reinterpret_cast<LPWSTR>(lpClass), dwOptions,
      desktopAccess(samDesired, KEY_READ | KEY_WRITE),
      static_cast<LPSECURITY_ATTRIBUTES>(
          const_cast<void*>(lpSecurityAttributes)),
      phkResult != nullptr ? &created : nullptr, &disposition);
  if (rc != ERROR_SUCCESS) return rc;
  if (phkResult != nullptr) *phkResult = reinterpret_cast<HKEY>(created);
  if (lpdwDisposition != nullptr) *lpdwDisposition = disposition;
  return rc;
}

LSTATUS RegSetValueExW(HKEY hKey, const char16_t* lpValueName,
                       uint32_t Reserved, uint32_t dwType,
                       const uint8_t* lpData, uint32_t cbData) {
  return ::RegSetValueExW(nativeKey(hKey), win32::wide(lpValueName), Reserved,
                          dwType, lpData, cbData);
}

LSTATUS RegCloseKey(HKEY hKey) { return ::RegCloseKey(nativeKey(hKey)); }

}  // namespace plat
