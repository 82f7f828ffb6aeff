// The stand-ins' registry knobs and the program's folder.
#include "platform/win32/standin_settings.h"

#include "platform/win32/win32.h"

namespace standin_settings {

bool read(const wchar_t* key, const wchar_t* name, std::wstring* value) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD bytes = 0;
    LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ,
                              nullptr, nullptr, &bytes);
    if (rc != ERROR_SUCCESS) return false;
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    rc = RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr,
                      &buffer[0], &bytes);
    if (rc == ERROR_MORE_DATA) continue;  // it grew in between
    if (rc != ERROR_SUCCESS) return false;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    *value = buffer;
    return true;
  }
  return false;
}

std::wstring besideProgram(const wchar_t* fileName) {
  std::wstring module(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, &module[0],
                                       static_cast<DWORD>(module.size()));
    if (n == 0) return fileName;  // the current folder, then
    if (n < module.size()) {
      module.resize(n);
      break;
    }
    module.resize(module.size() * 2);
  }
  const size_t slash = module.find_last_of(L"\\/");
  module.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return module + fileName;
}

}  // namespace standin_settings
