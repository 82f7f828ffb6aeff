// The program's resources as windres put them into this executable: the
// screens' templates byte by byte, the icon's images, the accelerator table,
// and the templates turned into real dialogs.
#include "resources/resource_ids.h"  // first: it must stand on its own

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32.h"
#include "tests/win32/dialog_template.h"

#include <commctrl.h>

namespace {

constexpr uint16_t kButton = 0x80;
constexpr uint16_t kEdit = 0x81;
constexpr uint16_t kStatic = 0x82;
// List views have no atom: the template names their class.
constexpr uint16_t kListView = 0;
constexpr wchar_t kListViewClass[] = L"SysListView32";

constexpr DWORD kBase = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kBase | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kRadio = kBase | BS_AUTORADIOBUTTON;
constexpr DWORD kFirstRadio = kRadio | WS_GROUP | WS_TABSTOP;
constexpr DWORD kRulesList = kBase | WS_TABSTOP | WS_BORDER | LVS_REPORT |
                             LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER;
constexpr DWORD kMessageBox = kBase | WS_TABSTOP | ES_LEFT | ES_MULTILINE |
                              ES_AUTOVSCROLL | ES_OEMCONVERT | WS_BORDER;
constexpr DWORD kCheckBoxAtTop =
    kBase | WS_TABSTOP | BS_AUTOCHECKBOX | BS_TOP;

struct ExpectedControl {
  uint32_t id;
  uint16_t classAtom;
  const wchar_t* title;
  int16_t x, y, cx, cy;
  DWORD style;
};

// Each table in template order, which is also the tab order.
const std::vector<ExpectedControl> kMainControls = {
    {1015, kStatic, L"Send Reply after 2 rings", 9, 72, 101, 9,
     kBase | SS_LEFT},
    {1018, kButton, L"<", 113, 72, 18, 11, kPushButton},
    {1017, kButton, L">", 132, 72, 18, 11, kPushButton},
    {1004, kButton, L"and when I cancel the Call (red phone)", 9, 85, 144, 10,
     kCheckBoxAtTop},
    {1026, kStatic, L"Send Reply to:\nany numbers\n!", 9, 96, 69, 18,
     kBase | SS_LEFT},
    {3, kButton, L"Set number rules", 79, 98, 71, 16, kPushButton},
    {1027, kStatic, L"Reply messsage text:", 10, 29, 117, 8, kBase | SS_LEFT},
    {1003, kEdit, L"", 10, 39, 140, 28, kMessageBox},
    {4, kButton, L"Activate Second Reply", 9, 117, 140, 13, kPushButton},
    {1002, kButton, L"Self-activate after the system reset", 9, 134, 134, 10,
     kBase | WS_TABSTOP | BS_AUTOCHECKBOX},
    {1028, kStatic, L"Static", 9, 148, 140, 14, kBase | SS_LEFT},
    {1029, kStatic, L"Static", 9, 163, 140, 18, kBase | SS_LEFT},
    {1023, kButton, L"Quit", 100, 9, 50, 16, kPushButton},
    {1, kButton, L"ACTIVATE", 10, 9, 50, 16, kPushButton},
};

// Several rows may be selected in a list (no LVS_SINGLESEL). The
// categories list starts the group after the radio buttons.
const std::vector<ExpectedControl> kMainRulesControls = {
    {1027, kStatic, L"Send Main Reply to:", 10, 9, 77, 8, kBase | SS_LEFT},
    {1005, kButton, L"Any numbers", 10, 19, 76, 10, kFirstRadio},
    {1007, kButton, L"Only selected below", 10, 30, 119, 10, kRadio},
    {1008, kButton, L"Any numbers  excl. selected below", 10, 41, 140, 10,
     kRadio},
    {1021, kListView, L"", 10, 54, 140, 34, kRulesList | WS_GROUP},
    {1010, kListView, L"", 10, 94, 140, 44, kRulesList},
    {1, kButton, L"Save and back", 92, 9, 58, 16, kPushButton},
};

const std::vector<ExpectedControl> kSecondReplyControls = {
    {1015, kStatic, L"Send Reply after 2 rings", 9, 72, 140, 9,
     kBase | SS_LEFT},
    {1004, kButton, L"and when I cancel the Call (red phone)", 9, 85, 144, 10,
     kCheckBoxAtTop},
    {1026, kStatic, L"Send Reply to:\nany numbers", 9, 96, 69, 19,
     kBase | SS_LEFT},
    {3, kButton, L"Set number rules", 79, 98, 71, 16, kPushButton},
    {1027, kStatic, L"Reply messsage text:", 10, 29, 117, 8, kBase | SS_LEFT},
    {1003, kEdit, L"", 10, 39, 140, 28, kMessageBox},
    // The blank before the line break is the screen's.
    {0xFFFF, kStatic,
     L"Please note: rules of this Second Message are always preferencial "
     L"before rules \nset to the Main Message",
     9, 120, 145, 29, kBase | SS_LEFT},
    {1023, kButton, L"Cancel", 100, 9, 50, 16, kPushButton},
    {1, kButton, L"ACTIVATE", 10, 9, 50, 16, kPushButton},
};

const std::vector<ExpectedControl> kSecondRulesControls = {
    {1027, kStatic, L"Send Second Reply to:", 10, 9, 77, 8, kBase | SS_LEFT},
    {1007, kButton, L"Only selected below", 10, 19, 80, 10, kFirstRadio},
    {1008, kButton, L"Any numbers  excl. selected below", 10, 30, 140, 10,
     kRadio},
    {1006, kButton, L"Any domestic", 10, 41, 64, 10, kRadio},
    {1009, kButton, L"Only foreign", 76, 41, 55, 10, kRadio},
    {1021, kListView, L"", 10, 54, 140, 34, kRulesList | WS_GROUP},
    {1010, kListView, L"", 10, 94, 140, 44, kRulesList},
    {1, kButton, L"Save and back", 92, 9, 58, 16, kPushButton},
};

struct Screen {
  const char* name;
  WORD templateId;
  int16_t cx, cy;
  const std::vector<ExpectedControl>* controls;
};

const Screen kScreens[] = {
    {"Main", IDD_MAIN, 161, 185, &kMainControls},
    {"MainRules", IDD_MAIN_RULES, 161, 193, &kMainRulesControls},
    {"SecondReply", IDD_SECOND_REPLY, 161, 152, &kSecondReplyControls},
    {"SecondRules", IDD_SECOND_RULES, 161, 193, &kSecondRulesControls},
};

HMODULE self() { return GetModuleHandleW(nullptr); }

// Resource types by number: <windows.h> spells them as narrow strings
// unless UNICODE is defined.
constexpr WORD kRtIcon = 3;
constexpr WORD kRtDialog = 5;
constexpr WORD kRtGroupIcon = 14;

// The bytes of a resource of this executable; empty when there is none.
std::pair<const uint8_t*, DWORD> resource(WORD type, WORD name) {
  HRSRC found =
      FindResourceW(self(), MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
  if (found == nullptr) return {nullptr, 0};
  HGLOBAL loaded = LoadResource(self(), found);
  if (loaded == nullptr) return {nullptr, 0};
  return {static_cast<const uint8_t*>(LockResource(loaded)),
          SizeofResource(self(), found)};
}

const wchar_t* className(uint16_t atom) {
  return atom == kButton   ? L"Button"
         : atom == kEdit   ? L"Edit"
         : atom == kStatic ? L"Static"
                           : kListViewClass;
}

// Whether this Wine session can show windows at all. DISPLAY alone does not
// tell: a session that some process started without one keeps none.
bool canShowWindows() {
  if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) return false;
  ::HWND probe = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, self(), nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}

}  // namespace

namespace {

void PrintTo(const Screen& screen, std::ostream* out) {
  *out << screen.name << " (" << screen.templateId << ")";
}

::testing::AssertionResult parseTemplate(WORD id,
                                         dialog_template::Dialog* dialog) {
  const auto bytes = resource(kRtDialog, id);
  if (bytes.first == nullptr)
    return ::testing::AssertionFailure() << "no template " << id;
  std::string error;
  if (!dialog_template::parse(bytes.first, bytes.second, dialog, &error))
    return ::testing::AssertionFailure() << error;
  return ::testing::AssertionSuccess();
}

class ScreenTemplate : public ::testing::TestWithParam<Screen> {};

}  // namespace

TEST_P(ScreenTemplate, HasTheSizeStyleAndFont) {
  const Screen& screen = GetParam();
  dialog_template::Dialog dialog;
  ASSERT_TRUE(parseTemplate(screen.templateId, &dialog));
  EXPECT_EQ(dialog.style, DWORD(WS_POPUP | DS_SETFOREGROUND | DS_SETFONT));
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, screen.cx);
  EXPECT_EQ(dialog.cy, screen.cy);
  // No menu, no class and no caption: each field is the single 0x0000.
  for (const dialog_template::NameOrOrdinal* field :
       {&dialog.menu, &dialog.windowClass, &dialog.title}) {
    EXPECT_FALSE(field->isOrdinal);
    EXPECT_EQ(field->text, L"");
  }
  ASSERT_TRUE(dialog.hasFont);
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.typeface, L"Tahoma");
}

TEST_P(ScreenTemplate, HoldsEveryControlInOrderWithExactlyItsStyles) {
  const std::vector<ExpectedControl>& controls = *GetParam().controls;
  dialog_template::Dialog dialog;
  ASSERT_TRUE(parseTemplate(GetParam().templateId, &dialog));
  ASSERT_EQ(dialog.items.size(), controls.size());
  for (size_t i = 0; i < controls.size(); ++i) {
    const ExpectedControl& want = controls[i];
    const dialog_template::Item& got = dialog.items[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " +
                 std::to_string(want.id));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(dialog_template::classAtom(got.windowClass), want.classAtom);
    // windres writes a class name in capitals; class names match in any
    // case.
    if (want.classAtom == kListView) {
      EXPECT_FALSE(got.windowClass.isOrdinal);
      EXPECT_EQ(lstrcmpiW(got.windowClass.text.c_str(), kListViewClass), 0)
          << got.windowClass.text;
    }
    EXPECT_FALSE(got.title.isOrdinal);
    EXPECT_EQ(got.title.text, want.title);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.style, want.style)
        << std::hex << "got 0x" << got.style << ", want 0x" << want.style;
    EXPECT_EQ(got.exStyle, 0u);
    EXPECT_TRUE(got.creationData.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ScreenTemplate, ::testing::ValuesIn(kScreens),
    [](const ::testing::TestParamInfo<Screen>& info) {
      return std::string(info.param.name);
    });

TEST(MainScreenTemplate, ParserRefusesATemplateCutShort) {
  const auto bytes = resource(kRtDialog, 107);
  ASSERT_NE(bytes.first, nullptr);
  dialog_template::Dialog dialog;
  std::string error;
  // Short of the last control's title, and short of the header.
  EXPECT_FALSE(
      dialog_template::parse(bytes.first, bytes.second - 12, &dialog, &error));
  EXPECT_FALSE(dialog_template::parse(bytes.first, 20, &dialog, &error));
}

TEST(AppIcon, GroupHoldsFourImagesAtTwoSizesAndTwoDepths) {
  const auto group = resource(kRtGroupIcon, 104);
  ASSERT_NE(group.first, nullptr);
  ASSERT_GE(group.second, 6u);
  const uint8_t* p = group.first;
  const auto u16 = [](const uint8_t* at) { return WORD(at[0] | at[1] << 8); };
  const auto u32 = [&](const uint8_t* at) {
    return DWORD(u16(at) | DWORD(u16(at + 2)) << 16);
  };
  EXPECT_EQ(u16(p), 0);      // reserved
  EXPECT_EQ(u16(p + 2), 1);  // icons, not cursors
  const WORD count = u16(p + 4);
  ASSERT_EQ(count, 4);
  // GRPICONDIRENTRY: 14 bytes, packed.
  ASSERT_EQ(group.second, 6u + 14u * count);

  std::set<std::pair<int, int>> sizesAndDepths;
  for (WORD i = 0; i < count; ++i) {
    const uint8_t* entry = p + 6 + 14 * i;
    const int width = entry[0], height = entry[1];
    const WORD bits = u16(entry + 6);
    const DWORD bytesInRes = u32(entry + 8);
    const WORD iconId = u16(entry + 12);
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(width, height);
    EXPECT_EQ(u16(entry + 4), 1);  // planes
    sizesAndDepths.insert({width, bits});

    // The image itself agrees with its entry: a BITMAPINFOHEADER with the
    // height doubled for the AND mask, and both bitmaps in full.
    const auto image = resource(kRtIcon, iconId);
    ASSERT_NE(image.first, nullptr);
    EXPECT_EQ(image.second, bytesInRes);
    ASSERT_GE(image.second, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::copy(image.first, image.first + sizeof header,
              reinterpret_cast<uint8_t*>(&header));
    EXPECT_EQ(header.biSize, sizeof header);
    EXPECT_EQ(header.biWidth, width);
    EXPECT_EQ(header.biHeight, 2 * height);
    EXPECT_EQ(header.biBitCount, bits);
    EXPECT_EQ(header.biCompression, DWORD(BI_RGB));
    const size_t palette = bits == 8 ? 256 * 4 : 0;
    const size_t colourRow = (width * bits / 8 + 3) & ~3;
    const size_t maskRow = ((width + 31) / 32) * 4;
    ASSERT_EQ(image.second,
              sizeof header + palette + (colourRow + maskRow) * height);

    // Some pixels are see-through and some are not.
    const uint8_t* mask =
        image.first + sizeof header + palette + colourRow * height;
    size_t transparent = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        transparent += (mask[y * maskRow + x / 8] >> (7 - x % 8)) & 1;
    EXPECT_GT(transparent, 0u);
    EXPECT_LT(transparent, size_t(width * height));
  }
  const std::set<std::pair<int, int>> expected = {
      {16, 8}, {16, 24}, {32, 8}, {32, 24}};
  EXPECT_EQ(sizesAndDepths, expected);
}

TEST(AppIcon, LoadsAtBothSizes) {
  for (int size : {16, 32}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(
        LoadImageW(self(), MAKEINTRESOURCEW(104), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP colour{};
    ASSERT_NE(info.hbmColor, nullptr);
    ASSERT_NE(GetObjectW(info.hbmColor, sizeof colour, &colour), 0);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Accelerators, OneEntryCtrlQSendsCommandOne) {
  HACCEL table = LoadAcceleratorsW(self(), MAKEINTRESOURCEW(3));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 1);
  ACCEL entry{};
  ASSERT_EQ(CopyAcceleratorTableW(table, &entry, 1), 1);
  EXPECT_EQ(entry.fVirt, FVIRTKEY | FCONTROL | FNOINVERT);
  EXPECT_EQ(entry.key, 'Q');
  EXPECT_EQ(entry.cmd, 1);
  DestroyAcceleratorTable(table);
}

namespace {

struct Shown {
  const Screen* screen = nullptr;
  ::HWND dialog = nullptr;
  RECT client{};
  RECT expectedClient{};
  // Children in z-order, which follows the template; -1 where GetDlgItem
  // does not find the child by its id.
  std::vector<int> ids;
  std::vector<std::wstring> classes;
  std::vector<std::wstring> titles;
};

constexpr UINT_PTR kLookTimer = 1;

INT_PTR CALLBACK showProc(::HWND dialog, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    // Look only once the modal loop runs.
    SetTimer(dialog, kLookTimer, 50, nullptr);
    return TRUE;
  }
  if (message == WM_TIMER && wParam == kLookTimer) {
    KillTimer(dialog, kLookTimer);
    auto* shown =
        reinterpret_cast<Shown*>(GetWindowLongPtrW(dialog, DWLP_USER));
    shown->dialog = dialog;
    GetClientRect(dialog, &shown->client);
    shown->expectedClient = RECT{0, 0, shown->screen->cx, shown->screen->cy};
    MapDialogRect(dialog, &shown->expectedClient);
    for (::HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t text[128] = {};
      const int id = GetDlgCtrlID(child);
      shown->ids.push_back(GetDlgItem(dialog, id) == child ? id : -1);
      GetClassNameW(child, text, 128);
      shown->classes.push_back(text);
      GetWindowTextW(child, text, 128);
      shown->titles.push_back(text);
    }
    EndDialog(dialog, 42);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

// Needs an X display under Wine; skipped where DISPLAY is unset or the Wine
// session has no display driver. A template with a list view opens only
// once the common controls have registered its class, as the program's
// entry does.
TEST_P(ScreenTemplate, RunsAsAModalDialog) {
  if (!canShowWindows()) GTEST_SKIP() << "no display to show windows on";
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  const std::vector<ExpectedControl>& want = *GetParam().controls;
  const auto bytes = resource(kRtDialog, GetParam().templateId);
  ASSERT_NE(bytes.first, nullptr);
  Shown shown;
  shown.screen = &GetParam();
  const INT_PTR result = DialogBoxIndirectParamW(
      self(), reinterpret_cast<const DLGTEMPLATE*>(bytes.first), nullptr,
      showProc, reinterpret_cast<LPARAM>(&shown));
  ASSERT_EQ(result, 42) << "GetLastError " << GetLastError();
  EXPECT_EQ(shown.client.right, shown.expectedClient.right);
  EXPECT_EQ(shown.client.bottom, shown.expectedClient.bottom);
  ASSERT_EQ(shown.ids.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE("control " + std::to_string(i));
    EXPECT_EQ(shown.ids[i], int(want[i].id));
    EXPECT_EQ(shown.titles[i], want[i].title);
    EXPECT_EQ(lstrcmpiW(shown.classes[i].c_str(),
                        className(want[i].classAtom)),
              0)
        << shown.classes[i];
  }
}
