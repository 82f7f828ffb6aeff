#include "tests/win32/plat_support.h"

#include "platform/win32/win32.h"

namespace plat_support {
namespace {

const wchar_t* wide(const std::u16string& s) { return win32::wide(s.c_str()); }

constexpr char16_t kTestsKey[] = u"Software\\Vantorel Tests";

}  // namespace

std::u16string freshTempPath(const char16_t* tag) {
  static LONG counter = 0;
  wchar_t folder[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  const std::wstring path =
      std::wstring(folder) + L"vantorel-" + win32::wide(tag) + L"-" +
      std::to_wstring(GetCurrentProcessId()) + L"-" +
      std::to_wstring(InterlockedIncrement(&counter)) + L".tmp";
  return std::u16string(path.begin(), path.end());
}

bool fileExists(const std::u16string& path) {
  return GetFileAttributesW(wide(path)) != INVALID_FILE_ATTRIBUTES;
}

bool readFile(const std::u16string& path, std::string* bytes) {
  HANDLE file = CreateFileW(wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buffer[4096];
  DWORD got = 0;
  bool ok;
  while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) &&
         got > 0)
    bytes->append(buffer, got);
  ::CloseHandle(file);
  return ok;
}

bool writeFile(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes.data(),
                              static_cast<DWORD>(bytes.size()), &written,
                              nullptr) &&
                  written == bytes.size();
  ::CloseHandle(file);
  return ok;
}

std::u16string freshMachineKey() {
  static LONG counter = 0;
  const std::wstring tail = L"\\" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" +
                            std::to_wstring(InterlockedIncrement(&counter));
  return kTestsKey + std::u16string(tail.begin(), tail.end());
}

bool machineKeyExists(const std::u16string& path) {
  ::HKEY key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(path), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

bool machineValue(const std::u16string& path, const char16_t* name,
                  uint32_t* type, std::vector<uint8_t>* bytes) {
  ::HKEY key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(path), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  // The raw stored bytes: RegGetValueW would terminate strings for us.
  DWORD size = 0, t = 0;
  bool ok = ::RegQueryValueExW(key, win32::wide(name), nullptr, &t, nullptr,
                               &size) == ERROR_SUCCESS;
  bytes->assign(size + 1, 0);
  ok = ok && ::RegQueryValueExW(key, win32::wide(name), nullptr, &t,
                                bytes->data(), &size) == ERROR_SUCCESS;
  ::RegCloseKey(key);
  bytes->resize(size);
  *type = t;
  return ok;
}

void deleteMachineTree(const std::u16string& path) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, wide(path));
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, wide(path));
  // The shared parent goes once no test process holds anything under it.
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, win32::wide(kTestsKey));
}

uint32_t ansiCodePage() { return GetACP(); }

}  // namespace plat_support
