// Saving the patched table: whatever fails, t_mons.tbl stays as it was and nothing is left
// beside it; the player's own files and marks are kept.
#include "table_save.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "../test_folder.h"
#include "demo_set.h"
#include "operations.h"

namespace patch {
namespace {

using namespace testing_support;

enum class Step { kCreate, kWrite, kFlush, kReplace };

// Which step fails, with what (the file it names filled in), how often, and what it throws.
struct Fault {
  Step step;
  Error error;
  int times = 1000;
  std::function<void()> raise = {};
};

// The real steps, except the faulty one.
class FaultySteps : public SaveSteps {
 public:
  explicit FaultySteps(Fault fault) : fault_(std::move(fault)) {}
  Expected<File> CreateNew(const fs::path& path) override {
    if (auto failed = Fails(Step::kCreate, path)) return *failed;
    return SaveSteps::CreateNew(path);
  }
  std::optional<Error> Write(File& file, std::span<const std::uint8_t> bytes) override {
    auto failed = Fails(Step::kWrite, file.path());
    if (failed) file.Write(bytes.first(bytes.size() / 2));  // a disk that fills up halfway
    return failed ? failed : SaveSteps::Write(file, bytes);
  }
  std::optional<Error> Flush(File& file) override {
    auto failed = Fails(Step::kFlush, file.path());
    return failed ? failed : SaveSteps::Flush(file);
  }
  std::optional<Error> Replace(const fs::path& from, const fs::path& to) override {
    auto failed = Fails(Step::kReplace, to);
    return failed ? failed : SaveSteps::Replace(from, to);
  }

 private:
  std::optional<Error> Fails(Step step, const fs::path& file) {
    if (step != fault_.step || fault_.times == 0) return std::nullopt;
    --fault_.times;
    if (fault_.raise) fault_.raise();
    Error error = fault_.error;
    error.file = file;
    return error;
  }
  Fault fault_;
};

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override { demo::WriteDemoSet(folder_.path, set_); }
  RaiseOutcome Raise(SaveSteps&& steps) { return RaiseLevels("10", folder_.path, steps); }
  long Files() const {
    return std::distance(fs::directory_iterator(folder_.path), fs::directory_iterator());
  }

  TestFolder folder_;
  demo::DemoSet set_ = demo::MakeDemoSet(64 * 1024, 439);
};

TEST_F(SaveTest, AFailureAtAnyStepLeavesTheTableAndNoTemporaryFile) {
  const long files = Files();
  Error held{ErrorNumber::kPermissionDenied};  // a sharing violation
  held.held = true;
  const struct {
    Fault fault;         // its error, or what its exception must become
    const char* report;  // a part of the error box's text
  } cases[] = {
      {{Step::kCreate, Error{ErrorNumber::kPermissionDenied}}, "所在的文件夹不能写入"},
      {{Step::kWrite, Error{ErrorNumber::kDiskFull}}, "腾出磁盘空间"},
      {{Step::kFlush, Error{ErrorNumber::kDeviceIoError}}, "设备 I/O 错误"},
      {{Step::kReplace, Error{ErrorNumber::kPathFileAccessError}}, "t_mons.tbl"},
      // Held by another program throughout: given up after a while, with what to do.
      {{Step::kReplace, held}, "正被其他程序（例如游戏或杀毒软件）占用。请关闭该程序"},
      {{Step::kWrite, Error{ErrorNumber::kOutOfMemory}, 1, [] { throw std::bad_alloc(); }},
       "请关闭其他程序"},
      {{Step::kReplace, Error{ErrorNumber::kInternalError}, 1,
        [] { throw std::runtime_error("boom"); }},
       "内部错误"},
  };
  for (const auto& c : cases) {
    RaiseOutcome outcome = Raise(FaultySteps(c.fault));
    ASSERT_TRUE(outcome.error.has_value()) << c.report;
    const std::string report = ErrorReport(*outcome.error);
    EXPECT_EQ(outcome.error->number, c.fault.error.number) << report;
    EXPECT_NE(report.find(c.report), std::string::npos) << report;
    EXPECT_EQ(report.find(".tmp"), std::string::npos) << report;  // names the table itself
    EXPECT_EQ(report.find("boom"), std::string::npos) << report;  // and never in English
    EXPECT_EQ(outcome.lists.levels, "");
    EXPECT_EQ(ReadFile(folder_ / "t_mons.tbl"), set_.base) << report;
    EXPECT_EQ(Files(), files) << report;
  }
}

TEST_F(SaveTest, ABrieflyHeldTableAndThePlayersFilesAndMarksAreKept) {
  // Held for a moment by another program: waited for.
  ASSERT_FALSE(
      Raise(FaultySteps({Step::kReplace, Error{ErrorNumber::kPermissionDenied}, 5})).error);
  EXPECT_NE(ReadFile(folder_ / "t_mons.tbl"), set_.base);
  // A file of the player's under the name a simpler tool would use for its temporary copy.
  WriteFile(folder_ / "t_mons.tbl.new", std::string("mine"));
  // The first temporary name is taken: another one is tried.
  ASSERT_FALSE(
      Raise(FaultySteps({Step::kCreate, Error{ErrorNumber::kFileAlreadyExists}, 1})).error);
  EXPECT_EQ(ReadFile(folder_ / "t_mons.tbl.new"), Bytes({'m', 'i', 'n', 'e'}));
  EXPECT_EQ(Files(), 5);
#ifndef _WIN32  // Windows' attributes are checked by the Windows tests
  fs::permissions(folder_ / "t_mons.tbl", fs::perms(0640));
  ASSERT_FALSE(Raise(SaveSteps()).error);
  EXPECT_EQ(fs::status(folder_ / "t_mons.tbl").permissions(), fs::perms(0640));

  // A read-only table is refused before anything is written, and stays read-only.
  demo::WriteDemoSet(folder_.path, set_);
  fs::permissions(folder_ / "t_mons.tbl", fs::perms(0444));
  RaiseOutcome outcome = Raise(SaveSteps());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_NE(ErrorReport(*outcome.error).find("t_mons.tbl 是只读文件"), std::string::npos);
  EXPECT_EQ(fs::status(folder_ / "t_mons.tbl").permissions(), fs::perms(0444));
  EXPECT_EQ(ReadFile(folder_ / "t_mons.tbl"), set_.base);
#endif
}

}  // namespace
}  // namespace patch
