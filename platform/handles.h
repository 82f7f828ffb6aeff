// Kernel handles shared by several services (events, threads, files).
#pragma once

#include "platform/types.h"

namespace plat {

BOOL CloseHandle(HANDLE hObject);

}  // namespace plat
