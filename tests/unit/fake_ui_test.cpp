// The user interface of the in-memory device, where a fault would mislead
// the program's own tests: scripted dialogs (nesting, ending, running out),
// control texts, list views, radio buttons, disabled controls, the tray's
// rules, window creation, the message loop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "platform/fake/device.h"
#include "platform/fake/files.h"
#include "platform/fake/ui.h"
#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/list_view.h"
#include "platform/pocket_shell.h"
#include "platform/thread.h"
#include "platform/tray.h"
#include "platform/window.h"

namespace {

using fake::ControlSpec;

constexpr int kOuter = 300;
constexpr int kInner = 301;
constexpr int kControls = 302;
constexpr int kOpen = 1, kClose = 2, kTick = 3, kLabel = 4, kName = 10,
              kOk = 11, kList = 20, kA1 = 21, kA2 = 22, kB1 = 23, kB2 = 24;

uint16_t idOf(plat::WPARAM w) { return static_cast<uint16_t>(w & 0xFFFF); }
uint16_t codeOf(plat::WPARAM w) { return static_cast<uint16_t>(w >> 16); }

intptr_t runTemplate(int id, plat::HWND owner, plat::DLGPROC proc) {
  plat::HRSRC found = plat::FindResourceW(
      nullptr, plat::makeIntResource(static_cast<uint16_t>(id)),
      plat::RT_DIALOG());
  return plat::DialogBoxIndirectParamW(
      nullptr, plat::LoadResource(nullptr, found), owner, proc, 0);
}

// What the test procedures saw.
struct Seen {
  std::vector<intptr_t> innerResults;
  std::vector<std::u16string> innerTexts;
  std::vector<std::string> events;
  bool endInInit = false;
};
Seen seen;

intptr_t innerProc(plat::HWND dlg, uint32_t msg, plat::WPARAM w, plat::LPARAM) {
  if (msg == plat::WM_COMMAND && idOf(w) == kOk) {
    char16_t text[32];
    plat::GetWindowTextW(plat::GetDlgItem(dlg, kName), text, 32);
    seen.innerTexts.push_back(text);
    plat::EndDialog(dlg, 50 + static_cast<intptr_t>(seen.innerTexts.size()));
    return 1;
  }
  return msg == plat::WM_INITDIALOG ? 1 : 0;
}

intptr_t outerProc(plat::HWND dlg, uint32_t msg, plat::WPARAM w, plat::LPARAM) {
  if (msg == plat::WM_INITDIALOG) {
    if (seen.endInInit) plat::EndDialog(dlg, 9);
    return 1;
  }
  if (msg == plat::WM_COMMAND && idOf(w) == kOpen) {
    seen.innerResults.push_back(runTemplate(kInner, dlg, innerProc));
    return 1;
  }
  if (msg == plat::WM_COMMAND && idOf(w) == kClose) {
    plat::EndDialog(dlg, 7);
    return 1;
  }
  return 0;
}

class FakeUi : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    seen = Seen{};
    fake::addDialogTemplate(kOuter, {{kOpen, ControlSpec::button, u"Open"},
                                     {kClose, ControlSpec::button, u"Close"},
                                     {kTick, ControlSpec::checkBox, u"Tick"},
                                     {kLabel, ControlSpec::staticText, u"L"}});
    fake::addDialogTemplate(kInner, {{kName, ControlSpec::editBox, u""},
                                     {kOk, ControlSpec::button, u"OK"}});
    // Two runs of radio buttons, apart by the label.
    fake::addDialogTemplate(kControls,
                            {{kList, ControlSpec::listView, u""},
                             {kName, ControlSpec::editBox, u""},
                             {kTick, ControlSpec::checkBox, u"Tick"},
                             {kA1, ControlSpec::radioButton, u"A1"},
                             {kA2, ControlSpec::radioButton, u"A2"},
                             {kLabel, ControlSpec::staticText, u"L"},
                             {kB1, ControlSpec::radioButton, u"B1"},
                             {kB2, ControlSpec::radioButton, u"B2"},
                             {kClose, ControlSpec::button, u"Close"}});
  }
};

TEST_F(FakeUi, NestedDialogsTakeTheNextScriptOfTheirTemplate) {
  plat::HWND outer = nullptr;
  fake::scriptDialog(
      kOuter, {fake::click(kOpen), fake::click(kOpen), fake::inspect([&] {
                 outer = fake::activeDialog();
                 EXPECT_EQ(seen.innerResults, (std::vector<intptr_t>{51, 52}));
               }),
               fake::click(kClose), fake::click(kOpen)});
  fake::scriptDialog(kInner, {fake::type(kName, u"first"), fake::click(kOk)});
  fake::scriptDialog(kInner, {fake::type(kName, u"second"), fake::click(kOk)});

  EXPECT_EQ(runTemplate(kOuter, nullptr, outerProc), 7);

  EXPECT_EQ(seen.innerTexts,
            (std::vector<std::u16string>{u"first", u"second"}));
  const std::vector<fake::DialogRun> runs = fake::dialogRuns();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].dialog, outer);
  EXPECT_EQ(runs[0].actionsLeft, 1u);  // the click after EndDialog
  for (size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(runs[i].templateId, kInner);
    EXPECT_EQ(runs[i].owner, outer);
    EXPECT_EQ(runs[i].result, static_cast<intptr_t>(50 + i));
    EXPECT_TRUE(runs[i].ended && runs[i].returned);
  }
  for (const fake::DialogRun& r : runs) {
    EXPECT_EQ(r.messages.front().message, plat::WM_INITDIALOG);
    EXPECT_EQ(r.messages.front().answer, 1);
    EXPECT_EQ(r.messages.back().message, plat::WM_DESTROY);
    EXPECT_TRUE(fake::windowDestroyed(r.dialog));
  }
  EXPECT_EQ(fake::dialogsLeftOpen(), 0u);
  EXPECT_EQ(fake::scriptsPending(), 0u);
  EXPECT_EQ(fake::activeDialog(), nullptr);
}

TEST_F(FakeUi, DialogsEndOrAreLeftOpenWithoutHanging) {
  struct Case {
    const char* what;
    bool scripted;
    bool endInInit;
    std::vector<fake::UserAction> script;
    intptr_t result;
    bool leftOpen;
    size_t left;
    std::vector<size_t> refused;
  };
  const Case cases[] = {
      {"no script", false, false, {}, -1, true, 0, {}},
      {"actions run out", true, false, {fake::click(kTick)}, -1, true, 0, {}},
      {"no such control, a static text, typing into a button",
       true,
       false,
       {fake::click(99), fake::click(kLabel), fake::type(kOpen, u"x"),
        fake::click(kClose)},
       7,
       false,
       0,
       {0, 1, 2}},
      {"ended in WM_INITDIALOG",
       true,
       true,
       {fake::click(kOpen)},
       9,
       false,
       1,
       {}},
  };
  size_t open = 0;
  for (const Case& c : cases) {
    seen = Seen{};
    seen.endInInit = c.endInInit;
    if (c.scripted) fake::scriptDialog(kOuter, c.script);
    EXPECT_EQ(runTemplate(kOuter, nullptr, outerProc), c.result) << c.what;
    const fake::DialogRun run = fake::dialogRuns().back();
    EXPECT_EQ(run.leftOpen, c.leftOpen) << c.what;
    EXPECT_EQ(run.actionsLeft, c.left) << c.what;
    EXPECT_EQ(run.refused, c.refused) << c.what;
    EXPECT_TRUE(seen.innerResults.empty()) << c.what;
    EXPECT_EQ(run.messages.back().message, plat::WM_DESTROY) << c.what;
    open += c.leftOpen ? 1 : 0;
    EXPECT_EQ(fake::dialogsLeftOpen(), open) << c.what;
  }
  EXPECT_EQ(fake::liveWindows(), 0u);
}

intptr_t notingProc(plat::HWND dlg, uint32_t msg, plat::WPARAM w,
                    plat::LPARAM l) {
  if (msg == plat::WM_INITDIALOG) {
    plat::ShowWindow(plat::GetDlgItem(dlg, kOpen), plat::SW_HIDE);
    return 0;  // keeps the focus off the first control
  }
  if (msg == plat::WM_COMMAND) {
    std::string e = std::to_string(idOf(w)) + ":" + std::to_string(codeOf(w));
    const auto control = reinterpret_cast<plat::HWND>(l);
    if (idOf(w) == kTick)
      e += plat::SendMessageW(control, plat::BM_GETCHECK, 0, 0) ==
                   static_cast<plat::LRESULT>(plat::BST_CHECKED)
               ? " ticked"
               : " clear";
    if (idOf(w) == kName) {
      const std::u16string text = fake::windowText(control);
      e += " '" + std::string(text.begin(), text.end()) + "'";
    }
    seen.events.push_back(e);
  }
  if (msg == plat::WM_LBUTTONDOWN) seen.events.push_back("ground");
  if (msg == plat::WM_COMMAND && idOf(w) == kClose) plat::EndDialog(dlg, 1);
  return 0;
}

TEST_F(FakeUi, TheUserActsThroughTheMessagesOfThePlatform) {
  fake::addDialogTemplate(kOuter, {{kName, ControlSpec::editBox, u"old"},
                                   {kTick, ControlSpec::checkBox, u"Tick"},
                                   {kOpen, ControlSpec::button, u"Open"},
                                   {kClose, ControlSpec::button, u"Close"}});
  fake::scriptDialog(kOuter, {fake::focus(kName), fake::click(kTick),
                              fake::click(kTick), fake::type(kName, u"new"),
                              fake::click(kOpen),  // hidden
                              fake::tapGround(), fake::click(kClose)});
  EXPECT_EQ(runTemplate(kOuter, nullptr, notingProc), 1);

  const std::string setFocus = std::to_string(plat::EN_SETFOCUS);
  const std::string killFocus = std::to_string(plat::EN_KILLFOCUS);
  EXPECT_EQ(seen.events,
            (std::vector<std::string>{
                "10:" + setFocus + " 'old'", "10:" + killFocus + " 'old'",
                "3:0 ticked", "3:0 clear", "10:" + setFocus + " 'old'",
                "10:" + killFocus + " 'new'", "ground", "2:0"}));
  EXPECT_EQ(fake::dialogRuns().back().refused, std::vector<size_t>{4});
}

// Reads the label of the running dialog into buffers of every size.
void checkTruncation() {
  struct Case {
    int32_t room;
    int32_t copied;
    std::u16string text;
  };
  const Case cases[] = {{1, 0, u""},
                        {3, 2, u"ab"},
                        {6, 5, u"abcde"},
                        {7, 6, u"abcdef"},
                        {40, 6, u"abcdef"}};
  plat::HWND label = fake::dialogItem(fake::activeDialog(), kLabel);
  plat::SetWindowTextW(label, u"abcdef");
  for (const Case& c : cases) {
    char16_t buffer[48];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(plat::GetWindowTextW(label, buffer, c.room), c.copied) << c.room;
    EXPECT_EQ(std::u16string(buffer), c.text) << c.room;
    EXPECT_EQ(buffer[c.room], u'#') << c.room;  // nothing past the room
  }
  char16_t untouched = u'#';
  EXPECT_EQ(plat::GetWindowTextW(label, &untouched, 0), 0);
  EXPECT_EQ(untouched, u'#');
}

TEST_F(FakeUi, GetWindowTextTruncatesAndTerminates) {
  fake::scriptDialog(kOuter,
                     {fake::inspect(checkTruncation), fake::click(kClose)});
  // The next dialog of the template starts from its captions again.
  fake::scriptDialog(kOuter, {fake::inspect([] {
                                EXPECT_EQ(fake::windowText(fake::dialogItem(
                                              fake::activeDialog(), kLabel)),
                                          u"L");
                              }),
                              fake::click(kClose)});
  EXPECT_EQ(runTemplate(kOuter, nullptr, outerProc), 7);
  EXPECT_EQ(runTemplate(kOuter, nullptr, outerProc), 7);
}

plat::HBRUSH staticBrush = nullptr;
plat::HFONT staticFont = nullptr;

intptr_t colourProc(plat::HWND dlg, uint32_t msg, plat::WPARAM w,
                    plat::LPARAM) {
  const auto dc = reinterpret_cast<plat::HDC>(w);
  if (msg == plat::WM_INITDIALOG)
    plat::ShowWindow(plat::GetDlgItem(dlg, kOpen), plat::SW_HIDE);
  if (msg == plat::WM_CTLCOLORSTATIC) {
    plat::SelectObject(dc, staticFont);
    plat::SetTextColor(dc, 0x00FFFFFF);
    plat::SetBkMode(dc, plat::TRANSPARENT);
    return reinterpret_cast<intptr_t>(staticBrush);
  }
  if (msg == plat::WM_CTLCOLORDLG)
    return reinterpret_cast<intptr_t>(plat::GetStockObject(plat::BLACK_BRUSH));
  if (msg == plat::WM_COMMAND && idOf(w) == kClose) plat::EndDialog(dlg, 1);
  return 0;
}

TEST_F(FakeUi, RepaintAsksForTheColoursOfVisibleControls) {
  plat::LOGFONTW look{};
  look.lfHeight = -12;
  look.lfWeight = plat::FW_BOLD;
  staticBrush = plat::CreateSolidBrush(0x00A00000);
  staticFont = plat::CreateFontIndirectW(&look);
  fake::scriptDialog(kOuter, {fake::repaint(), fake::click(kClose)});
  runTemplate(kOuter, nullptr, colourProc);

  const std::vector<fake::ColourAnswer> answers = fake::lastColourAnswers();
  ASSERT_EQ(answers.size(), 4u);  // Open is hidden
  const std::vector<int> ids = {answers[0].control, answers[1].control,
                                answers[2].control, answers[3].control};
  EXPECT_EQ(ids, (std::vector<int>{kClose, kTick, kLabel, 0}));
  EXPECT_EQ(answers[0].message, plat::WM_CTLCOLORBTN);
  EXPECT_EQ(answers[0].brush, nullptr);
  EXPECT_EQ(answers[0].font, nullptr);
  EXPECT_EQ(answers[0].textColour, fake::CLR_INVALID);
  for (int i : {1, 2}) {
    EXPECT_EQ(answers[i].message, plat::WM_CTLCOLORSTATIC);
    EXPECT_EQ(answers[i].brush, staticBrush);
    EXPECT_EQ(answers[i].font, staticFont);
    EXPECT_EQ(answers[i].textColour, 0x00FFFFFFu);
    EXPECT_EQ(answers[i].bkMode, plat::TRANSPARENT);
  }
  EXPECT_EQ(answers[3].message, plat::WM_CTLCOLORDLG);
  EXPECT_EQ(fake::brushColour(answers[3].brush), 0u);
  EXPECT_EQ(fake::fontOf(staticFont)->lfWeight, plat::FW_BOLD);

  EXPECT_EQ(fake::liveDrawingObjects(), 2u);  // the stock brush not counted
  EXPECT_FALSE(plat::DeleteObject(answers[3].brush));
  EXPECT_TRUE(plat::DeleteObject(staticBrush));
  EXPECT_FALSE(plat::DeleteObject(staticBrush));
  EXPECT_TRUE(plat::DeleteObject(staticFont));
  EXPECT_EQ(fake::liveDrawingObjects(), 0u);
  EXPECT_FALSE(fake::fontOf(staticFont).has_value());
}

// ---- List views, radio buttons, disabled controls ----------------------

constexpr uint32_t kImage1 = plat::indexToStateImageMask(1);
constexpr uint32_t kImage2 = plat::indexToStateImageMask(2);
constexpr uint32_t kChosen = plat::LVIS_SELECTED | plat::LVIS_FOCUSED;

std::string changeText(int32_t row, uint32_t from, uint32_t to) {
  char text[48];
  std::snprintf(text, sizeof text, "row %d: %x -> %x", row, from, to);
  return text;
}

std::string narrow(const std::u16string& text) {
  return std::string(text.begin(), text.end());
}

plat::HWND control(int id) {
  return fake::dialogItem(fake::activeDialog(), id);
}

plat::LRESULT send(plat::HWND list, uint32_t message, intptr_t wParam,
                   const void* record) {
  return plat::SendMessageW(
      list, message, static_cast<plat::WPARAM>(wParam),
      reinterpret_cast<plat::LPARAM>(const_cast<void*>(record)));
}

plat::LRESULT insertRow(plat::HWND list, int32_t at, std::u16string text,
                        uint32_t state = 0, uint32_t mask = 0) {
  plat::LVITEMW item{};
  item.mask = plat::LVIF_TEXT | plat::LVIF_STATE;
  item.iItem = at;
  item.pszText = &text[0];
  item.state = state;
  item.stateMask = mask;
  return send(list, plat::LVM_INSERTITEMW, 0, &item);
}

plat::LRESULT setState(plat::HWND list, intptr_t row, uint32_t state,
                       uint32_t mask) {
  plat::LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  return send(list, plat::LVM_SETITEMSTATE, row, &item);
}

plat::LRESULT setCell(plat::HWND list, intptr_t row, int32_t subItem,
                      std::u16string text) {
  plat::LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = &text[0];
  return send(list, plat::LVM_SETITEMTEXTW, row, &item);
}

plat::LRESULT stateOf(plat::HWND list, intptr_t row) {
  return plat::SendMessageW(list, plat::LVM_GETITEMSTATE,
                            static_cast<plat::WPARAM>(row), ~uint32_t{0});
}

// "cell,cell tick" for each row.
std::vector<std::string> describeRows(plat::HWND list) {
  std::vector<std::string> out;
  for (const fake::ListRow& row : fake::listRows(list)) {
    std::string d;
    for (const std::u16string& cell : row.cells)
      d += (d.empty() ? "" : ",") + narrow(cell);
    out.push_back(d + " " + std::to_string(fake::rowTick(row)));
  }
  return out;
}

// Three rows with boxes, ticked as given; the events they cause forgotten.
void fillList(std::vector<uint32_t> images) {
  const plat::HWND list = control(kList);
  plat::SendMessageW(list, plat::LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     plat::LVS_EX_CHECKBOXES);
  for (size_t i = 0; i < images.size(); ++i) {
    insertRow(list, static_cast<int32_t>(i),
              u"r" + std::u16string(1, u'0' + i));
    setState(list, static_cast<intptr_t>(i),
             plat::indexToStateImageMask(images[i]), plat::LVIS_STATEIMAGEMASK);
  }
  seen.events.clear();
}

// Notes clicks with the check the button shows, and every LVN_ITEMCHANGED,
// checking that the row's new state is already there when it arrives.
intptr_t controlsProc(plat::HWND dlg, uint32_t msg, plat::WPARAM w,
                      plat::LPARAM l) {
  if (msg == plat::WM_COMMAND) {
    const bool set = plat::SendMessageW(reinterpret_cast<plat::HWND>(l),
                                        plat::BM_GETCHECK, 0, 0) != 0;
    seen.events.push_back(std::to_string(idOf(w)) + (set ? " set" : " clear"));
    if (idOf(w) == kClose) plat::EndDialog(dlg, 1);
  }
  if (msg == plat::WM_NOTIFY) {
    const auto* n = reinterpret_cast<const plat::NMLISTVIEW*>(l);
    const plat::HWND list = plat::GetDlgItem(dlg, kList);
    EXPECT_EQ(w, static_cast<plat::WPARAM>(kList));
    EXPECT_EQ(n->hdr.hwndFrom, list);
    EXPECT_EQ(n->hdr.idFrom, static_cast<uintptr_t>(kList));
    EXPECT_EQ(n->hdr.code, plat::LVN_ITEMCHANGED);
    EXPECT_EQ(n->uChanged, plat::LVIF_STATE);
    EXPECT_EQ(stateOf(list, n->iItem),
              static_cast<plat::LRESULT>(n->uNewState));
    seen.events.push_back(changeText(n->iItem, n->uOldState, n->uNewState));
  }
  if (msg == plat::WM_LBUTTONDOWN) seen.events.push_back("ground");
  return 0;
}

void runControls(std::vector<fake::UserAction> script) {
  fake::scriptDialog(kControls, std::move(script));
  runTemplate(kControls, nullptr, controlsProc);
}

TEST_F(FakeUi, ListViewsKeepRowsColumnsAndStyleAsTheReportViewDoes) {
  runControls({fake::inspect([] {
    const plat::HWND list = control(kList);
    EXPECT_EQ(fake::listTextColour(list), fake::CLR_INVALID);
    EXPECT_EQ(insertRow(list, 0, u"plain"), 0);
    EXPECT_EQ(plat::SendMessageW(
                  list, plat::LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                  plat::LVS_EX_CHECKBOXES | plat::LVS_EX_FULLROWSELECT),
              0);
    // Only the bits of the mask change; the old style is the answer.
    EXPECT_EQ(plat::SendMessageW(list, plat::LVM_SETEXTENDEDLISTVIEWSTYLE,
                                 plat::LVS_EX_FULLROWSELECT, 0),
              plat::LVS_EX_CHECKBOXES | plat::LVS_EX_FULLROWSELECT);
    EXPECT_EQ(fake::listExtendedStyle(list), plat::LVS_EX_CHECKBOXES);
    // Positions are clamped; only the state under the mask is taken.
    EXPECT_EQ(insertRow(list, 9, u"last", kImage2 | plat::LVIS_SELECTED,
                        plat::LVIS_STATEIMAGEMASK),
              1);
    EXPECT_EQ(insertRow(list, -4, u"first"), 0);
    EXPECT_EQ(send(list, plat::LVM_INSERTITEMW, 0, nullptr), -1);
    EXPECT_EQ(plat::SendMessageW(list, plat::LVM_GETITEMCOUNT, 0, 0), 3);

    char16_t name[] = u"Name";
    char16_t number[] = u"Number";
    plat::LVCOLUMNW column{};
    column.mask = plat::LVCF_FMT | plat::LVCF_WIDTH | plat::LVCF_TEXT |
                  plat::LVCF_SUBITEM;
    column.cx = 100;
    column.pszText = name;
    EXPECT_EQ(send(list, plat::LVM_INSERTCOLUMNW, 0, &column), 0);
    column.mask &= ~plat::LVCF_WIDTH;  // a forgotten flag must show
    column.pszText = number;
    column.iSubItem = 1;
    EXPECT_EQ(send(list, plat::LVM_INSERTCOLUMNW, 7, &column), 1);
    EXPECT_EQ(send(list, plat::LVM_INSERTCOLUMNW, 0, nullptr), -1);

    EXPECT_EQ(setCell(list, 1, 1, u"030"), 1);
    EXPECT_EQ(setCell(list, 1, 2, u"no column"), 0);
    EXPECT_EQ(setCell(list, 3, 0, u"no row"), 0);
    EXPECT_EQ(setCell(list, -1, 0, u"no row"), 0);
    EXPECT_EQ(send(list, plat::LVM_SETITEMTEXTW, 0, nullptr), 0);
    EXPECT_EQ(plat::SendMessageW(list, plat::LVM_SETTEXTCOLOR, 0, 0x00808080),
              1);

    // Turning the boxes on gave the first row its unticked box.
    EXPECT_EQ(describeRows(list),
              (std::vector<std::string>{"first 0", "plain,030 0", "last 1"}));
    const std::vector<fake::ListColumn> columns = fake::listColumns(list);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].index, 0);
    EXPECT_EQ(columns[0].width, 100);
    EXPECT_EQ(columns[0].title, u"Name");
    EXPECT_EQ(columns[1].index, 1);
    EXPECT_EQ(columns[1].width, 0);
    EXPECT_EQ(columns[1].subItem, 1);
    EXPECT_EQ(fake::listTextColour(list), 0x00808080u);

    setState(list, 0, plat::LVIS_SELECTED, plat::LVIS_SELECTED);
    setState(list, 2, plat::LVIS_SELECTED, plat::LVIS_SELECTED);
    EXPECT_EQ(plat::SendMessageW(list, plat::LVM_GETITEMSTATE, 2,
                                 plat::LVIS_SELECTED | plat::LVIS_FOCUSED),
              plat::LVIS_SELECTED);
    struct Case {
      intptr_t start;
      uint32_t flags;
      plat::LRESULT next;
    };
    const Case cases[] = {{-1, plat::LVNI_SELECTED, 0},
                          {0, plat::LVNI_SELECTED, 2},
                          {2, plat::LVNI_SELECTED, -1},
                          {9, plat::LVNI_SELECTED, -1},
                          {-1, 0, 0},
                          {1, 0, 2},
                          {2, 0, -1}};
    for (const Case& c : cases)
      EXPECT_EQ(plat::SendMessageW(list, plat::LVM_GETNEXTITEM,
                                   static_cast<plat::WPARAM>(c.start), c.flags),
                c.next)
          << c.start << " " << c.flags;

    // Rows the list does not have: nothing changes, nothing is heard.
    seen.events.clear();
    const std::vector<std::string> before = describeRows(list);
    EXPECT_EQ(setState(list, 3, kChosen, kChosen), 0);
    EXPECT_EQ(setState(list, -2, kChosen, kChosen), 0);
    EXPECT_EQ(send(list, plat::LVM_SETITEMSTATE, 0, nullptr), 0);
    EXPECT_EQ(stateOf(list, 3), 0);
    EXPECT_EQ(describeRows(list), before);
    EXPECT_TRUE(seen.events.empty());
    // Refused messages are kept like the others.
    const std::vector<fake::ReceivedMessage> got = fake::receivedMessages(list);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front().message, plat::LVM_INSERTITEMW);
    EXPECT_EQ(got.back().message, plat::LVM_GETITEMSTATE);
    EXPECT_EQ(got.back().wParam, 3u);
  })});
}

TEST_F(FakeUi, SetItemStateNotifiesEachChangedRowBeforeItReturns) {
  runControls({fake::inspect([] {
    fillList({1, 2, 1});
    const plat::HWND list = control(kList);
    EXPECT_EQ(setState(list, 1, plat::LVIS_SELECTED, plat::LVIS_SELECTED), 1);
    EXPECT_EQ(seen.events, std::vector<std::string>{changeText(
                               1, kImage2, kImage2 | plat::LVIS_SELECTED)});

    // Every row: only those the mask changes are heard, in order.
    seen.events.clear();
    EXPECT_EQ(setState(list, -1, plat::LVIS_SELECTED, plat::LVIS_SELECTED), 1);
    EXPECT_EQ(seen.events,
              (std::vector<std::string>{
                  changeText(0, kImage1, kImage1 | plat::LVIS_SELECTED),
                  changeText(2, kImage1, kImage1 | plat::LVIS_SELECTED)}));
    seen.events.clear();
    EXPECT_EQ(setState(list, 0, plat::LVIS_SELECTED, plat::LVIS_SELECTED), 1);
    EXPECT_EQ(setState(list, -1, kImage2, plat::LVIS_STATEIMAGEMASK), 1);
    EXPECT_EQ(seen.events, (std::vector<std::string>{
                               changeText(0, kImage1 | plat::LVIS_SELECTED,
                                          kImage2 | plat::LVIS_SELECTED),
                               changeText(2, kImage1 | plat::LVIS_SELECTED,
                                          kImage2 | plat::LVIS_SELECTED)}));
  })});
}

TEST_F(FakeUi, TickRowTogglesOnlyTheBoxAndTapRowSelectsOnlyItsRow) {
  runControls(
      {fake::inspect([] {
         fillList({1, 2, 0});
         setState(control(kList), 0, kChosen, kChosen);
         setState(control(kList), 2, plat::LVIS_SELECTED, plat::LVIS_SELECTED);
         seen.events.clear();
       }),
       fake::tickRow(kList, 0), fake::tickRow(kList, 1),
       fake::tickRow(kList, 2), fake::inspect([] {
         EXPECT_EQ(seen.events,
                   (std::vector<std::string>{
                       changeText(0, kImage1 | kChosen, kImage2 | kChosen),
                       changeText(1, kImage2, kImage1)}));  // row 2: no box
         EXPECT_EQ(fake::focusedWindow(), control(kList));
         seen.events.clear();
       }),
       // Rows losing the selection are heard first.
       fake::tapRow(kList, 1), fake::tapRow(kList, 1), fake::inspect([] {
         EXPECT_EQ(seen.events,
                   (std::vector<std::string>{
                       changeText(0, kImage2 | kChosen, kImage2),
                       changeText(2, plat::LVIS_SELECTED, 0),
                       changeText(1, kImage1, kImage1 | kChosen)}));
         EXPECT_EQ(plat::SendMessageW(control(kList), plat::LVM_GETNEXTITEM,
                                      static_cast<plat::WPARAM>(-1),
                                      plat::LVNI_SELECTED),
                   1);
       }),
       fake::tickRow(kList, 3), fake::tapRow(kList, -1), fake::tapRow(kTick, 0),
       fake::click(kList)});
  EXPECT_EQ(fake::dialogRuns().back().refused,
            (std::vector<size_t>{8, 9, 10, 11}));
}

TEST_F(FakeUi, RadioButtonsOfOneRunClearEachOther) {
  plat::HWND a1 = nullptr, a2 = nullptr, b1 = nullptr, b2 = nullptr;
  runControls({fake::inspect([&] {
                 a1 = control(kA1), a2 = control(kA2);
                 b1 = control(kB1), b2 = control(kB2);
               }),
               fake::click(kA1), fake::click(kB2), fake::click(kA2),
               fake::click(kA2), fake::repaint()});
  EXPECT_EQ(seen.events,
            (std::vector<std::string>{"21 set", "24 set", "22 set", "22 set"}));
  EXPECT_EQ(fake::checkState(a1), plat::BST_UNCHECKED);
  EXPECT_EQ(fake::checkState(a2), plat::BST_CHECKED);
  EXPECT_EQ(fake::checkState(b1), plat::BST_UNCHECKED);
  EXPECT_EQ(fake::checkState(b2), plat::BST_CHECKED);
  EXPECT_EQ(fake::windowClassName(a1), u"BUTTON");
  EXPECT_EQ(fake::windowStyle(a1) & 0xF, plat::BS_AUTORADIOBUTTON);
  size_t radioColours = 0;
  for (const fake::ColourAnswer& a : fake::lastColourAnswers())
    if (a.window == a1 || a.window == b2) {
      EXPECT_EQ(a.message, plat::WM_CTLCOLORSTATIC);
      ++radioColours;
    }
  EXPECT_EQ(radioColours, 2u);

  // The program's own BM_SETCHECK sets that button alone, as on the platform.
  runControls({fake::click(kA1), fake::inspect([] {
                 plat::SendMessageW(control(kA2), plat::BM_SETCHECK,
                                    plat::BST_CHECKED, 0);
                 EXPECT_EQ(fake::checkState(control(kA1)), plat::BST_CHECKED);
               })});
}

TEST_F(FakeUi, DisabledWindowsTakeNothingFromTheUser) {
  runControls(
      {fake::inspect([] {
         fillList({1});
         struct Case {
           plat::BOOL enable;
           plat::BOOL wasDisabled;
         };
         const Case cases[] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};
         for (const Case& c : cases) {
           EXPECT_EQ(plat::EnableWindow(control(kTick), c.enable) != 0,
                     c.wasDisabled != 0)
               << c.enable;
           EXPECT_EQ(fake::windowEnabled(control(kTick)), c.enable != 0);
         }
         const fake::Call* call = fake::findCall(fake::Op::EnableWindow, 1);
         ASSERT_NE(call, nullptr);
         EXPECT_EQ(call->args[0], reinterpret_cast<uintptr_t>(control(kTick)));
         EXPECT_EQ(call->args[1], 0u);
         EXPECT_EQ(plat::EnableWindow(reinterpret_cast<plat::HWND>(0x99), 0),
                   0);
         for (int id : {kName, kList, kA1}) plat::EnableWindow(control(id), 0);
       }),
       fake::click(kTick), fake::type(kName, u"x"), fake::focus(kName),
       fake::tickRow(kList, 0), fake::tapRow(kList, 0), fake::click(kA1),
       fake::inspect([] {
         plat::EnableWindow(control(kTick), 1);
         EXPECT_EQ(plat::EnableWindow(fake::activeDialog(), 0), 0);
       }),
       // Nothing in a disabled dialog takes a tap either.
       fake::click(kTick), fake::tapGround(),
       fake::inspect([] { plat::EnableWindow(fake::activeDialog(), 1); }),
       fake::click(kTick), fake::tapGround(), fake::click(kClose)});
  const fake::DialogRun run = fake::dialogRuns().back();
  EXPECT_EQ(run.refused, (std::vector<size_t>{1, 2, 3, 4, 5, 6, 8, 9}));
  EXPECT_EQ(seen.events,
            (std::vector<std::string>{"3 set", "ground", "2 clear"}));
  EXPECT_EQ(fake::windowText(fake::dialogItem(run.dialog, kName)), u"");
}

plat::NOTIFYICONDATAW trayRecord(plat::HWND window, uint32_t id, uint32_t flags,
                                 const char16_t* tip) {
  plat::NOTIFYICONDATAW d{};
  d.cbSize = plat::kNotifyIconDataSize;
  d.hWnd = window;
  d.uID = id;
  d.uFlags = flags;
  d.uCallbackMessage = plat::WM_USER + 1;
  d.hIcon = reinterpret_cast<plat::HICON>(0x1C0);
  for (size_t i = 0; tip[i] != 0 && i + 1 < 64; ++i) d.szTip[i] = tip[i];
  return d;
}

TEST_F(FakeUi, TrayIconsAreAddedOnceAndDeletedOnce) {
  plat::HWND a = fake::createWindow(nullptr);
  plat::HWND b = fake::createWindow(nullptr);
  plat::NOTIFYICONDATAW d = trayRecord(
      a, 1, plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP, u"on");
  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_ADD, &d));
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_ADD, &d));
  plat::NOTIFYICONDATAW other = trayRecord(b, 1, plat::NIF_ICON, u"");
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_MODIFY, &other));
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_DELETE, &other));
  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_ADD, &other));

  // A modification changes only what its flags name.
  plat::NOTIFYICONDATAW tip = trayRecord(a, 1, plat::NIF_TIP, u"off");
  tip.hIcon = nullptr;
  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_MODIFY, &tip));
  std::vector<plat::NOTIFYICONDATAW> icons = fake::trayIcons();
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(std::u16string(icons[0].szTip), u"off");
  EXPECT_EQ(icons[0].hIcon, d.hIcon);
  EXPECT_EQ(icons[0].cbSize, plat::kNotifyIconDataSize);
  EXPECT_EQ(icons[0].uCallbackMessage, plat::WM_USER + 1);

  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_DELETE, &d));
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_DELETE, &d));
  EXPECT_TRUE(plat::Shell_NotifyIconW(plat::NIM_ADD, &d));
  EXPECT_EQ(fake::trayIcons().size(), 2u);
  EXPECT_EQ(fake::trayAddsEver(), 3u);

  fake::failCall(fake::Op::Shell_NotifyIconW, 1);
  EXPECT_FALSE(plat::Shell_NotifyIconW(plat::NIM_DELETE, &d));
  EXPECT_EQ(fake::trayIcons().size(), 2u);
}

// How the test window procedure answers WM_CREATE.
enum class OnCreate { accept, destroy, refuse } onCreate;
std::vector<uint32_t> windowMessages;

plat::LRESULT windowProc(plat::HWND window, uint32_t msg, plat::WPARAM w,
                         plat::LPARAM l) {
  windowMessages.push_back(msg);
  if (msg == plat::WM_CREATE && onCreate == OnCreate::destroy)
    plat::DestroyWindow(window);
  if (msg == plat::WM_CREATE && onCreate == OnCreate::refuse) return -1;
  if (msg == plat::WM_DESTROY) plat::PostQuitMessage(3);
  return plat::DefWindowProcW(window, msg, w, l);
}

plat::HWND makeWindow(const char16_t* title) {
  return plat::CreateWindowExW(0, u"TestClass", title, plat::WS_VISIBLE,
                               plat::CW_USEDEFAULT, plat::CW_USEDEFAULT,
                               plat::CW_USEDEFAULT, plat::CW_USEDEFAULT,
                               nullptr, nullptr, nullptr, nullptr);
}

TEST_F(FakeUi, WindowsAbandonedInCreateAreNotHandedOut) {
  plat::WNDCLASSW cls{};
  cls.lpfnWndProc = windowProc;
  cls.lpszClassName = u"TestClass";
  ASSERT_NE(plat::RegisterClassW(&cls), 0);
  EXPECT_EQ(plat::RegisterClassW(&cls), 0);  // already there

  for (OnCreate how : {OnCreate::destroy, OnCreate::refuse}) {
    windowMessages.clear();
    onCreate = how;
    EXPECT_EQ(makeWindow(u"gone"), nullptr);
    EXPECT_EQ(windowMessages,
              (std::vector<uint32_t>{plat::WM_CREATE, plat::WM_DESTROY}));
    EXPECT_EQ(plat::FindWindowW(u"TestClass", nullptr), nullptr);
  }

  onCreate = OnCreate::accept;
  fake::setScreenSize(320, 240);
  plat::HWND window = makeWindow(u"Main");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(fake::windowRect(window).width, 320);
  EXPECT_TRUE(fake::windowVisible(window));
  EXPECT_EQ(plat::FindWindowW(u"TestClass", u"Main"), window);
  EXPECT_EQ(plat::FindWindowW(nullptr, u"Main"), window);
  EXPECT_EQ(plat::FindWindowW(u"TestClass", u"main"), nullptr);

  // Another process's window: found, told, never destroyed from here.
  EXPECT_EQ(plat::FindWindowW(u"DesktopExplorerWindow", nullptr), nullptr);
  plat::HWND desktop = fake::addDesktopWindow();
  EXPECT_EQ(plat::FindWindowW(u"DesktopExplorerWindow", nullptr), desktop);
  plat::SendMessageW(desktop, plat::WM_USER, 4, 5);
  ASSERT_EQ(fake::receivedMessages(desktop).size(), 1u);
  EXPECT_EQ(fake::receivedMessages(desktop)[0].wParam, 4u);
  EXPECT_FALSE(plat::DestroyWindow(desktop));

  // The default procedure closes a window by destroying it.
  plat::SendMessageW(window, plat::WM_CLOSE, 0, 0);
  EXPECT_TRUE(fake::windowDestroyed(window));
  EXPECT_EQ(plat::FindWindowW(u"TestClass", nullptr), nullptr);
}

TEST_F(FakeUi, TheMessageLoopTranslatesCtrlQAndNeverWaits) {
  plat::WNDCLASSW cls{};
  cls.lpfnWndProc = windowProc;
  cls.lpszClassName = u"TestClass";
  plat::RegisterClassW(&cls);
  onCreate = OnCreate::accept;
  plat::HWND window = makeWindow(u"Main");
  plat::HACCEL table =
      plat::LoadAcceleratorsW(nullptr, plat::makeIntResource(3));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(plat::LoadAcceleratorsW(nullptr, plat::makeIntResource(4)),
            nullptr);

  fake::postMessage(window, plat::WM_KEYDOWN, 'Q', 0);  // without Ctrl
  fake::postAction([] { fake::setControlDown(true); });
  fake::postMessage(window, plat::WM_KEYDOWN, 'Q', 0);
  fake::postMessage(window, plat::WM_KEYDOWN, 'W', 0);
  fake::postMessage(window, plat::WM_CLOSE, 0, 0);
  windowMessages.clear();
  std::vector<plat::WPARAM> commands;
  plat::MSG msg{};
  int translated = 0;
  while (plat::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (plat::TranslateAcceleratorW(msg.hwnd, table, &msg) != 0) {
      ++translated;
      continue;
    }
    plat::DispatchMessageW(&msg);
  }
  EXPECT_EQ(translated, 1);
  EXPECT_EQ(msg.wParam, 3u);  // the exit code
  EXPECT_FALSE(fake::messageLoopRanDry());
  const std::vector<uint32_t> expected = {plat::WM_KEYDOWN, plat::WM_COMMAND,
                                          plat::WM_KEYDOWN, plat::WM_CLOSE,
                                          plat::WM_DESTROY};
  EXPECT_EQ(windowMessages, expected);
  const fake::Call* command = nullptr;
  for (size_t i = 0;
       const fake::Call* c = fake::findCall(fake::Op::DefWindowProcW, i); ++i)
    if (c->args[1] == plat::WM_COMMAND) command = c;
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->args[1], plat::WM_COMMAND);
  EXPECT_EQ(command->args[2], (plat::WPARAM{1} << 16) | 1);

  // Nothing left and no quit: the loop ends anyway, and says so.
  EXPECT_EQ(plat::GetMessageW(&msg, nullptr, 0, 0), 0);
  EXPECT_TRUE(fake::messageLoopRanDry());
}

TEST_F(FakeUi, ShortcutsModulePathAndShellState) {
  char16_t folder[plat::MAX_PATH];
  ASSERT_TRUE(
      plat::SHGetSpecialFolderPath(nullptr, folder, plat::CSIDL_STARTUP, 0));
  const std::u16string link = std::u16string(folder) + u"\\Vantorel.lnk";
  plat::WIN32_FIND_DATAW found;
  EXPECT_EQ(plat::FindFirstFileW(link.c_str(), &found),
            plat::INVALID_HANDLE_VALUE);
  ASSERT_TRUE(plat::SHCreateShortcut(link.c_str(), u"\\Program Files\\x.exe"));
  const std::string bytes = "#\"\\Program Files\\x.exe\"";
  EXPECT_EQ(fake::fileBytes(link),
            std::vector<uint8_t>(bytes.begin(), bytes.end()));
  plat::HANDLE search = plat::FindFirstFileW(link.c_str(), &found);
  ASSERT_NE(search, plat::INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(found.cFileName), u"Vantorel.lnk");
  EXPECT_EQ(fake::openSearches(), 1u);
  EXPECT_TRUE(plat::FindClose(search));
  EXPECT_FALSE(plat::FindClose(search));
  EXPECT_EQ(fake::openSearches(), 0u);

  const std::u16string path = fake::kModulePath;
  struct Case {
    uint32_t size;
    uint32_t answer;
    std::u16string text;
  };
  const Case cases[] = {
      {1, 1, u""},
      {5, 5, path.substr(0, 4)},
      {static_cast<uint32_t>(path.size()), static_cast<uint32_t>(path.size()),
       path.substr(0, path.size() - 1)},
      {static_cast<uint32_t>(path.size() + 1),
       static_cast<uint32_t>(path.size()), path}};
  for (const Case& c : cases) {
    char16_t buffer[plat::MAX_PATH];
    EXPECT_EQ(plat::GetModuleFileNameW(nullptr, buffer, c.size), c.answer)
        << c.size;
    EXPECT_EQ(std::u16string(buffer), c.text) << c.size;
  }

  plat::HWND w = fake::createWindow(nullptr);
  plat::SHFullScreen(w, plat::SHFS_HIDETASKBAR | plat::SHFS_HIDESIPBUTTON);
  plat::SHFullScreen(w, plat::SHFS_HIDETASKBAR >> 1);  // shows the taskbar
  EXPECT_EQ(fake::fullScreenFlags(w), plat::SHFS_HIDESIPBUTTON);
  plat::SHSipPreference(w, plat::SIP_UP);
  EXPECT_TRUE(fake::inputPanelUp());
  plat::SHINITDLGINFO init{plat::SHIDIM_FLAGS, w, plat::SHIDIF_SIPDOWN};
  EXPECT_TRUE(plat::SHInitDialog(&init));
  EXPECT_FALSE(fake::inputPanelUp());
  plat::SHACTIVATEINFO info{};
  EXPECT_FALSE(plat::SHHandleWMActivate(w, 1, 0, &info, 0));  // no size set
  info.cbSize = plat::kShActivateInfoSize;
  EXPECT_TRUE(plat::SHHandleWMActivate(w, 1, 0, &info, 0));
}

std::atomic<int> threadSaw{0};

uint32_t routine(void* parameter) {
  threadSaw = *static_cast<int*>(parameter);
  return 0;
}

TEST_F(FakeUi, ThreadsRunTheirRoutineAndTheirHandlesClose) {
  static int parameter = 42;
  uint32_t id = 0;
  plat::HANDLE thread =
      plat::CreateThread(nullptr, 0, routine, &parameter, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  for (int i = 0; i < 2000 && fake::threadsFinished() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(threadSaw, 42);
  EXPECT_EQ(fake::openThreadHandles(), 1u);
  EXPECT_TRUE(plat::CloseHandle(thread));
  EXPECT_EQ(fake::openThreadHandles(), 0u);

  fake::failCall(fake::Op::CreateThread, 1);
  EXPECT_EQ(plat::CreateThread(nullptr, 0, routine, &parameter, 0, &id),
            nullptr);
  EXPECT_EQ(fake::threadsStarted(), 1u);
}

TEST_F(FakeUi, IconsAreCountedUntilDestroyed) {
  plat::HICON big = plat::LoadIconW(nullptr, plat::makeIntResource(104));
  auto* small = static_cast<plat::HICON>(plat::LoadImageW(
      nullptr, plat::makeIntResource(104), plat::IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_NE(big, small);
  EXPECT_EQ(fake::iconInfo(small)->cx, 16);
  EXPECT_EQ(plat::LoadIconW(nullptr, plat::makeIntResource(105)), nullptr);
  EXPECT_EQ(fake::liveIcons(), 2u);
  EXPECT_TRUE(plat::DestroyIcon(small));
  EXPECT_FALSE(plat::DestroyIcon(small));
  EXPECT_EQ(fake::liveIcons(), 1u);
}

TEST_F(FakeUi, ResetForgetsTheUserInterface) {
  plat::HWND w = fake::createWindow(nullptr);
  plat::NOTIFYICONDATAW d = trayRecord(w, 1, plat::NIF_TIP, u"x");
  plat::Shell_NotifyIconW(plat::NIM_ADD, &d);
  plat::LoadIconW(nullptr, plat::makeIntResource(104));
  plat::CreateSolidBrush(1);
  plat::SHSipPreference(w, plat::SIP_UP);
  fake::addDesktopWindow();
  fake::scriptDialog(kOuter, {});
  fake::postMessage(w, plat::WM_USER, 0, 0);
  runTemplate(kOuter, nullptr, outerProc);
  fake::setScreenSize(1, 1);

  fake::reset();
  EXPECT_TRUE(fake::trayIcons().empty());
  EXPECT_EQ(fake::trayAddsEver(), 0u);
  EXPECT_EQ(fake::liveIcons(), 0u);
  EXPECT_EQ(fake::liveDrawingObjects(), 0u);
  EXPECT_FALSE(fake::inputPanelUp());
  EXPECT_EQ(plat::FindWindowW(u"DesktopExplorerWindow", nullptr), nullptr);
  EXPECT_TRUE(fake::dialogRuns().empty());
  EXPECT_EQ(fake::dialogsLeftOpen(), 0u);
  EXPECT_EQ(fake::liveWindows(), 0u);
  EXPECT_EQ(plat::GetSystemMetrics(plat::SM_CXSCREEN), 240);
  plat::MSG msg{};
  EXPECT_EQ(plat::GetMessageW(&msg, nullptr, 0, 0), 0);
  EXPECT_TRUE(fake::messageLoopRanDry());
}

}  // namespace
