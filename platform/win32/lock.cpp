// Sleep and the one lock of the process.
#include "platform/win32/win32.h"

namespace {

// Made on first use (the compiler guards the initialisation of a local
// static against concurrent first calls) and never destroyed, so a thread
// still running at process exit never meets a deleted section.
struct CallLockSection {
  CRITICAL_SECTION section;
  CallLockSection() { InitializeCriticalSection(&section); }
};

CRITICAL_SECTION* callLock() {
  static CallLockSection lock;
  return &lock.section;
}

}  // namespace

namespace plat {

void Sleep(uint32_t dwMilliseconds) { ::Sleep(dwMilliseconds); }

void EnterCallLock() { EnterCriticalSection(callLock()); }

void LeaveCallLock() { LeaveCriticalSection(callLock()); }

}  // namespace plat
