// Modal dialogs from the templates the test registers: the resource calls,
// DialogBoxIndirectParamW with its scripted user, EndDialog, and the
// record of every run.
#include "platform/dialogs.h"

#include <cstring>
#include <deque>
#include <map>
#include <mutex>

#include "platform/fake/ui_internal.h"
#include "platform/list_view.h"

namespace fake {
namespace {

constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t BS_AUTOCHECKBOX = 3;

std::map<int, std::vector<ControlSpec>> templates;
std::map<int, std::deque<std::vector<UserAction>>> scripts;
std::vector<DialogRun> runs;
std::vector<plat::HWND> active;  // running dialogs, innermost last
size_t leftOpen = 0;

const char16_t* controlClass(ControlSpec::Kind kind) {
  switch (kind) {
    case ControlSpec::button:
    case ControlSpec::checkBox:
    case ControlSpec::radioButton:
      return u"BUTTON";
    case ControlSpec::staticText:
      return u"STATIC";
    case ControlSpec::editBox:
      return u"EDIT";
    case ControlSpec::listView:
      return u"SysListView32";
  }
  return u"";
}

uint32_t buttonStyle(ControlSpec::Kind kind) {
  if (kind == ControlSpec::checkBox) return BS_AUTOCHECKBOX;
  if (kind == ControlSpec::radioButton) return plat::BS_AUTORADIOBUTTON;
  return 0;
}

// A registered template's id from a handle of the given base.
bool templateOf(uintptr_t handle, uintptr_t base, int* id) {
  const uintptr_t offset = handle - base;
  if (offset > 0xFFFF) return false;
  if (templates.count(static_cast<int>(offset)) == 0) return false;
  *id = static_cast<int>(offset);
  return true;
}

// With deviceMutex held: the dialog and its controls; the control that
// gets the focus by default (the first one that is not a static text).
plat::HWND createDialog(int id, plat::HWND owner, plat::DLGPROC proc,
                        size_t run, plat::HWND* firstControl) {
  Window d{};
  d.kind = WindowKind::dialog;
  d.className = u"#32770";
  d.dialogProc = proc;
  d.style = WS_POPUP | plat::WS_VISIBLE;
  d.rect = {0, 0, screenWidth(), screenHeight()};
  d.visible = true;
  d.parent = owner;
  d.run = run;
  const plat::HWND dialog = addWindow(std::move(d));
  *firstControl = nullptr;
  int radioGroup = 0;
  bool afterRadio = false;
  for (const ControlSpec& item : templates[id]) {
    Window c{};
    c.kind = WindowKind::control;
    c.className = controlClass(item.kind);
    c.title = item.caption;
    c.style = WS_CHILD | plat::WS_VISIBLE | buttonStyle(item.kind);
    const bool radio = item.kind == ControlSpec::radioButton;
    if (radio && !afterRadio) ++radioGroup;
    afterRadio = radio;
    c.radioGroup = radio ? radioGroup : 0;
    c.visible = true;
    c.child = true;
    c.parent = dialog;
    c.controlId = item.id;
    c.controlKind = item.kind;
    const plat::HWND control = addWindow(std::move(c));
    if (*firstControl == nullptr && item.kind != ControlSpec::staticText)
      *firstControl = control;
  }
  return dialog;
}

}  // namespace

void resetDialogs() {
  templates.clear();
  scripts.clear();
  runs.clear();
  active.clear();
  leftOpen = 0;
  setColourAnswers({});
}

DialogRun& dialogRun(size_t index) { return runs[index]; }

intptr_t dialogMessage(plat::HWND dialog, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) {
  plat::DLGPROC proc;
  size_t run;
  size_t slot;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    const Window* w = liveWindow(dialog);
    if (w == nullptr || w->kind != WindowKind::dialog || w->run >= runs.size())
      return 0;
    proc = w->dialogProc;
    run = w->run;
    // The slot is taken first, so messages keep the order they came in
    // even when one is sent while another is being handled.
    slot = runs[run].messages.size();
    runs[run].messages.push_back({message, wParam, lParam, 0});
  }
  const intptr_t answer = proc(dialog, message, wParam, lParam);
  std::lock_guard<std::mutex> guard(deviceMutex);
  if (run < runs.size() && slot < runs[run].messages.size())
    runs[run].messages[slot].answer = answer;  // unless a reset came between
  return answer;
}

// ---- Test API ---------------------------------------------------------

void addDialogTemplate(int id, std::vector<ControlSpec> controls) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  templates[id] = std::move(controls);
}

void scriptDialog(int templateId, std::vector<UserAction> actions) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  scripts[templateId].push_back(std::move(actions));
}

size_t scriptsPending() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (const auto& [id, queued] : scripts) n += queued.size();
  return n;
}

std::vector<DialogRun> dialogRuns() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return runs;
}

size_t dialogsLeftOpen() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return leftOpen;
}

plat::HWND activeDialog() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return active.empty() ? nullptr : active.back();
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HRSRC FindResourceW(HINSTANCE hModule, const char16_t* lpName,
                    const char16_t* lpType) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::FindResourceW)) {
    c->args[0] = asArg(hModule);
    c->args[1] = asArg(lpName);
    c->args[2] = asArg(lpType);
    fake::copyName(c->text, 256, lpName);
    fake::copyName(c->text2, 128, lpType);
  }
  const uintptr_t name = reinterpret_cast<uintptr_t>(lpName);
  int id;
  if (fake::shouldFail(Op::FindResourceW) || lpType != RT_DIALOG() ||
      !fake::isIntResource(lpName) ||
      !fake::templateOf(fake::kFirstResource + name, fake::kFirstResource, &id))
    return nullptr;
  return reinterpret_cast<HRSRC>(fake::kFirstResource + name);
}

HGLOBAL LoadResource(HINSTANCE hModule, HRSRC hResInfo) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::LoadResource)) {
    c->args[0] = asArg(hModule);
    c->args[1] = asArg(hResInfo);
  }
  int id;
  if (fake::shouldFail(Op::LoadResource) ||
      !fake::templateOf(asArg(hResInfo), fake::kFirstResource, &id))
    return nullptr;
  return reinterpret_cast<HGLOBAL>(fake::kFirstLoaded + id);
}

// After EndDialog, or once the script has run out (then -1, counted in
// dialogsLeftOpen()), the dialog is destroyed: its procedure hears
// WM_DESTROY, as on the platform.
intptr_t DialogBoxIndirectParamW(HINSTANCE hInstance, HGLOBAL hDialogTemplate,
                                 HWND hWndParent, DLGPROC lpDialogFunc,
                                 LPARAM dwInitParam) {
  HWND dialog;
  HWND firstControl;
  size_t run;
  std::vector<fake::UserAction> script;
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::DialogBoxIndirectParamW)) {
      c->args[0] = asArg(hInstance);
      c->args[1] = asArg(hDialogTemplate);
      c->args[2] = asArg(hWndParent);
      c->args[3] = reinterpret_cast<uintptr_t>(lpDialogFunc);
      c->args[4] = asArg(dwInitParam);
    }
    int id;
    if (fake::shouldFail(Op::DialogBoxIndirectParamW) ||
        lpDialogFunc == nullptr ||
        !fake::templateOf(asArg(hDialogTemplate), fake::kFirstLoaded, &id) ||
        (hWndParent != nullptr && fake::liveWindow(hWndParent) == nullptr))
      return -1;
    run = fake::runs.size();
    dialog =
        fake::createDialog(id, hWndParent, lpDialogFunc, run, &firstControl);
    auto queued = fake::scripts.find(id);
    if (queued != fake::scripts.end() && !queued->second.empty()) {
      script = std::move(queued->second.front());
      queued->second.pop_front();
    }
    fake::DialogRun r{};
    r.templateId = id;
    r.dialog = dialog;
    r.owner = hWndParent;
    r.initParam = dwInitParam;
    fake::runs.push_back(std::move(r));
    fake::active.push_back(dialog);
  }
  // A true answer leaves the focus where the platform puts it by default.
  if (fake::dialogMessage(dialog, WM_INITDIALOG, asArg(firstControl),
                          dwInitParam) != 0 &&
      firstControl != nullptr && !fake::windowDestroyed(firstControl))
    fake::moveFocus(firstControl);
  fake::runScript(dialog, run, script);
  intptr_t result;
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    const fake::Window* w = fake::findWindow(dialog);
    if (w == nullptr || run >= fake::runs.size()) return -1;  // reset meanwhile
    fake::DialogRun& r = fake::runs[run];
    r.ended = w->ended;
    r.leftOpen = !w->ended && !w->destroyed;
    result = w->ended ? w->result : -1;
    r.result = result;
    if (r.leftOpen) ++fake::leftOpen;
  }
  fake::destroyWindowTree(dialog);
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (run < fake::runs.size()) fake::runs[run].returned = true;
  for (size_t i = fake::active.size(); i-- > 0;)
    if (fake::active[i] == dialog) {
      fake::active.erase(fake::active.begin() + static_cast<ptrdiff_t>(i));
      break;
    }
  return result;
}

BOOL EndDialog(HWND hDlg, intptr_t nResult) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::EndDialog)) {
    c->args[0] = asArg(hDlg);
    c->args[1] = asArg(nResult);
  }
  fake::Window* w = fake::liveWindow(hDlg);
  if (fake::shouldFail(Op::EndDialog) || w == nullptr ||
      w->kind != fake::WindowKind::dialog || w->destroying)
    return 0;
  w->ended = true;
  w->result = nResult;
  return 1;
}

}  // namespace plat
