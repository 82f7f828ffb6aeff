// Reading back what the shell stand-in did, as another process would: its
// registry values (docs/shell-standin.md) and the shortcut files it makes.
// Free of <windows.h>, like window_support.h.
#pragma once

#include <cstdint>
#include <string>

namespace shell_support {

// Removes HKEY_CURRENT_USER\Software\Vantorel Stand-ins\Shell and all that
// is under it.
void clearShellState();

// "InputPanel"; false when it is absent.
bool inputPanel(std::u16string* state);

// The values of one call's subkey; false when the call was never recorded.
struct CallRecord {
  uint32_t calls = 0;
  uint32_t window = 0;
  uint32_t state = 0;
};
bool callRecord(const char16_t* call, CallRecord* record);

// A shell link read back through IShellLinkW; false when it does not load.
bool readShortcut(const std::u16string& path, std::u16string* target,
                  std::u16string* arguments);

// What a first CoInitializeEx (multithreaded) on this thread gives: S_OK
// where the thread was in no apartment. The call is balanced.
int32_t probeApartment();
// Puts this thread into an apartment (or takes it out again).
void enterApartment(bool multithreaded);
void leaveApartment();

// Whether the path is an existing folder.
bool isFolder(const std::u16string& path);

}  // namespace shell_support
