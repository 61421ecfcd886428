// The 对比 button: every byte that grew by exactly 100 from F:\t_mons0.tbl to F:\t_mons100.tbl
// is listed under the lists already shown, and Label1 counts those of the last run.
#include "fixture.h"

namespace e2e {
namespace {

// 10 MB with 32,767 matches, compared twice.
TEST_F(PatcherTest, CompareAppendsEachRunsListsAndCountsTheLastRun) {
  const demo::DemoSet pair = demo::MakeDemoSet(10 << 20, 32'767);
  WriteBytes(driveF_ / "t_mons0.tbl", pair.base);
  WriteBytes(driveF_ / "t_mons100.tbl", pair.raised);
  // One run's lists, found here byte by byte, the plainest way there is.
  std::wstring once[3];  // positions, base levels, raised levels
  std::size_t count = 0;
  for (std::size_t at = 0; at < pair.base.size(); ++at) {
    if (pair.raised[at] != pair.base[at] + 100) continue;
    ++count;
    once[0] += std::to_wstring(at + 1) + L"\r\n";
    once[1] += std::to_wstring(pair.base[at]) + L"\r\n";
    once[2] += std::to_wstring(pair.raised[at]) + L"\r\n";
  }
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(testing::Message() << "run " << run);
    const auto elapsed = ClickOn(form1::kCommand1, milliseconds(60'000));
    ASSERT_TRUE(elapsed) << "the compare did not return";
    std::printf("[ time ] compare of %zu bytes, %zu matches, run %d, click to return: %.1f ms\n",
                pair.base.size(), count, run, Ms(*elapsed));
    EXPECT_EQ(Text(form1::kLabel1), std::to_wstring(count));
    const int lists[] = {form1::kText1, form1::kText2, form1::kText3};
    for (int list = 0; list < 3; ++list) {
      std::wstring expected;
      for (int i = 0; i < run; ++i) expected += once[list];
      EXPECT_TRUE(Text(lists[list]) == expected) << "list " << list + 1 << " differs";
      EXPECT_TRUE(GetWindowLongW(Control(lists[list]), GWL_STYLE) & WS_VSCROLL) << "no scroll bar";
    }
  }
}

}  // namespace
}  // namespace e2e
