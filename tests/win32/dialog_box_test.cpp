// Modal dialogs through plat's functions: a template built here and the
// program's own from its resources, their controls, the colour message with
// plat's brushes and fonts, and the end of the dialog. Needs an X display.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/timer.h"
#include "resources/resource_ids.h"
#include "tests/win32/window_support.h"

namespace {

using window_support::kCheckBox;
using window_support::kEditBox;
using window_support::kLabel;

constexpr uint16_t kFinish = 500;  // a command the test posts to itself
constexpr uintptr_t kGiveUp = 99;  // ends a dialog that did not end itself
constexpr plat::COLORREF kBlue = 0x00A05010;

// One GetWindowTextW into a buffer of `max` units.
struct Cut {
  explicit Cut(int32_t size) : max(size) {}
  int32_t max;
  int32_t got = -1;
  std::u16string text;
  bool terminated = false;
  bool restUntouched = false;
};

// What the dialog procedure did and saw, for the test to check afterwards.
struct DialogRun {
  plat::HBRUSH brush = nullptr;
  plat::HFONT font = nullptr;
  bool initialised = false;
  std::vector<Cut> cuts;
  plat::WPARAM checkBefore = 99;
  plat::WPARAM checkAfter = 99;
  int32_t editId = 0;
  std::vector<int32_t> coloured;  // control ids, in the order asked
  bool dcCallsAnswered = true;
  bool finishing = false;
};
DialogRun* run = nullptr;

void readBack(plat::HWND edit) {
  for (Cut& cut : run->cuts) {
    char16_t buffer[16];
    for (char16_t& c : buffer) c = u'#';
    cut.got = plat::GetWindowTextW(edit, buffer, cut.max);
    if (cut.got < 0 || cut.got >= 16) continue;
    cut.text.assign(buffer, cut.got);
    cut.terminated = buffer[cut.got] == u'\0';
    cut.restUntouched = true;
    for (int i = cut.max; i < 16; ++i)
      cut.restUntouched = cut.restUntouched && buffer[i] == u'#';
  }
}

intptr_t testDialog(plat::HWND dialog, uint32_t message, plat::WPARAM wParam,
                    plat::LPARAM lParam) {
  switch (message) {
    case plat::WM_INITDIALOG: {
      run = reinterpret_cast<DialogRun*>(lParam);
      run->initialised = true;
      plat::SetTimer(dialog, kGiveUp, 10000);
      plat::HWND edit = plat::GetDlgItem(dialog, kEditBox);
      plat::SetWindowTextW(edit, u"Hello");
      readBack(edit);
      run->editId = plat::GetDlgCtrlID(edit);
      plat::HWND box = plat::GetDlgItem(dialog, kCheckBox);
      run->checkBefore = plat::SendMessageW(box, plat::BM_GETCHECK, 0, 0);
      plat::SendMessageW(box, plat::BM_SETCHECK, plat::BST_CHECKED, 0);
      run->checkAfter = plat::SendMessageW(box, plat::BM_GETCHECK, 0, 0);
      plat::SetFocus(edit);
      return 0;  // the focus is set
    }
    case plat::WM_CTLCOLORSTATIC: {
      auto* dc = reinterpret_cast<plat::HDC>(wParam);
      const int32_t id =
          plat::GetDlgCtrlID(reinterpret_cast<plat::HWND>(lParam));
      run->coloured.push_back(id);
      run->dcCallsAnswered =
          run->dcCallsAnswered &&
          plat::SetBkMode(dc, plat::TRANSPARENT) != 0 &&
          plat::SetTextColor(dc, 0x00FFFFFF) != 0xFFFFFFFFu &&
          plat::SelectObject(dc, run->font) != nullptr;
      // Painted once: the dialog has run its loop, so it may end.
      if (id == kLabel && !run->finishing) {
        run->finishing = true;
        window_support::postMessage(dialog, plat::WM_COMMAND, kFinish, 0);
      }
      return reinterpret_cast<intptr_t>(run->brush);
    }
    case plat::WM_COMMAND:
      if ((wParam & 0xFFFF) != kFinish) return 0;
      plat::EndDialog(dialog, 42);
      return 1;
    case plat::WM_TIMER:
      if (wParam == kGiveUp) plat::EndDialog(dialog, -2);
      return 1;
  }
  return 0;
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(window_support::displayReady(&why)) << why;
  }
};

plat::LOGFONTW boldFont(const char16_t* face) {
  plat::LOGFONTW font{};
  font.lfHeight = -13;
  font.lfWidth = 5;
  font.lfWeight = plat::FW_BOLD;
  font.lfItalic = 1;
  font.lfStrikeOut = 1;
  font.lfCharSet = plat::DEFAULT_CHARSET;
  font.lfOutPrecision = 3;
  font.lfClipPrecision = 2;
  font.lfQuality = plat::CLEARTYPE_QUALITY;
  font.lfPitchAndFamily = 0x22;
  for (int i = 0; i < 32 && face[i] != u'\0'; ++i) font.lfFaceName[i] = face[i];
  return font;
}

// The face name up to its terminator, or all 32 units when it has none.
std::u16string faceOf(const plat::LOGFONTW& font) {
  const char16_t* end = std::find(std::begin(font.lfFaceName),
                                  std::end(font.lfFaceName), u'\0');
  return std::u16string(std::begin(font.lfFaceName), end);
}

TEST_F(Dialogs, TemplateInMemoryRunsWithItsControlsAndEndsWithItsResult) {
  DialogRun state;
  state.brush = plat::CreateSolidBrush(kBlue);
  const plat::LOGFONTW asked = boldFont(u"Tahoma");
  state.font = plat::CreateFontIndirectW(&asked);
  ASSERT_NE(state.brush, nullptr);
  ASSERT_NE(state.font, nullptr);
  // "Hello" read into buffers of several sizes: at most max - 1 units and
  // a terminator, and nothing written past the buffer.
  state.cuts = {Cut{16}, Cut{6}, Cut{5}, Cut{2}, Cut{1}};

  std::vector<uint16_t> bytes = window_support::testDialogTemplate();
  const intptr_t result = plat::DialogBoxIndirectParamW(
      window_support::thisModule(),
      reinterpret_cast<plat::HGLOBAL>(bytes.data()), nullptr, testDialog,
      reinterpret_cast<plat::LPARAM>(&state));
  run = nullptr;
  ASSERT_EQ(result, 42);
  EXPECT_TRUE(state.initialised);

  const struct {
    int32_t max, got;
    const char16_t* text;
  } wantCuts[] = {{16, 5, u"Hello"}, {6, 5, u"Hello"}, {5, 4, u"Hell"},
                  {2, 1, u"H"},      {1, 0, u""}};
  ASSERT_EQ(state.cuts.size(), std::size(wantCuts));
  for (size_t i = 0; i < state.cuts.size(); ++i) {
    SCOPED_TRACE("buffer of " + std::to_string(wantCuts[i].max));
    EXPECT_EQ(state.cuts[i].got, wantCuts[i].got);
    EXPECT_EQ(state.cuts[i].text, wantCuts[i].text);
    EXPECT_TRUE(state.cuts[i].terminated);
    EXPECT_TRUE(state.cuts[i].restUntouched);
  }
  EXPECT_EQ(state.editId, kEditBox);
  EXPECT_EQ(state.checkBefore, plat::BST_UNCHECKED);
  EXPECT_EQ(state.checkAfter, plat::BST_CHECKED);

  // The label asked for its colours (the check box may ask too), and each
  // device context call took plat's objects.
  EXPECT_NE(std::find(state.coloured.begin(), state.coloured.end(), kLabel),
            state.coloured.end());
  EXPECT_TRUE(state.dcCallsAnswered);

  // The objects are the ones asked for.
  plat::COLORREF colour = 0;
  EXPECT_TRUE(window_support::brushColour(state.brush, &colour));
  EXPECT_EQ(colour, kBlue);
  plat::LOGFONTW got{};
  ASSERT_TRUE(window_support::fontOf(state.font, &got));
  EXPECT_EQ(got.lfHeight, asked.lfHeight);
  EXPECT_EQ(got.lfWidth, asked.lfWidth);
  EXPECT_EQ(got.lfEscapement, 0);
  EXPECT_EQ(got.lfOrientation, 0);
  EXPECT_EQ(got.lfWeight, plat::FW_BOLD);
  EXPECT_EQ(got.lfItalic, 1);
  EXPECT_EQ(got.lfUnderline, 0);
  EXPECT_EQ(got.lfStrikeOut, 1);
  EXPECT_EQ(got.lfCharSet, plat::DEFAULT_CHARSET);
  EXPECT_EQ(got.lfOutPrecision, 3);
  EXPECT_EQ(got.lfClipPrecision, 2);
  EXPECT_EQ(got.lfQuality, plat::CLEARTYPE_QUALITY);
  EXPECT_EQ(got.lfPitchAndFamily, 0x22);
  EXPECT_EQ(faceOf(got), u"Tahoma");
  EXPECT_TRUE(plat::DeleteObject(state.font));
  EXPECT_TRUE(plat::DeleteObject(state.brush));
}

TEST_F(Dialogs, FaceNameThatFillsTheFieldIsCutByOne) {
  const std::u16string full(32, u'A');
  plat::LOGFONTW asked = boldFont(u"");
  for (int i = 0; i < 32; ++i) asked.lfFaceName[i] = full[i];
  plat::HFONT font = plat::CreateFontIndirectW(&asked);
  ASSERT_NE(font, nullptr);
  plat::LOGFONTW got{};
  ASSERT_TRUE(window_support::fontOf(font, &got));
  EXPECT_EQ(faceOf(got), full.substr(0, 31));
  plat::DeleteObject(font);

  EXPECT_EQ(plat::CreateFontIndirectW(nullptr), nullptr);
  plat::COLORREF black = 1;
  EXPECT_TRUE(window_support::brushColour(
      plat::GetStockObject(plat::BLACK_BRUSH), &black));
  EXPECT_EQ(black, 0u);
}

// The program's way: FindResourceW and LoadResource give what
// DialogBoxIndirectParamW takes.
intptr_t endSoon(plat::HWND dialog, uint32_t message, plat::WPARAM wParam,
                 plat::LPARAM lParam) {
  static intptr_t result = 0;
  if (message == plat::WM_INITDIALOG) {
    result = plat::GetDlgItem(dialog, IDC_MESSAGE) != nullptr ? lParam : -3;
    plat::SetTimer(dialog, 1, 10);
    return 1;
  }
  if (message == plat::WM_TIMER && wParam == 1) {
    plat::EndDialog(dialog, result);
    return 1;
  }
  return 0;
}

TEST_F(Dialogs, ProgramTemplateRunsFromTheResources) {
  plat::HINSTANCE self = window_support::thisModule();
  plat::HRSRC found =
      plat::FindResourceW(self, plat::makeIntResource(IDD_MAIN),
                          plat::RT_DIALOG());
  ASSERT_NE(found, nullptr);
  plat::HGLOBAL loaded = plat::LoadResource(self, found);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(plat::DialogBoxIndirectParamW(self, loaded, nullptr, endSoon, 7),
            7);

  // A template that is not there: nothing found, nothing run.
  EXPECT_EQ(plat::FindResourceW(self, plat::makeIntResource(999),
                                plat::RT_DIALOG()),
            nullptr);
  EXPECT_EQ(plat::DialogBoxIndirectParamW(self, nullptr, nullptr, endSoon, 7),
            -1);
}

}  // namespace
