// The startup folder and shortcuts. The folder is the desktop's own; the
// shortcut is a real shell link (.lnk) made through IShellLinkW, so that
// the desktop's shell starts the program from it as the handset's would.
#include "platform/win32/win32.h"

#include <objidl.h>
#include <shlguid.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

// <shlobj.h> spells this name as a macro for its A or W form, which would
// rename plat's function below.
#undef SHGetSpecialFolderPath

namespace {

// The handset's target is a path, or a quoted path followed by arguments
// (the form for paths with spaces); without quotes the whole text is the
// path.
bool splitTarget(const wchar_t* target, std::wstring* path,
                 std::wstring* arguments) {
  if (target[0] != L'"') {
    *path = target;
    arguments->clear();
  } else {
    const wchar_t* close = std::wcschr(target + 1, L'"');
    if (close == nullptr) close = target + std::wcslen(target);
    path->assign(target + 1, close);
    const wchar_t* rest = *close == L'"' ? close + 1 : close;
    while (*rest == L' ' || *rest == L'\t') ++rest;
    *arguments = rest;
  }
  return !path->empty();
}

bool saveShortcut(const wchar_t* shortcut, const std::wstring& path,
                  const std::wstring& arguments) {
  IShellLinkW* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = SUCCEEDED(link->SetPath(path.c_str())) &&
            (arguments.empty() ||
             SUCCEEDED(link->SetArguments(arguments.c_str()))) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile,
                                           reinterpret_cast<void**>(&file)));
  if (file != nullptr) {
    ok = ok && SUCCEEDED(file->Save(shortcut, TRUE));
    file->Release();
  }
  link->Release();
  return ok;
}

}  // namespace

namespace plat {

BOOL SHGetSpecialFolderPath(HWND hwndOwner, char16_t* lpszPath,
                            int32_t nFolder, BOOL fCreate) {
  if (lpszPath == nullptr) return FALSE;
  return ::SHGetSpecialFolderPathW(win32::nativeWindow(hwndOwner),
                                   reinterpret_cast<wchar_t*>(lpszPath),
                                   nFolder, fCreate);
}

BOOL SHCreateShortcut(const char16_t* szShortcut, const char16_t* szTarget) {
  if (szShortcut == nullptr || szTarget == nullptr) return FALSE;
  std::wstring path, arguments;
  if (!splitTarget(win32::wide(szTarget), &path, &arguments)) return FALSE;
  // The shell link lives in COM. A thread already in an apartment of the
  // other kind (RPC_E_CHANGED_MODE) can use it as it is; any successful
  // start, S_FALSE included, is balanced before returning.
  const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) return FALSE;
  const bool ok = saveShortcut(win32::wide(szShortcut), path, arguments);
  if (SUCCEEDED(init)) ::CoUninitialize();
  return ok ? TRUE : FALSE;
}

}  // namespace plat
