// List views: the records and numbers of platform/list_view.h are the
// common controls' own, so SendMessageW hands them on unchanged. What is
// left is EnableWindow.
//
// The portable values are taken before <windows.h> and <commctrl.h>: their
// macros of the same names would spell over plat's constants.
#include "platform/list_view.h"

#include <cstddef>

#define VANTOREL_LIST_VIEW_CONSTANTS(X)                                 \
  X(WM_NOTIFY)                                                          \
  X(LVM_FIRST)                                                          \
  X(LVM_GETITEMCOUNT)                                                   \
  X(LVM_GETNEXTITEM)                                                    \
  X(LVM_SETTEXTCOLOR)                                                   \
  X(LVM_SETITEMSTATE)                                                   \
  X(LVM_GETITEMSTATE)                                                   \
  X(LVM_SETEXTENDEDLISTVIEWSTYLE)                                       \
  X(LVM_INSERTITEMW)                                                    \
  X(LVM_INSERTCOLUMNW)                                                  \
  X(LVM_SETITEMTEXTW)                                                   \
  X(LVS_EX_CHECKBOXES)                                                  \
  X(LVS_EX_FULLROWSELECT)                                               \
  X(LVIF_TEXT)                                                          \
  X(LVIF_STATE)                                                         \
  X(LVIS_FOCUSED)                                                       \
  X(LVIS_SELECTED)                                                      \
  X(LVIS_STATEIMAGEMASK)                                                \
  X(LVNI_SELECTED)                                                      \
  X(LVCF_FMT)                                                           \
  X(LVCF_WIDTH)                                                         \
  X(LVCF_TEXT)                                                          \
  X(LVCF_SUBITEM)                                                       \
  X(LVCFMT_LEFT)                                                        \
  X(LVN_ITEMCHANGED)                                                    \
  X(BS_AUTORADIOBUTTON)

namespace {
#define VANTOREL_KEEP_PORTABLE(name) \
  constexpr uint32_t portable_##name = static_cast<uint32_t>(plat::name);
VANTOREL_LIST_VIEW_CONSTANTS(VANTOREL_KEEP_PORTABLE)
#undef VANTOREL_KEEP_PORTABLE
constexpr uint32_t portableTickedImage = plat::indexToStateImageMask(2);
}  // namespace

#include "platform/win32/win32.h"

#include <commctrl.h>

// Compared as the 32 bits a message carries: the Win32 macros mix int and
// unsigned values.
#define VANTOREL_SAME_AS_WIN32(name)                              \
  static_assert(portable_##name == static_cast<uint32_t>(name),   \
                #name " differs from Win32's");
VANTOREL_LIST_VIEW_CONSTANTS(VANTOREL_SAME_AS_WIN32)
#undef VANTOREL_SAME_AS_WIN32
#undef VANTOREL_LIST_VIEW_CONSTANTS
static_assert(portableTickedImage == INDEXTOSTATEIMAGEMASK(2),
              "the state image sits in bits 12 to 15");

#define VANTOREL_SAME_FIELD(type, field)                      \
  static_assert(offsetof(plat::type, field) ==                \
                        offsetof(::type, field) &&            \
                    sizeof(plat::type::field) ==              \
                        sizeof(::type::field),                \
                #type "::" #field " lies elsewhere than in Win32's");

static_assert(sizeof(plat::LVITEMW) == sizeof(::LVITEMW), "LVITEMW's size");
VANTOREL_SAME_FIELD(LVITEMW, mask)
VANTOREL_SAME_FIELD(LVITEMW, iItem)
VANTOREL_SAME_FIELD(LVITEMW, iSubItem)
VANTOREL_SAME_FIELD(LVITEMW, state)
VANTOREL_SAME_FIELD(LVITEMW, stateMask)
VANTOREL_SAME_FIELD(LVITEMW, pszText)
VANTOREL_SAME_FIELD(LVITEMW, cchTextMax)
VANTOREL_SAME_FIELD(LVITEMW, iImage)
VANTOREL_SAME_FIELD(LVITEMW, lParam)
VANTOREL_SAME_FIELD(LVITEMW, iIndent)
VANTOREL_SAME_FIELD(LVITEMW, iGroupId)
VANTOREL_SAME_FIELD(LVITEMW, cColumns)
VANTOREL_SAME_FIELD(LVITEMW, puColumns)
VANTOREL_SAME_FIELD(LVITEMW, piColFmt)
VANTOREL_SAME_FIELD(LVITEMW, iGroup)

static_assert(sizeof(plat::LVCOLUMNW) == sizeof(::LVCOLUMNW),
              "LVCOLUMNW's size");
VANTOREL_SAME_FIELD(LVCOLUMNW, mask)
VANTOREL_SAME_FIELD(LVCOLUMNW, fmt)
VANTOREL_SAME_FIELD(LVCOLUMNW, cx)
VANTOREL_SAME_FIELD(LVCOLUMNW, pszText)
VANTOREL_SAME_FIELD(LVCOLUMNW, cchTextMax)
VANTOREL_SAME_FIELD(LVCOLUMNW, iSubItem)
VANTOREL_SAME_FIELD(LVCOLUMNW, iImage)
VANTOREL_SAME_FIELD(LVCOLUMNW, iOrder)
VANTOREL_SAME_FIELD(LVCOLUMNW, cxMin)
VANTOREL_SAME_FIELD(LVCOLUMNW, cxDefault)
VANTOREL_SAME_FIELD(LVCOLUMNW, cxIdeal)

static_assert(sizeof(plat::NMHDR) == sizeof(::NMHDR), "NMHDR's size");
VANTOREL_SAME_FIELD(NMHDR, hwndFrom)
VANTOREL_SAME_FIELD(NMHDR, idFrom)
VANTOREL_SAME_FIELD(NMHDR, code)

static_assert(sizeof(plat::NMLISTVIEW) == sizeof(::NMLISTVIEW),
              "NMLISTVIEW's size");
VANTOREL_SAME_FIELD(NMLISTVIEW, hdr)
VANTOREL_SAME_FIELD(NMLISTVIEW, iItem)
VANTOREL_SAME_FIELD(NMLISTVIEW, iSubItem)
VANTOREL_SAME_FIELD(NMLISTVIEW, uNewState)
VANTOREL_SAME_FIELD(NMLISTVIEW, uOldState)
VANTOREL_SAME_FIELD(NMLISTVIEW, uChanged)
VANTOREL_SAME_FIELD(NMLISTVIEW, ptAction)
VANTOREL_SAME_FIELD(NMLISTVIEW, lParam)
#undef VANTOREL_SAME_FIELD

namespace plat {

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  return ::EnableWindow(win32::nativeWindow(hWnd), bEnable);
}

}  // namespace plat
