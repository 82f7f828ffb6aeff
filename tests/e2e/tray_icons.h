// Reads the icons that Wine's desktop shows in its tray, from another
// process. Wine 8's explorer draws every icon into its taskbar window
// ("Shell_TrayWnd") itself, with no window per icon. What it does keep is a
// tooltip window owned by the taskbar, with one tool per icon that carries
// the icon's tip and covers the icon's place in the tray. When an icon goes,
// its tool may stay behind with an empty place, so an icon counts as shown
// while its tool's rectangle is not empty.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

// The taskbar of the calling thread's desktop, or null when it has none.
HWND findTaskbar();

// The tips of the icons shown in `taskbar`, one per icon, in no set order.
// False when a tooltip's text could not be read out of the taskbar's process.
bool readTrayTips(HWND taskbar, std::vector<std::wstring>* tips);
