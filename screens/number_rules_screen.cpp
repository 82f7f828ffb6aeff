#include "screens/number_rules_screen.h"

#include "engine/text.h"
#include "platform/list_view.h"
#include "platform/pocket_shell.h"
#include "screens/dialog_items.h"
#include "screens/label_text.h"
#include "screens/screen_style.h"
#include "store/selection_files.h"
#include "store/settings_store.h"

namespace {

constexpr plat::COLORREF kListInUse = 0x000000;
constexpr plat::COLORREF kListGrey = 0x808080;
constexpr size_t kCaptionUnits = 64;

constexpr ControlStyle kStyles[] = {
    {IDC_SAVE_AND_BACK, nullptr, 0, screenPalette.blue, true},
};

const NumberRulesScreen kScreens[] = {
    {ReplyKind::main,
     IDD_MAIN_RULES,
     &ReplySettings::mainMode,
     &NumberEntry::selectedMain,
     &CategoryEntry::selectedMain,
     {{IDC_MODE_ANY, 0}, {IDC_MODE_ONLY, 1}, {IDC_MODE_EXCLUDE, 2}},
     3,
     u"Only %d selected below",
     mainRulesScreenProc},
    {ReplyKind::second,
     IDD_SECOND_RULES,
     &ReplySettings::secondMode,
     &NumberEntry::selectedSecond,
     &CategoryEntry::selectedSecond,
     {{IDC_MODE_ONLY, 1},
      {IDC_MODE_EXCLUDE, 2},
      {IDC_MODE_DOMESTIC, 3},
      {IDC_MODE_FOREIGN, 4}},
     4,
     u"Only %d selected",
     secondRulesScreenProc},
};

// What one open screen keeps besides the shared records.
struct ScreenState {
  ScreenObjects objects;
  // Set while the screen changes rows itself: the lists report those
  // changes too, and they must not reach the handlers.
  bool updatingLists;
};
ScreenState states[2];

ScreenState& stateOf(ReplyKind kind) {
  return states[kind == ReplyKind::main ? 0 : 1];
}

int32_t numberRows() {
  return numberTable.count < kMaxNumberRows ? numberTable.count
                                            : kMaxNumberRows;
}

int32_t categoryRows() {
  return categoryTable.count < kMaxCategoryRows ? categoryTable.count
                                                : kMaxCategoryRows;
}

plat::LRESULT sendList(plat::HWND list, uint32_t message, plat::WPARAM wParam,
                       const void* record) {
  return plat::SendMessageW(
      list, message, wParam,
      reinterpret_cast<plat::LPARAM>(const_cast<void*>(record)));
}

int32_t rowCount(plat::HWND list) {
  return static_cast<int32_t>(
      plat::SendMessageW(list, plat::LVM_GETITEMCOUNT, 0, 0));
}

void setRowState(plat::HWND list, int32_t row, uint32_t state, uint32_t mask) {
  plat::LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  sendList(list, plat::LVM_SETITEMSTATE, static_cast<plat::WPARAM>(row), &item);
}

void setTick(plat::HWND list, int32_t row, int32_t flag) {
  setRowState(list, row, plat::indexToStateImageMask(flag != 0 ? 2 : 1),
              plat::LVIS_STATEIMAGEMASK);
}

// A ticked box is state image 2; every other image reads as unticked, so a
// row the list shows without a box never gives a flag other than 0 or 1.
int32_t readTick(plat::HWND list, int32_t row) {
  const plat::LRESULT state = plat::SendMessageW(list, plat::LVM_GETITEMSTATE,
                                                 static_cast<plat::WPARAM>(row),
                                                 plat::LVIS_STATEIMAGEMASK);
  return (static_cast<uint32_t>(state) & plat::LVIS_STATEIMAGEMASK) ==
                 plat::indexToStateImageMask(2)
             ? 1
             : 0;
}

int32_t firstSelectedRow(plat::HWND list) {
  return static_cast<int32_t>(plat::SendMessageW(list, plat::LVM_GETNEXTITEM,
                                                 static_cast<plat::WPARAM>(-1),
                                                 plat::LVNI_SELECTED));
}

void addColumn(plat::HWND list, int32_t index, const char16_t* title,
               int32_t width) {
  char16_t text[16];
  copyText(text, title);
  plat::LVCOLUMNW column{};
  column.mask =
      plat::LVCF_FMT | plat::LVCF_WIDTH | plat::LVCF_TEXT | plat::LVCF_SUBITEM;
  column.fmt = plat::LVCFMT_LEFT;
  column.cx = width;
  column.pszText = text;
  column.iSubItem = index;
  sendList(list, plat::LVM_INSERTCOLUMNW, static_cast<plat::WPARAM>(index),
           &column);
}

void setCellText(plat::HWND list, int32_t row, int32_t subItem,
                 const char16_t* text, size_t units) {
  char16_t copy[kDisplayNameUnits];
  copyText(copy, kDisplayNameUnits, text, units);
  plat::LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = copy;
  sendList(list, plat::LVM_SETITEMTEXTW, static_cast<plat::WPARAM>(row), &item);
}

// Appends a row; its position is the row count before it.
int32_t appendRow(plat::HWND list, const char16_t* text, size_t units) {
  char16_t copy[kDisplayNameUnits];
  copyText(copy, kDisplayNameUnits, text, units);
  plat::LVITEMW item{};
  item.mask = plat::LVIF_TEXT | plat::LVIF_STATE;
  item.iItem = rowCount(list);
  item.pszText = copy;
  return static_cast<int32_t>(sendList(list, plat::LVM_INSERTITEMW, 0, &item));
}

void prepareList(plat::HWND list) {
  plat::SendMessageW(list, plat::LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     plat::LVS_EX_CHECKBOXES | plat::LVS_EX_FULLROWSELECT);
}

// The list does not repaint for a new text colour, so rows it does not
// redraw for another reason would keep the old one.
void showListUse(plat::HWND list, bool inUse) {
  plat::SendMessageW(list, plat::LVM_SETTEXTCOLOR, 0,
                     static_cast<plat::LPARAM>(inUse ? kListInUse : kListGrey));
  plat::EnableWindow(list, inUse ? 1 : 0);
  plat::InvalidateRect(list, nullptr, 1);
}

int32_t numberFlag(const NumberRulesScreen& s, int32_t tableRow) {
  return numberTable.rows[tableRow].*s.numberFlag;
}

int32_t categoryFlag(const NumberRulesScreen& s, int32_t tableRow) {
  return categoryTable.rows[tableRow].*s.categoryFlag;
}

// Shows the flags of one list, or every box unticked while the lists take
// no part in the rule; the flags are only read.
void refreshTicks(const NumberRulesScreen& s, plat::HWND screen,
                  int32_t listId) {
  const plat::HWND list = dialogItem(screen, listId);
  const bool inUse = listsInUse(s.kind);
  const bool numbers = listId == IDC_NUMBERS;
  const int32_t tableRows = numbers ? numberRows() : categoryRows();
  ScreenState& state = stateOf(s.kind);
  state.updatingLists = true;
  for (int32_t r = 0; r < rowCount(list) && r < tableRows; ++r) {
    const int32_t flag =
        numbers ? numberFlag(s, r + 1) : categoryFlag(s, r + 1);
    setTick(list, r, inUse ? flag : 0);
  }
  state.updatingLists = false;
}

void refreshRuleLabels(const NumberRulesScreen& s, plat::HWND screen) {
  const int32_t n = countSelected(s.kind);
  char16_t caption[kCaptionUnits];
  if (listsInUse(s.kind)) {
    formatCount(caption, kCaptionUnits, s.onlySelectedInUse, n);
    setItemText(screen, IDC_MODE_ONLY, caption);
    formatCount(caption, kCaptionUnits, u"Any nr excl. %d selected below", n);
    setItemText(screen, IDC_MODE_EXCLUDE, caption);
  } else {
    setItemText(screen, IDC_MODE_ONLY, u"Only selected below");
    setItemText(screen, IDC_MODE_EXCLUDE, u"Any nr excl. selected below");
  }
}

void showListsUse(const NumberRulesScreen& s, plat::HWND screen) {
  const bool inUse = listsInUse(s.kind);
  showListUse(dialogItem(screen, IDC_NUMBERS), inUse);
  showListUse(dialogItem(screen, IDC_CATEGORIES), inUse);
}

void fillNumbers(const NumberRulesScreen& s, plat::HWND screen, bool inUse) {
  const plat::HWND list = dialogItem(screen, IDC_NUMBERS);
  prepareList(list);
  addColumn(list, 0, u"Name", 115);
  addColumn(list, 1, u"Number", 80);
  for (int32_t k = 1; k <= numberRows(); ++k) {
    const NumberEntry& entry = numberTable.rows[k];
    char16_t name[kDisplayNameUnits];
    displayName(entry, name);
    const int32_t row = appendRow(list, name, kDisplayNameUnits - 1);
    if (row < 0) continue;
    setCellText(list, row, 1, entry.number, sizeof entry.number / 2 - 1);
    setTick(list, row, inUse ? numberFlag(s, k) : 0);
  }
}

void fillCategories(const NumberRulesScreen& s, plat::HWND screen, bool inUse) {
  const plat::HWND list = dialogItem(screen, IDC_CATEGORIES);
  prepareList(list);
  addColumn(list, 0, u"Name", 195);
  for (int32_t k = 1; k <= categoryRows(); ++k) {
    const CategoryEntry& entry = categoryTable.rows[k];
    const int32_t row = appendRow(list, entry.name, sizeof entry.name / 2 - 1);
    if (row >= 0) setTick(list, row, inUse ? categoryFlag(s, k) : 0);
  }
}

void setUp(const NumberRulesScreen& s, plat::HWND screen) {
  ScreenState& state = stateOf(s.kind);
  createScreenObjects(state.objects, kStyles,
                      sizeof kStyles / sizeof kStyles[0]);
  if (s.kind == ReplyKind::main)
    setItemText(screen, IDC_RULES_TITLE,
                replySettings.secondEnabled != 0 ? u"Send SMS Reply 1 to:"
                                                 : u"Send SMS Reply to:");
  else
    setItemText(screen, IDC_RULES_TITLE, u"Send Second Reply to:");
  for (size_t i = 0; i < s.buttonCount; ++i)
    setItemCheck(screen, s.buttons[i].id,
                 replySettings.*s.mode == s.buttons[i].mode);
  const bool inUse = listsInUse(s.kind);
  state.updatingLists = true;
  fillNumbers(s, screen, inUse);
  showListUse(dialogItem(screen, IDC_NUMBERS), inUse);
  fillCategories(s, screen, inUse);
  showListUse(dialogItem(screen, IDC_CATEGORIES), inUse);
  state.updatingLists = false;
  refreshRuleLabels(s, screen);
  initScreen(screen);
}

void changeMode(const NumberRulesScreen& s, plat::HWND screen) {
  for (size_t i = 0; i < s.buttonCount; ++i) {
    if (isItemChecked(screen, s.buttons[i].id)) {
      replySettings.*s.mode = s.buttons[i].mode;
      break;
    }
  }
  refreshTicks(s, screen, IDC_NUMBERS);
  refreshTicks(s, screen, IDC_CATEGORIES);
  refreshRuleLabels(s, screen);
  showListsUse(s, screen);
}

void numberTicked(const NumberRulesScreen& s, plat::HWND screen) {
  const plat::HWND list = dialogItem(screen, IDC_NUMBERS);
  const int32_t r = firstSelectedRow(list);
  if (r < 0 || r >= numberRows()) return;
  numberTable.rows[r + 1].*s.numberFlag = readTick(list, r);
  refreshRuleLabels(s, screen);
}

void categoryTicked(const NumberRulesScreen& s, plat::HWND screen) {
  const plat::HWND list = dialogItem(screen, IDC_CATEGORIES);
  const int32_t r = firstSelectedRow(list);
  if (r < 0 || r >= categoryRows()) return;
  categoryTable.rows[r + 1].*s.categoryFlag = readTick(list, r);
  deriveNumberTicks(s.kind);
  refreshTicks(s, screen, IDC_NUMBERS);
  refreshRuleLabels(s, screen);
}

// The list views change a box without selecting its row, and the handlers
// take the first selected row; so a row whose box the user changed becomes
// the one selected row before its handler runs.
void selectOnly(ScreenState& state, plat::HWND list, int32_t row) {
  state.updatingLists = true;
  setRowState(list, -1, 0, plat::LVIS_SELECTED | plat::LVIS_FOCUSED);
  setRowState(list, row, plat::LVIS_SELECTED | plat::LVIS_FOCUSED,
              plat::LVIS_SELECTED | plat::LVIS_FOCUSED);
  state.updatingLists = false;
}

void forwardNotification(const NumberRulesScreen& s, plat::HWND screen,
                         int32_t listId, plat::LPARAM lParam) {
  const auto* header = reinterpret_cast<const plat::NMHDR*>(lParam);
  if (header == nullptr || header->code != plat::LVN_ITEMCHANGED) return;
  ScreenState& state = stateOf(s.kind);
  if (state.updatingLists) return;
  const auto* change = reinterpret_cast<const plat::NMLISTVIEW*>(lParam);
  const bool boxChanged = (change->uChanged & plat::LVIF_STATE) != 0 &&
                          ((change->uNewState ^ change->uOldState) &
                           plat::LVIS_STATEIMAGEMASK) != 0;
  if (boxChanged && change->iItem >= 0)
    selectOnly(state, dialogItem(screen, listId), change->iItem);
  plat::SendMessageW(
      screen, listId == IDC_NUMBERS ? WM_NUMBERTICKED : WM_CATEGORYTICKED, 0,
      lParam);
}

void saveAndBack(const NumberRulesScreen& s, plat::HWND screen) {
  if (listsInUse(s.kind)) writeSelectionFile(s.kind);
  saveSettings();
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  deleteScreenObjects(stateOf(s.kind).objects);
  plat::EndDialog(screen, plat::IDOK);
}

bool isModeButton(const NumberRulesScreen& s, int32_t id) {
  for (size_t i = 0; i < s.buttonCount; ++i)
    if (s.buttons[i].id == id) return true;
  return false;
}

intptr_t screenProc(const NumberRulesScreen& s, plat::HWND screen,
                    uint32_t message, plat::WPARAM wParam,
                    plat::LPARAM lParam) {
  const int32_t control = static_cast<int32_t>(wParam & 0xFFFF);
  switch (message) {
    case plat::WM_INITDIALOG:
      setUp(s, screen);
      return 1;
    case plat::WM_COMMAND:
      if (isModeButton(s, control)) {
        changeMode(s, screen);
        return 1;
      }
      if (control == IDC_SAVE_AND_BACK) {
        saveAndBack(s, screen);
        return 1;
      }
      return 0;
    case plat::WM_NOTIFY:
      if (control != IDC_NUMBERS && control != IDC_CATEGORIES) return 0;
      forwardNotification(s, screen, control, lParam);
      return 0;
    case WM_NUMBERTICKED:
      numberTicked(s, screen);
      return 0;
    case WM_CATEGORYTICKED:
      categoryTicked(s, screen);
      return 0;
    default:
      return answerScreenMessage(stateOf(s.kind).objects, screen, message,
                                 wParam, lParam);
  }
}

}  // namespace

const NumberRulesScreen& numberRulesScreen(ReplyKind kind) {
  return kScreens[kind == ReplyKind::main ? 0 : 1];
}

intptr_t runNumberRulesScreen(ReplyKind kind, plat::HWND owner) {
  const NumberRulesScreen& s = numberRulesScreen(kind);
  return runScreen(s.templateId, owner, s.proc);
}

bool listsInUse(ReplyKind kind) {
  return kind == ReplyKind::main ? replySettings.mainMode != 0
                                 : replySettings.secondMode < 3;
}

void displayName(const NumberEntry& entry, char16_t (&out)[kDisplayNameUnits]) {
  out[0] = 0;
  appendText(out, kDisplayNameUnits, entry.lastName);
  if (entry.lastName[0] != 0) appendText(out, kDisplayNameUnits, u" ");
  appendText(out, kDisplayNameUnits, entry.firstName);
}

void deriveNumberTicks(ReplyKind kind) {
  const NumberRulesScreen& s = numberRulesScreen(kind);
  const int32_t numbers = numberRows();
  for (int32_t f = 1; f <= numbers; ++f) numberTable.rows[f].*s.numberFlag = 0;
  for (int32_t g = 1; g <= categoryRows(); ++g) {
    const CategoryEntry& category = categoryTable.rows[g];
    if (category.*s.categoryFlag == 0) continue;
    for (int32_t f = 1; f <= numbers; ++f)
      if (textContainsText(numberTable.rows[f].categories, category.name))
        numberTable.rows[f].*s.numberFlag = 1;
  }
}

intptr_t mainRulesScreenProc(plat::HWND screen, uint32_t message,
                             plat::WPARAM wParam, plat::LPARAM lParam) {
  return screenProc(kScreens[0], screen, message, wParam, lParam);
}

intptr_t secondRulesScreenProc(plat::HWND screen, uint32_t message,
                               plat::WPARAM wParam, plat::LPARAM lParam) {
  return screenProc(kScreens[1], screen, message, wParam, lParam);
}
