// The edit's menu as Windows' own comes out of the clean-up. Wine's edit menu has the editing
// items alone, so the end-to-end tests never see the rest taken away.
#include "edit_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace {

// A menu as a string, a letter an item: u U x c p d a the edit's Undo (Wine's ID, Windows'),
// Cut, Copy, Paste, Delete and Select all; o another command; > a submenu (under Copy's ID: a
// submenu's ID may be anything); - a separator.
constexpr std::string_view kLetters = "uUxcpda";
constexpr UINT kIds[] = {EM_UNDO, WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL};

HMENU MenuOf(std::string_view items) {
  HMENU menu = CreatePopupMenu();
  wchar_t caption[] = L"x";  // a string item without one is taken for a separator
  for (const char letter : items) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | (letter == '>' ? MIIM_SUBMENU : 0);
    info.fType = letter == '-' ? MFT_SEPARATOR : MFT_STRING;
    info.dwTypeData = letter == '-' ? nullptr : caption;
    const std::size_t at = kLetters.find(letter);
    info.wID = at != kLetters.npos ? kIds[at] : letter == '>' ? WM_COPY : 32768;
    info.hSubMenu = letter == '>' ? CreatePopupMenu() : nullptr;
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  }
  return menu;
}

std::string ItemsOf(HMENU menu) {
  std::string items;
  for (int at = 0; at < GetMenuItemCount(menu); ++at) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(at), TRUE, &info);
    const auto id = std::ranges::find(kIds, info.wID);
    items += info.fType & MFT_SEPARATOR ? '-'
             : info.hSubMenu            ? '>'
             : id != std::end(kIds)     ? kLetters[id - kIds]
                                        : 'o';
  }
  return items;
}

TEST(EditMenu, KeepsTheEditingItemsWithOneSeparatorBetweenTheirGroups) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"U-xcpd-a-oo>-oo", "U-xcpd-a"},  // Windows': reading order, control characters, the IME
      {"u-xcpd-a", "u-xcpd-a"},         // Wine's
      {"-o-u--o-x->-", "u-x"},
      {"o->", ""},
  };
  for (const auto& [items, kept] : cases) {
    HMENU menu = MenuOf(items);
    edit_menu::KeepEditingItems(menu);
    EXPECT_EQ(ItemsOf(menu), kept) << items;
    DestroyMenu(menu);
  }
}

}  // namespace
