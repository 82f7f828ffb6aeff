#include "screens/screen_style.h"

#include "engine/text.h"
#include "platform/pocket_shell.h"
#include "platform/window.h"

plat::HINSTANCE appInstance = nullptr;
int32_t orientation = 0;

namespace {

constexpr uint32_t kFullScreenFlags = plat::SHFS_HIDETASKBAR |
                                      plat::SHFS_HIDESIPBUTTON |
                                      plat::SHFS_HIDESTARTICON;
// GetWindowTextW's limit: 149 characters and the terminator.
constexpr int32_t kMessageBoxLimit = 150;

}  // namespace

void screenSize(int32_t orientationClass, int32_t* width, int32_t* height) {
  *width = orientationClass == 1 ? 320 : 240;
  *height = orientationClass == 0 ? 320 : 240;
}

int32_t orientationOf(int32_t screenWidth, int32_t screenHeight) {
  if (screenWidth > 240) return 1;
  if (screenHeight < 320) return 2;
  return 0;
}

plat::HFONT makeFont(const char16_t* face, int32_t height, bool bold,
                     int32_t style, bool clearType) {
  plat::LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = bold ? plat::FW_BOLD : plat::FW_NORMAL;
  font.lfUnderline = style == 1 ? 1 : 0;
  font.lfStrikeOut = style == 2 ? 1 : 0;
  font.lfCharSet = plat::DEFAULT_CHARSET;
  font.lfQuality = clearType ? plat::CLEARTYPE_QUALITY : 0;
  copyText(font.lfFaceName, face);
  return plat::CreateFontIndirectW(&font);
}

intptr_t runScreen(uint16_t templateId, plat::HWND owner, plat::DLGPROC proc) {
  plat::HRSRC found = plat::FindResourceW(
      appInstance, plat::makeIntResource(templateId), plat::RT_DIALOG());
  plat::HGLOBAL loaded = plat::LoadResource(appInstance, found);
  return plat::DialogBoxIndirectParamW(appInstance, loaded, owner, proc, 0);
}

void initScreen(plat::HWND screen) {
  plat::SHINITDLGINFO info{plat::SHIDIM_FLAGS, screen, plat::SHIDIF_SIPDOWN};
  plat::SHInitDialog(&info);
  refitScreen(screen);
}

void refitScreen(plat::HWND screen) {
  plat::SHDoneButton(screen, plat::SHDB_HIDE);
  plat::SetForegroundWindow(screen);
  plat::SHFullScreen(screen, kFullScreenFlags);
  int32_t width = 0;
  int32_t height = 0;
  screenSize(orientation, &width, &height);
  plat::MoveWindow(screen, 0, 0, width, height, 0);
}

void createScreenObjects(ScreenObjects& objects, const ControlStyle* rows,
                         size_t rowCount) {
  objects = ScreenObjects{};
  objects.rows = rows;
  objects.rowCount = rowCount < kMaxStyledControls ? rowCount
                                                   : kMaxStyledControls;
  objects.blueBrush = plat::CreateSolidBrush(screenPalette.blue);
  for (size_t i = 0; i < objects.rowCount; ++i) {
    if (rows[i].onWhite && objects.whiteBrush == nullptr)
      objects.whiteBrush = plat::CreateSolidBrush(screenPalette.white);
    if (rows[i].face != nullptr)
      objects.fonts[i] = makeFont(rows[i].face, rows[i].height, true, 0, false);
  }
}

void deleteScreenObjects(ScreenObjects& objects) {
  if (objects.blueBrush != nullptr) plat::DeleteObject(objects.blueBrush);
  if (objects.whiteBrush != nullptr) plat::DeleteObject(objects.whiteBrush);
  for (plat::HFONT font : objects.fonts)
    if (font != nullptr) plat::DeleteObject(font);
  objects = ScreenObjects{};
}

bool isColourMessage(uint32_t message) {
  return message == plat::WM_CTLCOLORBTN || message == plat::WM_CTLCOLORDLG ||
         message == plat::WM_CTLCOLORSTATIC;
}

intptr_t answerColour(const ScreenObjects& objects, plat::HDC dc,
                      plat::HWND control) {
  plat::SetBkMode(dc, plat::TRANSPARENT);
  plat::SetTextColor(dc, screenPalette.white);
  const int32_t id = plat::GetDlgCtrlID(control);
  for (size_t i = 0; i < objects.rowCount; ++i) {
    const ControlStyle& row = objects.rows[i];
    if (row.controlId != id) continue;
    if (objects.fonts[i] != nullptr) plat::SelectObject(dc, objects.fonts[i]);
    if (row.text != screenPalette.white) plat::SetTextColor(dc, row.text);
    return reinterpret_cast<intptr_t>(row.onWhite ? objects.whiteBrush
                                                  : objects.blueBrush);
  }
  return reinterpret_cast<intptr_t>(objects.blueBrush);
}

intptr_t answerScreenMessage(const ScreenObjects& objects, plat::HWND screen,
                             uint32_t message, plat::WPARAM wParam,
                             plat::LPARAM lParam) {
  if (message == plat::WM_LBUTTONDOWN) {
    plat::SHSipPreference(screen, plat::SIP_DOWN);
    return 0;
  }
  if (isColourMessage(message))
    return answerColour(objects, reinterpret_cast<plat::HDC>(wParam),
                        reinterpret_cast<plat::HWND>(lParam));
  return 0;
}

void readMessageBox(plat::HWND screen, int32_t boxId, char16_t* text) {
  plat::GetWindowTextW(plat::GetDlgItem(screen, boxId), text,
                       kMessageBoxLimit);
}

void handleMessageBox(plat::HWND screen, uint16_t notification,
                      int32_t boxId, char16_t* text) {
  if (notification == plat::EN_SETFOCUS) {
    plat::SHSipPreference(screen, plat::SIP_UP);
  } else if (notification == plat::EN_KILLFOCUS) {
    readMessageBox(screen, boxId, text);
    plat::SHSipPreference(screen, plat::SIP_DOWN);
  }
}
