#include "screens/second_reply_screen.h"

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "platform/dialogs.h"
#include "platform/pocket_shell.h"
#include "screens/dialog_items.h"
#include "screens/label_text.h"
#include "screens/number_rules_screen.h"
#include "screens/screen_style.h"
#include "store/settings_store.h"

namespace {

constexpr char16_t kDefaultText[] =
    u"Auto-reply: Forgive me please, I didn't answered your call. I will call "
    u"back you, asap.";
constexpr size_t kLabelUnits = 64;

constexpr ControlStyle kStyles[] = {
    {IDC_ACTIVATE, u"Tahoma", 18, screenPalette.blue, true},
    {IDC_CANCEL, u"Tahoma", 18, screenPalette.blue, true},
};

ScreenObjects objects;

void setRulesLabel(plat::HWND screen) {
  char16_t text[kLabelUnits];
  secondRulesLabelText(text, kLabelUnits);
  setItemText(screen, IDC_RULES_TEXT, text);
}

void setUp(plat::HWND screen) {
  createScreenObjects(objects, kStyles, sizeof kStyles / sizeof kStyles[0]);
  if (replySettings.secondText[0] == 0)
    copyText(replySettings.secondText, kDefaultText);
  setItemText(screen, IDC_MESSAGE, replySettings.secondText);
  setItemCheck(screen, IDC_ON_CANCEL, replySettings.secondReplyOnCancel != 0);
  setItemText(screen, IDC_MESSAGE_LABEL, u"Second Reply message text:");
  char16_t rings[kLabelUnits];
  secondRingsLabelText(rings, kLabelUnits);
  setItemText(screen, IDC_RINGS_TEXT, rings);
  setRulesLabel(screen);
  initScreen(screen);
}

void openRules(plat::HWND screen) {
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  runNumberRulesScreen(ReplyKind::second, screen);
  setRulesLabel(screen);
  refitScreen(screen);
  plat::SetFocus(dialogItem(screen, IDC_ACTIVATE));
}

// Both exits keep the text and the box; they differ in whether the second
// message's rules stay on.
void finish(plat::HWND screen, int32_t button) {
  const bool activate = button == IDC_ACTIVATE;
  replySettings.secondEnabled = activate ? 1 : 0;
  readMessageBox(screen, IDC_MESSAGE, replySettings.secondText);
  replySettings.secondReplyOnCancel =
      isItemChecked(screen, IDC_ON_CANCEL) ? 1 : 0;
  if (activate && replySettings.secondReplyOnCancel == 1)
    replySettings.replyOnCancel = 0;
  saveSettings();
  plat::SHSipPreference(screen, plat::SIP_DOWN);
  deleteScreenObjects(objects);
  plat::EndDialog(screen, button);
}

bool command(plat::HWND screen, int32_t control, uint16_t notification) {
  switch (control) {
    case IDC_MESSAGE:
      handleMessageBox(screen, notification, IDC_MESSAGE,
                       replySettings.secondText);
      return true;
    case IDC_SET_RULES:
      openRules(screen);
      return true;
    case IDC_ACTIVATE:
    case IDC_CANCEL:
      finish(screen, control);
      return true;
    default:
      return false;
  }
}

}  // namespace

void secondRingsLabelText(char16_t* out, size_t capacity) {
  out[0] = 0;
  appendText(out, capacity, u"Send Second Reply ");
  appendText(out, capacity, ringPhrase(replySettings.ringsBeforeReply));
}

// Modes 3 and 4 take the rules screen's captions. Every other mode the
// replies treat as mode 4, so the label says so too.
void secondRulesLabelText(char16_t* out, size_t capacity) {
  const int32_t n = countSelected(ReplyKind::second);
  switch (replySettings.secondMode) {
    case 0:
      formatCount(out, capacity, u"to any numbers", n);
      break;
    case secondOnlySelected:
      formatCount(out, capacity, u"only to\n%d selected numbers", n);
      break;
    case secondAllButSelected:
      formatCount(out, capacity, u"to any numbers\nexcl. %d selected", n);
      break;
    case secondPlusOnly:
      formatCount(out, capacity, u"Any domestic", n);
      break;
    default:
      formatCount(out, capacity, u"Only foreign", n);
      break;
  }
}

intptr_t secondReplyScreenProc(plat::HWND screen, uint32_t message,
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
