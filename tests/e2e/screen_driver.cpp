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

#include <commctrl.h>

#include "tests/e2e/tray_icons.h"
#include "tools/utf8.h"

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
    "  rows ID            print each row of list view ID: \"[x] \" or \"[ ] \" for\n"
    "                     its tick, then its columns' texts, TAB between them\n"
    "  tick ID ROW        tap the check box of row ROW of list view ID; fails\n"
    "                     unless the box changes\n"
    "  tap ID ROW         tap row ROW of list view ID beside its box; fails\n"
    "                     unless that row alone is selected then\n"
    "  enabled ID         print \"enabled\" or \"disabled\" for control ID\n"
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

void printLine(const std::wstring& text) {
  const std::string bytes =
      utf8FromUtf16(std::u16string(text.begin(), text.end())) + "\n";
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

// With a modal screen open, the screen below it is shown too but disabled:
// the one a person can use is the enabled one.
BOOL CALLBACK matchScreen(HWND window, LPARAM param) {
  if (!IsWindowVisible(window) || !IsWindowEnabled(window) ||
      className(window) != kDialogClass || !isProgramWindow(window))
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

void CALLBACK noteAnswer(HWND, UINT, ULONG_PTR answered, LRESULT) {
  *reinterpret_cast<bool*>(answered) = true;
}

// BM_CLICK presses and releases the button in its own thread, as a tap
// would, so the screen gets the same BN_CLICKED as from a person. A click
// that opens a modal screen is answered only once that screen has closed,
// so the click is done when it is answered, when another screen has come
// up instead of this one, or when the button has gone with its screen.
bool clickButton(HWND button, HWND screen) {
  bool answered = false;
  if (!SendMessageCallbackW(button, BM_CLICK, 0, 0, noteAnswer,
                            reinterpret_cast<ULONG_PTR>(&answered))) {
    std::fprintf(stderr, "screen_driver: cannot click (error %lu)\n",
                 GetLastError());
    return false;
  }
  const bool done = waitFor([&] {
    MSG message;  // the answer comes while the driver looks at its queue
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
    if (answered || !IsWindow(button)) return true;
    HWND now = findScreen();
    return now != nullptr && now != screen;
  });
  if (!done)
    std::fprintf(stderr, "screen_driver: the click was not handled within "
                         "%lu ms\n",
                 timeoutMs);
  return done;
}

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
  int result = clickButton(button, screen) ? kOk : kTimedOut;
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

int commandEnabled(const wchar_t* id) {
  HWND screen = nullptr;
  HWND control = screenControl(id, &screen);
  if (control == nullptr) return screen == nullptr ? kTimedOut : kNotFound;
  printLine(IsWindowEnabled(control) ? L"enabled" : L"disabled");
  return kOk;
}

// ---- List views ------------------------------------------------------
//
// A list view of another process reads and writes its records (rows' texts,
// rectangles, hit tests) at the address it is given, so the records live in
// memory of the screen's process for the time of a request.

class RemoteMemory {
 public:
  static constexpr SIZE_T kSize = 4096;

  explicit RemoteMemory(HWND window) {
    process_ = OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
        processOf(window));
    if (process_ != nullptr)
      base_ = static_cast<char*>(VirtualAllocEx(
          process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (base_ == nullptr)
      std::fprintf(stderr,
                   "screen_driver: no memory in the screen's process (error "
                   "%lu)\n",
                   GetLastError());
  }
  ~RemoteMemory() {
    if (base_ != nullptr) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return base_ != nullptr; }
  // The address in the screen's process of the byte at `offset`.
  char* at(SIZE_T offset) const { return base_ + offset; }
  bool write(SIZE_T offset, const void* data, SIZE_T size) {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  bool read(SIZE_T offset, void* data, SIZE_T size) {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

constexpr SIZE_T kRecordAt = 0;
constexpr SIZE_T kTextAt = 512;
constexpr int kTextUnits = (RemoteMemory::kSize - kTextAt) / sizeof(wchar_t);

// The list view ID of the screen, after waiting for the screen.
HWND screenList(const wchar_t* idText, int* result) {
  HWND screen = nullptr;
  HWND list = screenControl(idText, &screen);
  *result = screen == nullptr ? kTimedOut : kNotFound;
  if (list == nullptr) return nullptr;
  if (lstrcmpiW(className(list).c_str(), WC_LISTVIEWW) != 0) {
    std::fprintf(stderr, "screen_driver: control %ls is no list view\n",
                 idText);
    *result = kFailed;
    return nullptr;
  }
  return list;
}

bool rowCount(HWND list, DWORD_PTR* count) {
  return send(list, LVM_GETITEMCOUNT, 0, 0, count);
}

// The tick a row shows: its state image less one (1 ticked, 0 not, -1 no
// box at all); -2 when the list does not answer.
int rowTick(HWND list, int row) {
  DWORD_PTR state = 0;
  if (!send(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK, &state))
    return -2;
  return static_cast<int>(state >> 12) - 1;
}

bool columnCount(HWND list, int* count) {
  DWORD_PTR header = 0, n = 0;
  if (!send(list, LVM_GETHEADER, 0, 0, &header)) return false;
  if (header != 0 &&
      !send(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &n))
    return false;
  // A report view without columns still shows its rows' main texts.
  *count = n > 0 ? static_cast<int>(n) : 1;
  return true;
}

bool cellText(HWND list, RemoteMemory* memory, int row, int column,
              std::wstring* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(memory->at(kTextAt));
  item.cchTextMax = kTextUnits;
  DWORD_PTR length = 0;
  if (!memory->write(kRecordAt, &item, sizeof item) ||
      !send(list, LVM_GETITEMTEXTW, row,
            reinterpret_cast<LPARAM>(memory->at(kRecordAt)), &length))
    return false;
  text->assign(length < DWORD_PTR(kTextUnits) ? length : 0, L'\0');
  return text->empty() ||
         memory->read(kTextAt, &(*text)[0], text->size() * sizeof(wchar_t));
}

int commandRows(const wchar_t* id) {
  int result = kOk;
  HWND list = screenList(id, &result);
  if (list == nullptr) return result;
  RemoteMemory memory(list);
  DWORD_PTR rows = 0;
  int columns = 0;
  if (!memory.ok() || !rowCount(list, &rows) || !columnCount(list, &columns))
    return kFailed;
  for (DWORD_PTR row = 0; row < rows; ++row) {
    std::wstring line = rowTick(list, int(row)) == 1 ? L"[x] " : L"[ ] ";
    for (int column = 0; column < columns; ++column) {
      std::wstring text;
      if (!cellText(list, &memory, int(row), column, &text)) {
        std::fprintf(stderr, "screen_driver: cannot read row %lu\n",
                     static_cast<unsigned long>(row));
        return kFailed;
      }
      line += (column > 0 ? L"\t" : L"") + text;
    }
    printLine(line);
  }
  return kOk;
}

bool itemRect(HWND list, RemoteMemory* memory, int row, int part, RECT* r) {
  RECT asked{};
  asked.left = part;
  DWORD_PTR found = 0;
  return memory->write(kRecordAt, &asked, sizeof asked) &&
         send(list, LVM_GETITEMRECT, row,
              reinterpret_cast<LPARAM>(memory->at(kRecordAt)), &found) &&
         found != 0 && memory->read(kRecordAt, r, sizeof *r);
}

// Whether the list itself places `at` on `part` (an LVHT_ flag) of `row`.
bool hitsPart(HWND list, RemoteMemory* memory, POINT at, int row, UINT part) {
  LVHITTESTINFO hit{};
  hit.pt = at;
  DWORD_PTR found = 0;
  return memory->write(kRecordAt, &hit, sizeof hit) &&
         send(list, LVM_HITTEST, 0,
              reinterpret_cast<LPARAM>(memory->at(kRecordAt)), &found) &&
         memory->read(kRecordAt, &hit, sizeof hit) &&
         static_cast<int>(found) == row && (hit.flags & LVHT_ONITEM) == part;
}

enum class RowPart { box, label };

// Where a person taps a row, once it is scrolled into view: its box is the
// state icon, between the row's start and its icon; its label is the text
// beside it, of which the middle of the part inside the list is taken.
bool tapPoint(HWND list, RemoteMemory* memory, int row, RowPart part,
              POINT* at) {
  RECT bounds{}, icon{}, label{}, client{};
  if (!send(list, LVM_ENSUREVISIBLE, row, FALSE) ||
      !itemRect(list, memory, row, LVIR_BOUNDS, &bounds) ||
      !itemRect(list, memory, row, LVIR_ICON, &icon) ||
      !itemRect(list, memory, row, LVIR_LABEL, &label) ||
      !GetClientRect(list, &client))
    return false;
  const LONG middle = (bounds.top + bounds.bottom) / 2;
  const LONG labelEnd = label.right < client.right ? label.right : client.right;
  *at = part == RowPart::box ? POINT{(bounds.left + icon.left) / 2, middle}
                             : POINT{(label.left + labelEnd) / 2, middle};
  return hitsPart(list, memory, *at, row,
                  part == RowPart::box ? LVHT_ONITEMSTATEICON
                                       : LVHT_ONITEMLABEL);
}

// Mouse down and up, each sent: the list handles them in the screen's
// thread, which hears the list's notifications before each send returns.
bool tapAt(HWND list, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  return send(list, WM_LBUTTONDOWN, MK_LBUTTON, where) &&
         send(list, WM_LBUTTONUP, 0, where);
}

// A disabled or hidden list takes no taps from a person; a sent mouse
// message would still reach it, so the driver refuses itself.
HWND tappableRow(const wchar_t* id, const wchar_t* rowText, int* row,
                 int* result) {
  unsigned long number = 0;
  if (!parseNumber(rowText, &number)) {
    *result = kUsageError;
    return nullptr;
  }
  HWND list = screenList(id, result);
  if (list == nullptr) return nullptr;
  *result = kFailed;
  if (!IsWindowEnabled(list) || !IsWindowVisible(list)) {
    std::fprintf(stderr, "screen_driver: list %ls is %ls\n", id,
                 IsWindowEnabled(list) ? L"hidden" : L"disabled");
    return nullptr;
  }
  DWORD_PTR rows = 0;
  if (!rowCount(list, &rows)) return nullptr;
  if (number >= rows) {
    std::fprintf(stderr, "screen_driver: list %ls has no row %ls\n", id,
                 rowText);
    *result = kNotFound;
    return nullptr;
  }
  *row = static_cast<int>(number);
  return list;
}

bool tapRowPart(HWND list, int row, RowPart part) {
  RemoteMemory memory(list);
  POINT at{};
  if (!memory.ok()) return false;
  if (!tapPoint(list, &memory, row, part, &at)) {
    std::fprintf(stderr, "screen_driver: no place to tap the %ls of row %d\n",
                 part == RowPart::box ? L"box" : L"label", row);
    return false;
  }
  return tapAt(list, at);
}

int commandTick(const wchar_t* id, const wchar_t* rowText) {
  int row = 0, result = kOk;
  HWND list = tappableRow(id, rowText, &row, &result);
  if (list == nullptr) return result;
  const int before = rowTick(list, row);
  if (!tapRowPart(list, row, RowPart::box)) return kFailed;
  const int after = rowTick(list, row);
  if (after != before && after >= 0) return kOk;
  std::fprintf(stderr, "screen_driver: the box of row %d stayed %d\n", row,
               before);
  return kFailed;
}

int commandTap(const wchar_t* id, const wchar_t* rowText) {
  int row = 0, result = kOk;
  HWND list = tappableRow(id, rowText, &row, &result);
  if (list == nullptr) return result;
  if (!tapRowPart(list, row, RowPart::label)) return kFailed;
  DWORD_PTR first = 0, next = 0;
  if (!send(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED, &first) ||
      !send(list, LVM_GETNEXTITEM, row, LVNI_SELECTED, &next))
    return kFailed;
  if (static_cast<int>(first) == row && static_cast<int>(next) == -1)
    return kOk;
  std::fprintf(stderr, "screen_driver: row %d is not the only one selected\n",
               row);
  return kFailed;
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
  if (command == L"rows" && rest == 1) return commandRows(args[0]);
  if (command == L"tick" && rest == 2) return commandTick(args[0], args[1]);
  if (command == L"tap" && rest == 2) return commandTap(args[0], args[1]);
  if (command == L"enabled" && rest == 1) return commandEnabled(args[0]);
  if (command == L"main" && rest == 0) return commandMain();
  if (command == L"tray" && rest == 0) return commandTray();
  if (command == L"wait-exit" && rest == 1) return commandWaitExit(args[0]);
  if (command == L"windows" && rest == 0) return commandWindows();
  return usage();
}
