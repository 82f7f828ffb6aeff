#include "tests/unit/screen_fixture.h"

#include "platform/fake/registry.h"
#include "platform/fake/ui.h"
#include "resources/resource_ids.h"
#include "screens/screen_style.h"
#include "engine/tracker.h"
#include "shell/app_shell.h"
#include "store/contact_import.h"
#include "tests/unit/replay.h"

void freshProgram() {
  freshEngine();
  mainWindow = nullptr;
  resetAppShell();
  resetContactImport();
  using fake::ControlSpec;
  fake::addDialogTemplate(
      IDD_MAIN,
      {{IDC_RINGS_TEXT, ControlSpec::staticText, u"Send Reply after 2 rings"},
       {IDC_RINGS_LESS, ControlSpec::button, u"<"},
       {IDC_RINGS_MORE, ControlSpec::button, u">"},
       {IDC_ON_CANCEL, ControlSpec::checkBox,
        u"and when I cancel the Call (red phone)"},
       {IDC_RULES_TEXT, ControlSpec::staticText,
        u"Send Reply to:\nany numbers\n!"},
       {IDC_SET_RULES, ControlSpec::button, u"Set number rules"},
       {IDC_MESSAGE_LABEL, ControlSpec::staticText, u"Reply messsage text:"},
       {IDC_MESSAGE, ControlSpec::editBox, u""},
       {IDC_SECOND_REPLY, ControlSpec::button, u"Activate Second Reply"},
       {IDC_SELF_ACTIVATE, ControlSpec::checkBox,
        u"Self-activate after the system reset"},
       {IDC_TITLE, ControlSpec::staticText, u"Static"},
       {IDC_ABOUT, ControlSpec::staticText, u"Static"},
       {IDC_QUIT, ControlSpec::button, u"Quit"},
       {IDC_ACTIVATE, ControlSpec::button, u"ACTIVATE"}});
}

std::u16string controlTextOf(plat::HWND dialog, int controlId) {
  return fake::windowText(fake::dialogItem(dialog, controlId));
}

std::u16string controlText(int controlId) {
  return controlTextOf(fake::activeDialog(), controlId);
}

int32_t storedActivate() {
  for (const fake::RegistryValue& v :
       fake::registryValues(u"SOFTWARE\\Zerv\\QRL"))
    if (v.name == u"Activate" && v.bytes.size() == 4)
      return static_cast<int32_t>(v.bytes[0] | (v.bytes[1] << 8) |
                                  (v.bytes[2] << 16) | (v.bytes[3] << 24));
  return -1;
}
