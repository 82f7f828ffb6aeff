// Portable names for the handful of platform value types the program passes
// around. Handles are opaque pointers; each backend decides what they point to.
#pragma once

#include <cstdint>

namespace plat {

using HRESULT = int32_t;
using BOOL = int32_t;
using HANDLE = void*;

struct WindowObject;
using HWND = WindowObject*;
struct InstanceObject;
using HINSTANCE = InstanceObject*;

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

}  // namespace plat
