// The screen driver: drives the running program's screens from another
// process with plain Win32 messages, and reports what the program shows, for
// the end-to-end tests and tools/run.sh. See kUsage; docs/e2e.md.
//
// Windows belong to a desktop, and FindWindow, EnumWindows and the radio
// channel's message-only window are all looked up in the caller's desktop.
// The program runs in a Wine virtual desktop, so the driver first moves its
// thread there, and `run` starts helpers such as the phone emulator there.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

#include "tests/e2e/tray_icons.h"

namespace {

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kTimedOut = 2;
constexpr int kUsageError = 3;
constexpr int kFailed = 4;

constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;

const char kUsage[] =
    "usage: screen_driver [--desktop NAME] [--timeout MS] COMMAND ...\n"
    "  rect               wait for the program's screen; print x y w h\n"
    "  gone               wait until no screen of the program is shown\n"
    "  text ID            print the text of control ID of the screen\n"
    "  click ID           click button ID of the screen\n"
    "  click ID --exit    click, then wait for the screen's process to end\n"
    "                     and print its exit code\n"
    "  set-text ID TEXT   set the text of control ID, then move the focus on\n"
    "  check ID on|off    tick or clear check box ID\n"
    "  main               print the main window: x y w h visible|hidden pid\n"
    "  tray               print the tip of each icon shown in the tray\n"
    "  wait-exit PID      wait for process PID to end; print its exit code\n"
    "  run PROGRAM [ARG]  run PROGRAM in the desktop; exit with its exit code\n"
    "  windows            list the desktop's windows\n"
    "--desktop: the desktop to work in (default vantorel; \"\" for the\n"
    "driver's own); --timeout: how long a wait lasts (default 10000 ms).\n"
    "Exit code: 0 done, 1 not found, 2 timed out, 3 usage, 4 failed.\n";

const wchar_t kProgramImage[] = L"vantorel.exe";
const wchar_t kDialogClass[] = L"#32770";

DWORD timeoutMs = 10000;

std::string utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      &out[0], n, nullptr, nullptr);
  return out;
}

void printLine(const std::wstring& text) {
  const std::string bytes = utf8(text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::wstring className(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// WM_GETTEXT rather than GetWindowTextW: for a window of another process
// Wine's GetWindowTextW gives the caption it keeps itself, which an edit box
// never updates, so a box would always read empty.
std::wstring windowText(HWND window) {
  std::wstring text(4096, L'\0');
  DWORD_PTR n = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                          reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                          5000, &n) == 0)
    n = 0;
  text.resize(n < text.size() ? n : 0);
  return text;
}

std::wstring imageName(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return std::wstring();
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = MAX_PATH * 2;
  if (!QueryFullProcessImageNameW(process, 0, path, &size)) size = 0;
  CloseHandle(process);
  std::wstring name(path, size);
  const size_t slash = name.find_last_of(L"\\/");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

DWORD processOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

bool isProgramWindow(HWND window) {
  return lstrcmpiW(imageName(processOf(window)).c_str(), kProgramImage) == 0;
}

BOOL CALLBACK matchScreen(HWND window, LPARAM param) {
  if (!IsWindowVisible(window) || className(window) != kDialogClass ||
      !isProgramWindow(window))
    return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

HWND findScreen() {
  HWND found = nullptr;
  EnumWindows(matchScreen, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Polls `ready` until it holds or the timeout passes.
template <typename Ready>
bool waitFor(Ready ready) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (ready()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(kPollMs);
  }
}

HWND waitForScreen() {
  HWND screen = nullptr;
  waitFor([&] { return (screen = findScreen()) != nullptr; });
  if (screen == nullptr)
    std::fprintf(stderr, "screen_driver: no screen of the program within %lu ms\n",
                 timeoutMs);
  return screen;
}

bool parseNumber(const wchar_t* text, unsigned long* value) {
  wchar_t* end = nullptr;
  *value = std::wcstoul(text, &end, 10);
  return *text != 0 && *end == 0;
}

void printRect(HWND window, const wchar_t* extra) {
  RECT r{};
  GetWindowRect(window, &r);
  wchar_t line[160];
  swprintf(line, 160, L"%ld %ld %ld %ld%ls", r.left, r.top, r.right - r.left,
           r.bottom - r.top, extra);
  printLine(line);
}

// A control of the screen, after waiting for the screen.
HWND screenControl(const wchar_t* idText, HWND* screen) {
  unsigned long id = 0;
  if (!parseNumber(idText, &id)) return nullptr;
  *screen = waitForScreen();
  if (*screen == nullptr) return nullptr;
  HWND control = GetDlgItem(*screen, static_cast<int>(id));
  if (control == nullptr)
    std::fprintf(stderr, "screen_driver: the screen has no control %ls\n",
                 idText);
  return control;
}

bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
          DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                          kSendTimeoutMs, result ? result : &ignored) != 0)
    return true;
  std::fprintf(stderr, "screen_driver: message 0x%04X not answered\n", message);
  return false;
}

int waitForExit(HANDLE process) {
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "screen_driver: the process still runs after %lu ms\n",
                 timeoutMs);
    return kTimedOut;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  std::printf("exit code %lu\n", code);
  return kOk;
}

int commandRect() {
  HWND screen = waitForScreen();
  if (screen == nullptr) return kTimedOut;
  printRect(screen, L"");
  return kOk;
}

int commandGone() {
  if (waitFor([] { return findScreen() == nullptr; })) return kOk;
  std::fprintf(stderr, "screen_driver: the screen is still shown\n");
  return kTimedOut;
}

int commandText(const wchar_t* id) {
  HWND screen = nullptr;
  HWND control = screenControl(id, &screen);
  if (control == nullptr) return screen == nullptr ? kTimedOut : kNotFound;
  printLine(windowText(control));
  return kOk;
}

// BM_CLICK presses and releases the button in its own thread, as a tap
// would, so the screen gets the same BN_CLICKED as from a person.
int commandClick(const wchar_t* id, bool waitExit) {
  HWND screen = nullptr;
  HWND button = screenControl(id, &screen);
  if (button == nullptr) return screen == nullptr ? kTimedOut : kNotFound;
  // Opened before the click: a process that has ended cannot be opened.
  HANDLE process =
      waitExit ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                             FALSE, processOf(screen))
               : nullptr;
  if (waitExit && process == nullptr) return kFailed;
  int result = send(button, BM_CLICK, 0, 0) ? kOk : kFailed;
  if (result == kOk && waitExit) result = waitForExit(process);
  if (process != nullptr) CloseHandle(process);
  return result;
}

// The screen reads an edited text when the box loses the focus, so the box
// gets the focus and then gives it to the next control, as when a person
// taps elsewhere. WM_NEXTDLGCTL moves the focus from the screen's own thread.
int commandSetText(const wchar_t* id, const wchar_t* text) {
  HWND screen = nullptr;
  HWND box = screenControl(id, &screen);
  if (box == nullptr) return screen == nullptr ? kTimedOut : kNotFound;
  const bool ok =
      send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) &&
      send(screen, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE) &&
      send(screen, WM_NEXTDLGCTL, 0, FALSE);
  return ok ? kOk : kFailed;
}

int commandCheck(const wchar_t* id, const wchar_t* state) {
  const bool on = lstrcmpW(state, L"on") == 0;
  if (!on && lstrcmpW(state, L"off") != 0) return kUsageError;
  HWND screen = nullptr;
  HWND box = screenControl(id, &screen);
  if (box == nullptr) return screen == nullptr ? kTimedOut : kNotFound;
  DWORD_PTR checked = 0;
  if (!send(box, BM_GETCHECK, 0, 0, &checked)) return kFailed;
  if ((checked == BST_CHECKED) != on && !send(box, BM_CLICK, 0, 0))
    return kFailed;
  if (!send(box, BM_GETCHECK, 0, 0, &checked)) return kFailed;
  return (checked == BST_CHECKED) == on ? kOk : kFailed;
}

int commandMain() {
  HWND window = FindWindowW(L"CLD_QRL", L"Zerv: Vantorel");
  if (window == nullptr) return kNotFound;
  wchar_t extra[64];
  swprintf(extra, 64, L" %ls pid %lu",
           IsWindowVisible(window) ? L"visible" : L"hidden", processOf(window));
  printRect(window, extra);
  return kOk;
}

int commandTray() {
  HWND taskbar = findTaskbar();
  if (taskbar == nullptr) {
    std::fprintf(stderr, "screen_driver: the desktop has no taskbar\n");
    return kNotFound;
  }
  std::vector<std::wstring> tips;
  if (!readTrayTips(taskbar, &tips)) {
    std::fprintf(stderr, "screen_driver: cannot read the tray's tooltips\n");
    return kFailed;
  }
  for (const std::wstring& tip : tips) printLine(tip);
  return kOk;
}

int commandWaitExit(const wchar_t* pidText) {
  unsigned long pid = 0;
  if (!parseNumber(pidText, &pid)) return kUsageError;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                               FALSE, pid);
  if (process == nullptr) {
    std::fprintf(stderr, "screen_driver: no process %lu\n", pid);
    return kNotFound;
  }
  const int result = waitForExit(process);
  CloseHandle(process);
  return result;
}

std::wstring quoted(const wchar_t* arg) {
  std::wstring out = L"\"";
  for (const wchar_t* c = arg; *c != 0; ++c) {
    if (*c == L'"') out += L'\\';
    out += *c;
  }
  return out + L"\"";
}

// Runs a program in the desktop with the driver's standard handles, so its
// output goes where the driver's goes.
int commandRun(int argc, wchar_t** argv, const std::wstring& desktop) {
  std::wstring line;
  for (int i = 0; i < argc; ++i) line += (i ? L" " : L"") + quoted(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring desktopName = desktop;
  if (!desktopName.empty()) startup.lpDesktop = &desktopName[0];
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &info)) {
    std::fprintf(stderr, "screen_driver: cannot start %ls (error %lu)\n",
                 argv[0], GetLastError());
    return kFailed;
  }
  CloseHandle(info.hThread);
  DWORD code = kTimedOut;
  if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(info.hProcess, &code);
  else
    std::fprintf(stderr, "screen_driver: %ls still runs after %lu ms\n",
                 argv[0], timeoutMs);
  CloseHandle(info.hProcess);
  return static_cast<int>(code);
}

BOOL CALLBACK listWindow(HWND window, LPARAM child) {
  RECT r{};
  GetWindowRect(window, &r);
  wchar_t line[256];
  swprintf(line, 256, L"%ls%p %-20ls %-8ls owner %p %ls %ld %ld %ld %ld \"",
           child ? L"  child " : L"",
           static_cast<void*>(window), className(window).c_str(),
           IsWindowVisible(window) ? L"visible" : L"hidden",
           static_cast<void*>(GetWindow(window, GW_OWNER)),
           imageName(processOf(window)).c_str(), r.left, r.top,
           r.right - r.left, r.bottom - r.top);
  printLine(line + windowText(window) + L"\"");
  if (!child) EnumChildWindows(window, listWindow, 1);
  return TRUE;
}

int commandWindows() {
  EnumWindows(listWindow, 0);
  return kOk;
}

bool enterDesktop(const std::wstring& name) {
  if (name.empty()) return true;
  HDESK desktop = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL);
  if (desktop != nullptr && SetThreadDesktop(desktop)) return true;
  std::fprintf(stderr, "screen_driver: cannot enter the desktop %ls\n",
               name.c_str());
  return false;
}

int usage() {
  std::fputs(kUsage, stderr);
  return kUsageError;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::wstring desktop = L"vantorel";
  int i = 1;
  for (; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    unsigned long value = 0;
    if (option == L"--desktop") {
      desktop = argv[i + 1];
    } else if (option == L"--timeout" && parseNumber(argv[i + 1], &value)) {
      timeoutMs = value;
    } else {
      break;
    }
  }
  if (i >= argc) return usage();
  const std::wstring command = argv[i];
  const int rest = argc - i - 1;
  wchar_t** args = argv + i + 1;
  if (command == L"run") {
    // The program gets the desktop by name; the driver itself stays out.
    return rest >= 1 ? commandRun(rest, args, desktop) : usage();
  }
  if (!enterDesktop(desktop)) return kFailed;
  if (command == L"rect" && rest == 0) return commandRect();
  if (command == L"gone" && rest == 0) return commandGone();
  if (command == L"text" && rest == 1) return commandText(args[0]);
  if (command == L"click" && rest == 1) return commandClick(args[0], false);
  if (command == L"click" && rest == 2 && lstrcmpW(args[1], L"--exit") == 0)
    return commandClick(args[0], true);
  if (command == L"set-text" && rest == 2)
    return commandSetText(args[0], args[1]);
  if (command == L"check" && rest == 2) return commandCheck(args[0], args[1]);
  if (command == L"main" && rest == 0) return commandMain();
  if (command == L"tray" && rest == 0) return commandTray();
  if (command == L"wait-exit" && rest == 1) return commandWaitExit(args[0]);
  if (command == L"windows" && rest == 0) return commandWindows();
  return usage();
}
