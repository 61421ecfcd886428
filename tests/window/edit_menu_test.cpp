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
constexpr std::string_view kLetters = "uUxcpdao";
constexpr UINT kIds[] = {EM_UNDO, WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL, 32768};

MENUITEMINFOW Info(UINT mask) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = mask;
  return info;
}

HMENU MenuOf(std::string_view items) {
  HMENU menu = CreatePopupMenu();
  wchar_t caption[] = L"x";  // a string item without one is taken for a separator
  for (const char letter : items) {
    const std::size_t at = kLetters.find(letter);
    MENUITEMINFOW info = Info(MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU);
    info.fType = letter == '-' ? MFT_SEPARATOR : MFT_STRING;
    info.wID = at != kLetters.npos ? kIds[at] : letter == '>' ? WM_COPY : 0;
    info.hSubMenu = letter == '>' ? CreatePopupMenu() : nullptr;
    info.dwTypeData = letter == '-' ? nullptr : caption;
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  }
  return menu;
}

std::string ItemsOf(HMENU menu) {  // a submenu left in reads as Copy
  std::string items;
  for (int at = 0; at < GetMenuItemCount(menu); ++at) {
    MENUITEMINFOW info = Info(MIIM_FTYPE | MIIM_ID);
    GetMenuItemInfoW(menu, static_cast<UINT>(at), TRUE, &info);
    items += info.fType & MFT_SEPARATOR ? '-' : kLetters[std::ranges::find(kIds, info.wID) - kIds];
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
