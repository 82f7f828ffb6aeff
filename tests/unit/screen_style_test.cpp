#include <gtest/gtest.h>

#include "platform/fake/device.h"
#include "platform/fake/ui.h"
#include "platform/pocket_shell.h"
#include "resources/resource_ids.h"
#include "screens/main_settings_screen.h"
#include "screens/screen_style.h"
#include "tests/unit/screen_fixture.h"

namespace {

using fake::Op;

TEST(ScreenStyle, SizesByOrientation) {
  const struct {
    int32_t orientation, width, height;
  } cases[] = {{0, 240, 320}, {1, 320, 240}, {2, 240, 240}, {7, 240, 240}};
  for (const auto& c : cases) {
    int32_t w = 0, h = 0;
    screenSize(c.orientation, &w, &h);
    EXPECT_EQ(w, c.width) << c.orientation;
    EXPECT_EQ(h, c.height) << c.orientation;
  }
}

TEST(ScreenStyle, MakeFontFillsTheWholeRecord) {
  freshProgram();
  const struct {
    bool bold;
    int32_t style;
    bool clearType;
    int32_t weight;
    uint8_t underline, strikeOut, quality;
  } cases[] = {{true, 0, false, 700, 0, 0, 0},
               {false, 1, false, 400, 1, 0, 0},
               {false, 2, true, 400, 0, 1, 5},
               {true, 3, true, 700, 0, 0, 5}};
  for (const auto& c : cases) {
    plat::HFONT font = makeFont(u"A face name longer than thirty-one units",
                                -13, c.bold, c.style, c.clearType);
    const auto f = fake::fontOf(font);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->lfHeight, -13);
    EXPECT_EQ(f->lfWidth, 0);
    EXPECT_EQ(f->lfEscapement, 0);
    EXPECT_EQ(f->lfOrientation, 0);
    EXPECT_EQ(f->lfWeight, c.weight);
    EXPECT_EQ(f->lfItalic, 0);
    EXPECT_EQ(f->lfUnderline, c.underline);
    EXPECT_EQ(f->lfStrikeOut, c.strikeOut);
    EXPECT_EQ(f->lfCharSet, 1);
    EXPECT_EQ(f->lfOutPrecision, 0);
    EXPECT_EQ(f->lfClipPrecision, 0);
    EXPECT_EQ(f->lfQuality, c.quality);
    EXPECT_EQ(f->lfPitchAndFamily, 0);
    EXPECT_EQ(std::u16string(f->lfFaceName),
              std::u16string(u"A face name longer than thirty-one units")
                  .substr(0, 31));
    plat::DeleteObject(font);
  }
}

TEST(ScreenStyle, AScreenOpensFullScreenWithThePanelDown) {
  freshProgram();
  fake::setInputPanelUp(true);
  plat::HWND screen = nullptr;
  fake::scriptDialog(IDD_MAIN, {fake::inspect([&] {
                                  screen = fake::activeDialog();
                                  EXPECT_FALSE(fake::inputPanelUp());
                                  fake::setInputPanelUp(true);
                                }),
                                fake::tapGround(),
                                fake::inspect([] {
                                  EXPECT_FALSE(fake::inputPanelUp());
                                }),
                                fake::click(IDC_QUIT)});
  runScreen(IDD_MAIN, nullptr, mainSettingsScreenProc);
  const fake::Call* init = fake::findCall(Op::SHInitDialog);
  ASSERT_NE(init, nullptr);
  EXPECT_EQ(init->args[1], plat::SHIDIM_FLAGS);
  EXPECT_EQ(init->args[3], plat::SHIDIF_SIPDOWN);
  EXPECT_EQ(fake::doneButtonState(screen), plat::SHDB_HIDE);
  EXPECT_EQ(fake::fullScreenFlags(screen), 42u);
  // Each step of the fitting, in order, after the panel went down.
  const Op order[] = {Op::SHInitDialog, Op::SHDoneButton,
                      Op::SetForegroundWindow, Op::SHFullScreen,
                      Op::MoveWindow};
  size_t at = 0;
  for (size_t i = 0; i < fake::callCount() && at < std::size(order); ++i)
    if (fake::call(i).op == order[at]) ++at;
  EXPECT_EQ(at, std::size(order));
  // The ground tap answers FALSE.
  const std::vector<fake::DialogRun> runs = fake::dialogRuns();
  size_t taps = 0;
  for (const fake::DialogMessage& m : runs.at(0).messages) {
    if (m.message != plat::WM_LBUTTONDOWN) continue;
    EXPECT_EQ(m.answer, 0);
    ++taps;
  }
  EXPECT_EQ(taps, 1u);
}

}  // namespace
