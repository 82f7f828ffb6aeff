// Report list views: rows of cells with their state bits, columns, the
// extended style and text colour, and the LVN_ITEMCHANGED notifications a
// change of state sends the dialog.
#include <mutex>

#include "platform/fake/ui_internal.h"
#include "platform/list_view.h"

namespace fake {
namespace {

constexpr uint32_t kChosen = plat::LVIS_SELECTED | plat::LVIS_FOCUSED;

uint32_t stateImage(uint32_t state) {
  return (state & plat::LVIS_STATEIMAGEMASK) >> 12;
}

uint32_t withImage(uint32_t state, uint32_t image) {
  return (state & ~plat::LVIS_STATEIMAGEMASK) |
         plat::indexToStateImageMask(image);
}

std::u16string textOf(const char16_t* text) {
  return text != nullptr ? std::u16string(text) : std::u16string();
}

// Positions of rows and columns come as signed numbers in unsigned fields.
size_t insertionPoint(intptr_t wanted, size_t count) {
  if (wanted < 0) return 0;
  return static_cast<size_t>(wanted) < count ? static_cast<size_t>(wanted)
                                             : count;
}

// With deviceMutex held: a live list view, null for any other window.
Window* liveList(plat::HWND handle) {
  Window* w = liveWindow(handle);
  return w != nullptr && w->kind == WindowKind::control &&
                 w->controlKind == ControlSpec::listView
             ? w
             : nullptr;
}

ListRow* rowAt(Window& list, intptr_t row) {
  return row >= 0 && static_cast<size_t>(row) < list.rows.size()
             ? &list.rows[static_cast<size_t>(row)]
             : nullptr;
}

void giveUntickedBoxes(Window& list) {
  for (ListRow& r : list.rows)
    if (stateImage(r.state) == 0) r.state = withImage(r.state, 1);
}

intptr_t insertRow(Window& list, const plat::LVITEMW* item) {
  if (item == nullptr || item->iSubItem != 0) return -1;
  ListRow row{};
  row.cells.push_back((item->mask & plat::LVIF_TEXT) != 0
                          ? textOf(item->pszText)
                          : std::u16string());
  if ((item->mask & plat::LVIF_STATE) != 0)
    row.state = item->state & item->stateMask;
  if ((list.listStyle & plat::LVS_EX_CHECKBOXES) != 0 &&
      stateImage(row.state) == 0)
    row.state = withImage(row.state, 1);
  const size_t at = insertionPoint(item->iItem, list.rows.size());
  list.rows.insert(list.rows.begin() + static_cast<ptrdiff_t>(at),
                   std::move(row));
  return static_cast<intptr_t>(at);
}

intptr_t setCellText(Window& list, intptr_t row, const plat::LVITEMW* item) {
  ListRow* r = rowAt(list, row);
  if (r == nullptr || item == nullptr || item->iSubItem < 0) return 0;
  // Subitems past the row's own text belong to columns; this also bounds
  // the cells a bad index could make.
  const auto sub = static_cast<size_t>(item->iSubItem);
  if (sub != 0 && sub >= list.columns.size()) return 0;
  if (r->cells.size() <= sub) r->cells.resize(sub + 1);
  r->cells[sub] = textOf(item->pszText);
  return 1;
}

intptr_t nextRow(const Window& list, intptr_t start, uint32_t flags) {
  const uint32_t wanted =
      (flags & plat::LVNI_SELECTED) != 0 ? plat::LVIS_SELECTED : 0;
  for (size_t i = start < 0 ? 0 : static_cast<size_t>(start) + 1;
       i < list.rows.size(); ++i)
    if ((list.rows[i].state & wanted) == wanted)
      return static_cast<intptr_t>(i);
  return -1;
}

intptr_t setExtendedStyle(Window& list, uintptr_t mask, intptr_t styles) {
  const uint32_t bits = mask == 0 ? ~0u : static_cast<uint32_t>(mask);
  const uint32_t old = list.listStyle;
  list.listStyle = (old & ~bits) | (static_cast<uint32_t>(styles) & bits);
  if ((list.listStyle & ~old & plat::LVS_EX_CHECKBOXES) != 0)
    giveUntickedBoxes(list);
  return old;
}

intptr_t insertColumn(Window& list, intptr_t index,
                      const plat::LVCOLUMNW* column) {
  if (column == nullptr) return -1;
  // Fields the mask leaves out stay 0, so a forgotten flag shows.
  ListColumn c{};
  c.mask = column->mask;
  if ((c.mask & plat::LVCF_FMT) != 0) c.fmt = column->fmt;
  if ((c.mask & plat::LVCF_WIDTH) != 0) c.width = column->cx;
  if ((c.mask & plat::LVCF_TEXT) != 0) c.title = textOf(column->pszText);
  if ((c.mask & plat::LVCF_SUBITEM) != 0) c.subItem = column->iSubItem;
  const size_t at = insertionPoint(index, list.columns.size());
  list.columns.insert(list.columns.begin() + static_cast<ptrdiff_t>(at),
                      std::move(c));
  for (size_t i = 0; i < list.columns.size(); ++i)
    list.columns[i].index = static_cast<int32_t>(i);
  return static_cast<intptr_t>(at);
}

// With deviceMutex held: every message but LVM_SETITEMSTATE.
intptr_t answer(Window& list, uint32_t message, uintptr_t wParam,
                intptr_t lParam) {
  const auto at = static_cast<intptr_t>(wParam);
  switch (message) {
    case plat::LVM_GETITEMCOUNT:
      return static_cast<intptr_t>(list.rows.size());
    case plat::LVM_INSERTITEMW:
      return insertRow(list, reinterpret_cast<const plat::LVITEMW*>(lParam));
    case plat::LVM_SETITEMTEXTW:
      return setCellText(list, at,
                         reinterpret_cast<const plat::LVITEMW*>(lParam));
    case plat::LVM_GETITEMSTATE: {
      const ListRow* r = rowAt(list, at);
      return r != nullptr ? static_cast<intptr_t>(r->state &
                                                  static_cast<uint32_t>(lParam))
                          : 0;
    }
    case plat::LVM_GETNEXTITEM:
      return nextRow(list, at, static_cast<uint32_t>(lParam));
    case plat::LVM_SETTEXTCOLOR:
      list.textColour = static_cast<plat::COLORREF>(lParam);
      return 1;
    case plat::LVM_SETEXTENDEDLISTVIEWSTYLE:
      return setExtendedStyle(list, wParam, lParam);
    case plat::LVM_INSERTCOLUMNW:
      return insertColumn(list, at,
                          reinterpret_cast<const plat::LVCOLUMNW*>(lParam));
    default:
      return 0;
  }
}

// What the dialog hears of a row whose state changed.
struct Change {
  plat::HWND list;
  plat::HWND dialog;
  int id;
  int32_t row;
  uint32_t oldState;
  uint32_t newState;
};

void notifyChange(const Change& c) {
  plat::NMLISTVIEW n{};
  n.hdr.hwndFrom = c.list;
  n.hdr.idFrom = static_cast<uintptr_t>(c.id);
  n.hdr.code = plat::LVN_ITEMCHANGED;
  n.iItem = c.row;
  n.uNewState = c.newState;
  n.uOldState = c.oldState;
  n.uChanged = plat::LVIF_STATE;
  deliverMessage(c.dialog, plat::WM_NOTIFY, n.hdr.idFrom,
                 reinterpret_cast<intptr_t>(&n));
}

// Without deviceMutex held: gives the row the state `next` makes of its
// own, then tells the dialog if that changed it, so the handler can read
// the new state and change rows itself. False for a row the list does not
// have.
template <typename Next>
bool updateRow(plat::HWND list, intptr_t row, Next next) {
  Change change{};
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    Window* w = liveList(list);
    ListRow* r = w != nullptr ? rowAt(*w, row) : nullptr;
    if (r == nullptr) return false;
    const uint32_t state = next(r->state);
    if (state == r->state) return true;
    change = {list,     w->parent, w->controlId, static_cast<int32_t>(row),
              r->state, state};
    r->state = state;
  }
  notifyChange(change);
  return true;
}

bool setRowState(plat::HWND list, intptr_t row, uint32_t state, uint32_t mask) {
  return updateRow(list, row, [state, mask](uint32_t old) {
    return (old & ~mask) | (state & mask);
  });
}

// Row by row, as the platform does it: each row's notification arrives
// before the next row changes. Only the rows there at the start are
// visited, so a handler that adds rows cannot keep the loop going.
intptr_t setItemState(plat::HWND list, intptr_t row, size_t rows,
                      const plat::LVITEMW* item) {
  if (item == nullptr) return 0;
  const uint32_t state = item->state;
  const uint32_t mask = item->stateMask;
  if (row != -1) return setRowState(list, row, state, mask) ? 1 : 0;
  for (size_t i = 0; i < rows; ++i)
    if (!setRowState(list, static_cast<intptr_t>(i), state, mask)) break;
  return 1;
}

// With deviceMutex held.
size_t rowCount(plat::HWND list) {
  const Window* w = liveList(list);
  return w != nullptr ? w->rows.size() : 0;
}

}  // namespace

intptr_t listViewMessage(plat::HWND list, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) {
  size_t rows;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    Window* w = liveList(list);
    if (w == nullptr) return 0;
    w->received.push_back({message, wParam, lParam});
    if (message != plat::LVM_SETITEMSTATE)
      return answer(*w, message, wParam, lParam);
    rows = w->rows.size();
  }
  return setItemState(list, static_cast<intptr_t>(wParam), rows,
                      reinterpret_cast<const plat::LVITEMW*>(lParam));
}

bool tickListRow(plat::HWND list, int32_t row) {
  // A row without a state image shows no box, so a tap there changes nothing.
  return updateRow(list, row, [](uint32_t old) {
    if (stateImage(old) == 0) return old;
    return withImage(old, stateImage(old) == 2 ? 1 : 2);
  });
}

bool listHasRow(plat::HWND list, int32_t row) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return row >= 0 && static_cast<size_t>(row) < rowCount(list);
}

bool tapListRow(plat::HWND list, int32_t row) {
  size_t rows;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    rows = rowCount(list);
  }
  if (row < 0 || static_cast<size_t>(row) >= rows) return false;
  for (size_t i = 0; i < rows; ++i)
    if (i != static_cast<size_t>(row) &&
        !setRowState(list, static_cast<intptr_t>(i), 0, kChosen))
      break;
  setRowState(list, row, kChosen, kChosen);
  return true;
}

// ---- Test API ---------------------------------------------------------

std::vector<ListRow> listRows(plat::HWND list) {
  return windowField<std::vector<ListRow>>(list, &Window::rows, {});
}

std::vector<ListColumn> listColumns(plat::HWND list) {
  return windowField<std::vector<ListColumn>>(list, &Window::columns, {});
}

uint32_t listExtendedStyle(plat::HWND list) {
  return windowField<uint32_t>(list, &Window::listStyle, 0);
}

plat::COLORREF listTextColour(plat::HWND list) {
  return windowField(list, &Window::textColour, CLR_INVALID);
}

int32_t rowTick(const ListRow& row) {
  return static_cast<int32_t>(stateImage(row.state)) - 1;
}

}  // namespace fake
