#include "screens/main_settings_screen.h"

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/pocket_shell.h"
#include "screens/screen_style.h"
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

// Appends to a terminated text, cutting at the capacity.
void append(char16_t* out, size_t capacity, const char16_t* text) {
  size_t n = textLength(out, capacity);
  for (; *text != 0 && n + 1 < capacity; ++text) out[n++] = *text;
  out[n] = 0;
}

void appendNumber(char16_t* out, size_t capacity, int32_t value) {
  char16_t digits[12];
  size_t n = 0;
  int64_t v = value;
  const bool negative = v < 0;
  if (negative) v = -v;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  char16_t text[13];
  size_t t = 0;
  if (negative) text[t++] = u'-';
  while (n > 0) text[t++] = digits[--n];
  text[t] = 0;
  append(out, capacity, text);
}

plat::HWND item(plat::HWND screen, int32_t id) {
  return plat::GetDlgItem(screen, id);
}

void setText(plat::HWND screen, int32_t id, const char16_t* text) {
  plat::SetWindowTextW(item(screen, id), text);
}

void setCheck(plat::HWND screen, int32_t id, bool ticked) {
  plat::SendMessageW(item(screen, id), plat::BM_SETCHECK,
                     ticked ? plat::BST_CHECKED : plat::BST_UNCHECKED, 0);
}

bool isChecked(plat::HWND screen, int32_t id) {
  return plat::SendMessageW(item(screen, id), plat::BM_GETCHECK, 0, 0) != 0;
}

void setSecondLabels(plat::HWND screen) {
  const bool second = replySettings.secondEnabled != 0;
  setText(screen, IDC_SECOND_REPLY,
          second ? u"Disactivate Second Message" : u"Activate Second Message");
  setText(screen, IDC_MESSAGE_LABEL,
          second ? u"Main Reply message text:" : u"Reply message text:");
  char16_t rings[kLabelUnits];
  ringsLabelText(rings, kLabelUnits);
  setText(screen, IDC_RINGS_TEXT, rings);
}

void setRulesLabel(plat::HWND screen, bool afterRulesScreen) {
  char16_t text[kLabelUnits];
  rulesLabelText(afterRulesScreen, text, kLabelUnits);
  setText(screen, IDC_RULES_TEXT, text);
}

void setRingsLabel(plat::HWND screen) {
  char16_t rings[kLabelUnits];
  ringsLabelText(rings, kLabelUnits);
  setText(screen, IDC_RINGS_TEXT, rings);
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
  append(path, kShortcutUnits, folder);
  append(path, kShortcutUnits, kShortcutName);
  return true;
}

void showShortcutState(plat::HWND screen) {
  char16_t path[kShortcutUnits];
  setCheck(screen, IDC_SELF_ACTIVATE, false);
  if (!shortcutPath(screen, path)) return;
  plat::WIN32_FIND_DATAW found;
  plat::HANDLE search = plat::FindFirstFileW(path, &found);
  if (search != nullptr && search != plat::INVALID_HANDLE_VALUE) {
    setCheck(screen, IDC_SELF_ACTIVATE, true);
    plat::FindClose(search);
  }
}

void toggleShortcut(plat::HWND screen) {
  char16_t path[kShortcutUnits];
  if (!shortcutPath(screen, path)) return;
  plat::DeleteFileW(path);
  if (!isChecked(screen, IDC_SELF_ACTIVATE)) return;
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
  setText(screen, IDC_MESSAGE, replySettings.mainText);
  importContacts(screen);
  showShortcutState(screen);
  setCheck(screen, IDC_ON_CANCEL, replySettings.replyOnCancel != 0);
  setSecondLabels(screen);
  setRulesLabel(screen, false);
  if (orientation == 0) {
    setText(screen, IDC_TITLE, kTitle);
    setText(screen, IDC_ABOUT, kAbout);
  } else {
    plat::ShowWindow(item(screen, IDC_TITLE), plat::SW_HIDE);
    plat::ShowWindow(item(screen, IDC_ABOUT), plat::SW_HIDE);
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

// What follows the rules screen and the second reply screen: those screens
// are not in the program yet, so the buttons only refresh what they change.
void afterChildScreen(plat::HWND screen, int32_t button) {
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  if (button == IDC_SET_RULES) {
    setRulesLabel(screen, true);
    refitScreen(screen);
  } else {
    refitScreen(screen);
    setSecondLabels(screen);
    setCheck(screen, IDC_ON_CANCEL, replySettings.replyOnCancel != 0);
  }
  plat::SetFocus(item(screen, IDC_ACTIVATE));
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
    case IDC_SECOND_REPLY:
      afterChildScreen(screen, control);
      return true;
    case IDC_SELF_ACTIVATE:
      toggleShortcut(screen);
      return true;
    case IDC_MESSAGE:
      handleMessageBox(screen, notification, IDC_MESSAGE,
                       replySettings.mainText);
      return true;
    case IDC_ON_CANCEL:
      replySettings.replyOnCancel = isChecked(screen, IDC_ON_CANCEL) ? 1 : 0;
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
  static const char16_t* const kPhrases[] = {
      u"immediatelly", u"after first ring", u"after 2 rings",
      u"after 3 rings", u"after 4 rings",   u"after 5 rings"};
  out[0] = 0;
  append(out, capacity,
         replySettings.secondEnabled != 0 ? u"Send Main Reply " : u"Send Reply ");
  const int32_t rings = replySettings.ringsBeforeReply;
  if (rings >= 0 && rings <= 5) append(out, capacity, kPhrases[rings]);
}

void rulesLabelText(bool afterRulesScreen, char16_t* out, size_t capacity) {
  out[0] = 0;
  const int32_t selected = countSelected(ReplyKind::main);
  switch (replySettings.mainMode) {
    case 0:
      append(out, capacity, u"to any numbers");
      break;
    case 1:
      append(out, capacity, afterRulesScreen ? u"only to \n" : u"only to\n");
      appendNumber(out, capacity, selected);
      append(out, capacity, u" selected numbers");
      break;
    default:
      append(out, capacity, u"to any numbers\nexcl. ");
      appendNumber(out, capacity, selected);
      append(out, capacity, u" selected");
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
  if (message == plat::WM_LBUTTONDOWN) {
    plat::SHSipPreference(screen, plat::SIP_DOWN);
    return 0;
  }
  if (isColourMessage(message))
    return answerColour(objects, reinterpret_cast<plat::HDC>(wParam),
                        reinterpret_cast<plat::HWND>(lParam));
  return 0;
}
