// Shared by the parts of the in-memory device: the call log, the failure
// switches, and the resets that fake::reset() runs.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <type_traits>

#include "platform/fake/device.h"
#include "platform/types.h"

namespace fake {

constexpr size_t kOpCount = static_cast<size_t>(Op::OpCount);

struct Failure {
  int times;
  int after;
};

// Guards the log and the failure switches; never held while program code
// runs.
extern std::mutex deviceMutex;

// With deviceMutex held: a new log entry (null once the log is full), and
// whether this call of `op` is to fail.
Call* record(Op op);
bool shouldFail(Op op);
void copyUnits(char16_t* target, size_t capacity, const char16_t* source);
void copyBytes(Call* c, const void* bytes, size_t size);


template <typename T>
uintptr_t asArg(T value) {
  if constexpr (std::is_pointer_v<T>)
    return reinterpret_cast<uintptr_t>(value);
  else
    return static_cast<uintptr_t>(value);
}

// Registry keys and file paths are compared ignoring the case of ASCII
// letters, which is all they hold here.
std::u16string folded(const std::u16string& text);

void resetRegistry();
void resetFiles();
void resetContacts();
void resetUi();
// Closes a file handle of the file system; false for any other handle.
bool closeFile(plat::HANDLE handle);
// Closes a handle CreateThread gave; false for any other handle.
bool closeThread(plat::HANDLE handle);
// With deviceMutex held: a destroyed window's timers go with it.
void dropWindowTimers(plat::HWND window);

// Without deviceMutex held: delivers a message as the platform would, to
// the window procedure, the dialog procedure (recorded in its run), a
// control's own behaviour, or a foreign window's list; 0 for a window that
// is gone. Nothing goes into the call log, and a program window's message
// allocates nothing (the timer path).
intptr_t deliverMessage(plat::HWND window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);

}  // namespace fake
