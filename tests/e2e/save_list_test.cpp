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
  std::string saved;
  for (const std::int32_t at : found) saved += std::to_string(at) + "\r\n";

  // Shows the box that saving brings up and answers it; its text.
  const auto answered = [&](int button, const wchar_t* expected) -> std::wstring {
    const auto box = BoxUp();
    if (!box) return L"<no box>";
    EXPECT_EQ(box->title, form1::kCaption);
    EXPECT_NE(box->text.find(expected), std::wstring::npos) << box->text;
    if (button == IDNO) {  // a question: No is the default
      const LONG style = GetWindowLongW(GetDlgItem(box->box, IDNO), GWL_STYLE);
      EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    }
    EXPECT_TRUE(PressButton(*box, button));
    return box->text;
  };

  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  answered(IDOK, L"请先点“对比”");  // nothing found yet
  ASSERT_TRUE(ClickOn(form1::kCommand1));
  // Text typed into the list is not saved: what the compare found is.
  ASSERT_TRUE(Type(form1::kText1, L"typed\r\n" + Text(form1::kText1)));
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  const std::wstring told = answered(IDOK, L"已把这次对比找到的 439 个位置保存到 ");
  EXPECT_NE(told.find(list.wstring()), std::wstring::npos) << "should name " << list.wstring();
  EXPECT_TRUE(ReadBytes(list) == Bytes(saved.begin(), saved.end())) << "drevon2.txt differs";

  ASSERT_TRUE(Type(form1::kText4, L"10"));
  ASSERT_TRUE(ClickOn(form1::kCommand2));
  Bytes table = set_.base;
  for (const std::int32_t at : found) table[at - 1u] += 10;
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == table) << "the raise did not use the saved list";

  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));
  answered(IDOK, L"不用再保存");
  // A different list is replaced only once the player says Yes; here from the list's menu.
  const Bytes other{'1', '\r', '\n'};
  WriteBytes(list, other);
  ASSERT_TRUE(PressKey(form_, VK_TAB));  // from 修改, which the click focused, on to Text1
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
    ASSERT_TRUE(WaitFor([&] { return Focus() == Control(form1::kText1); }));
    ASSERT_TRUE(PressKey(form_, VK_APPS));
    ASSERT_TRUE(WindowOf(ThreadOf(form_), L"#32768")) << "no menu";
    ASSERT_TRUE(PressKey(form_, 'S'));
    answered(answer, L"已经存在，内容和这次对比的结果不同");
    if (answer == IDYES) answered(IDOK, L"保存到");
    EXPECT_TRUE(ReadBytes(list) == (answer == IDYES ? Bytes(saved.begin(), saved.end()) : other));
  }
}

}  // namespace
}  // namespace e2e
