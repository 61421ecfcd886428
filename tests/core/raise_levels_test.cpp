#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../test_folder.h"
#include "operations.h"

namespace patch {
namespace {

using namespace testing_support;

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// Beside the tool: t_mons0.tbl holds a 1000-byte table, t_mons.tbl the same raised by 3. The list
// names position 10 (level `first`), 11 (level `second`), then 103..539 (level 50 each).
class RaiseTest : public ::testing::Test {
 public:
  void Lay(std::uint8_t first = 10, std::uint8_t second = 11) {
    base_.assign(1000, 7);
    base_[9] = first;
    base_[10] = second;
    lines_ = {"10", "11"};
    for (int i = 3; i <= 439; ++i) {
      lines_.push_back(std::to_string(100 + i));
      base_[100 + i - 1] = 50;
    }
    WriteList();
    WriteFile(folder_ / "t_mons0.tbl", base_);
    // As an earlier raise by 3 left it: a new raise replaces that one, it does not add to it.
    table_ = base_;
    table_[9] += 3;
    table_[10] += 3;
    WriteFile(folder_ / "t_mons.tbl", table_);
  }
  void WriteList() {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    WriteFile(folder_ / "drevon2.txt", text);
  }
  RaiseOutcome Raise(std::string_view step) { return RaiseLevels(step, folder_.path); }
  std::vector<std::uint8_t> Table() { return ReadFile(folder_ / "t_mons.tbl"); }

  TestFolder folder_;
  std::vector<std::uint8_t> base_, table_;
  std::vector<std::string> lines_;
};

TEST_F(RaiseTest, InvalidStepsWarnAndOpenNoFile) {
  // The folder is empty: the warning comes before any file is needed.
  for (const char* step : {"", "0", "0.5", "0.99", "101", "100.5", "abc", "-5", "1e3", "&H65"}) {
    RaiseOutcome outcome = Raise(step);
    ASSERT_TRUE(outcome.warning.has_value()) << step;
    EXPECT_EQ(outcome.warning->prompt, "只能输入1到100！");
    EXPECT_EQ(outcome.warning->title, "系统提示");
    EXPECT_FALSE(outcome.error.has_value() || outcome.confirmation.has_value());
    EXPECT_EQ(outcome.lists.positions + outcome.lists.baseLevels + outcome.lists.levels, "");
  }
  EXPECT_TRUE(fs::is_empty(folder_.path));
}

TEST_F(RaiseTest, StepsAddToTheBaseLevelRoundingHalvesToEven) {
  // clang-format off
  const struct { const char* step; std::uint8_t first, second; int newFirst, newSecond; } cases[] = {
      {"2.5", 10, 11, 12, 14}, {"1", 10, 11, 11, 12}, {"100", 155, 11, 255, 111},
      {" 10", 10, 11, 20, 21}, {"99.4", 156, 11, 255, 110}, {"&H10", 10, 11, 26, 27},
  };
  // clang-format on
  for (const auto& c : cases) {
    Lay(c.first, c.second);
    RaiseOutcome outcome = Raise(c.step);
    ASSERT_FALSE(outcome.error.has_value()) << ErrorReport(*outcome.error);
    EXPECT_EQ(outcome.confirmation, "敌人等级提高" + std::string(c.step) + "级");
    EXPECT_EQ(Table()[9], c.newFirst) << c.step;
    EXPECT_EQ(Table()[10], c.newSecond) << c.step;
    EXPECT_TRUE(outcome.lists.positions.starts_with("10\r\n11\r\n103\r\n"));
    EXPECT_TRUE(outcome.lists.baseLevels.starts_with(std::to_string(c.first) + "\r\n"));
    EXPECT_TRUE(outcome.lists.levels.starts_with(std::to_string(c.newFirst) + "\r\n"));
    EXPECT_EQ(Lines(outcome.lists.levels), 439);
  }
}

TEST_F(RaiseTest, EveryFailureLeavesTheTableAndSaysWhereAndWhatToDo) {
  using Change = std::function<void(RaiseTest&)>;
  auto line5 = [](const char* text) {
    return [text](RaiseTest& t) { t.lines_[4] = text, t.WriteList(); };
  };
  auto remove = [](const char* name) {
    return [name](RaiseTest& t) { fs::remove(t.folder_ / name); };
  };
  const struct {
    Change change;
    const char* step;
    ErrorNumber number;
    long listed;         // lines left in Text1: the entries before the failing one
    const char* report;  // a part of the error box's text
  } cases[] = {
      {line5("abc"), "10", ErrorNumber::kTypeMismatch, 4, "位置列表第 5 行：“abc”"},
      {line5(""), "10", ErrorNumber::kTypeMismatch, 4, "每行只写一个字节位置"},
      {line5("0"), "10", ErrorNumber::kBadRecordNumber, 4, "位置列表第 5 行：“0”"},
      {line5("-3"), "10", ErrorNumber::kBadRecordNumber, 4, "位置列表第 5 行"},
      {line5("1001"), "10", ErrorNumber::kBadRecordNumber, 4, "与这个表配套"},
      {line5("9999999999"), "10", ErrorNumber::kOverflow, 4, "每行只写一个字节位置"},
      {[](RaiseTest& t) { t.lines_.pop_back(), t.WriteList(); }, "10",
       ErrorNumber::kInputPastEndOfFile, 0, "缺少第 439 行"},
      {remove("t_mons0.tbl"), "10", ErrorNumber::kFileNotFound, 0, "改名为 t_mons0.tbl"},
      {remove("drevon2.txt"), "10", ErrorNumber::kFileNotFound, 0, "drevon2.txt 放到"},
      {[](RaiseTest& t) { t.Lay(10, 156); }, "99.5", ErrorNumber::kOverflow, 439, "第 2 行"},
      {[](RaiseTest& t) { t.Lay(156, 11); }, "100", ErrorNumber::kOverflow, 439, "超过了 255"},
      {[](RaiseTest& t) {
         WriteFile(t.folder_ / "t_mons.tbl", t.table_ = {1, 2, 3});
       },
       "10", ErrorNumber::kBadRecordNumber, 439, "t_mons.tbl\n位置列表第 1 行：“10”"},
      // A step that passes the range check but is no plain number: the step is to blame.
      {[](RaiseTest&) {}, "5abc", ErrorNumber::kTypeMismatch, 439, "\n输入的提高值：“5abc”\n\n"},
      {[](RaiseTest&) {}, "1 0", ErrorNumber::kTypeMismatch, 439, "类型不匹配\n\n输入的提高值"},
  };
  for (const auto& c : cases) {
    Lay();
    c.change(*this);
    RaiseOutcome outcome = Raise(c.step);
    ASSERT_TRUE(outcome.error.has_value()) << c.report;
    const std::string report = ErrorReport(*outcome.error);
    EXPECT_EQ(outcome.error->number, c.number) << report;
    EXPECT_NE(report.find(c.report), std::string::npos) << report;
    EXPECT_EQ(Lines(outcome.lists.positions), c.listed) << report;
    EXPECT_EQ(Lines(outcome.lists.baseLevels), c.listed) << report;
    EXPECT_EQ(outcome.lists.levels, "");
    EXPECT_FALSE(outcome.confirmation.has_value());
    EXPECT_EQ(Table(), table_) << report;
  }
  EXPECT_EQ(RaiseLevels("10", folder_ / "gone").error->number, ErrorNumber::kPathNotFound);
}

TEST_F(RaiseTest, AMissingTableStartsAsACopyOfThePristineOneAndListLinesMayRepeat) {
  Lay();
  fs::remove(folder_ / "t_mons.tbl");
  lines_[2] = "10";                                      // position 10 twice
  lines_[3] = "1000";                                    // the table's last byte
  for (int i = 0; i < 61; ++i) lines_.push_back("abc");  // lines past 439 are never read
  WriteList();
  RaiseOutcome outcome = Raise("10");
  ASSERT_FALSE(outcome.error.has_value()) << ErrorReport(*outcome.error);
  std::vector<std::uint8_t> expected = base_;
  expected[9] = 20;
  expected[10] = 21;
  expected[999] = 17;
  for (int i = 5; i <= 439; ++i) expected[100 + i - 1] = 60;
  EXPECT_EQ(Table(), expected);
  EXPECT_TRUE(outcome.lists.levels.starts_with("20\r\n21\r\n20\r\n17\r\n60\r\n"));
  // Nothing else is left beside the tool.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path), fs::directory_iterator()), 3);
}

TEST(ErrorReport, ShowsNumberDescriptionContextAndWhatToDo) {
  Error listLine(ErrorNumber::kTypeMismatch, "drevon2.txt", 12, "abc");
  listLine.subject = Subject::kPositionList;
  EXPECT_EQ(ErrorReport(listLine),
            "运行时错误 '13':\n\n类型不匹配\n\n文件：drevon2.txt\n位置列表第 12 行：“abc”\n\n"
            "请改正 drevon2.txt 的这一行：每行只写一个字节位置（正整数）。");
  EXPECT_EQ(ErrorReport(Error(ErrorNumber::kOverflow)), "运行时错误 '6':\n\n溢出");

  // A list line of any length is shortened, never in the middle of a character.
  Error longLine(ErrorNumber::kTypeMismatch, {}, 1, "一二三四五六七八九十一二三四五六七八九十");
  EXPECT_NE(ErrorReport(longLine).find("“一二三四五六七八九十一二三…”"), std::string::npos);
}

}  // namespace
}  // namespace patch
