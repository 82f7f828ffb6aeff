// The one way into <windows.h> for platform/win32 and the Windows-only tests.
//
// The portable headers come first: they define constants (S_OK, E_FAIL,
// WM_TIMER) that <windows.h> also defines as macros, and a macro defined
// before those declarations would break them. After this header the macros
// stand for the same values, so code in namespace plat can use S_OK and
// E_FAIL unqualified. The one exception is HKEY_LOCAL_MACHINE: the macro
// is the 64-bit Win32 handle, which registry.cpp maps plat's value onto.
// Inside namespace plat, type names such as HWND and MSG are plat's, so a
// macro that casts to a Win32 type (HWND_TOPMOST) is used outside it.
#pragma once

#include "platform/codepage.h"
#include "platform/contacts.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/list_view.h"
#include "platform/pocket_shell.h"
#include "platform/radio.h"
#include "platform/registry.h"
#include "platform/sms.h"
#include "platform/thread.h"
#include "platform/timer.h"
#include "platform/tray.h"
#include "platform/types.h"
#include "platform/window.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

static_assert(sizeof(wchar_t) == 2,
              "a char16_t text passes to a W function as wchar_t");
static_assert(sizeof(plat::HANDLE) == sizeof(::HANDLE) &&
                  sizeof(plat::HWND) == sizeof(::HWND) &&
                  sizeof(plat::HKEY) == sizeof(::HKEY),
              "plat handles hold Win32 handles");

namespace win32 {

inline const wchar_t* wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

inline ::HWND nativeWindow(plat::HWND window) {
  return reinterpret_cast<::HWND>(window);
}

}  // namespace win32
