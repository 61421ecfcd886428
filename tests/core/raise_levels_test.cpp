#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_set.h"
#include "operations.h"
#include "program_folder.h"
#include "test_folder.h"

namespace patch {
namespace {

using testing_support::ReadFile;
using testing_support::TestFolder;
using testing_support::WriteFile;
namespace fs = std::filesystem;

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

int LineCount(const std::string& text) {
  int count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at + 2)) {
    ++count;
  }
  return count;
}

// A folder beside the tool: t_mons0.tbl and t_mons.tbl both hold base; the list holds lines.
class RaiseTest : public ::testing::Test {
 protected:
  void Lay(const std::vector<std::uint8_t>& base, const std::vector<std::string>& lines) {
    base_ = base;
    lines_ = lines;
    WriteFile(folder_ / "t_mons0.tbl", base);
    WriteFile(folder_ / "t_mons.tbl", base);
    WriteFile(folder_ / "drevon2.txt", JoinLines(lines));
  }

  // 439 entries at positions 101..539 of a 1000-byte table, each with base level 50, except
  // the first two: position 10 holds first, position 11 holds second.
  void LaySmall(std::uint8_t first, std::uint8_t second) {
    std::vector<std::uint8_t> base(1000, 7);
    std::vector<std::string> lines{"10", "11"};
    base[9] = first;
    base[10] = second;
    for (int i = 3; i <= 439; ++i) {
      lines.push_back(std::to_string(100 + i));
      base[100 + i - 1] = 50;
    }
    Lay(base, lines);
  }

  RaiseOutcome Raise(std::string_view step) { return RaiseLevels(step, folder_.path()); }
  std::vector<std::uint8_t> Table() { return ReadFile(folder_ / "t_mons.tbl"); }

  // The raise failed with number and left t_mons.tbl byte for byte as it was.
  void ExpectFailedUntouched(const RaiseOutcome& outcome, ErrorNumber number) {
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->number, number);
    EXPECT_FALSE(outcome.confirmation.has_value());
    EXPECT_EQ(outcome.lists.levels, "");
    EXPECT_EQ(Table(), base_);
  }

  TestFolder folder_;
  std::vector<std::uint8_t> base_;
  std::vector<std::string> lines_;
};

TEST_F(RaiseTest, RaisesEveryListedLevelAndNothingElse) {
  demo::DemoSet set = demo::MakeDemoSet();
  demo::WriteDemoSet(folder_.path(), set);
  base_ = set.base;

  RaiseOutcome outcome = Raise("10");
  ASSERT_FALSE(outcome.error.has_value()) << ErrorReport(*outcome.error);
  ASSERT_FALSE(outcome.warning.has_value());
  EXPECT_EQ(outcome.confirmation, "敌人等级提高10级");

  std::vector<std::uint8_t> expected = set.base;
  std::string positions, baseLevels, levels;
  for (std::int32_t position : set.positions) {
    expected[position - 1] = static_cast<std::uint8_t>(set.base[position - 1] + 10);
    positions += std::to_string(position) + "\r\n";
    baseLevels += std::to_string(set.base[position - 1]) + "\r\n";
    levels += std::to_string(set.base[position - 1] + 10) + "\r\n";
  }
  EXPECT_EQ(Table(), expected);
  EXPECT_EQ(outcome.lists.positions, positions);
  EXPECT_EQ(outcome.lists.baseLevels, baseLevels);
  EXPECT_EQ(outcome.lists.levels, levels);

  // The base levels always come from the pristine table: a second run replaces the first.
  RaiseOutcome second = Raise("5");
  ASSERT_FALSE(second.error.has_value());
  for (std::int32_t position : set.positions) {
    expected[position - 1] = static_cast<std::uint8_t>(set.base[position - 1] + 5);
  }
  EXPECT_EQ(Table(), expected);
  EXPECT_EQ(second.lists.baseLevels, baseLevels);
  EXPECT_EQ(second.confirmation, "敌人等级提高5级");
  EXPECT_EQ(ReadFile(folder_ / "t_mons0.tbl"), set.base);
}

TEST_F(RaiseTest, InvalidStepsWarnAndTouchNoFile) {
  LaySmall(10, 11);
  for (const char* step : {"", "0", "0.5", "0.99", "101", "100.5", "abc", "-5", "1e3", "&H65"}) {
    RaiseOutcome outcome = Raise(step);
    ASSERT_TRUE(outcome.warning.has_value()) << step;
    EXPECT_EQ(outcome.warning->prompt, "只能输入1到100！");
    EXPECT_EQ(outcome.warning->title, "系统提示");
    EXPECT_FALSE(outcome.error.has_value());
    EXPECT_FALSE(outcome.confirmation.has_value());
    EXPECT_EQ(outcome.lists.positions + outcome.lists.baseLevels + outcome.lists.levels, "");
  }
  EXPECT_EQ(Table(), base_);

  // No file is even opened: a folder without any of them gives the same warning.
  TestFolder empty;
  RaiseOutcome outcome = RaiseLevels("0", empty.path());
  EXPECT_TRUE(outcome.warning.has_value());
  EXPECT_TRUE(fs::is_empty(empty.path()));
}

TEST_F(RaiseTest, BoundsAndFractionsOfTheStep) {
  LaySmall(10, 11);
  RaiseOutcome outcome = Raise("2.5");
  ASSERT_FALSE(outcome.error.has_value());
  EXPECT_EQ(Table()[9], 12);    // 12.5 rounds to the even 12
  EXPECT_EQ(Table()[10], 14);   // 13.5 rounds to the even 14
  EXPECT_EQ(Table()[102], 52);  // 52.5 → 52
  EXPECT_EQ(outcome.confirmation, "敌人等级提高2.5级");

  EXPECT_EQ(Raise("1").confirmation, "敌人等级提高1级");
  EXPECT_EQ(Table()[9], 11);
  EXPECT_EQ(Raise("100").confirmation, "敌人等级提高100级");
  EXPECT_EQ(Table()[9], 110);

  // A blank in front is accepted and shows in the caption as typed.
  EXPECT_EQ(Raise(" 10").confirmation, "敌人等级提高 10级");
  EXPECT_EQ(Table()[9], 20);
}

TEST_F(RaiseTest, SumsUpTo255AreWrittenAndBeyondFailWithNothingWritten) {
  LaySmall(155, 10);
  EXPECT_FALSE(Raise("100").error.has_value());
  EXPECT_EQ(Table()[9], 255);

  LaySmall(156, 10);
  EXPECT_FALSE(Raise("99.4").error.has_value());
  EXPECT_EQ(Table()[9], 255);

  LaySmall(10, 156);
  RaiseOutcome outcome = Raise("99.5");  // 156 + 99.5 rounds to 256
  ExpectFailedUntouched(outcome, ErrorNumber::kOverflow);
  EXPECT_EQ(outcome.error->listLine, 2);
  EXPECT_EQ(outcome.error->position, "11");
  EXPECT_EQ(LineCount(outcome.lists.positions), 439);
  EXPECT_EQ(LineCount(outcome.lists.baseLevels), 439);

  ExpectFailedUntouched(Raise("100"), ErrorNumber::kOverflow);
}

TEST_F(RaiseTest, AStepThatIsNoWholeNumberFailsBeforeAnyByteIsWritten) {
  LaySmall(10, 11);
  for (const char* step : {"5abc", "1 0", "10,5"}) {
    RaiseOutcome outcome = Raise(step);
    ExpectFailedUntouched(outcome, ErrorNumber::kTypeMismatch);
    EXPECT_EQ(LineCount(outcome.lists.positions), 439) << step;
    EXPECT_EQ(LineCount(outcome.lists.baseLevels), 439) << step;
  }
}

TEST_F(RaiseTest, ABadListLineStopsTheRunAtThatEntry) {
  struct Case {
    const char* line;
    ErrorNumber number;
  };
  for (Case bad :
       {Case{"abc", ErrorNumber::kTypeMismatch}, Case{"", ErrorNumber::kTypeMismatch},
        Case{"0", ErrorNumber::kBadRecordNumber}, Case{"-3", ErrorNumber::kBadRecordNumber},
        Case{"1001", ErrorNumber::kBadRecordNumber},  // past the end of the table
        Case{"9999999999", ErrorNumber::kOverflow}}) {
    LaySmall(10, 11);
    std::vector<std::string> lines = lines_;
    lines[4] = bad.line;
    Lay(base_, lines);
    RaiseOutcome outcome = Raise("10");
    ExpectFailedUntouched(outcome, bad.number);
    EXPECT_EQ(outcome.error->listLine, 5) << bad.line;
    EXPECT_EQ(outcome.error->position, bad.line);
    // The entries before the bad one stay listed, so the user can find it.
    EXPECT_EQ(outcome.lists.positions, "10\r\n11\r\n103\r\n104\r\n") << bad.line;
    EXPECT_EQ(outcome.lists.baseLevels, "10\r\n11\r\n50\r\n50\r\n") << bad.line;
  }
}

TEST_F(RaiseTest, APositionPastTheEndOfTheTableToPatchFails) {
  LaySmall(10, 11);
  std::vector<std::uint8_t> shorter(base_.begin(), base_.begin() + 300);
  WriteFile(folder_ / "t_mons.tbl", shorter);
  base_ = shorter;
  RaiseOutcome outcome = Raise("10");
  ExpectFailedUntouched(outcome, ErrorNumber::kBadRecordNumber);
  EXPECT_EQ(outcome.error->file, BesideTool(folder_.path(), "t_mons.tbl"));
  EXPECT_EQ(outcome.error->position, "301");  // the first entry beyond 300 bytes
  EXPECT_EQ(outcome.error->listLine, 201);
}

TEST_F(RaiseTest, MissingInputsAreErrorsAndNothingIsCreated) {
  LaySmall(10, 11);
  fs::remove(folder_ / "t_mons0.tbl");
  RaiseOutcome outcome = Raise("10");
  ExpectFailedUntouched(outcome, ErrorNumber::kFileNotFound);
  EXPECT_EQ(outcome.error->file, BesideTool(folder_.path(), "t_mons0.tbl"));
  EXPECT_FALSE(fs::exists(folder_ / "t_mons0.tbl"));

  LaySmall(10, 11);
  fs::remove(folder_ / "drevon2.txt");
  outcome = Raise("10");
  ExpectFailedUntouched(outcome, ErrorNumber::kFileNotFound);
  EXPECT_EQ(outcome.lists.positions, "");
  EXPECT_FALSE(fs::exists(folder_ / "drevon2.txt"));

  LaySmall(10, 11);
  lines_.pop_back();
  Lay(base_, lines_);
  outcome = Raise("10");
  ExpectFailedUntouched(outcome, ErrorNumber::kInputPastEndOfFile);
  EXPECT_EQ(outcome.error->listLine, 439);

  outcome = RaiseLevels("10", folder_.path() / "gone");
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kPathNotFound);
}

TEST_F(RaiseTest, AMissingTableToPatchStartsAsAFullCopyOfThePristineOne) {
  LaySmall(10, 11);
  fs::remove(folder_ / "t_mons.tbl");
  RaiseOutcome outcome = Raise("10");
  ASSERT_FALSE(outcome.error.has_value());
  std::vector<std::uint8_t> expected = base_;
  expected[9] = 20;
  expected[10] = 21;
  for (int i = 3; i <= 439; ++i) expected[100 + i - 1] = 60;
  EXPECT_EQ(Table(), expected);
  // Nothing else is left beside the tool.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 3);
}

TEST_F(RaiseTest, RepeatedAndSurplusLinesOfTheList) {
  LaySmall(10, 11);
  std::vector<std::string> lines = lines_;
  lines[2] = "10";                                      // position 10 twice
  for (int i = 0; i < 61; ++i) lines.push_back("abc");  // 500 lines; the rest is never read
  Lay(base_, lines);
  RaiseOutcome outcome = Raise("10");
  ASSERT_FALSE(outcome.error.has_value());
  EXPECT_TRUE(outcome.lists.positions.starts_with("10\r\n11\r\n10\r\n104\r\n"));
  EXPECT_TRUE(outcome.lists.levels.starts_with("20\r\n21\r\n20\r\n60\r\n"));
  EXPECT_EQ(LineCount(outcome.lists.positions), 439);
  EXPECT_EQ(Table()[9], 20);
  EXPECT_EQ(Table()[102], 50);  // its entry now names position 10 instead
}

TEST(ErrorReport, ShowsNumberDescriptionAndContext) {
  Error missing(ErrorNumber::kFileNotFound, fs::path(u8"补丁/drevon2.txt"));
  EXPECT_EQ(ErrorReport(missing), "运行时错误 '53':\n\n文件未找到\n\n文件：补丁/drevon2.txt");

  Error bad(ErrorNumber::kTypeMismatch, fs::path("drevon2.txt"), 12, "abc");
  EXPECT_EQ(ErrorReport(bad),
            "运行时错误 '13':\n\n类型不匹配\n\n文件：drevon2.txt\n位置列表第 12 行：“abc”");

  Error shortList(ErrorNumber::kInputPastEndOfFile, fs::path("drevon2.txt"), 439);
  EXPECT_EQ(ErrorReport(shortList),
            "运行时错误 '62':\n\n输入超出文件尾\n\n文件：drevon2.txt\n位置列表缺少第 439 行");

  EXPECT_EQ(ErrorReport(Error(ErrorNumber::kOverflow)), "运行时错误 '6':\n\n溢出");
}

TEST(BesideTool, JoinsFolderAndNameWithOneSeparator) {
  fs::path folder = fs::path(u8"工具") / "dir";
  EXPECT_EQ(BesideTool(folder, "t_mons.tbl"), folder / "t_mons.tbl");
#ifdef _WIN32
  EXPECT_EQ(BesideTool(fs::path(L"C:\\"), "drevon2.txt").native(), L"C:\\\\drevon2.txt");
#endif
}

}  // namespace
}  // namespace patch
