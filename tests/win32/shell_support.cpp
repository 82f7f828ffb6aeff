#include "tests/win32/shell_support.h"

#include "platform/win32/win32.h"

#include <objidl.h>
#include <shlguid.h>
#include <shlobj.h>

namespace shell_support {
namespace {

constexpr wchar_t kShellKey[] = L"Software\\Vantorel Stand-ins\\Shell";

const wchar_t* wide(const std::u16string& s) { return win32::wide(s.c_str()); }

}  // namespace

void clearShellState() { RegDeleteTreeW(HKEY_CURRENT_USER, kShellKey); }

bool inputPanel(std::u16string* state) {
  wchar_t text[32] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, kShellKey, L"InputPanel", RRF_RT_REG_SZ,
                   nullptr, text, &size) != ERROR_SUCCESS)
    return false;
  *state = reinterpret_cast<const char16_t*>(text);
  return true;
}

bool callRecord(const char16_t* call, CallRecord* record) {
  const std::wstring key =
      std::wstring(kShellKey) + L"\\" + win32::wide(call);
  uint32_t* fields[] = {&record->calls, &record->window, &record->state};
  const wchar_t* names[] = {L"Calls", L"Window", L"State"};
  for (int i = 0; i < 3; ++i) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), names[i],
                     RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
      return false;
    *fields[i] = value;
  }
  return true;
}

bool readShortcut(const std::u16string& path, std::u16string* target,
                  std::u16string* arguments) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t got[MAX_PATH] = {};
  wchar_t args[MAX_PATH] = {};
  bool ok =
      SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr,
                                 CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile,
                                     reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(wide(path), STGM_READ)) &&
      SUCCEEDED(link->GetPath(got, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
      SUCCEEDED(link->GetArguments(args, MAX_PATH));
  if (file != nullptr) file->Release();
  if (link != nullptr) link->Release();
  if (SUCCEEDED(init)) CoUninitialize();
  *target = reinterpret_cast<const char16_t*>(got);
  *arguments = reinterpret_cast<const char16_t*>(args);
  return ok;
}

int32_t probeApartment() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr;
}

void enterApartment(bool multithreaded) {
  CoInitializeEx(nullptr, multithreaded ? COINIT_MULTITHREADED
                                        : COINIT_APARTMENTTHREADED);
}

void leaveApartment() { CoUninitialize(); }

bool isFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace shell_support
