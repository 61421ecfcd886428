// Ctrl+S and the first item of Text1's right-click menu: the positions the latest compare found
// become drevon2.txt beside the tool, which the next raise uses.
#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"

namespace e2e {
namespace {

TEST_F(PatcherTest, CompareThenCtrlSSavesTheListTheNextRaiseUses) {
  const fs::path list = Beside("drevon2.txt");
  fs::remove(list);
  std::vector<std::int32_t> found = set_.positions;  // as a compare finds them: in order
  std::sort(found.begin(), found.end());
  std::string text;
  for (const std::int32_t at : found) text += std::to_string(at) + "\r\n";
  const Bytes saved(text.begin(), text.end()), other{'1', '\r', '\n'};
  // Checks the box that saving brings up and answers it; a question has No as its default.
  const auto answered = [&](int button, const wchar_t* expected) {
    const auto box = BoxUp();
    const LONG no = box ? GetWindowLongW(GetDlgItem(box->box, IDNO), GWL_STYLE) : 0;
    EXPECT_TRUE(box && box->title == TextOf(form_) && PressButton(*box, button));
    EXPECT_TRUE(button != IDNO || (no & BS_TYPEMASK) == BS_DEFPUSHBUTTON) << "No is no default";
    return box ? box->text.find(expected) != std::wstring::npos : false;
  };
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(answered(IDOK, L"请先点“对比”"));  // nothing found yet
  ASSERT_TRUE(ClickOn(form1::kCommand1));
  // Text typed into the list is not saved: what the compare found is.
  ASSERT_TRUE(Type(form1::kText1, L"typed\r\n" + Text(form1::kText1)));
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(answered(IDOK, (L"已把这次对比找到的 439 个位置保存到 " + list.wstring()).c_str()));
  EXPECT_TRUE(ReadBytes(list) == saved) << "drevon2.txt differs";
  ASSERT_TRUE(Type(form1::kText4, L"10"));
  ASSERT_TRUE(ClickOn(form1::kCommand2));
  Bytes table = set_.base;
  for (const std::int32_t at : found) table[at - 1u] += 10;
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == table) << "the raise did not use the saved list";
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  EXPECT_TRUE(answered(IDOK, L"不用再保存"));
  // A different list is replaced only once the player says Yes; here from the list's menu.
  WriteBytes(list, other);
  ASSERT_TRUE(PressKey(form_, VK_TAB));  // from 修改, which the click focused, on to Text1
  for (const int answer : {IDNO, IDYES}) {
    ASSERT_TRUE(WaitFor([&] { return Focus() == Control(form1::kText1); }));
    ASSERT_TRUE(PressKey(form_, VK_APPS));
    ASSERT_TRUE(WindowOf(ThreadOf(form_), L"#32768")) << "no menu";
    ASSERT_TRUE(PressKey(form_, 'S'));
    EXPECT_TRUE(answered(answer, L"已经存在，内容和这次对比的结果不同"));
    EXPECT_TRUE(answer == IDNO || answered(IDOK, L"保存到"));
    EXPECT_TRUE(ReadBytes(list) == (answer == IDYES ? saved : other));
  }
}

}  // namespace
}  // namespace e2e
