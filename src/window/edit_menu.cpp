// An edit gives no way into the menu it shows, so its items are loaded from where it loads them,
// enabled as it would enable them, and carried out as it would carry them out: each item's ID is
// the message that does it.
#include "edit_menu.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace edit_menu {
namespace {

// The system's edit menu (Windows names it 1, Wine "EDITMENU"); none when neither loads as one.
HMENU LoadSystemMenu() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  for (const wchar_t* name : {static_cast<const wchar_t*>(MAKEINTRESOURCEW(1)), L"EDITMENU"}) {
    HMENU loaded = LoadMenuW(user32, name);
    if (loaded && GetMenuState(GetSubMenu(loaded, 0), WM_COPY, MF_BYCOMMAND) != UINT(-1)) {
      return loaded;
    }
    if (loaded) DestroyMenu(loaded);
  }
  return nullptr;
}

void EnableAsTheEditWould(HMENU menu, HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
  const auto enable = [&](UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  const bool canUndo = SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
  enable(WM_UNDO, canUndo);
  enable(EM_UNDO, canUndo);
  for (UINT id : {WM_CUT, WM_COPY, WM_CLEAR}) enable(id, start != end);
  enable(WM_PASTE, IsClipboardFormatAvailable(CF_UNICODETEXT));
  enable(EM_SETSEL, length > 0 && (start != 0 || end != length));
}

// Where the menu opens: at the mouse, or for the Menu key or Shift+F10 where the edit opens its
// own, at the caret (which the focus has just shown), or the edit's centre when it is scrolled
// away.
POINT Where(HWND edit, LPARAM where) {
  POINT point{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (point.x != -1 || point.y != -1) return point;
  RECT client{};
  GetClientRect(edit, &client);
  if (!GetCaretPos(&point) || !PtInRect(&client, point)) {
    point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  }
  ClientToScreen(edit, &point);
  return point;
}

}  // namespace

// Of Windows' further items (reading order, Unicode control characters, the IME), none passes
// through here as a message to the edit: only the plain editing items are kept, and the
// separators between them.
void KeepEditingItems(HMENU menu) {
  constexpr UINT kEditItems[] = {WM_UNDO, EM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL};
  const auto item = [menu](int at) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(at), TRUE, &info);
    return info;
  };
  const auto separator = [&](int at) { return (item(at).fType & MFT_SEPARATOR) != 0; };
  for (int at = GetMenuItemCount(menu) - 1; at >= 0; --at) {
    const MENUITEMINFOW info = item(at);
    const bool editing =
        !info.hSubMenu && std::ranges::find(kEditItems, info.wID) != std::end(kEditItems);
    if (!separator(at) && !editing) DeleteMenu(menu, static_cast<UINT>(at), MF_BYPOSITION);
  }
  for (int at = GetMenuItemCount(menu) - 1; at >= 0; --at) {  // none at an end or after another
    if (separator(at) && (at == 0 || at == GetMenuItemCount(menu) - 1 || separator(at - 1))) {
      DeleteMenu(menu, static_cast<UINT>(at), MF_BYPOSITION);
    }
  }
}

UINT Show(HWND edit, LPARAM where, UINT id, const wchar_t* caption) {
  HMENU loaded = LoadSystemMenu();
  HMENU menu = loaded ? GetSubMenu(loaded, 0) : CreatePopupMenu();
  KeepEditingItems(menu);
  if (GetMenuItemCount(menu) > 0) InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, id, caption);
  EnableAsTheEditWould(menu, edit);

  SetFocus(edit);
  const POINT point = Where(edit, where);
  const UINT command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x,
                                      point.y, 0, GetParent(edit), nullptr);
  DestroyMenu(loaded ? loaded : menu);
  if (command == id) return id;
  if (command == EM_SETSEL) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
  } else if (command != 0) {
    SendMessageW(edit, command, 0, 0);
  }
  return 0;
}

}  // namespace edit_menu
