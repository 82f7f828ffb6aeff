// plat's callbacks (window and dialog procedures, thread start routines) as
// the Win32 types that user32 and kernel32 call.
//
// plat's function types carry no calling convention, Win32's say WINAPI.
// On x86_64 there is only one calling convention (the compiler ignores
// __stdcall), and each parameter and result has the same size and class on
// both sides (pointers, 32-bit unsigned integers, pointer-sized integers),
// so Win32 calls a plat callback correctly through its own type. On 32-bit
// x86 __stdcall is a different convention and these casts would break the
// stack, so the build refuses other architectures.
#pragma once

#include "platform/win32/win32.h"

#if defined(__x86_64__) || defined(_M_X64)
#define VANTOREL_ONE_CALLING_CONVENTION 1
#else
#define VANTOREL_ONE_CALLING_CONVENTION 0
#endif
static_assert(VANTOREL_ONE_CALLING_CONVENTION,
              "plat callbacks are passed to Win32 by a cast, which needs "
              "x86_64's single calling convention");

static_assert(sizeof(plat::WPARAM) == sizeof(::WPARAM) &&
                  sizeof(plat::LPARAM) == sizeof(::LPARAM) &&
                  sizeof(plat::LRESULT) == sizeof(::LRESULT) &&
                  sizeof(intptr_t) == sizeof(::INT_PTR) &&
                  sizeof(uint32_t) == sizeof(::UINT) &&
                  sizeof(uint32_t) == sizeof(::DWORD),
              "plat callbacks take and give what Win32 passes");

namespace win32 {

// Through void (*)(), the one function type that GCC lets a cast convert
// to any other without -Wcast-function-type.
template <typename To, typename From>
To callbackCast(From function) {
  return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

inline ::WNDPROC nativeWndProc(plat::WNDPROC proc) {
  return callbackCast<::WNDPROC>(proc);
}

inline ::DLGPROC nativeDlgProc(plat::DLGPROC proc) {
  return callbackCast<::DLGPROC>(proc);
}

inline ::LPTHREAD_START_ROUTINE nativeThreadStart(
    plat::LPTHREAD_START_ROUTINE start) {
  return callbackCast<::LPTHREAD_START_ROUTINE>(start);
}

}  // namespace win32
