// The modder's path, the tool in a folder of its own: 对比 twice, Ctrl+S saving drevon2.txt, 修改
// raising from it, the list's menu (Menu key or Shift+F10, at the caret) with the edit's own items
// and saving again, asking before it replaces a different list, and a compare that fails.
#include <algorithm>
#include <array>

#include "fixture.h"

using namespace e2e;

TEST_F(PatcherTest, CompareSaveAndRaiseAsAModderDoes) {
  const fs::path list = Beside("drevon2.txt");
  fs::remove(list);
  std::vector<std::int32_t> found = set_.positions;  // as a compare finds them: in order
  std::ranges::sort(found);
  // One compare's lists, then the levels after a raise by 10; the lists shown so far; the table.
  std::array<std::wstring, 4> once;
  std::array<std::wstring, 3> shown;
  Bytes table = set_.base;
  for (const std::int32_t at : found) {
    const int column[] = {at, set_.base[at - 1u], set_.raised[at - 1u], table[at - 1u] += 10};
    for (int i = 0; i < 4; ++i) once[i] += std::to_wstring(column[i]) + L"\r\n";
  }
  const Bytes saved(once[0].begin(), once[0].end()), other{'1', '\r', '\n'};
  const auto lists = [&] { return std::array{Text(kPositions), Text(kBaseLevels), Text(kLevels)}; };

  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(Answer().Says(L"请先点“对比”"));  // nothing found yet
  // No list yet, and no archive's temporary folder: the box tells where the list goes.
  ASSERT_TRUE(Type(kStep, L"10") && PostMessageW(Control(kRaise), BM_CLICK, 0, 0));
  EXPECT_TRUE(Answer().Says(L"请把位置列表 drevon2.txt 放到本工具所在的文件夹"));
  for (int run = 1; run <= 2; ++run) {
    ASSERT_TRUE(ClickOn(kCompare));
    EXPECT_EQ(Text(kMatchCount), std::to_wstring(found.size()));
    for (int i = 0; i < 3; ++i) shown[i] += once[i];
    EXPECT_TRUE(lists() == shown) << "run " << run;
    DWORD_PTR top = 1;  // the positions shown from their start, not from this run's end
    EXPECT_TRUE(Send(Control(kPositions), EM_GETFIRSTVISIBLELINE, 0, 0, &top) && top == 0);
  }
  // Text typed into the list is not saved: what the compare found is.
  ASSERT_TRUE(Type(kPositions, L"typed\r\n" + Text(kPositions)));
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(Answer().Says(L"已把这次对比找到的 439 个位置保存到 " + list.wstring()));
  EXPECT_TRUE(ReadBytes(list) == saved) << "drevon2.txt differs";

  ASSERT_TRUE(ClickOn(kRaise));
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == table) << "the raise did not use the saved list";
  EXPECT_TRUE(lists() == (std::array{once[0], once[1], once[3]})) << "the raise's lists";
  EXPECT_EQ(Text(kConfirmation), L"敌人等级提高10级");

  // The list's menu: save, then the edit's Undo, Cut, Copy, Paste, Delete and Select all, enabled,
  // separated and carried out as the edit's own. Tab has selected the whole list; Select all
  // selects it again, Copy copies it.
  ASSERT_TRUE(PressKey(form_, VK_TAB));  // from 修改, which the click focused, on to the positions
  HWND text1 = Control(kPositions);
  const auto menuUp = [&](milliseconds wait) { return WindowOf(ThreadOf(form_), L"#32768", wait); };
  // Checks the items of the menu that is up, once they match or patience runs out; closes it.
  const auto menuShows = [&](const std::string& expected) {
    std::string shown;
    WaitFor([&] {
      HWND menu = menuUp(milliseconds(0));
      return menu && (shown = ItemsShown(menu)) == expected;
    });
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(PressKey(form_, VK_ESCAPE) && WaitFor([&] { return !menuUp(milliseconds(0)); }));
  };
  const std::string allSelected = "x-.-xx.x-.", noneSelected = "x-.-....-x";  // see ItemsShown
  DWORD_PTR selected = 0;
  const auto taken = [] {  // the clipboard's text, which it then no longer holds
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    EmptyClipboard(), CloseClipboard();
    return text;
  };
  taken();  // nothing to paste
  ASSERT_TRUE(WaitFor([&] { return Focus() == text1; }) && PressKey(form_, VK_APPS));
  menuShows(allSelected);
  ASSERT_TRUE(Send(text1, EM_SETSEL, 0, 0) && PressKey(form_, VK_APPS));
  menuShows(noneSelected);  // closed unused, it leaves the selection alone
  ASSERT_TRUE(Send(text1, EM_GETSEL, 0, 0, &selected) && selected == 0) << "closing selected";
  ASSERT_TRUE(PressKey(form_, VK_APPS) && menuUp(kPatience) && PressKey(form_, 'A'));
  EXPECT_TRUE(WaitFor(
      [&] { return Send(text1, EM_GETSEL, 0, 0, &selected) && selected == once[0].size() << 16; }));
  ASSERT_TRUE(PressKey(form_, VK_APPS) && menuUp(kPatience) && PressKey(form_, 'C'));
  EXPECT_TRUE(WaitFor([&] { return taken() == once[0]; })) << "Copy did not copy";
  // A right-click on the scroll bar is the scroll bar's: Windows tells the list of one there (Wine
  // tells nothing), and Wine's edit shows its own menu for it.
  RECT bar{};
  ASSERT_TRUE(GetWindowRect(text1, &bar));
  const int x = bar.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, y = (bar.top + bar.bottom) / 2;
  ASSERT_TRUE(
      PostMessageW(text1, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(text1), MAKELPARAM(x, y)));
  if (kUnderWine) menuShows(allSelected.substr(2));

  // A different list is replaced only once the player says Yes; here from the list's menu, which
  // opens at the caret, or at the list's centre when the caret is scrolled out of view.
  WriteBytes(list, other);
  for (const int answer : {IDNO, IDYES}) {
    ASSERT_TRUE(WaitFor([&] { return Focus() == text1; }));
    DWORD_PTR to = 0;  // line 5, or the list's end
    ASSERT_TRUE(Send(text1, answer == IDNO ? EM_LINEINDEX : WM_GETTEXTLENGTH, 4, 0, &to));
    ASSERT_TRUE(Send(text1, EM_SETSEL, to, to) && Send(text1, WM_VSCROLL, SB_TOP, 0));
    RECT client{}, menu{}, caret{};
    ASSERT_TRUE(FocusIn(form_, &caret) == text1 && GetClientRect(text1, &client));
    if (answer == IDYES) caret = {client.right / 2, client.bottom / 2, 0, 0};  // the centre
    MapWindowPoints(text1, nullptr, reinterpret_cast<POINT*>(&caret), 1);      // to the screen's
    ASSERT_TRUE(answer == IDNO ? PressKey(form_, VK_APPS) : PressKey(form_, VK_F10, VK_SHIFT));
    ASSERT_TRUE(GetWindowRect(menuUp(kPatience), &menu)) << "no menu";
    EXPECT_NEAR(menu.left, caret.left, 1) << "the menu is not where it should open";
    EXPECT_NEAR(menu.top, caret.top, 1) << "the menu is not where it should open";
    ASSERT_TRUE(PressKey(form_, 'S'));
    EXPECT_TRUE(Answer(answer).Says(L"已经存在，内容和这次对比的结果不同"));
    EXPECT_TRUE(answer == IDNO || Answer().Says(L"保存到"));
    EXPECT_TRUE(ReadBytes(list) == (answer == IDYES ? saved : other));
  }

  // A save that fails is told, and leaves the list as it was: here another program reads it and
  // lets no one replace it meanwhile.
  WriteBytes(list, other);
  const HANDLE reader =
      CreateFileW(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(Answer(IDYES).Says(L"已经存在"));
  EXPECT_TRUE(Answer().Says(L"正被其他程序"));
  CloseHandle(reader);
  EXPECT_TRUE(ReadBytes(list) == other);
  // A compare that fails leaves nothing to save, not what the one before it found.
  fs::remove(driveF_ / "t_mons100.tbl");
  ASSERT_TRUE(PostMessageW(Control(kCompare), BM_CLICK, 0, 0));
  EXPECT_TRUE(Answer().Says(L"运行时错误 '53':"));
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(Answer().Says(L"请先点“对比”"));

  // A right-click at x = -1 (on a screen left of the main one) is the mouse's, not the Menu key's
  // (-1, -1): on the list's text its menu opens there, not at the caret; on its scroll bar it is
  // the scroll bar's.
  RECT frame{}, menu{};
  ASSERT_TRUE(GetWindowRect(form_, &frame) && GetWindowRect(text1, &bar));
  ASSERT_TRUE(Send(text1, EM_SETSEL, 0, 0) && Send(text1, WM_VSCROLL, SB_TOP, 0));
  const auto rightClickAtMinus1 = [&](int listLeft) {  // the list's left edge moved there
    return SetWindowPos(form_, nullptr, frame.left + listLeft - bar.left, frame.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) &&
           PostMessageW(text1, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(text1),
                        MAKELPARAM(-1, bar.top + 100));
  };
  ASSERT_TRUE(rightClickAtMinus1(-10));
  ASSERT_TRUE(GetWindowRect(menuUp(kPatience), &menu)) << "no menu";
  EXPECT_EQ(menu.top, bar.top + 100);
  menuShows(noneSelected);
  ASSERT_TRUE(rightClickAtMinus1(bar.left - bar.right + 5));
  if (kUnderWine) menuShows(noneSelected.substr(2));
  // The other lists' menus are the edit's own, without the save (Tab has selected all).
  ASSERT_TRUE(PressKey(form_, VK_TAB) && WaitFor([&] { return Focus() == Control(kCompare); }));
  ASSERT_TRUE(PressKey(form_, VK_TAB) && WaitFor([&] { return Focus() == Control(kBaseLevels); }));
  ASSERT_TRUE(PressKey(form_, VK_APPS));
  menuShows(allSelected.substr(2));
}

// From a click until its lists are up, the cursor is the system's wait cursor; then no longer.
// (The tool's cursors are its own handles: only a change can be seen from here.)
TEST_F(PatcherTest, TheCursorWaitsWhileACompareRuns) {
  Bytes base(200'000, 1), raised = base;  // a level in every 40th byte: 5,000 lines to list
  for (std::size_t at = 0; at < raised.size(); at += 40) raised[at] = 101;
  WriteBytes(driveF_ / "t_mons0.tbl", base);
  WriteBytes(driveF_ / "t_mons100.tbl", raised);
  const auto shown = [] {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    return GetCursorInfo(&cursor) ? cursor.hCursor : nullptr;
  };
  // The pointer over the button, where Windows shows the window's own cursor.
  RECT button{};
  const HCURSOR before = shown();  // a cursor of whatever the pointer was over
  ASSERT_TRUE(GetWindowRect(Control(kCompare), &button) &&
              SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2));
  WaitFor([&] { return shown() != before; }, milliseconds(1'000));  // the tool's, once it is set
  const HCURSOR idle = shown();
  ASSERT_TRUE(PostMessageW(Control(kCompare), BM_CLICK, 0, 0));
  ASSERT_TRUE(WaitFor([&] { return shown() != idle; }, milliseconds(5'000))) << "no wait cursor";
  const HCURSOR busy = shown();
  EXPECT_EQ(Text(kMatchCount), L"5000");  // answered once the click is done
  // Some 37,000 characters, past an edit's default limit, which would cut the list short.
  EXPECT_TRUE(Text(kPositions).ends_with(L"\r\n199961\r\n")) << "the positions cut short";
  EXPECT_TRUE(WaitFor([&] { return shown() != busy; }, milliseconds(5'000)))
      << "the cursor did not change back (or never was the wait cursor)";
}
