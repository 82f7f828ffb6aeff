// The Windows entry: hands over to the portable start of the shell.
// The shell's header comes first: <windows.h> defines macros that would
// spell over the portable constants it uses.
#include "shell/app_shell.h"
#include "platform/win32/win32.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The number rules screens hold list views, whose window class the
  // common controls register only when asked; a dialog with a control of
  // an unknown class fails to open.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  return appMain(reinterpret_cast<plat::HINSTANCE>(instance), showCommand);
}
