#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../test_folder.h"
#include "operations.h"

namespace patch {
namespace {

using namespace testing_support;

class CompareTest : public ::testing::Test {
 protected:
  CompareOutcome Compare(const Bytes& base, const Bytes& raised) {
    WriteBytes(base_, base);
    WriteBytes(raised_, raised);
    return CompareTables(base_, raised_);
  }

  TestFolder folder_;
  const fs::path base_ = folder_ / "t_mons0.tbl", raised_ = folder_ / "t_mons100.tbl";
};

TEST_F(CompareTest, OnlyARiseOfExactly100WithinTheBaseTableCounts) {
  // Two read chunks, alike, against one: past its end the raised bytes read as 0, not as what the
  // first chunk left. Levels at both ends of 64-byte blocks, beside a 156→0 that wraps to +100.
  constexpr std::size_t kChunk = kCompareChunk;
  Bytes twoChunks(2 * kChunk, 7), oneChunk(kChunk, 7);
  for (auto [at, level] :
       {std::pair<std::size_t, int>{0, 0}, {63, 155}, {64, 42}, {100, 156}, {kChunk - 1, 9}}) {
    twoChunks[at] = twoChunks[kChunk + at] = static_cast<std::uint8_t>(level);
    oneChunk[at] = static_cast<std::uint8_t>(level + 100);
  }
  // clang-format off
  const struct { Bytes base, raised; std::string positions, baseLevels, levels, count; } cases[] = {
      // Only 5→105, 155→255 and 0→100 grew by exactly 100.
      {{5, 105, 100, 155, 156, 200, 0, 44}, {105, 5, 201, 255, 0, 44, 100, 200},
       "1\r\n4\r\n7\r\n", "5\r\n155\r\n0\r\n", "105\r\n255\r\n100\r\n", "3"},
      {{5, 5, 0, 0}, {105}, "1\r\n", "5\r\n", "105\r\n", "1"},  // past a shorter raised table: zeros
      {{5, 5}, {5, 105, 105}, "2\r\n", "5\r\n", "105\r\n", "1"},  // a longer one: read no further
      {{9, 9}, {9, 9}, "", "", "", "0"},
      {{5}, {105}, "1\r\n", "5\r\n", "105\r\n", "1"},  // a table shorter than one block
      {twoChunks, oneChunk, "1\r\n64\r\n65\r\n" + std::to_string(kChunk) + "\r\n", "0\r\n155\r\n42\r\n9\r\n",
       "100\r\n255\r\n142\r\n109\r\n", "4"},
      {{}, {}, "", "", "", "0"},
  };
  // clang-format on
  for (const auto& c : cases) {
    CompareOutcome outcome = Compare(c.base, c.raised);
    EXPECT_EQ(outcome.appended.positions, c.positions);
    EXPECT_EQ(outcome.appended.baseLevels, c.baseLevels);
    EXPECT_EQ(outcome.appended.levels, c.levels);
    EXPECT_EQ(outcome.matchCount, c.count);
  }
}

TEST_F(CompareTest, UnrelatedFilesListOnlyTheFirstMatchesAndWarn) {
  for (const std::int64_t matches :
       {kMaxListedMatches, kMaxListedMatches + 1, 20 * kMaxListedMatches}) {
    const CompareOutcome outcome = Compare(Bytes(matches, 7), Bytes(matches, 107));
    const std::int64_t listed = std::min(matches, kMaxListedMatches);
    EXPECT_TRUE(outcome.matches == matches && outcome.matchCount == std::to_string(matches));
    EXPECT_EQ(std::count(outcome.appended.levels.begin(), outcome.appended.levels.end(), '\n'),
              listed);
    EXPECT_TRUE(outcome.appended.positions.ends_with("\r\n" + std::to_string(listed) + "\r\n"));
    ASSERT_EQ(outcome.warning.has_value(), matches > kMaxListedMatches) << matches;
    if (!outcome.warning) continue;
    EXPECT_EQ(outcome.warning->title, "Quarnel2难度补丁修改器");
    const std::string said = "共找到 " + std::to_string(matches) + " 个位置，只列出了前 " +
                             std::to_string(kMaxListedMatches) + " 个。";
    EXPECT_TRUE(outcome.warning->prompt.starts_with(said) &&
                outcome.warning->prompt.ends_with("再点“对比”。"))
        << outcome.warning->prompt;
  }
}

TEST_F(CompareTest, UnfitReferenceTablesAreErrorsWithTheirRemedy) {
  WriteBytes(raised_, Bytes{105});
  const fs::path huge = folder_ / "huge.tbl";  // sparse: no disk is used, and nothing is read
  WriteBytes(huge, Bytes{});
  fs::resize_file(huge, kMaxTableLength + 1);
  // clang-format off
  const struct { fs::path base; ErrorNumber number; const char* report; } cases[] = {
      {base_, ErrorNumber::kFileNotFound, "放到 F 盘根目录，再点“对比”。"},
      // No such folder: on most laptops there is no drive F: at all.
      {folder_ / "gone" / "t_mons0.tbl", ErrorNumber::kPathNotFound,
       "在命令提示符里输入 subst F: \"D:\\对比\" 把它当作 F 盘（用完后输入 subst F: /d 取消）"},
      {folder_.path, ErrorNumber::kPathFileAccessError, "路径/文件访问错误"},  // a folder, no table
      {huge, ErrorNumber::kOverflow, "huge.tbl 超过 2 GB，不会是怪物表"}};
  // clang-format on
  for (const auto& c : cases) {
    CompareOutcome outcome = CompareTables(c.base, raised_);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->number, c.number);
    EXPECT_FALSE(outcome.matchCount.has_value());
    EXPECT_THAT(ErrorReport(*outcome.error), ::testing::HasSubstr(c.report));
  }
  EXPECT_FALSE(fs::exists(base_));  // never created
  const CompareOutcome noRaised = CompareTables(raised_, folder_ / "gone.tbl");
  ASSERT_TRUE(noRaised.error.has_value());
  EXPECT_EQ(noRaised.error->file, folder_ / "gone.tbl");
#ifdef __linux__
  // A raised table that opens but fails to be read (this process's memory, from its address 0).
  const CompareOutcome unread = CompareTables(raised_, "/proc/self/mem");
  ASSERT_TRUE(unread.error.has_value());
  EXPECT_EQ(unread.error->number, ErrorNumber::kDeviceIoError);
  EXPECT_FALSE(unread.matchCount.has_value());
#endif
}

}  // namespace
}  // namespace patch
