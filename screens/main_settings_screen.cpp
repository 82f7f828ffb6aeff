#include "screens/main_settings_screen.h"

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/pocket_shell.h"
#include "screens/dialog_items.h"
#include "screens/label_text.h"
#include "screens/number_rules_screen.h"
#include "screens/screen_style.h"
#include "screens/second_reply_screen.h"
#include "store/contact_import.h"
#include "store/settings_store.h"

namespace {

constexpr char16_t kDefaultText[] =
    u"Sorry I couldn't taken this call. I was busy too much. Please call me "
    u"later.";
constexpr char16_t kTitle[] = u"Vantorel";
constexpr char16_t kAbout[] = u"Answers missed calls by SMS\nversion 1.0";
constexpr char16_t kShortcutName[] = u"\\xQRL.lnk";
constexpr size_t kPathUnits = plat::MAX_PATH;
constexpr size_t kShortcutUnits = kPathUnits + 9 + 1;
constexpr size_t kLabelUnits = 64;

constexpr ControlStyle kStyles[] = {
    {IDC_ACTIVATE, u"Tahoma", 18, screenPalette.blue, true},
    {IDC_QUIT, u"Tahoma", 18, screenPalette.red, true},
    {IDC_TITLE, u"Courier New", 22, screenPalette.white, false},
    {IDC_ABOUT, u"Tahoma", 11, screenPalette.white, false},
};

ScreenObjects objects;

void setRingsLabel(plat::HWND screen) {
  char16_t rings[kLabelUnits];
  ringsLabelText(rings, kLabelUnits);
  setItemText(screen, IDC_RINGS_TEXT, rings);
}

void setSecondLabels(plat::HWND screen) {
  const bool second = replySettings.secondEnabled != 0;
  setItemText(screen, IDC_SECOND_REPLY,
              second ? u"Disactivate Second Message"
                     : u"Activate Second Message");
  setItemText(screen, IDC_MESSAGE_LABEL,
              second ? u"Main Reply message text:" : u"Reply message text:");
  setRingsLabel(screen);
}

void setRulesLabel(plat::HWND screen, bool afterRulesScreen) {
  char16_t text[kLabelUnits];
  rulesLabelText(afterRulesScreen, text, kLabelUnits);
  setItemText(screen, IDC_RULES_TEXT, text);
}

// The shortcut's path in the startup folder; false when the folder is not
// known, so nothing is looked for, made or deleted elsewhere.
bool shortcutPath(plat::HWND screen, char16_t (&path)[kShortcutUnits]) {
  char16_t folder[kPathUnits + 1] = {};
  if (plat::SHGetSpecialFolderPath(screen, folder, plat::CSIDL_STARTUP, 0) ==
      0)
    return false;
  folder[kPathUnits] = 0;
  path[0] = 0;
  appendText(path, kShortcutUnits, folder);
  appendText(path, kShortcutUnits, kShortcutName);
  return true;
}

void showShortcutState(plat::HWND screen) {
  char16_t path[kShortcutUnits];
  setItemCheck(screen, IDC_SELF_ACTIVATE, false);
  if (!shortcutPath(screen, path)) return;
  plat::WIN32_FIND_DATAW found;
  plat::HANDLE search = plat::FindFirstFileW(path, &found);
  if (search != nullptr && search != plat::INVALID_HANDLE_VALUE) {
    setItemCheck(screen, IDC_SELF_ACTIVATE, true);
    plat::FindClose(search);
  }
}

void toggleShortcut(plat::HWND screen) {
  char16_t path[kShortcutUnits];
  if (!shortcutPath(screen, path)) return;
  plat::DeleteFileW(path);
  if (!isItemChecked(screen, IDC_SELF_ACTIVATE)) return;
  char16_t program[kPathUnits + 1] = {};
  plat::GetModuleFileNameW(nullptr, program, kPathUnits);
  program[kPathUnits] = 0;
  plat::SHCreateShortcut(path, program);
}

void setUp(plat::HWND screen) {
  createScreenObjects(objects, kStyles, sizeof kStyles / sizeof kStyles[0]);
  loadSettings();
  if (replySettings.mainText[0] == 0)
    copyText(replySettings.mainText, kDefaultText);
  setItemText(screen, IDC_MESSAGE, replySettings.mainText);
  importContacts(screen);
  showShortcutState(screen);
  setItemCheck(screen, IDC_ON_CANCEL, replySettings.replyOnCancel != 0);
  setSecondLabels(screen);
  setRulesLabel(screen, false);
  if (orientation == 0) {
    setItemText(screen, IDC_TITLE, kTitle);
    setItemText(screen, IDC_ABOUT, kAbout);
  } else {
    plat::ShowWindow(dialogItem(screen, IDC_TITLE), plat::SW_HIDE);
    plat::ShowWindow(dialogItem(screen, IDC_ABOUT), plat::SW_HIDE);
  }
  initScreen(screen);
}

void finish(plat::HWND screen, int32_t activated, int32_t button) {
  replySettings.activated = activated;
  readMessageBox(screen, IDC_MESSAGE, replySettings.mainText);
  saveSettings();
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  deleteScreenObjects(objects);
  plat::EndDialog(screen, button);
}

void openRules(plat::HWND screen) {
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  runNumberRulesScreen(ReplyKind::main, screen);
  setRulesLabel(screen, true);
  refitScreen(screen);
  plat::SetFocus(dialogItem(screen, IDC_ACTIVATE));
}

// The second reply screen may switch the second message on or off and
// clear the reply on rejection.
void openSecondReply(plat::HWND screen) {
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  runScreen(IDD_SECOND_REPLY, screen, secondReplyScreenProc);
  refitScreen(screen);
  setSecondLabels(screen);
  setItemCheck(screen, IDC_ON_CANCEL, replySettings.replyOnCancel != 0);
  plat::SetFocus(dialogItem(screen, IDC_ACTIVATE));
}

bool command(plat::HWND screen, int32_t control, uint16_t notification) {
  switch (control) {
    case IDC_ACTIVATE:
      finish(screen, 1, IDC_ACTIVATE);
      return true;
    case IDC_QUIT:
      finish(screen, 0, IDC_QUIT);
      return true;
    case IDC_SET_RULES:
      openRules(screen);
      return true;
    case IDC_SECOND_REPLY:
      openSecondReply(screen);
      return true;
    case IDC_SELF_ACTIVATE:
      toggleShortcut(screen);
      return true;
    case IDC_MESSAGE:
      handleMessageBox(screen, notification, IDC_MESSAGE,
                       replySettings.mainText);
      return true;
    case IDC_ON_CANCEL:
      replySettings.replyOnCancel = isItemChecked(screen, IDC_ON_CANCEL) ? 1 : 0;
      if (replySettings.replyOnCancel == 1) replySettings.secondReplyOnCancel = 0;
      return true;
    case IDC_RINGS_MORE:
      plat::SHSipPreference(screen, plat::SIP_DOWN);
      if (replySettings.ringsBeforeReply < 5) ++replySettings.ringsBeforeReply;
      setRingsLabel(screen);
      return true;
    case IDC_RINGS_LESS:
      plat::SHSipPreference(screen, plat::SIP_DOWN);
      // A stored count below 0 goes on down, but never past the smallest.
      if (replySettings.ringsBeforeReply != 0 &&
          replySettings.ringsBeforeReply != INT32_MIN)
        --replySettings.ringsBeforeReply;
      setRingsLabel(screen);
      return true;
    default:
      return false;
  }
}

}  // namespace

void ringsLabelText(char16_t* out, size_t capacity) {
  out[0] = 0;
  appendText(out, capacity,
             replySettings.secondEnabled != 0 ? u"Send Main Reply "
                                              : u"Send Reply ");
  appendText(out, capacity, ringPhrase(replySettings.ringsBeforeReply));
}

void rulesLabelText(bool afterRulesScreen, char16_t* out, size_t capacity) {
  const int32_t selected = countSelected(ReplyKind::main);
  switch (replySettings.mainMode) {
    case 0:
      formatCount(out, capacity, u"to any numbers", selected);
      break;
    case 1:
      formatCount(out, capacity,
                  afterRulesScreen ? u"only to \n%d selected numbers"
                                   : u"only to\n%d selected numbers",
                  selected);
      break;
    default:
      formatCount(out, capacity, u"to any numbers\nexcl. %d selected",
                  selected);
      break;
  }
}

intptr_t mainSettingsScreenProc(plat::HWND screen, uint32_t message,
                                plat::WPARAM wParam, plat::LPARAM lParam) {
  if (message == plat::WM_INITDIALOG) {
    setUp(screen);
    return 1;
  }
  if (message == plat::WM_COMMAND)
    return command(screen, static_cast<int32_t>(wParam & 0xFFFF),
                   static_cast<uint16_t>((wParam >> 16) & 0xFFFF))
               ? 1
               : 0;
  return answerScreenMessage(objects, screen, message, wParam, lParam);
}
