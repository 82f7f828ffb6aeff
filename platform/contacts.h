// The device's contact store, reached through COM: an application object
// that logs on, its contacts folder, the folder's item collection and the
// contacts in it. Texts are handed out as BSTRs that the caller frees.
#pragma once

#include "platform/types.h"

namespace plat {

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
    return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

constexpr GUID CLSID_Application = {
    0x05058F23, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
constexpr GUID IID_IPOutlookApp = {
    0x05058F22, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
constexpr GUID IID_IPOutlookItemCollection = {
    0x6E3DBE90, 0x5411, 0x11D3, {0x8F, 0x39, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};

constexpr uint32_t COINIT_MULTITHREADED = 0;
constexpr uint32_t CLSCTX_INPROC_SERVER = 1;
constexpr int32_t olFolderContacts = 10;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);

using BSTR = char16_t*;
void SysFreeString(BSTR text);

struct IUnknown {
  virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct IContact : IUnknown {
  virtual HRESULT get_FirstName(BSTR* text) = 0;
  virtual HRESULT get_LastName(BSTR* text) = 0;
  virtual HRESULT get_HomeTelephoneNumber(BSTR* text) = 0;
  virtual HRESULT get_Home2TelephoneNumber(BSTR* text) = 0;
  virtual HRESULT get_BusinessTelephoneNumber(BSTR* text) = 0;
  virtual HRESULT get_Business2TelephoneNumber(BSTR* text) = 0;
  virtual HRESULT get_MobileTelephoneNumber(BSTR* text) = 0;
  virtual HRESULT get_CarTelephoneNumber(BSTR* text) = 0;
  virtual HRESULT get_Categories(BSTR* text) = 0;

 protected:
  ~IContact() = default;
};

struct IPOutlookItemCollection : IUnknown {
  virtual HRESULT get_Count(int32_t* count) = 0;
  // Items are numbered from 1; the object comes back as an IContact.
  virtual HRESULT Item(int32_t index, IContact** contact) = 0;

 protected:
  ~IPOutlookItemCollection() = default;
};

struct IFolder : IUnknown {
  virtual HRESULT get_Items(IPOutlookItemCollection** items) = 0;

 protected:
  ~IFolder() = default;
};

struct IPOutlookApp : IUnknown {
  virtual HRESULT Logon(intptr_t hWnd) = 0;
  virtual HRESULT Logoff() = 0;
  virtual HRESULT GetDefaultFolder(int32_t folderType, IFolder** folder) = 0;

 protected:
  ~IPOutlookApp() = default;
};

HRESULT CoInitializeEx(void* pvReserved, uint32_t dwCoInit);
void CoUninitialize();
HRESULT CoCreateInstance(const GUID& rclsid, IUnknown* pUnkOuter,
                         uint32_t dwClsContext, const GUID& riid,
                         void** ppv);

}  // namespace plat
