// The shell stand-in: what each call leaves in the registry for another
// process to read, the full-screen window, the startup folder and real
// shortcut files. Needs an X display.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/handles.h"
#include "platform/pocket_shell.h"
#include "platform/window.h"
#include "tests/win32/plat_support.h"
#include "tests/win32/shell_support.h"
#include "tests/win32/window_support.h"

namespace {

using shell_support::CallRecord;

uint32_t handleValue(plat::HWND window) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

class ShellStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(window_support::displayReady(&why)) << why;
    shell_support::clearShellState();
    // Hidden: the calls need a window, not one on the screen (and Wine
    // takes 2 s to hide an activated one where no window manager runs).
    screen_ = plat::CreateWindowExW(0, u"Static", u"Screen", 0x80000000u,
                                    30, 40, 100, 80, nullptr, nullptr,
                                    window_support::thisModule(), nullptr);
    ASSERT_NE(screen_, nullptr);
  }
  void TearDown() override {
    if (screen_ != nullptr) plat::DestroyWindow(screen_);
    shell_support::clearShellState();
  }

  std::u16string panel() {
    std::u16string state;
    return shell_support::inputPanel(&state) ? state : u"(absent)";
  }
  CallRecord recordOf(const char16_t* call) {
    CallRecord record;
    EXPECT_TRUE(shell_support::callRecord(call, &record)) << "no record";
    return record;
  }
  void expectRecord(const char16_t* call, uint32_t calls, uint32_t state) {
    const std::u16string name(call);
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    const CallRecord record = recordOf(call);
    EXPECT_EQ(record.calls, calls);
    EXPECT_EQ(record.window, handleValue(screen_));
    EXPECT_EQ(record.state, state);
  }

  plat::HWND screen_ = nullptr;
};

TEST_F(ShellStandIn, InputPanelFollowsInitDialogAndSipPreference) {
  EXPECT_EQ(panel(), u"(absent)");
  plat::SHINITDLGINFO info{plat::SHIDIM_FLAGS, screen_, plat::SHIDIF_SIPDOWN};
  EXPECT_TRUE(plat::SHInitDialog(&info));
  EXPECT_EQ(panel(), u"down");
  expectRecord(u"SHInitDialog", 1, plat::SHIDIF_SIPDOWN);

  EXPECT_TRUE(plat::SHSipPreference(screen_, plat::SIP_UP));
  EXPECT_EQ(panel(), u"up");
  expectRecord(u"SHSipPreference", 1, plat::SIP_UP);

  // Flags without SHIDIM_FLAGS in the mask are not looked at.
  plat::SHINITDLGINFO noMask{0, screen_, plat::SHIDIF_SIPDOWN};
  EXPECT_TRUE(plat::SHInitDialog(&noMask));
  EXPECT_EQ(panel(), u"up");
  expectRecord(u"SHInitDialog", 2, 0);

  EXPECT_TRUE(plat::SHSipPreference(screen_, plat::SIP_DOWN));
  EXPECT_EQ(panel(), u"down");
  expectRecord(u"SHSipPreference", 2, plat::SIP_DOWN);

  // A state the stand-in does not know is refused and changes nothing.
  EXPECT_FALSE(plat::SHSipPreference(screen_, static_cast<plat::SIPSTATE>(3)));
  EXPECT_EQ(panel(), u"down");
}

TEST_F(ShellStandIn, FullScreenCoversTheDesktopAndLetsTheProgramMoveIt) {
  constexpr uint32_t kScreenFlags = plat::SHFS_HIDETASKBAR |
                                    plat::SHFS_HIDESIPBUTTON |
                                    plat::SHFS_HIDESTARTICON;
  EXPECT_TRUE(plat::SHDoneButton(screen_, plat::SHDB_HIDE));
  expectRecord(u"SHDoneButton", 1, plat::SHDB_HIDE);

  EXPECT_FALSE(window_support::isTopmost(screen_));
  EXPECT_TRUE(plat::SHFullScreen(screen_, kScreenFlags));
  expectRecord(u"SHFullScreen", 1, 42);
  EXPECT_TRUE(window_support::isTopmost(screen_));
  window_support::Rect r = window_support::windowRect(screen_);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.width, plat::GetSystemMetrics(plat::SM_CXSCREEN));
  EXPECT_EQ(r.height, plat::GetSystemMetrics(plat::SM_CYSCREEN));

  // The screens then size themselves to the handset's display.
  ASSERT_TRUE(plat::MoveWindow(screen_, 0, 0, 240, 320, 0));
  r = window_support::windowRect(screen_);
  EXPECT_EQ(r.width, 240);
  EXPECT_EQ(r.height, 320);
  EXPECT_TRUE(window_support::isTopmost(screen_));

  // Without the taskbar flag the window stays where it is.
  EXPECT_TRUE(plat::SHFullScreen(screen_, plat::SHFS_HIDESIPBUTTON));
  expectRecord(u"SHFullScreen", 2, plat::SHFS_HIDESIPBUTTON);
  EXPECT_EQ(window_support::windowRect(screen_).width, 240);
}

TEST_F(ShellStandIn, ActivationAndSettingChangesAreRecordedOnly) {
  plat::SHACTIVATEINFO info{};
  info.cbSize = plat::kShActivateInfoSize;
  EXPECT_TRUE(plat::SHHandleWMActivate(screen_, plat::WA_INACTIVE, 0, &info,
                                       0));
  EXPECT_TRUE(plat::SHHandleWMActivate(screen_, 1, 0, &info, 0));
  expectRecord(u"SHHandleWMActivate", 2, 1);
  EXPECT_TRUE(plat::SHHandleWMSettingChange(screen_, 0x2F, 0, &info));
  expectRecord(u"SHHandleWMSettingChange", 1, 0x2F);
}

TEST_F(ShellStandIn, CallsForNoWindowFailAndLeaveNoTrace) {
  plat::DestroyWindow(screen_);
  plat::HWND gone = screen_;
  screen_ = nullptr;
  plat::SHINITDLGINFO info{plat::SHIDIM_FLAGS, gone, plat::SHIDIF_SIPDOWN};
  EXPECT_FALSE(plat::SHInitDialog(&info));
  EXPECT_FALSE(plat::SHInitDialog(nullptr));
  EXPECT_FALSE(plat::SHDoneButton(gone, plat::SHDB_HIDE));
  EXPECT_FALSE(plat::SHFullScreen(gone, plat::SHFS_HIDETASKBAR));
  EXPECT_FALSE(plat::SHSipPreference(nullptr, plat::SIP_UP));
  EXPECT_EQ(panel(), u"(absent)");
  for (const char16_t* call :
       {u"SHInitDialog", u"SHDoneButton", u"SHFullScreen", u"SHSipPreference"}) {
    CallRecord record;
    EXPECT_FALSE(shell_support::callRecord(call, &record));
  }
}

// The shortcut the program makes: the startup folder, then a real shell
// link to the program's own path.
class Shortcuts : public ::testing::Test {
 protected:
  void SetUp() override {
    shortcut_ = plat_support::freshTempPath(u"shortcut") + u".lnk";
  }
  void TearDown() override { plat::DeleteFileW(shortcut_.c_str()); }

  std::u16string programPath() {
    char16_t path[plat::MAX_PATH] = {};
    EXPECT_GT(plat::GetModuleFileNameW(nullptr, path, plat::MAX_PATH), 0u);
    return path;
  }

  std::u16string shortcut_;
};

TEST_F(Shortcuts, StartupFolderIsTheDesktopsOwn) {
  char16_t folder[plat::MAX_PATH] = {};
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(nullptr, folder,
                                           plat::CSIDL_STARTUP, 0));
  std::u16string path(folder);
  EXPECT_TRUE(shell_support::isFolder(path)) << "a folder that exists";
  for (char16_t& c : path)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  const std::u16string tail = u"\\startup";
  ASSERT_GT(path.size(), tail.size());
  EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
}

TEST_F(Shortcuts, ShortcutIsARealLinkToTheTarget) {
  const std::u16string target = programPath();
  ASSERT_TRUE(plat::SHCreateShortcut(shortcut_.c_str(), target.c_str()));
  // Found as the program looks for it.
  plat::WIN32_FIND_DATAW found{};
  plat::HANDLE search = plat::FindFirstFileW(shortcut_.c_str(), &found);
  ASSERT_NE(search, plat::INVALID_HANDLE_VALUE);
  EXPECT_TRUE(plat::FindClose(search));

  std::u16string got, arguments;
  ASSERT_TRUE(shell_support::readShortcut(shortcut_, &got, &arguments));
  EXPECT_EQ(got, target);
  EXPECT_EQ(arguments, u"");
}

TEST_F(Shortcuts, QuotedTargetKeepsItsSpacesAndArguments) {
  const std::u16string target =
      plat_support::freshTempPath(u"with space") + u".exe";
  ASSERT_TRUE(plat_support::writeFile(target, "MZ"));
  const std::u16string quoted = u"\"" + target + u"\" -a \"b c\"";
  ASSERT_TRUE(plat::SHCreateShortcut(shortcut_.c_str(), quoted.c_str()));
  std::u16string got, arguments;
  ASSERT_TRUE(shell_support::readShortcut(shortcut_, &got, &arguments));
  EXPECT_EQ(got, target);
  EXPECT_EQ(arguments, u"-a \"b c\"");
  plat::DeleteFileW(target.c_str());
}

TEST_F(Shortcuts, FailsWhereNoFileCanBeMade) {
  const std::u16string target = programPath();
  const std::u16string nowhere =
      plat_support::freshTempPath(u"missing-folder") + u"\\xQRL.lnk";
  EXPECT_FALSE(plat::SHCreateShortcut(nowhere.c_str(), target.c_str()));
  EXPECT_FALSE(plat_support::fileExists(nowhere));
  EXPECT_FALSE(plat::SHCreateShortcut(shortcut_.c_str(), u""));
  EXPECT_FALSE(plat_support::fileExists(shortcut_));
}

// The thread leaves COM as it found it, whatever apartment it was in.
TEST_F(Shortcuts, LeavesTheThreadsApartmentAsItWas) {
  constexpr int32_t kSOk = 0;
  constexpr int32_t kSFalse = 1;
  const std::u16string target = programPath();
  ASSERT_EQ(shell_support::probeApartment(), kSOk);
  EXPECT_TRUE(plat::SHCreateShortcut(shortcut_.c_str(), target.c_str()));
  EXPECT_EQ(shell_support::probeApartment(), kSOk) << "COM left started";

  for (bool multithreaded : {true, false}) {
    SCOPED_TRACE(multithreaded ? "multithreaded" : "single-threaded");
    shell_support::enterApartment(multithreaded);
    EXPECT_TRUE(plat::SHCreateShortcut(shortcut_.c_str(), target.c_str()));
    if (multithreaded) {
      EXPECT_EQ(shell_support::probeApartment(), kSFalse);
    }
    shell_support::leaveApartment();
    EXPECT_EQ(shell_support::probeApartment(), kSOk);
  }
}

}  // namespace
