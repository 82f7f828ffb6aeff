// Windows, their classes and messages, the message loop and accelerators.
#pragma once

#include "platform/types.h"

namespace plat {

struct IconObject;
using HICON = IconObject*;
struct AccelObject;
using HACCEL = AccelObject*;
struct GdiObject;  // brushes and fonts
using HBRUSH = GdiObject*;

using WNDPROC = LRESULT (*)(HWND, uint32_t, WPARAM, LPARAM);

constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_SETTINGCHANGE = 0x001A;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_USER = 0x0400;

constexpr uint32_t WA_INACTIVE = 0;

constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t WS_VISIBLE = 0x10000000u;
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000u);

constexpr int32_t SW_HIDE = 0;
constexpr int32_t SW_SHOW = 5;

constexpr int32_t SM_CXSCREEN = 0;
constexpr int32_t SM_CYSCREEN = 1;

constexpr uint32_t IMAGE_ICON = 1;

struct WNDCLASSW {
  uint32_t style;
  WNDPROC lpfnWndProc;
  int32_t cbClsExtra;
  int32_t cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  void* hCursor;
  HBRUSH hbrBackground;
  const char16_t* lpszMenuName;
  const char16_t* lpszClassName;
};

struct POINT {
  int32_t x;
  int32_t y;
};

struct RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct MSG {
  HWND hwnd;
  uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
  uint32_t time;
  POINT pt;
};

// Resource identifiers travel in the name argument, as the platform's
// MAKEINTRESOURCE does.
inline const char16_t* makeIntResource(uint16_t id) {
  return reinterpret_cast<const char16_t*>(static_cast<uintptr_t>(id));
}

HWND FindWindowW(const char16_t* lpClassName, const char16_t* lpWindowName);
uint16_t RegisterClassW(const WNDCLASSW* lpWndClass);
HWND CreateWindowExW(uint32_t dwExStyle, const char16_t* lpClassName,
                     const char16_t* lpWindowName, uint32_t dwStyle, int32_t X,
                     int32_t Y, int32_t nWidth, int32_t nHeight,
                     HWND hWndParent, void* hMenu, HINSTANCE hInstance,
                     void* lpParam);
BOOL ShowWindow(HWND hWnd, int32_t nCmdShow);
BOOL UpdateWindow(HWND hWnd);
// Repaints the window's rectangle (null: all of it) at the next chance.
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
LRESULT DefWindowProcW(HWND hWnd, uint32_t Msg, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND hWnd);
void PostQuitMessage(int32_t nExitCode);
LRESULT SendMessageW(HWND hWnd, uint32_t Msg, WPARAM wParam, LPARAM lParam);
BOOL MoveWindow(HWND hWnd, int32_t X, int32_t Y, int32_t nWidth,
                int32_t nHeight, BOOL bRepaint);
BOOL SetForegroundWindow(HWND hWnd);
int32_t GetSystemMetrics(int32_t nIndex);

// Returns 0 once the quit message is taken, -1 on failure.
BOOL GetMessageW(MSG* lpMsg, HWND hWnd, uint32_t wMsgFilterMin,
                 uint32_t wMsgFilterMax);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageW(const MSG* lpMsg);
HACCEL LoadAcceleratorsW(HINSTANCE hInstance, const char16_t* lpTableName);
int32_t TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, MSG* lpMsg);

HICON LoadIconW(HINSTANCE hInstance, const char16_t* lpIconName);
// IMAGE_ICON of the given size; the program passes no flags.
void* LoadImageW(HINSTANCE hInst, const char16_t* name, uint32_t type,
                 int32_t cx, int32_t cy, uint32_t fuLoad);
BOOL DestroyIcon(HICON hIcon);

}  // namespace plat
