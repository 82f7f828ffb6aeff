#include "screens/dialog_items.h"

#include "platform/dialogs.h"
#include "platform/window.h"

plat::HWND dialogItem(plat::HWND screen, int32_t id) {
  return plat::GetDlgItem(screen, id);
}

void setItemText(plat::HWND screen, int32_t id, const char16_t* text) {
  plat::SetWindowTextW(dialogItem(screen, id), text);
}

void setItemCheck(plat::HWND screen, int32_t id, bool checked) {
  plat::SendMessageW(dialogItem(screen, id), plat::BM_SETCHECK,
                     checked ? plat::BST_CHECKED : plat::BST_UNCHECKED, 0);
}

bool isItemChecked(plat::HWND screen, int32_t id) {
  return plat::SendMessageW(dialogItem(screen, id), plat::BM_GETCHECK, 0, 0) !=
         0;
}
