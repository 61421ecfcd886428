// The 修改 button: raising every listed level of t_mons.tbl, and what the window shows for it.
#include <chrono>
#include <cstdio>
#include <string>

#include "fixture.h"
#include "form1_ids.h"

namespace e2e {
namespace {

double Milliseconds(Clock::duration elapsed) {
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

// The table as it must be after raising by step: base + step at each position, else the base.
Bytes Raised(const demo::DemoSet& set, int step) {
  Bytes expected = set.base;
  for (const std::int32_t position : set.positions) {
    expected[static_cast<std::size_t>(position - 1)] =
        static_cast<std::uint8_t>(set.base[static_cast<std::size_t>(position - 1)] + step);
  }
  return expected;
}

std::vector<int> LevelsAt(const demo::DemoSet& set, int step) {
  std::vector<int> levels;
  for (const std::int32_t position : set.positions) {
    levels.push_back(set.base[static_cast<std::size_t>(position - 1)] + step);
  }
  return levels;
}

TEST_F(PatcherTest, RaiseByTenFillsTheListsAndWritesTheTable) {
  ASSERT_EQ(set_.positions.size(), 439u);
  Window().SetText(form1::kText4, L"10");
  const auto elapsed = Window().Click(form1::kCommand2, kPatience);
  ASSERT_TRUE(elapsed) << "the raise did not return";
  std::printf("[ time ] raise by 10, click to result: %.1f ms\n", Milliseconds(*elapsed));

  EXPECT_FALSE(Window().HasMessageBox());
  EXPECT_EQ(Window().Text(form1::kText1), Lines(set_.positions));
  EXPECT_EQ(Window().Text(form1::kText2), Lines(LevelsAt(set_, 0)));
  EXPECT_EQ(Window().Text(form1::kText3), Lines(LevelsAt(set_, 10)));
  EXPECT_EQ(Window().Text(form1::kLabel3), L"敌人等级提高10级");
  EXPECT_EQ(Window().Text(form1::kLabel1), L"");

  const Bytes table = PatchedTable();
  ASSERT_EQ(table.size(), set_.base.size());
  EXPECT_TRUE(table == Raised(set_, 10)) << "t_mons.tbl differs from base + 10 at the levels";
  // The pristine table is the base of every raise and must stay as shipped.
  EXPECT_TRUE(ReadBytes(Beside("t_mons0.tbl")) == set_.base);
}

TEST_F(PatcherTest, EachRaiseStartsFromThePristineLevels) {
  Window().SetText(form1::kText4, L"100");
  ASSERT_TRUE(Window().Click(form1::kCommand2, kPatience));
  EXPECT_TRUE(PatchedTable() == Raised(set_, 100));
  EXPECT_EQ(Window().Text(form1::kLabel3), L"敌人等级提高100级");

  Window().SetText(form1::kText4, L"1");
  ASSERT_TRUE(Window().Click(form1::kCommand2, kPatience));
  EXPECT_TRUE(PatchedTable() == Raised(set_, 1)) << "the second raise built on the first";
  EXPECT_EQ(Window().Text(form1::kLabel3), L"敌人等级提高1级");
  // Replaced, not appended.
  EXPECT_EQ(Window().Text(form1::kText3), Lines(LevelsAt(set_, 1)));
}

TEST_F(PatcherTest, InvalidStepsWarnAndLeaveTheTableAlone) {
  for (const wchar_t* step : {L"", L"0", L"101", L"abc"}) {
    SCOPED_TRACE(ToUtf8(std::wstring(L"step \"") + step + L"\""));
    Window().SetText(form1::kText4, step);
    PendingClick click(Window().Control(form1::kCommand2));
    const auto box = Window().WaitForMessageBox(kPatience);
    ASSERT_TRUE(box) << "no warning box";
    EXPECT_EQ(box->title, L"系统提示");
    EXPECT_EQ(box->text, L"只能输入1到100！");
    EXPECT_EQ(box->icon, BoxIcon::kExclamation);
    EXPECT_FALSE(IsWindowEnabled(Window().form())) << "the warning is not modal";
    EXPECT_FALSE(click.Wait(milliseconds(100))) << "the click returned with the box still up";
    PressOk(*box);
    ASSERT_TRUE(click.Wait(kPatience)) << "the click did not return after OK";

    EXPECT_EQ(Window().Focus(), Window().Control(form1::kText1));
    EXPECT_TRUE(PatchedTable() == set_.base) << "t_mons.tbl was touched";
    EXPECT_EQ(Window().Text(form1::kLabel3), L"");
    EXPECT_FALSE(Window().HasMessageBox());
  }
}

TEST_F(PatcherTest, MissingPositionListIsReportedAndTheWindowCarriesOn) {
  const fs::path list = Beside("drevon2.txt");
  const Bytes listBytes = ReadBytes(list);
  fs::remove(list);

  Window().SetText(form1::kText4, L"10");
  PendingClick click(Window().Control(form1::kCommand2));
  const auto box = Window().WaitForMessageBox(kPatience);
  ASSERT_TRUE(box) << "no error box";
  EXPECT_EQ(box->title, L"Quarnel2难度补丁修改器");
  EXPECT_EQ(box->text.rfind(L"运行时错误 '53':", 0), 0u) << ToUtf8(box->text);
  EXPECT_NE(box->text.find(L"文件未找到"), std::wstring::npos) << ToUtf8(box->text);
  EXPECT_NE(box->text.find(list.wstring()), std::wstring::npos)
      << ToUtf8(box->text) << "\nshould name " << ToUtf8(list.wstring());
  EXPECT_EQ(box->icon, BoxIcon::kError);
  EXPECT_FALSE(IsWindowEnabled(Window().form())) << "the error box is not modal";
  PressOk(*box);
  ASSERT_TRUE(click.Wait(kPatience));

  EXPECT_TRUE(IsWindowVisible(Window().form()));
  EXPECT_TRUE(IsWindowEnabled(Window().form()));
  EXPECT_FALSE(process_->WaitForExit(milliseconds(0))) << "the tool ended after the error";
  EXPECT_TRUE(PatchedTable() == set_.base) << "t_mons.tbl changed although the raise failed";
  EXPECT_EQ(Window().Text(form1::kLabel3), L"");

  // With the list back the same window raises as usual.
  WriteBytes(list, listBytes);
  const auto elapsed = Window().Click(form1::kCommand2, kPatience);
  ASSERT_TRUE(elapsed);
  EXPECT_FALSE(Window().HasMessageBox());
  EXPECT_EQ(Window().Text(form1::kLabel3), L"敌人等级提高10级");
  EXPECT_TRUE(PatchedTable() == Raised(set_, 10));
}

TEST_F(PatcherTest, MissingPristineTableIsReportedWithItsPath) {
  fs::remove(Beside("t_mons0.tbl"));
  Window().SetText(form1::kText4, L"5");
  PendingClick click(Window().Control(form1::kCommand2));
  const auto box = Window().WaitForMessageBox(kPatience);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text.rfind(L"运行时错误 '53':", 0), 0u) << ToUtf8(box->text);
  EXPECT_NE(box->text.find(Beside("t_mons0.tbl").wstring()), std::wstring::npos)
      << ToUtf8(box->text);
  PressOk(*box);
  ASSERT_TRUE(click.Wait(kPatience));
  EXPECT_TRUE(PatchedTable() == set_.base);
}

// The tool at the top of a drive: its folder is "F:\", and its files must still be found.
TEST_F(PatcherTest, RaiseWorksFromADriveRoot) {
  PostMessageW(Window().form(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(process_->WaitForExit(kPatience));
  demo::WriteDemoSet(kDriveF, set_);
  StartTool(kDriveF);

  Window().SetText(form1::kText4, L"7");
  ASSERT_TRUE(Window().Click(form1::kCommand2, kPatience));
  EXPECT_FALSE(Window().HasMessageBox());
  EXPECT_EQ(Window().Text(form1::kLabel3), L"敌人等级提高7级");
  EXPECT_TRUE(ReadBytes(kDriveF / "t_mons.tbl") == Raised(set_, 7));
}

}  // namespace
}  // namespace e2e
