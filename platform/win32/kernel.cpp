// Kernel handles.
#include "platform/win32/win32.h"

namespace plat {

BOOL CloseHandle(HANDLE hObject) { return ::CloseHandle(hObject); }

}  // namespace plat
