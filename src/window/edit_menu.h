// An edit control's own right-click menu, in the system's language, with one item of the
// caller's on top.
#pragma once

#include <windows.h>

namespace edit_menu {

// Shows edit's menu where a WM_CONTEXTMENU's lParam says (screen coordinates, or -1, -1 from the
// Menu key or Shift+F10: at the caret), with the item `id` captioned `caption` first. The edit's
// own items are enabled as the edit would enable them and carried out on it. Returns `id` when
// that item was chosen, otherwise 0.
UINT Show(HWND edit, LPARAM where, UINT id, const wchar_t* caption);

// Takes from menu, an edit's system menu, all but its plain editing items and one separator
// between their groups.
void KeepEditingItems(HMENU menu);

}  // namespace edit_menu
