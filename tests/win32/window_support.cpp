#include "tests/win32/window_support.h"

#include <utility>

#include "platform/win32/win32.h"

namespace window_support {
namespace {

::HWND native(plat::HWND window) { return win32::nativeWindow(window); }

std::u16string fromWide(const wchar_t* text) {
  if (text == nullptr) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

// Appends to a template, which keeps its fields 16-bit aligned and each
// item 32-bit aligned.
class TemplateWriter {
 public:
  void word(uint16_t w) { words_.push_back(w); }
  void dword(uint32_t d) {
    word(static_cast<uint16_t>(d));
    word(static_cast<uint16_t>(d >> 16));
  }
  void text(const wchar_t* s) {
    for (; *s != L'\0'; ++s) word(static_cast<uint16_t>(*s));
    word(0);
  }
  void alignItem() {
    if (words_.size() % 2 != 0) word(0);
  }
  void item(DWORD style, int16_t x, int16_t y, int16_t cx, int16_t cy,
            uint16_t id, uint16_t classAtom, const wchar_t* title) {
    alignItem();
    dword(WS_CHILD | WS_VISIBLE | style);
    dword(0);  // extended style
    word(static_cast<uint16_t>(x));
    word(static_cast<uint16_t>(y));
    word(static_cast<uint16_t>(cx));
    word(static_cast<uint16_t>(cy));
    word(id);
    word(0xFFFF);
    word(classAtom);
    text(title);
    word(0);  // no creation data
  }
  std::vector<uint16_t> take() { return std::move(words_); }

 private:
  std::vector<uint16_t> words_;
};

}  // namespace

bool displayReady(std::string* why) {
  if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
    *why = "these tests show windows and need an X display: set DISPLAY "
           "(tools/test.sh starts Xvfb)";
    return false;
  }
  ::HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1,
                                   nullptr, nullptr, nullptr, nullptr);
  if (probe == nullptr) {
    *why = "Wine cannot make windows here: this prefix's wineserver may "
           "have started without a display";
    return false;
  }
  ::DestroyWindow(probe);
  return true;
}

plat::HINSTANCE thisModule() {
  return reinterpret_cast<plat::HINSTANCE>(GetModuleHandleW(nullptr));
}

Creation creationOf(plat::LPARAM lParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
  Creation creation;
  creation.className = fromWide(create->lpszClass);
  creation.title = fromWide(create->lpszName);
  creation.param = create->lpCreateParams;
  return creation;
}

Rect windowRect(plat::HWND window) {
  RECT r{};
  GetWindowRect(native(window), &r);
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool isVisible(plat::HWND window) {
  return IsWindowVisible(native(window)) != FALSE;
}

bool isTopmost(plat::HWND window) {
  return (GetWindowLongPtrW(native(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::u16string classNameOf(plat::HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(native(window), name, 256);
  return fromWide(name);
}

ClassInfo classInfoOf(plat::HWND window) {
  ::HWND w = native(window);
  ClassInfo info;
  info.style = static_cast<uint32_t>(GetClassLongPtrW(w, GCL_STYLE));
  info.windowExtra = static_cast<int32_t>(GetClassLongPtrW(w, GCL_CBWNDEXTRA));
  info.icon = reinterpret_cast<void*>(GetClassLongPtrW(w, GCLP_HICON));
  info.background =
      reinterpret_cast<void*>(GetClassLongPtrW(w, GCLP_HBRBACKGROUND));
  info.instance = reinterpret_cast<plat::HINSTANCE>(
      GetClassLongPtrW(w, GCLP_HMODULE));
  return info;
}

bool postMessage(plat::HWND window, uint32_t message, plat::WPARAM wParam,
                 plat::LPARAM lParam) {
  return PostMessageW(native(window), message, wParam, lParam) != FALSE;
}

void setControlKey(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

bool fontOf(plat::HFONT font, plat::LOGFONTW* out) {
  ::LOGFONTW f{};
  if (GetObjectW(reinterpret_cast<::HGDIOBJ>(font), sizeof f, &f) !=
      sizeof f)
    return false;
  *out = plat::LOGFONTW{};
  out->lfHeight = f.lfHeight;
  out->lfWidth = f.lfWidth;
  out->lfEscapement = f.lfEscapement;
  out->lfOrientation = f.lfOrientation;
  out->lfWeight = f.lfWeight;
  out->lfItalic = f.lfItalic;
  out->lfUnderline = f.lfUnderline;
  out->lfStrikeOut = f.lfStrikeOut;
  out->lfCharSet = f.lfCharSet;
  out->lfOutPrecision = f.lfOutPrecision;
  out->lfClipPrecision = f.lfClipPrecision;
  out->lfQuality = f.lfQuality;
  out->lfPitchAndFamily = f.lfPitchAndFamily;
  for (int i = 0; i < LF_FACESIZE; ++i)
    out->lfFaceName[i] = static_cast<char16_t>(f.lfFaceName[i]);
  return true;
}

bool brushColour(plat::HBRUSH brush, plat::COLORREF* out) {
  LOGBRUSH b{};
  if (GetObjectW(reinterpret_cast<::HGDIOBJ>(brush), sizeof b, &b) !=
      sizeof b)
    return false;
  *out = b.lbColor;
  return b.lbStyle == BS_SOLID;
}

std::vector<uint16_t> testDialogTemplate() {
  TemplateWriter t;
  t.dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
  t.dword(0);  // extended style
  t.word(4);   // items
  t.word(10);  // x
  t.word(10);  // y
  t.word(150);
  t.word(100);
  t.word(0);  // no menu
  t.word(0);  // the dialog class
  t.text(L"Test dialog");
  t.word(8);
  t.text(L"Tahoma");
  t.item(BS_PUSHBUTTON | WS_TABSTOP, 10, 75, 50, 14, kOkButton, 0x80, L"OK");
  t.item(BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 120, 10, kCheckBox, 0x80,
         L"Tick me");
  t.item(SS_LEFT, 10, 25, 120, 10, kLabel, 0x82, L"A label");
  t.item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 40, 120, 14,
         kEditBox, 0x81, L"");
  return t.take();
}

bool waitForThread(void* thread, uint32_t* exitCode) {
  if (WaitForSingleObject(thread, 10000) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  *exitCode = code;
  return true;
}

}  // namespace window_support
