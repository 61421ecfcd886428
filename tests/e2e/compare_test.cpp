// The 对比 button: listing what grew by exactly 100 between F:\t_mons0.tbl and F:\t_mons100.tbl.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "fixture.h"
#include "form1_ids.h"

namespace e2e {
namespace {

struct Expected {
  std::wstring positions, baseLevels, levels;
};

// Every level of the demo set, in table order; nothing else differs between its two tables.
Expected ComparedLists(const demo::DemoSet& set) {
  std::vector<std::int32_t> positions = set.positions;
  std::sort(positions.begin(), positions.end());
  Expected expected;
  for (const std::int32_t position : positions) {
    const std::size_t at = static_cast<std::size_t>(position - 1);
    expected.positions += std::to_wstring(position) + L"\r\n";
    expected.baseLevels += std::to_wstring(set.base[at]) + L"\r\n";
    expected.levels += std::to_wstring(set.raised[at]) + L"\r\n";
  }
  return expected;
}

TEST_F(PatcherTest, CompareTwiceAppendsTheListTwice) {
  const Expected once = ComparedLists(set_);
  ASSERT_TRUE(Window().Click(form1::kCommand1, kPatience));
  EXPECT_FALSE(Window().HasMessageBox());
  EXPECT_EQ(Window().Text(form1::kText1), once.positions);
  EXPECT_EQ(Window().Text(form1::kText2), once.baseLevels);
  EXPECT_EQ(Window().Text(form1::kText3), once.levels);
  EXPECT_EQ(Window().Text(form1::kLabel1), std::to_wstring(set_.positions.size()));

  ASSERT_TRUE(Window().Click(form1::kCommand1, kPatience));
  EXPECT_EQ(Window().Text(form1::kText1), once.positions + once.positions);
  EXPECT_EQ(Window().Text(form1::kText2), once.baseLevels + once.baseLevels);
  EXPECT_EQ(Window().Text(form1::kText3), once.levels + once.levels);
  // The count is of the last run, not of everything listed.
  EXPECT_EQ(Window().Text(form1::kLabel1), std::to_wstring(set_.positions.size()));
  // A compare never writes anything.
  EXPECT_TRUE(ReadBytes(kReferenceBase) == set_.base);
  EXPECT_TRUE(ReadBytes(kReferenceRaised) == set_.raised);
  EXPECT_TRUE(PatchedTable() == set_.base);
}

TEST_F(PatcherTest, CompareAppendsBelowARaisesLists) {
  Window().SetText(form1::kText4, L"10");
  ASSERT_TRUE(Window().Click(form1::kCommand2, kPatience));
  const std::wstring raisedPositions = Window().Text(form1::kText1);
  ASSERT_EQ(LineCount(raisedPositions), set_.positions.size());

  ASSERT_TRUE(Window().Click(form1::kCommand1, kPatience));
  EXPECT_EQ(Window().Text(form1::kText1), raisedPositions + ComparedLists(set_).positions);
  // The raise's caption stays; the compare has its own.
  EXPECT_EQ(Window().Text(form1::kLabel3), L"敌人等级提高10级");
  EXPECT_EQ(Window().Text(form1::kLabel1), std::to_wstring(set_.positions.size()));
}

TEST_F(PatcherTest, CompareWithoutReferenceTablesReportsTheMissingOne) {
  CleanDriveF();
  PendingClick click(Window().Control(form1::kCommand1));
  const auto box = Window().WaitForMessageBox(kPatience);
  ASSERT_TRUE(box) << "no error box";
  EXPECT_EQ(box->title, L"Quarnel2难度补丁修改器");
  EXPECT_EQ(box->text.rfind(L"运行时错误 '53':", 0), 0u) << ToUtf8(box->text);
  EXPECT_NE(box->text.find(L"F:\\t_mons0.tbl"), std::wstring::npos) << ToUtf8(box->text);
  EXPECT_EQ(box->icon, BoxIcon::kError);
  PressOk(*box);
  ASSERT_TRUE(click.Wait(kPatience));
  EXPECT_EQ(Window().Text(form1::kText1), L"");
  EXPECT_EQ(Window().Text(form1::kLabel1), L"");
  EXPECT_TRUE(IsWindowVisible(Window().form()));
}

TEST_F(PatcherTest, LargeCompareShowsEveryLine) {
  constexpr int kMatches = 32'767;
  const demo::DemoSet large = demo::MakeDemoSet(10 * 1024 * 1024, kMatches);
  WriteReferenceTables(large);

  const auto elapsed = Window().Click(form1::kCommand1, milliseconds(120'000));
  ASSERT_TRUE(elapsed) << "the compare did not return";
  std::printf("[ time ] compare of two %zu-byte tables, %d matches, click to result: %.1f ms\n",
              large.base.size(), kMatches,
              std::chrono::duration<double, std::milli>(*elapsed).count());

  EXPECT_EQ(Window().Text(form1::kLabel1), std::to_wstring(kMatches));
  const Expected expected = ComparedLists(large);
  const std::wstring positions = Window().Text(form1::kText1);
  EXPECT_EQ(LineCount(positions), static_cast<std::size_t>(kMatches));
  EXPECT_TRUE(positions == expected.positions) << "the positions list differs";
  EXPECT_TRUE(Window().Text(form1::kText2) == expected.baseLevels);
  EXPECT_TRUE(Window().Text(form1::kText3) == expected.levels);
}

}  // namespace
}  // namespace e2e
