// Raising the levels of t_mons.tbl: what is written and listed, and that on any failure the table
// stays as it was, nothing is left beside it, and the error box says where and what to do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../test_folder.h"
#include "faulty_steps.h"
#include "operations.h"
#include "shown_text.h"

namespace patch {
namespace {

using namespace testing_support;
using enum ErrorNumber;
using ::testing::HasSubstr, ::testing::Not;
using namespace std::chrono_literals;

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// Beside the tool: t_mons0.tbl holds a 1000-byte table, t_mons.tbl the same raised by 3. The list
// names position 10 (level `first`), 11 (level `second`), then 103..539 (level 50 each).
class RaiseTest : public ::testing::Test {
 public:
  void Lay(std::uint8_t first = 10, std::uint8_t second = 11) {
    base_.assign(1000, 7);
    lines_ = {"10", "11"};
    for (int at = 103; at <= 539; ++at) {
      lines_.push_back(std::to_string(at));
      base_[at - 1] = 50;
    }
    base_[9] = first, base_[10] = second;
    WriteList();
    WriteBytes(folder_ / "t_mons0.tbl", base_);
    table_ = base_;  // as an earlier raise by 3 left it: a new raise replaces that, not adds to it
    table_[9] += 3, table_[10] += 3;
    fs::remove(folder_ / "t_mons.tbl");  // with any attributes a case gave it
    WriteBytes(folder_ / "t_mons.tbl", table_);
    inTemporaryFolder_ = false;
  }
  void WriteList() {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    WriteBytes(folder_ / "drevon2.txt", text);
  }
  RaiseOutcome Raise(std::string_view step, SaveSteps&& steps = SaveSteps()) {
    return RaiseLevels(step, ToolFolder(folder_.path, inTemporaryFolder_), steps);
  }
  Bytes Table() { return ReadBytes(folder_ / "t_mons.tbl"); }
  long Files() const {
    return std::distance(fs::directory_iterator(folder_.path), fs::directory_iterator());
  }

  TestFolder folder_;
  std::vector<std::uint8_t> base_, table_;
  std::vector<std::string> lines_;
  bool inTemporaryFolder_ = false;  // as when an archive program opened the tool
};

TEST_F(RaiseTest, InvalidStepsWarnAndOpenNoFile) {
  // The folder is empty: the warning comes before any file is needed. Full-width forms count.
  for (const char* step : {"", "0", "0.5", "0.99", "101", "100.5", "abc", "-5", "1e3", "&H65", "０",
                           "１０１", "－５", "０。５", "\u3000"}) {
    RaiseOutcome outcome = Raise(step);
    ASSERT_TRUE(outcome.warning.has_value()) << step;
    EXPECT_EQ(outcome.warning->title + outcome.warning->prompt, "系统提示只能输入1到100！");
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
      // As a Chinese IME types them: full-width, with 。 for the point and its own blank.
      {"２．５", 10, 11, 12, 14}, {"２。５", 10, 11, 12, 14}, {"＋７", 10, 11, 17, 18},
      {"\u3000１０\u3000", 10, 11, 20, 21},
  };
  // clang-format on
  for (const auto& c : cases) {
    Lay(c.first, c.second);
    RaiseOutcome outcome = Raise(c.step);
    ASSERT_FALSE(outcome.error.has_value()) << ErrorReport(*outcome.error);
    EXPECT_EQ(outcome.confirmation, "敌人等级提高" + std::string(c.step) + "级");  // as typed
    EXPECT_EQ(Table()[9], c.newFirst) << c.step;
    EXPECT_EQ(Table()[10], c.newSecond) << c.step;
    EXPECT_TRUE(outcome.lists.positions.starts_with("10\r\n11\r\n103\r\n"));
    EXPECT_TRUE(outcome.lists.baseLevels.starts_with(std::to_string(c.first) + "\r\n"));
    EXPECT_TRUE(outcome.lists.levels.starts_with(std::to_string(c.newFirst) + "\r\n"));
    EXPECT_EQ(Lines(outcome.lists.levels), 439);
  }
}

TEST_F(RaiseTest, EveryFailureLeavesTheTableAndNoOtherFileAndSaysWhereAndWhatToDo) {
  using Change = std::function<void(RaiseTest&)>;
  auto line5 = [](std::string text) {
    return [text](RaiseTest& t) { t.lines_[4] = text, t.WriteList(); };
  };
  auto table = [](Bytes bytes) {
    return [bytes](RaiseTest& t) { WriteBytes(t.folder_ / "t_mons.tbl", t.table_ = bytes); };
  };
  // Longer than any table can be, as a file renamed by mistake; sparse, so it costs no disk.
  auto huge = [](const char* name) {
    return [name](RaiseTest& t) { fs::resize_file(t.folder_ / name, kMaxTableLength + 1); };
  };
  auto gone = [](const char* name, bool inTemporaryFolder = false) {
    return [=](RaiseTest& t) {
      fs::remove(t.folder_ / name), t.inTemporaryFolder_ = inTemporaryFolder;
    };
  };
  // A virus scanner reads the new copy as it is removed and lets go a moment later: the removal
  // waits for it (Windows refuses to delete a file open without delete sharing).
  std::ifstream scanner;
  std::jthread letGo;
  const auto scan = [&] {
    for (const auto& entry : fs::directory_iterator(folder_.path))
      if (entry.path().extension() == ".tmp") scanner.open(entry.path());
    EXPECT_TRUE(scanner.is_open());
    letGo = std::jthread([&] { std::this_thread::sleep_for(300ms), scanner.close(); });
  };
  const struct {
    Change change;
    const char* step;
    ErrorNumber number;
    long listed;                       // positions listed: the entries before the failing one
    const char* report;                // a part of the error box's text
    SaveStep save = SaveStep::kNone;   // the step of the save that fails with number
    Refusal refusal = Refusal::kNone;  // and that refusal
    std::function<void()> raise = {};
    bool retried = false;  // the step was tried again (a held file, another temporary name)
  } cases[] = {
      // clang-format off
      {[](RaiseTest& t) { t.lines_[0] = "x", t.WriteList(); }, "10", kTypeMismatch, 0, "第 1 行：“x”"},
      {[](RaiseTest& t) { t.lines_.clear(), t.WriteList(); }, "10", kInputPastEndOfFile, 0, "缺少第 1 行"},
      // Controls are shown escaped: a NUL would end the box's text there.
      {line5(std::string("1\0\x1b\xff", 4)), "10", kTypeMismatch, 4,
       "：“1\\x00\\x1B\\xFF”\n\n请改正 drevon2.txt 的这一行"},
      {line5("１０"), "10", kTypeMismatch, 4, "位置列表第 5 行：“１０”"},  // the list is no step
      {line5("0"), "10", kBadRecordNumber, 4, "位置列表第 5 行：“0”"},
      {line5("1001"), "10", kBadRecordNumber, 4, "第 5 行：“1001”\n\n这个位置超出了 t_mons0.tbl 的长度"},
      {line5("9999999999"), "10", kOverflow, 4, "每行只写一个字节位置"},
      {[](RaiseTest& t) { t.lines_.pop_back(), t.WriteList(); }, "10", kInputPastEndOfFile, 0,
       "缺少第 439 行"},
      {gone("t_mons0.tbl"), "10", kFileNotFound, 0, "改名为 t_mons0.tbl"},
      {gone("drevon2.txt"), "10", kFileNotFound, 0, "drevon2.txt 放到"},
      {[](RaiseTest& t) { t.Lay(10, 156); }, "99.5", kOverflow, 439, "第 2 行：“11”\n\n这个敌人的原等级加上提高值超过了 255"},
      // A table cut short, or of another version: nothing is written, and the shorter one is to
      // blame: t_mons.tbl is made again once deleted; t_mons0.tbl needs a never-raised original.
      {table({1, 2, 3}), "10", kTypeMismatch, 439,
       "t_mons.tbl\nt_mons.tbl 有 3 字节，t_mons0.tbl 有 1000 字节\n\nt_mons.tbl 比 t_mons0.tbl 短，"
       "多半是没有复制完整，所以没有修改。本工具会用 t_mons0.tbl 重新生成 t_mons.tbl"},
      {table(Bytes(1001, 7)), "10", kTypeMismatch, 439,
       "t_mons0.tbl\nt_mons.tbl 有 1001 字节，t_mons0.tbl 有 1000 字节\n\nt_mons0.tbl 比 t_mons.tbl 短"},
      {[](RaiseTest& t) { fs::remove(t.folder_ / "t_mons.tbl"), fs::create_directory(t.folder_ / "t_mons.tbl"); },
       "10", kPathFileAccessError, 439, "“t_mons.tbl”是一个文件夹"},
      {huge("t_mons0.tbl"), "10", kOverflow, 0, "t_mons0.tbl\n\nt_mons0.tbl 超过 2 GB，不会是怪物表"},
      {huge("t_mons.tbl"), "10", kOverflow, 439, "t_mons.tbl\n\nt_mons.tbl 超过 2 GB，不会是怪物表。本工具会"},
      // Beside a tool opened from its archive, in a folder the archive program deletes, nothing is
      // read or written, whatever is there: extract it first.
      {gone("drevon2.txt", true), "10", kPathFileAccessError, 0,
       "t_mons.tbl\n\n本工具是在压缩文件里直接打开的，它所在的临时文件夹会在压缩软件关闭时被删除，t_mons.tbl 写在那里"},
      // A step that passes the range check but is no plain number: the step is to blame.
      {{}, "５ａｂｃ", kTypeMismatch, 439, "运行时错误 '13':\n\n类型不匹配\n\n输入的提高值：“５ａｂｃ”\n\n"},
      // The save fails; the error names the table, never the temporary copy.
      {{}, "10", kPermissionDenied, 439, "所在的文件夹不能写入", SaveStep::kCreate},
      {{}, "10", kFileAlreadyExists, 439, "以 .tmp 结尾的旧临时文件", SaveStep::kCreate, {}, {}, true},
      {{}, "10", kDiskFull, 439, "已满：保存 t_mons.tbl 需要约 1 KB 可用空间", SaveStep::kWrite},
      {{}, "10", kDeviceIoError, 439, "设备 I/O 错误", SaveStep::kFlush},
      {{}, "10", kPathFileAccessError, 439, "t_mons.tbl", SaveStep::kReplace, {}, scan},
      // The new copy gone before it took the table's place: that copy is named, and who took it.
      {{}, "10", kFileNotFound, 439, ".tmp\n\n本工具刚写好的临时文件 t_mons.tbl.~", SaveStep::kReplace},
      {[](RaiseTest& t) { WriteAttributes(t.folder_ / "t_mons.tbl", kUnusualAttributes); }, "10",
       kFileNotFound, 439, "删除或隔离了。t_mons.tbl 保持原样", SaveStep::kSetAttributes},
      {{}, "10", kPermissionDenied, 439, "占用。请关闭该程序，稍等片刻，再点“修改”。",
       SaveStep::kReplace, Refusal::kHeld, {}, true},
      {{}, "10", kPermissionDenied, 439, "有写保护", SaveStep::kReplace, Refusal::kWriteProtected},
      {{}, "10", kPermissionDenied, 439, "无法写入 t_mons.tbl", SaveStep::kReplace, {}, {}, true},
      // Attributes a new file lacks must be written, and that may fail.
      {[](RaiseTest& t) { WriteAttributes(t.folder_ / "t_mons.tbl", kUnusualAttributes); }, "10",
       kPermissionDenied, 439, "无法写入 t_mons.tbl", SaveStep::kSetAttributes},
      // Exceptions, never shown in English.
      {{}, "10", kOutOfMemory, 439, "内存不足\n\n内存不足。请关闭其他程序", SaveStep::kWrite,
       Refusal::kNone, [] { throw std::bad_alloc(); }},
      {{}, "10", kInternalError, 439, "内部错误", SaveStep::kReplace, Refusal::kNone, [] { throw std::runtime_error("boom"); }},
      // clang-format on
  };
  for (const auto& c : cases) {
    Lay();
    if (c.change) c.change(*this);
    const long files = Files();
    Error fault(c.number);
    fault.refusal = c.refusal;
    FaultySteps steps(c.save, fault, 1000, c.raise);
    const RaiseOutcome outcome = RaiseLevels(c.step, {folder_.path, inTemporaryFolder_}, steps);
    EXPECT_EQ(steps.failures > 1, c.retried) << steps.failures;
    ASSERT_TRUE(outcome.error.has_value()) << c.report;
    const std::string report = ErrorReport(*outcome.error);
    EXPECT_EQ(outcome.error->number, c.number) << report;
    EXPECT_THAT(report, HasSubstr(c.report));
    // Never the temporary copy, never English, never a file to copy that may be no table at all.
    const bool vanished = c.number == kFileNotFound && c.save != SaveStep::kNone;
    for (const char* never : {vanished ? "boom" : ".tmp\n", "boom", "t_mons0.tbl 复制"})
      EXPECT_THAT(report, Not(HasSubstr(never)));
    EXPECT_EQ(report.find("解压") != std::string::npos, inTemporaryFolder_) << report;
    EXPECT_EQ(Lines(outcome.lists.positions), c.listed) << report;
    EXPECT_EQ(Lines(outcome.lists.baseLevels), c.listed) << report;
    EXPECT_EQ(outcome.lists.levels, "");
    EXPECT_FALSE(outcome.confirmation.has_value());
    if (fs::is_regular_file(folder_ / "t_mons.tbl") &&
        fs::file_size(folder_ / "t_mons.tbl") <= kMaxTableLength) {
      EXPECT_EQ(Table(), table_) << report;
    }
    EXPECT_EQ(Files(), files) << report;
  }
  EXPECT_EQ(RaiseLevels("10", folder_ / "gone").error->number, kPathNotFound);
  // At a drive root the box shows the path as the player knows it, with one separator.
  const fs::path root = folder_.path.root_path();
  EXPECT_THAT(ErrorReport(*RaiseLevels("10", root).error),
              HasSubstr("文件：" + PathText(root) + "drevon2.txt\n"));
}

TEST_F(RaiseTest, AMissingTableIsMadeFromThePristineOneABrieflyHeldOneWaitedFor) {
  Lay();
  fs::remove(folder_ / "t_mons.tbl");
  lines_[2] = "10";                                // position 10 twice
  lines_[3] = "1000";                              // the table's last byte
  lines_[4] = "1";                                 // and its first
  lines_[5] = std::string(5000, ' ') + lines_[5];  // the list is read in more than one chunk
  WriteList();
  // Held for a moment by another program: waited for. Made from t_mons0.tbl, it is whole.
  const RaiseOutcome outcome =
      Raise("10", FaultySteps(SaveStep::kReplace, Error{kPermissionDenied}, 3));
  ASSERT_FALSE(outcome.error.has_value()) << ErrorReport(*outcome.error);
  Bytes expected = base_;
  expected[9] = 20, expected[10] = 21, expected[999] = expected[0] = 17;
  for (int i = 6; i <= 439; ++i) expected[100 + i - 1] = 60;
  EXPECT_EQ(Table(), expected);
  EXPECT_TRUE(outcome.lists.levels.starts_with("20\r\n21\r\n20\r\n17\r\n17\r\n60\r\n"));
  EXPECT_EQ(Files(), 3);  // nothing else is left beside the tool
  // A file of the player's under the name a simpler tool would use for its temporary copy; the
  // first temporary name is taken, so another one is tried.
  WriteBytes(folder_ / "t_mons.tbl.new", std::string("mine"));
  ASSERT_FALSE(Raise("10", FaultySteps(SaveStep::kCreate, Error{kFileAlreadyExists}, 1)).error);
  EXPECT_EQ(ReadBytes(folder_ / "t_mons.tbl.new"), Bytes({'m', 'i', 'n', 'e'}));
  EXPECT_EQ(Files(), 4);
  // A table with no attributes of its own gets none written: a folder that refuses that is no bar.
  ASSERT_FALSE(Raise("10", FaultySteps(SaveStep::kSetAttributes, Error{kPermissionDenied})).error);
}

}  // namespace
}  // namespace patch
