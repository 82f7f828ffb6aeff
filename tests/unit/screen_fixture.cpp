#include "tests/unit/screen_fixture.h"

#include "platform/fake/registry.h"
#include "platform/fake/ui.h"
#include "resources/resource_ids.h"
#include "screens/screen_style.h"
#include "engine/tracker.h"
#include "shell/app_shell.h"
#include "store/contact_import.h"
#include "tests/unit/replay.h"

namespace {

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\Zerv\\QRL";

}  // namespace

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
  fake::addDialogTemplate(
      IDD_MAIN_RULES,
      {{IDC_RULES_TITLE, ControlSpec::staticText, u"Send Main Reply to:"},
       {IDC_MODE_ANY, ControlSpec::radioButton, u"Any numbers"},
       {IDC_MODE_ONLY, ControlSpec::radioButton, u"Only selected below"},
       {IDC_MODE_EXCLUDE, ControlSpec::radioButton,
        u"Any numbers  excl. selected below"},
       {IDC_CATEGORIES, ControlSpec::listView, u""},
       {IDC_NUMBERS, ControlSpec::listView, u""},
       {IDC_SAVE_AND_BACK, ControlSpec::button, u"Save and back"}});
  fake::addDialogTemplate(
      IDD_SECOND_RULES,
      {{IDC_RULES_TITLE, ControlSpec::staticText, u"Send Second Reply to:"},
       {IDC_MODE_ONLY, ControlSpec::radioButton, u"Only selected below"},
       {IDC_MODE_EXCLUDE, ControlSpec::radioButton,
        u"Any numbers  excl. selected below"},
       {IDC_MODE_DOMESTIC, ControlSpec::radioButton, u"Any domestic"},
       {IDC_MODE_FOREIGN, ControlSpec::radioButton, u"Only foreign"},
       {IDC_CATEGORIES, ControlSpec::listView, u""},
       {IDC_NUMBERS, ControlSpec::listView, u""},
       {IDC_SAVE_AND_BACK, ControlSpec::button, u"Save and back"}});
  fake::addDialogTemplate(
      IDD_SECOND_REPLY,
      {{IDC_RINGS_TEXT, ControlSpec::staticText, u"Send Reply after 2 rings"},
       {IDC_ON_CANCEL, ControlSpec::checkBox,
        u"and when I cancel the Call (red phone)"},
       {IDC_RULES_TEXT, ControlSpec::staticText, u"Send Reply to:\nany numbers"},
       {IDC_SET_RULES, ControlSpec::button, u"Set number rules"},
       {IDC_MESSAGE_LABEL, ControlSpec::staticText, u"Reply messsage text:"},
       {IDC_MESSAGE, ControlSpec::editBox, u""},
       {-1, ControlSpec::staticText,
        u"Please note: rules of this Second Message are always preferencial "
        u"before rules \nset to the Main Message"},
       {IDC_CANCEL, ControlSpec::button, u"Cancel"},
       {IDC_ACTIVATE, ControlSpec::button, u"ACTIVATE"}});
}

std::u16string controlTextOf(plat::HWND dialog, int controlId) {
  return fake::windowText(fake::dialogItem(dialog, controlId));
}

std::u16string controlText(int controlId) {
  return controlTextOf(fake::activeDialog(), controlId);
}

int32_t storedDword(const char16_t* name) {
  for (const fake::RegistryValue& v : fake::registryValues(kSettingsKey))
    if (v.name == name && v.bytes.size() == 4)
      return static_cast<int32_t>(v.bytes[0] | (v.bytes[1] << 8) |
                                  (v.bytes[2] << 16) | (v.bytes[3] << 24));
  return -1;
}

int32_t storedActivate() { return storedDword(u"Activate"); }

void storeDword(const char16_t* name, uint32_t value) {
  fake::setRegistryValue(kSettingsKey, name, 4, fake::dwordBytes(value));
}

std::vector<SeenColour> seenColours() {
  std::vector<SeenColour> seen;
  for (const fake::ColourAnswer& a : fake::lastColourAnswers()) {
    SeenColour c{a.control, fake::brushColour(a.brush).value_or(0x1234567),
                 a.textColour, a.bkMode, u"", 0, 0};
    if (const auto font = fake::fontOf(a.font)) {
      c.face = font->lfFaceName;
      c.height = font->lfHeight;
      c.weight = font->lfWeight;
    }
    seen.push_back(c);
  }
  return seen;
}
