// Report list views with check boxes, the notifications they send their
// dialog, and radio buttons. The records have the platform's layout, so the
// Win32 side hands them on unchanged.
#pragma once

#include "platform/types.h"
#include "platform/window.h"

namespace plat {

constexpr uint32_t WM_NOTIFY = 0x004E;

constexpr uint32_t LVM_FIRST = 0x1000;
constexpr uint32_t LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr uint32_t LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr uint32_t LVM_SETTEXTCOLOR = LVM_FIRST + 36;
constexpr uint32_t LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr uint32_t LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr uint32_t LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr uint32_t LVM_INSERTITEMW = LVM_FIRST + 77;
constexpr uint32_t LVM_INSERTCOLUMNW = LVM_FIRST + 97;
constexpr uint32_t LVM_SETITEMTEXTW = LVM_FIRST + 116;

constexpr uint32_t LVS_EX_CHECKBOXES = 0x04;
constexpr uint32_t LVS_EX_FULLROWSELECT = 0x20;

constexpr uint32_t LVIF_TEXT = 0x01;
constexpr uint32_t LVIF_STATE = 0x08;

constexpr uint32_t LVIS_FOCUSED = 0x01;
constexpr uint32_t LVIS_SELECTED = 0x02;
constexpr uint32_t LVIS_STATEIMAGEMASK = 0xF000;

// LVM_GETNEXTITEM's flags; start -1 searches from the first row.
constexpr uint32_t LVNI_SELECTED = 0x02;

constexpr uint32_t LVCF_FMT = 0x01;
constexpr uint32_t LVCF_WIDTH = 0x02;
constexpr uint32_t LVCF_TEXT = 0x04;
constexpr uint32_t LVCF_SUBITEM = 0x08;
constexpr int32_t LVCFMT_LEFT = 0;

// Notification codes are negative numbers carried in an unsigned field.
constexpr uint32_t LVN_ITEMCHANGED = static_cast<uint32_t>(-100 - 1);

// A row's check box is its state image: 1 unticked, 2 ticked.
constexpr uint32_t indexToStateImageMask(uint32_t index) { return index << 12; }

// Buttons of the automatic radio kind: a click sets the button and clears
// the others of its group.
constexpr uint32_t BS_AUTORADIOBUTTON = 0x09;

struct LVITEMW {
  uint32_t mask;
  int32_t iItem;
  int32_t iSubItem;
  uint32_t state;
  uint32_t stateMask;
  char16_t* pszText;
  int32_t cchTextMax;
  int32_t iImage;
  LPARAM lParam;
  int32_t iIndent;
  int32_t iGroupId;
  uint32_t cColumns;
  uint32_t* puColumns;
  int32_t* piColFmt;
  int32_t iGroup;
};

struct LVCOLUMNW {
  uint32_t mask;
  int32_t fmt;
  int32_t cx;
  char16_t* pszText;
  int32_t cchTextMax;
  int32_t iSubItem;
  int32_t iImage;
  int32_t iOrder;
  int32_t cxMin;
  int32_t cxDefault;
  int32_t cxIdeal;
};

struct NMHDR {
  HWND hwndFrom;
  uintptr_t idFrom;
  uint32_t code;
};

struct NMLISTVIEW {
  NMHDR hdr;
  int32_t iItem;
  int32_t iSubItem;
  uint32_t uNewState;
  uint32_t uOldState;
  uint32_t uChanged;
  POINT ptAction;
  LPARAM lParam;
};

// A disabled window takes no taps.
BOOL EnableWindow(HWND hWnd, BOOL bEnable);

}  // namespace plat
