// The real list view under Wine, in a dialog from the program's number rules
// template, driven through plat's records and SendMessageW as the screens
// drive it: rows with check boxes, ticks as state images, the notifications
// the dialog hears, and what a tap on a row's box or on its label does.
// Needs an X display.
#include "platform/list_view.h"
#include "resources/resource_ids.h"
#include "tests/win32/window_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32.h"

#include <commctrl.h>

namespace {

plat::HWND seam(::HWND window) { return reinterpret_cast<plat::HWND>(window); }

plat::LRESULT send(::HWND window, UINT message, WPARAM wParam,
                   LPARAM lParam) {
  return plat::SendMessageW(seam(window), message, wParam, lParam);
}

int tickOf(::HWND list, int row) {
  const auto state = static_cast<uint32_t>(
      send(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return static_cast<int>(state >> 12) - 1;
}

int firstSelected(::HWND list) {
  return static_cast<int>(
      send(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

// An LVN_ITEMCHANGED as the dialog heard it, with what the list answered
// from inside the handler.
struct Change {
  int row;
  UINT oldState, newState, changed;
  int tickInHandler;
  int firstSelectedInHandler;
};

bool operator==(const Change& a, const Change& b) {
  return a.row == b.row && a.oldState == b.oldState &&
         a.newState == b.newState && a.changed == b.changed &&
         a.tickInHandler == b.tickInHandler &&
         a.firstSelectedInHandler == b.firstSelectedInHandler;
}

void PrintTo(const Change& c, std::ostream* out) {
  *out << "{row " << c.row << std::hex << ", 0x" << c.oldState << " -> 0x"
       << c.newState << ", changed 0x" << c.changed << std::dec << ", tick "
       << c.tickInHandler << ", first selected " << c.firstSelectedInHandler
       << "}";
}

// What the dialog heard from the numbers list, in order: the code of every
// notification, and the details of each LVN_ITEMCHANGED.
struct Heard {
  std::vector<UINT> codes;
  std::vector<Change> changes;
};
Heard heard;

INT_PTR CALLBACK rulesProc(::HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_NOTIFY) return FALSE;
  const auto* header = reinterpret_cast<const plat::NMHDR*>(lParam);
  if (header->idFrom != IDC_NUMBERS) return FALSE;
  heard.codes.push_back(header->code);
  if (header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<const plat::NMLISTVIEW*>(lParam);
    ::HWND list = GetDlgItem(dialog, IDC_NUMBERS);
    heard.changes.push_back(Change{change->iItem, change->uOldState,
                                   change->uNewState, change->uChanged,
                                   tickOf(list, change->iItem),
                                   firstSelected(list)});
  }
  return FALSE;
}

constexpr UINT kUnticked = 1 << 12;
constexpr UINT kTicked = 2 << 12;
constexpr UINT kSelectedFocused = LVIS_SELECTED | LVIS_FOCUSED;

const char16_t* const kNames[] = {u"Anna", u"Bert", u"Carla"};

class RealListView : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(window_support::displayReady(&why)) << why;
    heard = Heard{};
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDD_MAIN_RULES),
                                MAKEINTRESOURCEW(5));
    ASSERT_NE(found, nullptr);
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(
        LockResource(LoadResource(self, found)));
    // Left hidden: Wine waits 2 s for a window manager whenever a shown
    // window goes, and Xvfb runs none. Taps and notifications are the same.
    dialog_ = CreateDialogIndirectParamW(self, dialogTemplate, nullptr,
                                         rulesProc, 0);
    ASSERT_NE(dialog_, nullptr);
    list_ = GetDlgItem(dialog_, IDC_NUMBERS);
    ASSERT_NE(list_, nullptr);

    // As the screens fill a list: the styles with mask 0, one column, rows
    // appended with an empty text and state 0, then their texts.
    send(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
         LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(list_, &client);
    plat::LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right;
    column.pszText = const_cast<char16_t*>(u"");
    ASSERT_EQ(send(list_, LVM_INSERTCOLUMNW, 0,
                   reinterpret_cast<LPARAM>(&column)),
              0);
    for (const char16_t* name : kNames) {
      const auto count = static_cast<int>(send(list_, LVM_GETITEMCOUNT, 0, 0));
      plat::LVITEMW row{};
      row.mask = LVIF_TEXT | LVIF_STATE;
      row.iItem = count;
      row.pszText = const_cast<char16_t*>(u"");
      ASSERT_EQ(send(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)),
                count);
      plat::LVITEMW text{};
      text.pszText = const_cast<char16_t*>(name);
      ASSERT_TRUE(send(list_, LVM_SETITEMTEXTW, count,
                       reinterpret_cast<LPARAM>(&text)));
    }
  }

  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }

  void setState(int row, UINT state, UINT mask) {
    plat::LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    send(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  void setTick(int row, int tick) {
    setState(row, plat::indexToStateImageMask(tick + 1), LVIS_STATEIMAGEMASK);
  }
  UINT stateOf(int row) {
    return static_cast<UINT>(send(list_, LVM_GETITEMSTATE, row, ~0u));
  }

  std::u16string textOf(int row) {
    char16_t buffer[64] = {};
    plat::LVITEMW item{};
    item.pszText = buffer;
    item.cchTextMax = 64;
    send(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
  }

  RECT partOf(int row, int part) {
    RECT r{};
    r.left = part;
    send(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return r;
  }

  // Where a person taps the row's check box: the state icon lies between
  // the row's start and its icon.
  POINT boxOf(int row) {
    const RECT bounds = partOf(row, LVIR_BOUNDS);
    const RECT icon = partOf(row, LVIR_ICON);
    return POINT{(bounds.left + icon.left) / 2, (bounds.top + bounds.bottom) / 2};
  }
  POINT labelOf(int row) {
    const RECT label = partOf(row, LVIR_LABEL);
    return POINT{(label.left + label.right) / 2,
                 (label.top + label.bottom) / 2};
  }

  // The list's own word on what lies at a point.
  UINT hitFlags(POINT at, int row) {
    LVHITTESTINFO hit{};
    hit.pt = at;
    const auto found = static_cast<int>(
        send(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    EXPECT_EQ(found, row);
    return hit.flags;
  }

  void press(POINT at) {
    send(list_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  }
  void release(POINT at) {
    send(list_, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }
  void tap(POINT at) {
    press(at);
    release(at);
  }

  ::HWND dialog_ = nullptr;
  ::HWND list_ = nullptr;
};

// Filling the list tells the dialog of every text set: an item change with
// LVIF_TEXT, where a state change has LVIF_STATE. Handlers have to tell the
// two apart.
TEST_F(RealListView, AppendedRowsKeepOrderStartUntickedAndNotifyTheirTexts) {
  ASSERT_EQ(send(list_, LVM_GETITEMCOUNT, 0, 0), 3);
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(textOf(row), kNames[row]);
    EXPECT_EQ(tickOf(list_, row), 0);
    EXPECT_EQ(stateOf(row) & kSelectedFocused, 0u);
  }
  EXPECT_EQ(firstSelected(list_), -1);
  const std::vector<UINT> perRow = {UINT(LVN_INSERTITEM), UINT(LVN_ITEMCHANGING),
                                    UINT(LVN_ITEMCHANGED)};
  std::vector<UINT> codes;
  for (int row = 0; row < 3; ++row)
    codes.insert(codes.end(), perRow.begin(), perRow.end());
  EXPECT_EQ(heard.codes, codes);
  const std::vector<Change> texts = {{0, 0, 0, LVIF_TEXT, 0, -1},
                                     {1, 0, 0, LVIF_TEXT, 0, -1},
                                     {2, 0, 0, LVIF_TEXT, 0, -1}};
  EXPECT_EQ(heard.changes, texts);
}

TEST_F(RealListView, TickReadsBackAsTheStateImageLessOne) {
  struct Step {
    int row, tick;
    int want[3];
  };
  const Step steps[] = {
      {1, 1, {0, 1, 0}},
      {2, 1, {0, 1, 1}},
      {1, 0, {0, 0, 1}},
      {0, -1, {-1, 0, 1}},  // no image at all
  };
  for (const Step& step : steps) {
    setTick(step.row, step.tick);
    for (int row = 0; row < 3; ++row)
      EXPECT_EQ(tickOf(list_, row), step.want[row])
          << "row " << row << " after row " << step.row << " got " << step.tick;
  }
}

// The screens read the row's new state in their LVN_ITEMCHANGED handler, and
// rely on the notification having come before SendMessage returns.
TEST_F(RealListView, ATickChangeNotifiesTheDialogBeforeSendMessageReturns) {
  heard = Heard{};
  setTick(1, 1);
  const std::vector<Change> ticked = {{1, kUnticked, kTicked, LVIF_STATE, 1, -1}};
  EXPECT_EQ(heard.changes, ticked);

  // The same state again changes nothing and tells nothing.
  heard = Heard{};
  setTick(1, 1);
  EXPECT_TRUE(heard.changes.empty());
}

TEST_F(RealListView, NextSelectedIsMinusOneWithoutSelectionElseTheFirstRow) {
  EXPECT_EQ(firstSelected(list_), -1);
  setState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(firstSelected(list_), 2);
  // Several rows may be selected; the first in row order comes back.
  setState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(firstSelected(list_), 1);
  EXPECT_EQ(send(list_, LVM_GETNEXTITEM, 1, LVNI_SELECTED), 2);
  setState(-1, 0, LVIS_SELECTED);
  EXPECT_EQ(firstSelected(list_), -1);
}

// The finding the screens build on: a tap on a row's box toggles its tick
// and nothing else. The row is not selected by it (nor is the selected one
// changed), so a handler that takes the first selected row does not find
// the tapped one. The toggle comes with the button going down.
TEST_F(RealListView, TapOnABoxTogglesTheTickAloneAndLeavesTheSelection) {
  for (int selected : {-1, 2}) {
    SCOPED_TRACE("selected row " + std::to_string(selected));
    setState(-1, 0, kSelectedFocused);
    if (selected >= 0) setState(selected, LVIS_SELECTED, LVIS_SELECTED);
    setTick(1, 0);
    const POINT box = boxOf(1);
    EXPECT_EQ(hitFlags(box, 1), UINT(LVHT_ONITEMSTATEICON));

    heard = Heard{};
    press(box);
    const std::vector<UINT> codes = {UINT(NM_RELEASEDCAPTURE), UINT(NM_CLICK),
                                     UINT(LVN_ITEMCHANGING),
                                     UINT(LVN_ITEMCHANGED)};
    EXPECT_EQ(heard.codes, codes);
    const std::vector<Change> on = {
        {1, kUnticked, kTicked, LVIF_STATE, 1, selected}};
    EXPECT_EQ(heard.changes, on);
    release(box);
    EXPECT_EQ(heard.codes.size(), codes.size()) << "the release adds nothing";

    heard = Heard{};
    tap(box);
    const std::vector<Change> off = {
        {1, kTicked, kUnticked, LVIF_STATE, 0, selected}};
    EXPECT_EQ(heard.changes, off);
    EXPECT_EQ(firstSelected(list_), selected);
    EXPECT_EQ(stateOf(1) & kSelectedFocused, 0u);
  }
}

// A row without a state image shows no box, and a tap there ticks nothing.
TEST_F(RealListView, TapWhereARowWithoutImageHasItsBoxChangesNothing) {
  setTick(0, -1);
  heard = Heard{};
  tap(boxOf(0));
  EXPECT_EQ(tickOf(list_, 0), -1);
  EXPECT_TRUE(heard.changes.empty());
}

// A tap on the label makes that row the only selected one and the focused
// one, ticks untouched. The rows losing the selection tell first, each on
// its own, and the tapped row's own notification comes last; the first
// selected row, asked from the handlers, moves as the rows change.
TEST_F(RealListView, TapOnALabelSelectsThatRowAlone) {
  setTick(2, 1);
  setState(0, LVIS_SELECTED, LVIS_SELECTED);
  setState(1, LVIS_SELECTED, LVIS_SELECTED);
  const POINT label = labelOf(2);
  EXPECT_EQ(hitFlags(label, 2), UINT(LVHT_ONITEMLABEL));

  heard = Heard{};
  tap(label);
  const UINT unticked = kUnticked, ticked = kTicked;
  const std::vector<Change> changes = {
      {0, unticked | LVIS_SELECTED, unticked, LVIF_STATE, 0, 1},
      {1, unticked | LVIS_SELECTED, unticked, LVIF_STATE, 0, -1},
      {2, ticked, ticked | kSelectedFocused, LVIF_STATE, 1, 2},
  };
  EXPECT_EQ(heard.changes, changes);
  EXPECT_EQ(heard.codes.back(), UINT(NM_CLICK));
  EXPECT_EQ(firstSelected(list_), 2);
  EXPECT_EQ(send(list_, LVM_GETNEXTITEM, 2, LVNI_SELECTED), -1);

  // From a row that has the focus, the focus leaves in a notification of
  // its own, after the selection, once the new row is already selected.
  heard = Heard{};
  tap(labelOf(0));
  const std::vector<Change> moved = {
      {2, ticked | kSelectedFocused, ticked | LVIS_FOCUSED, LVIF_STATE, 1, -1},
      {2, ticked | LVIS_FOCUSED, ticked, LVIF_STATE, 1, 0},
      {0, unticked, unticked | kSelectedFocused, LVIF_STATE, 0, 0},
  };
  EXPECT_EQ(heard.changes, moved);
  EXPECT_EQ(firstSelected(list_), 0);
}

}  // namespace
