#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_set.h"
#include "operations.h"
#include "test_folder.h"

namespace patch {
namespace {

using testing_support::ReadFile;
using testing_support::TestFolder;
using testing_support::WriteFile;
namespace fs = std::filesystem;

class CompareTest : public ::testing::Test {
 protected:
  CompareOutcome Compare(const std::vector<std::uint8_t>& base,
                         const std::vector<std::uint8_t>& raised) {
    WriteFile(basePath(), base);
    WriteFile(raisedPath(), raised);
    return CompareTables(basePath(), raisedPath());
  }
  fs::path basePath() const { return folder_ / "t_mons0.tbl"; }
  fs::path raisedPath() const { return folder_ / "t_mons100.tbl"; }

  TestFolder folder_;
};

TEST_F(CompareTest, FindsEveryLevelOfTheDemoSetInOrder) {
  demo::DemoSet set = demo::MakeDemoSet();
  CompareOutcome outcome = Compare(set.base, set.raised);
  ASSERT_FALSE(outcome.error.has_value());
  std::string positions, baseLevels, levels;
  std::vector<std::int32_t> sorted = set.positions;
  std::sort(sorted.begin(), sorted.end());
  for (std::int32_t position : sorted) {
    positions += std::to_string(position) + "\r\n";
    baseLevels += std::to_string(set.base[position - 1]) + "\r\n";
    levels += std::to_string(set.raised[position - 1]) + "\r\n";
  }
  EXPECT_EQ(outcome.appended.positions, positions);
  EXPECT_EQ(outcome.appended.baseLevels, baseLevels);
  EXPECT_EQ(outcome.appended.levels, levels);
  EXPECT_EQ(outcome.matchCount, "439");
}

TEST_F(CompareTest, IdenticalTablesMatchNothing) {
  demo::DemoSet set = demo::MakeDemoSet(4096, 10);
  CompareOutcome outcome = Compare(set.base, set.base);
  ASSERT_FALSE(outcome.error.has_value());
  EXPECT_EQ(outcome.appended.positions + outcome.appended.baseLevels + outcome.appended.levels, "");
  EXPECT_EQ(outcome.matchCount, "0");

  EXPECT_EQ(Compare({}, {}).matchCount, "0");
}

TEST_F(CompareTest, OnlyARiseOfExactly100Counts) {
  // Pairs (base, raised) at positions 1..: only 5→105, 155→255 and 0→100 grow by exactly 100.
  std::vector<std::uint8_t> base{5, 105, 100, 155, 156, 200, 0, 44};
  std::vector<std::uint8_t> raised{105, 5, 201, 255, 0, 44, 100, 200};
  CompareOutcome outcome = Compare(base, raised);
  EXPECT_EQ(outcome.appended.positions, "1\r\n4\r\n7\r\n");
  EXPECT_EQ(outcome.appended.baseLevels, "5\r\n155\r\n0\r\n");
  EXPECT_EQ(outcome.appended.levels, "105\r\n255\r\n100\r\n");
  EXPECT_EQ(outcome.matchCount, "3");
}

TEST_F(CompareTest, MatchesAtEveryOffsetOfALongTable) {
  // Long enough to cross the reader's chunks; a match in every block and at both ends.
  const std::size_t size = 3 * (1 << 20) + 77;
  std::vector<std::uint8_t> base(size, 1), raised(size, 1);
  std::vector<std::size_t> expected;
  for (std::size_t at = 0; at < size; at += 997) expected.push_back(at);
  expected.push_back(size - 1);
  for (std::size_t at : expected) raised[at] = 101;
  CompareOutcome outcome = Compare(base, raised);
  EXPECT_EQ(outcome.matchCount, std::to_string(expected.size()));
  std::string positions;
  for (std::size_t at : expected) positions += std::to_string(at + 1) + "\r\n";
  EXPECT_EQ(outcome.appended.positions, positions);
}

TEST_F(CompareTest, AShorterRaisedTableReadsZeroPastItsEnd) {
  std::vector<std::uint8_t> base{5, 5, 0, 0};
  std::vector<std::uint8_t> raised{105};
  CompareOutcome outcome = Compare(base, raised);
  EXPECT_EQ(outcome.appended.positions, "1\r\n");
  EXPECT_EQ(outcome.matchCount, "1");
}

TEST_F(CompareTest, ALongerRaisedTableIsReadOnlyAsFarAsTheBase) {
  std::vector<std::uint8_t> base{5, 5};
  std::vector<std::uint8_t> raised{5, 105, 105, 105};
  CompareOutcome outcome = Compare(base, raised);
  EXPECT_EQ(outcome.appended.positions, "2\r\n");
  EXPECT_EQ(outcome.matchCount, "1");
}

TEST_F(CompareTest, CountsPastTheRangeOfASmallCounter) {
  std::vector<std::uint8_t> base(40000, 7), raised(40000, 107);
  CompareOutcome outcome = Compare(base, raised);
  ASSERT_FALSE(outcome.error.has_value());
  EXPECT_EQ(outcome.matchCount, "40000");
}

TEST_F(CompareTest, MissingTablesAreErrorsAndAreNeverCreated) {
  WriteFile(raisedPath(), std::vector<std::uint8_t>{105});
  CompareOutcome outcome = CompareTables(basePath(), raisedPath());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kFileNotFound);
  EXPECT_EQ(outcome.error->file, basePath());
  EXPECT_FALSE(outcome.matchCount.has_value());
  EXPECT_FALSE(fs::exists(basePath()));

  fs::remove(raisedPath());
  WriteFile(basePath(), std::vector<std::uint8_t>{5});
  outcome = CompareTables(basePath(), raisedPath());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kFileNotFound);
  EXPECT_EQ(outcome.error->file, raisedPath());
  EXPECT_FALSE(fs::exists(raisedPath()));
  EXPECT_EQ(ReadFile(basePath()), std::vector<std::uint8_t>{5});

  outcome = CompareTables(folder_ / "gone" / "t_mons0.tbl", raisedPath());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kPathNotFound);
}

TEST_F(CompareTest, AFolderInPlaceOfATableIsAnAccessError) {
  fs::create_directory(basePath());
  WriteFile(raisedPath(), std::vector<std::uint8_t>{105});
  CompareOutcome outcome = CompareTables(basePath(), raisedPath());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_NE(outcome.error->number, ErrorNumber::kFileNotFound);
}

}  // namespace
}  // namespace patch
