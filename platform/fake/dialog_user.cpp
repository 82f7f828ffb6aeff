// The scripted user: acts inside a running dialog the way a person at the
// screen would, through the messages the platform sends for each act.
#include <mutex>

#include "platform/dialogs.h"
#include "platform/fake/ui_internal.h"

namespace fake {
namespace {

constexpr uintptr_t MK_LBUTTON = 1;

std::vector<ColourAnswer> colourAnswers;

// With deviceMutex held: input reaches a window only while it and the
// dialog it sits in are enabled, as on the platform.
bool takesInput(plat::HWND window) {
  const Window* w = liveWindow(window);
  if (w == nullptr || !w->enabled) return false;
  return !w->child || takesInput(w->parent);
}

// A control of the dialog the user can see: live and showing.
plat::HWND visibleControl(plat::HWND dialog, int id, ControlSpec::Kind* kind,
                          bool* enabled) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  std::vector<Window>& all = windowStore();
  for (size_t i = 0; i < all.size(); ++i) {
    const Window& w = all[i];
    if (w.destroyed || w.kind != WindowKind::control || w.parent != dialog ||
        w.controlId != id)
      continue;
    if (!w.visible) return nullptr;
    const auto control = reinterpret_cast<plat::HWND>(kFirstWindow + i);
    *kind = w.controlKind;
    *enabled = takesInput(control);
    return control;
  }
  return nullptr;
}

bool dialogTakesInput(plat::HWND dialog) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return takesInput(dialog);
}

void repaintDialog(plat::HWND dialog) {
  struct Target {
    plat::HWND window;
    int id;
    uint32_t message;
  };
  std::vector<Target> targets;
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    std::vector<Window>& all = windowStore();
    for (size_t i = 0; i < all.size(); ++i) {
      const Window& w = all[i];
      if (w.destroyed || !w.visible || w.kind != WindowKind::control ||
          w.parent != dialog)
        continue;
      uint32_t message;
      if (w.controlKind == ControlSpec::staticText ||
          w.controlKind == ControlSpec::checkBox ||
          w.controlKind == ControlSpec::radioButton)
        message = plat::WM_CTLCOLORSTATIC;
      else if (w.controlKind == ControlSpec::button)
        message = plat::WM_CTLCOLORBTN;
      else
        continue;
      targets.push_back({reinterpret_cast<plat::HWND>(kFirstWindow + i),
                         w.controlId, message});
    }
  }
  targets.push_back({dialog, 0, plat::WM_CTLCOLORDLG});
  std::vector<ColourAnswer> answers;
  for (const Target& t : targets) {
    plat::HDC dc;
    {
      std::lock_guard<std::mutex> guard(deviceMutex);
      dc = newDeviceContext();
    }
    const intptr_t brush =
        deliverMessage(dialog, t.message, reinterpret_cast<uintptr_t>(dc),
                       reinterpret_cast<intptr_t>(t.window));
    std::lock_guard<std::mutex> guard(deviceMutex);
    const DeviceContextState s = deviceContextLocked(dc);
    answers.push_back({t.id, t.window, t.message,
                       reinterpret_cast<plat::HBRUSH>(brush), s.font,
                       s.textColour, s.bkMode});
  }
  std::lock_guard<std::mutex> guard(deviceMutex);
  setColourAnswers(std::move(answers));
}

void setText(plat::HWND control, const std::u16string& text) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  if (Window* w = liveWindow(control)) w->title = text;
}

// With deviceMutex held: sets the radio button and clears the others of
// its group.
void setRadio(const Window& chosen) {
  for (Window& w : windowStore())
    if (!w.destroyed && w.kind == WindowKind::control &&
        w.controlKind == ControlSpec::radioButton &&
        w.parent == chosen.parent && w.radioGroup == chosen.radioGroup)
      w.check = &w == &chosen ? plat::BST_CHECKED : plat::BST_UNCHECKED;
}

// As a mouse does it: the focus moves on the press, an automatic check
// box or radio button changes on the release, then the dialog hears of the
// click.
void press(plat::HWND control, ControlSpec::Kind kind) {
  moveFocus(control);
  {
    std::lock_guard<std::mutex> guard(deviceMutex);
    Window* w = liveWindow(control);
    if (w != nullptr && kind == ControlSpec::checkBox)
      w->check = w->check == plat::BST_CHECKED ? plat::BST_UNCHECKED
                                               : plat::BST_CHECKED;
    if (w != nullptr && kind == ControlSpec::radioButton) setRadio(*w);
  }
  notifyParent(control, plat::BN_CLICKED);
}

// The list takes the focus on the press, then the row changes.
bool tapList(plat::HWND list, const UserAction& a) {
  if (!listHasRow(list, a.row)) return false;
  moveFocus(list);
  return a.kind == UserAction::tickRow ? tickListRow(list, a.row)
                                       : tapListRow(list, a.row);
}

// False when the user cannot do it: nothing is sent then.
bool perform(plat::HWND dialog, const UserAction& a) {
  switch (a.kind) {
    case UserAction::inspect:
      if (a.check) a.check();
      return true;
    case UserAction::tapGround:
      if (!dialogTakesInput(dialog)) return false;
      deliverMessage(
          dialog, plat::WM_LBUTTONDOWN, MK_LBUTTON,
          static_cast<intptr_t>((static_cast<uint32_t>(a.x) & 0xFFFF) |
                                ((static_cast<uint32_t>(a.y) & 0xFFFF) << 16)));
      return true;
    case UserAction::repaint:
      repaintDialog(dialog);
      return true;
    default:
      break;
  }
  ControlSpec::Kind kind;
  bool enabled;
  const plat::HWND control = visibleControl(dialog, a.control, &kind, &enabled);
  if (control == nullptr) return false;
  // Focus may still leave a control that was disabled while it had it.
  if (!enabled && a.kind != UserAction::blur) return false;
  switch (a.kind) {
    case UserAction::click:
      if (kind != ControlSpec::button && kind != ControlSpec::checkBox &&
          kind != ControlSpec::radioButton)
        return false;
      press(control, kind);
      return true;
    case UserAction::type:
      if (kind != ControlSpec::editBox) return false;
      moveFocus(control);
      setText(control, a.text);
      moveFocus(nullptr);
      return true;
    case UserAction::focus:
      moveFocus(control);
      return true;
    case UserAction::blur:
      if (focusedWindow() != control) return false;
      moveFocus(nullptr);
      return true;
    case UserAction::tickRow:
    case UserAction::tapRow:
      return kind == ControlSpec::listView && tapList(control, a);
    default:
      return false;
  }
}

UserAction action(UserAction::Kind kind, int control) {
  UserAction a{};
  a.kind = kind;
  a.control = control;
  return a;
}

}  // namespace

void setColourAnswers(std::vector<ColourAnswer> answers) {
  colourAnswers = std::move(answers);
}

std::vector<ColourAnswer> lastColourAnswers() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return colourAnswers;
}

void runScript(plat::HWND dialog, size_t run,
               const std::vector<UserAction>& actions) {
  for (size_t i = 0; i < actions.size(); ++i) {
    {
      std::lock_guard<std::mutex> guard(deviceMutex);
      const Window* w = findWindow(dialog);
      if (w == nullptr) return;  // a reset came between
      DialogRun& r = dialogRun(run);
      if (w->ended || w->destroying || w->destroyed) {
        r.actionsLeft = actions.size() - i;
        return;
      }
      ++r.actionsDone;
    }
    if (!perform(dialog, actions[i])) {
      std::lock_guard<std::mutex> guard(deviceMutex);
      if (findWindow(dialog) != nullptr) dialogRun(run).refused.push_back(i);
    }
  }
}

UserAction click(int controlId) { return action(UserAction::click, controlId); }

UserAction type(int controlId, std::u16string text) {
  UserAction a = action(UserAction::type, controlId);
  a.text = std::move(text);
  return a;
}

UserAction focus(int controlId) { return action(UserAction::focus, controlId); }

UserAction blur(int controlId) { return action(UserAction::blur, controlId); }

UserAction tapGround(int32_t x, int32_t y) {
  UserAction a = action(UserAction::tapGround, 0);
  a.x = x;
  a.y = y;
  return a;
}

UserAction repaint() { return action(UserAction::repaint, 0); }

UserAction inspect(std::function<void()> check) {
  UserAction a = action(UserAction::inspect, 0);
  a.check = std::move(check);
  return a;
}

UserAction tickRow(int listId, int row) {
  UserAction a = action(UserAction::tickRow, listId);
  a.row = row;
  return a;
}

UserAction tapRow(int listId, int row) {
  UserAction a = action(UserAction::tapRow, listId);
  a.row = row;
  return a;
}

}  // namespace fake
