// Threads: the kernel32 call.
#include "platform/win32/callbacks.h"
#include "platform/win32/win32.h"

namespace plat {

HANDLE CreateThread(const void* lpThreadAttributes, size_t dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, void* lpParameter,
                    uint32_t dwCreationFlags, uint32_t* lpThreadId) {
  DWORD id = 0;
  HANDLE thread = ::CreateThread(
      static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(lpThreadAttributes)),
      dwStackSize, win32::nativeThreadStart(lpStartAddress), lpParameter,
      dwCreationFlags, &id);
  if (lpThreadId != nullptr) *lpThreadId = id;
  return thread;
}

}  // namespace plat
