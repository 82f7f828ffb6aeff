// Modal dialogs built from templates in the program's resources, their
// controls, and message boxes.
#pragma once

#include "platform/types.h"
#include "platform/window.h"

namespace plat {

struct ResourceObject;
using HRSRC = ResourceObject*;
struct LoadedResource;
using HGLOBAL = LoadedResource*;

using DLGPROC = intptr_t (*)(HWND, uint32_t, WPARAM, LPARAM);

constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_CTLCOLORBTN = 0x0135;
constexpr uint32_t WM_CTLCOLORDLG = 0x0136;
constexpr uint32_t WM_CTLCOLORSTATIC = 0x0138;

constexpr uint32_t BM_GETCHECK = 0x00F0;
constexpr uint32_t BM_SETCHECK = 0x00F1;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;

constexpr uint16_t BN_CLICKED = 0;
constexpr uint16_t EN_SETFOCUS = 0x0100;
constexpr uint16_t EN_KILLFOCUS = 0x0200;

constexpr uint32_t MB_OK = 0;
constexpr uint32_t MB_ICONHAND = 0x10;
constexpr int32_t IDOK = 1;

// The resource type of dialog templates, as an identifier.
inline const char16_t* RT_DIALOG() { return makeIntResource(5); }

HRSRC FindResourceW(HINSTANCE hModule, const char16_t* lpName,
                    const char16_t* lpType);
HGLOBAL LoadResource(HINSTANCE hModule, HRSRC hResInfo);
// Runs the dialog modally; returns what EndDialog was given, -1 on failure.
intptr_t DialogBoxIndirectParamW(HINSTANCE hInstance, HGLOBAL hDialogTemplate,
                                 HWND hWndParent, DLGPROC lpDialogFunc,
                                 LPARAM dwInitParam);
BOOL EndDialog(HWND hDlg, intptr_t nResult);

HWND GetDlgItem(HWND hDlg, int32_t nIDDlgItem);
int32_t GetDlgCtrlID(HWND hWnd);
BOOL SetWindowTextW(HWND hWnd, const char16_t* lpString);
// Copies at most nMaxCount - 1 units and a terminator; returns the units.
int32_t GetWindowTextW(HWND hWnd, char16_t* lpString, int32_t nMaxCount);
HWND SetFocus(HWND hWnd);

int32_t MessageBoxW(HWND hWnd, const char16_t* lpText,
                    const char16_t* lpCaption, uint32_t uType);

}  // namespace plat
