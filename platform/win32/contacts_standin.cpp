// Contact store stand-in: COM initialisation is the real one of ole32; the
// application object and everything it hands out come from
// platform/standin over the vCard file that the "File" knob names, and the
// texts are real BSTRs of oleaut32. Knobs and rules: docs/contact-store.md.
#include <string>

#include "platform/standin/contact_store.h"
#include "platform/win32/standin_settings.h"
#include "platform/win32/win32.h"

#include <objbase.h>
#include <oleauto.h>

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Vantorel Stand-ins\\Contacts";
constexpr wchar_t kDefaultFile[] = L"contacts.vcf";
// Far beyond any phone book; a bigger file is refused, not read into memory.
constexpr size_t kMaxFileSize = size_t{64} << 20;

plat::HRESULT lastError() {
  const DWORD error = GetLastError();
  return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

std::wstring storePath() {
  std::wstring path;
  if (standin_settings::read(kSettingsKey, L"File", &path) && !path.empty())
    return path;
  return standin_settings::besideProgram(kDefaultFile);
}

// A missing file gives HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) or
// (ERROR_PATH_NOT_FOUND); any other reason it cannot be read, its own.
plat::HRESULT readStore(std::string* bytes) {
  HANDLE file = CreateFileW(storePath().c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE |
                                FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastError();
  plat::HRESULT result = S_OK;
  bytes->clear();
  char chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
      result = lastError();
      break;
    }
    if (got == 0) break;
    if (bytes->size() + got > kMaxFileSize) {
      result = HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
      break;
    }
    bytes->append(chunk, got);
  }
  ::CloseHandle(file);
  if (result != S_OK) bytes->clear();
  return result;
}

std::u16string failKnob() {
  std::wstring value;
  if (!standin_settings::read(kSettingsKey, L"Fail", &value)) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(value.data()),
                        value.size());
}

plat::BSTR allocText(const char16_t* text, uint32_t length) {
  return reinterpret_cast<plat::BSTR>(
      SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text), length));
}

const standin::ContactStoreHost kHost = {readStore, failKnob, allocText};

}  // namespace

namespace plat {

void SysFreeString(BSTR text) {
  ::SysFreeString(reinterpret_cast<::BSTR>(text));
}

HRESULT CoInitializeEx(void* pvReserved, uint32_t dwCoInit) {
  return ::CoInitializeEx(pvReserved, dwCoInit);
}

void CoUninitialize() { ::CoUninitialize(); }

HRESULT CoCreateInstance(const GUID& rclsid, IUnknown* pUnkOuter,
                         uint32_t dwClsContext, const GUID& riid,
                         void** ppv) {
  // The objects need nothing of COM, but the real CoCreateInstance refuses
  // a thread without it, and so a missing CoInitializeEx shows here too.
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  if (CoGetApartmentType(&type, &qualifier) == CO_E_NOTINITIALIZED) {
    if (ppv != nullptr) *ppv = nullptr;
    return CO_E_NOTINITIALIZED;
  }
  return standin::createApplication(&kHost, rclsid, pUnkOuter, dwClsContext,
                                    riid, ppv);
}

}  // namespace plat
