// The 对比 button: every byte that grew by exactly 100 from F:\t_mons0.tbl to F:\t_mons100.tbl
// is listed under the lists already shown, and Label1 counts those of the last run.
#include "fixture.h"

namespace e2e {
namespace {

constexpr std::size_t kListed = 100'000;  // more matches than this are counted, not listed

// 2,000,000 matches in 4 MiB: every other byte of the first 4,000,000 grows from 7 to 107.
demo::DemoSet TwoMillionMatches() {
  demo::DemoSet set{Bytes(4 << 20, 7), Bytes(4 << 20, 7), {}};
  for (std::size_t at = 0; at < 4'000'000; at += 2) set.raised[at] = 107;
  return set;
}

struct Pair {
  const char* name;
  demo::DemoSet (*make)();
  int runs;
};

class CompareTest : public PatcherTest, public ::testing::WithParamInterface<Pair> {};

TEST_P(CompareTest, AppendsEachRunsListsAndCountsTheLastRun) {
  const demo::DemoSet pair = GetParam().make();
  WriteReferenceTables(pair);
  // One run's lists, found here byte by byte, the plainest way there is.
  std::wstring once[3];  // positions, base levels, raised levels
  std::size_t count = 0;
  for (std::size_t at = 0; at < pair.base.size(); ++at) {
    if (pair.raised[at] != pair.base[at] + 100 || ++count > kListed) continue;
    once[0] += std::to_wstring(at + 1) + L"\r\n";
    once[1] += std::to_wstring(pair.base[at]) + L"\r\n";
    once[2] += std::to_wstring(pair.raised[at]) + L"\r\n";
  }
  for (int run = 1; run <= GetParam().runs; ++run) {
    SCOPED_TRACE(testing::Message() << "run " << run);
    const auto start = Clock::now();
    Click click(Control(form1::kCommand1));
    if (count > kListed) {  // all is shown, then a warning tells that not every match is listed
      const auto box = BoxUp(milliseconds(60'000));
      ASSERT_TRUE(box) << "no warning that the lists are cut short";
      EXPECT_EQ(box->title, form1::kCaption);
      EXPECT_EQ(box->Shown(), Icon::kWarning) << "the wrong icon";
      EXPECT_FALSE(IsWindowEnabled(form_)) << "the warning is not modal";
      EXPECT_EQ(Text(form1::kLabel1), std::to_wstring(count)) << "not counted before the warning";
      std::printf("[ time ] %s, click to warning: %.1f ms\n", GetParam().name,
                  Ms(Clock::now() - start));
      ASSERT_TRUE(PressOk(*box));
    }
    const auto elapsed = click.Wait(milliseconds(60'000));
    ASSERT_TRUE(elapsed) << "the compare did not return";
    std::printf("[ time ] %s (%zu bytes, %zu matches) run %d, click to return: %.1f ms\n",
                GetParam().name, pair.base.size(), count, run, Ms(*elapsed));
    EXPECT_EQ(Text(form1::kLabel1), std::to_wstring(count));
    const int lists[] = {form1::kText1, form1::kText2, form1::kText3};
    for (int list = 0; list < 3; ++list) {
      std::wstring expected;
      for (int i = 0; i < run; ++i) expected += once[list];
      EXPECT_TRUE(Text(lists[list]) == expected) << "list " << list + 1 << " differs";
    }
  }
  EXPECT_TRUE(ReadFile(driveF_ / "t_mons0.tbl") == pair.base) << "the compare wrote";
  EXPECT_TRUE(ReadFile(driveF_ / "t_mons100.tbl") == pair.raised) << "the compare wrote";
  // The window goes on as usual.
  ASSERT_TRUE(Type(form1::kText4, L"1"));
  ASSERT_TRUE(ClickOn(form1::kCommand2));
  EXPECT_EQ(Text(form1::kLabel3), L"敌人等级提高1级");
}

INSTANTIATE_TEST_SUITE_P(
    Pair, CompareTest,
    ::testing::Values(Pair{"DemoSetTwice", [] { return demo::MakeDemoSet(); }, 2},
                      Pair{"TenMegabytes", [] { return demo::MakeDemoSet(10 << 20, 32'767); }, 1},
                      Pair{"TwoMillionMatches", &TwoMillionMatches, 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
