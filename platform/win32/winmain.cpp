// The Windows entry: hands over to the portable start of the shell.
// The shell's header comes first: <windows.h> defines macros that would
// spell over the portable constants it uses.
#include "shell/app_shell.h"
#include "platform/win32/win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return appMain(reinterpret_cast<plat::HINSTANCE>(instance), showCommand);
}
