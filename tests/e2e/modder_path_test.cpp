// The modder's path through the window: 对比, twice (each run's lists under the last), Ctrl+S
// saving the positions found as drevon2.txt beside the tool, 修改 raising the levels from it, and
// the first item of Text1's menu (the Menu key or Shift+F10, opened at the caret) saving again,
// asking before it replaces a different list.
#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"

namespace e2e {
namespace {

TEST_F(PatcherTest, CompareSaveAndRaiseAsAModderDoes) {
  const fs::path list = Beside("drevon2.txt");
  fs::remove(list);
  std::vector<std::int32_t> found = set_.positions;  // as a compare finds them: in order
  std::sort(found.begin(), found.end());
  std::string text;
  std::wstring once[3];  // one compare's lists: positions, base levels, raised levels
  for (const std::int32_t at : found) {
    text += std::to_string(at) + "\r\n";
    once[0] += std::to_wstring(at) + L"\r\n";
    once[1] += std::to_wstring(set_.base[at - 1u]) + L"\r\n";
    once[2] += std::to_wstring(set_.raised[at - 1u]) + L"\r\n";
  }
  const Bytes saved(text.begin(), text.end()), other{'1', '\r', '\n'};
  // Checks the box that saving brings up and answers it; a question has No as its default.
  const auto answered = [&](int button, const wchar_t* expected) {
    const auto box = BoxUp();
    const LONG no = box ? GetWindowLongW(GetDlgItem(box->box, IDNO), GWL_STYLE) : 0;
    EXPECT_TRUE(box && box->title == TextOf(form_) && PressButton(*box, button));
    EXPECT_TRUE(button != IDNO || (no & BS_TYPEMASK) == BS_DEFPUSHBUTTON) << "No is no default";
    return box ? box->text.find(expected) != std::wstring::npos : false;
  };
  const int lists[] = {form1::kText1, form1::kText2, form1::kText3};

  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(answered(IDOK, L"请先点“对比”"));  // nothing found yet
  for (int run = 1; run <= 2; ++run) {
    ASSERT_TRUE(ClickOn(form1::kCommand1));
    EXPECT_EQ(Text(form1::kLabel1), std::to_wstring(found.size()));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Text(lists[i]) == (run == 1 ? L"" : once[i]) + once[i]);
  }
  // Text typed into the list is not saved: what the compare found is.
  ASSERT_TRUE(Type(form1::kText1, L"typed\r\n" + Text(form1::kText1)));
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(answered(IDOK, (L"已把这次对比找到的 439 个位置保存到 " + list.wstring()).c_str()));
  EXPECT_TRUE(ReadBytes(list) == saved) << "drevon2.txt differs";

  ASSERT_TRUE(Type(form1::kText4, L"10"));
  ASSERT_TRUE(ClickOn(form1::kCommand2));
  Bytes table = set_.base;
  std::wstring raised;
  for (const std::int32_t at : found) raised += std::to_wstring(table[at - 1u] += 10) + L"\r\n";
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == table) << "the raise did not use the saved list";
  EXPECT_TRUE(Text(form1::kText1) == once[0] && Text(form1::kText2) == once[1] &&
              Text(form1::kText3) == raised)
      << "the raise's lists";
  EXPECT_EQ(Text(form1::kLabel3), L"敌人等级提高10级");
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(answered(IDOK, L"不用再保存"));

  // A different list is replaced only once the player says Yes; here from the list's menu, which
  // opens at the caret, or at the list's centre when the caret is scrolled out of view.
  WriteBytes(list, other);
  ASSERT_TRUE(PressKey(form_, VK_TAB));  // from 修改, which the click focused, on to Text1
  HWND text1 = Control(form1::kText1);
  for (const int answer : {IDNO, IDYES}) {
    ASSERT_TRUE(WaitFor([&] { return Focus() == text1; }));
    DWORD_PTR caret = 0;  // line 5, or the list's end
    ASSERT_TRUE(Send(text1, answer == IDNO ? EM_LINEINDEX : WM_GETTEXTLENGTH, 4, 0, &caret));
    ASSERT_TRUE(Send(text1, EM_SETSEL, caret, caret) && Send(text1, WM_VSCROLL, SB_TOP, 0));
    const GUITHREADINFO gui = GuiOf(ThreadOf(form_));
    RECT client{};
    GetClientRect(text1, &client);
    POINT at{gui.rcCaret.left, gui.rcCaret.top};
    if (answer == IDYES) at = {client.right / 2, client.bottom / 2};
    ClientToScreen(text1, &at);
    ASSERT_TRUE(answer == IDNO ? PressKey(form_, VK_APPS) : PressKey(form_, VK_F10, VK_SHIFT));
    const HWND menu = WindowOf(ThreadOf(form_), L"#32768");
    RECT shown{};
    ASSERT_TRUE(menu && GetWindowRect(menu, &shown)) << "no menu";
    EXPECT_TRUE(std::abs(shown.left - at.x) <= 1 && std::abs(shown.top - at.y) <= 1)
        << "menu at " << shown.left << "," << shown.top << ", not at " << at.x << "," << at.y;
    ASSERT_TRUE(PressKey(form_, 'S'));
    EXPECT_TRUE(answered(answer, L"已经存在，内容和这次对比的结果不同"));
    EXPECT_TRUE(answer == IDNO || answered(IDOK, L"保存到"));
    EXPECT_TRUE(ReadBytes(list) == (answer == IDYES ? saved : other));
  }
}

}  // namespace
}  // namespace e2e
