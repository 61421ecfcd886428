// Saving the patched table: whatever fails, t_mons.tbl stays as it was and nothing is left
// beside it; the player's own files and marks are kept.
#include "table_save.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <functional>
#include <new>
#include <stdexcept>

#include "demo_set.h"
#include "operations.h"
#include "test_folder.h"

namespace patch {
namespace {

using testing_support::ReadFile;
using testing_support::TestFolder;
namespace fs = std::filesystem;

enum class Step { kCreate, kWrite, kFlush, kReplace };

// The real steps, except that one of them fails `times` times with `error` (the file it names
// filled in), or throws when `raise` is set.
class FaultySteps : public SaveSteps {
 public:
  FaultySteps(Step step, Error error, int times = 1000, std::function<void()> raise = {})
      : step_(step), error_(std::move(error)), times_(times), raise_(std::move(raise)) {}
  Expected<File> CreateNew(const fs::path& path) override {
    if (Fails(Step::kCreate)) return About(path);
    return SaveSteps::CreateNew(path);
  }
  std::optional<Error> Write(File& file, std::span<const std::uint8_t> bytes) override {
    if (!Fails(Step::kWrite)) return SaveSteps::Write(file, bytes);
    file.Write(bytes.first(bytes.size() / 2));  // a disk that fills up halfway
    return About(file.path());
  }
  std::optional<Error> Flush(File& file) override {
    if (Fails(Step::kFlush)) return About(file.path());
    return SaveSteps::Flush(file);
  }
  std::optional<Error> Replace(const fs::path& from, const fs::path& to) override {
    if (Fails(Step::kReplace)) return About(to);
    return SaveSteps::Replace(from, to);
  }

 private:
  bool Fails(Step step) {
    if (step != step_ || times_ == 0) return false;
    --times_;
    if (raise_) raise_();
    return true;
  }
  Error About(const fs::path& path) const {
    Error error = error_;
    error.file = path;
    return error;
  }

  Step step_;
  Error error_;
  int times_;
  std::function<void()> raise_;
};

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override { demo::WriteDemoSet(folder_.path(), set_); }
  RaiseOutcome Raise(SaveSteps&& steps) { return RaiseLevels("10", folder_.path(), steps); }
  long Files() {
    return std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator());
  }

  TestFolder folder_;
  demo::DemoSet set_ = demo::MakeDemoSet(64 * 1024, 439);
};

TEST_F(SaveTest, AFailureAtAnyStepLeavesTheTableAndNoTemporaryFile) {
  const long files = Files();
  const auto outOfMemory = [] { throw std::bad_alloc(); };
  const auto english = [] { throw std::runtime_error("boom"); };
  Error held{ErrorNumber::kPermissionDenied};  // a sharing violation
  held.held = true;
  const struct {
    Step step;
    Error error;  // the step's error, or what its exception must become
    std::function<void()> raise;
    const char* report;  // a part of the error box's text
  } cases[] = {
      {Step::kCreate, Error{ErrorNumber::kPermissionDenied}, {}, "所在的文件夹不能写入"},
      {Step::kWrite, Error{ErrorNumber::kDiskFull}, {}, "腾出磁盘空间"},
      {Step::kFlush, Error{ErrorNumber::kDeviceIoError}, {}, "设备 I/O 错误"},
      {Step::kReplace, Error{ErrorNumber::kPathFileAccessError}, {}, "t_mons.tbl"},
      // Held by another program throughout: given up after a while, with what to do.
      {Step::kReplace, held, {}, "正被其他程序（例如游戏或杀毒软件）占用。请关闭该程序"},
      {Step::kWrite, Error{ErrorNumber::kOutOfMemory}, outOfMemory, "请关闭其他程序"},
      {Step::kReplace, Error{ErrorNumber::kInternalError}, english, "内部错误"},
  };
  for (const auto& c : cases) {
    RaiseOutcome outcome = Raise(FaultySteps(c.step, c.error, 1000, c.raise));
    ASSERT_TRUE(outcome.error.has_value()) << c.report;
    const std::string report = ErrorReport(*outcome.error);
    EXPECT_EQ(outcome.error->number, c.error.number) << report;
    EXPECT_NE(report.find(c.report), std::string::npos) << report;
    EXPECT_EQ(report.find(".tmp"), std::string::npos) << report;  // names the table itself
    EXPECT_EQ(report.find("boom"), std::string::npos) << report;  // and never in English
    EXPECT_EQ(outcome.lists.levels, "");
    EXPECT_EQ(ReadFile(folder_ / "t_mons.tbl"), set_.base) << report;
    EXPECT_EQ(Files(), files) << report;
  }
}

#ifndef _WIN32
TEST_F(SaveTest, AFileSizeLimitFailsTheWriteForReal) {
  // The system refuses to let the temporary copy grow past half the table.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit = old;
  limit.rlim_cur = set_.base.size() / 2;
  setrlimit(RLIMIT_FSIZE, &limit);
  RaiseOutcome outcome = Raise(SaveSteps());
  setrlimit(RLIMIT_FSIZE, &old);
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kDiskFull);
  EXPECT_EQ(ReadFile(folder_ / "t_mons.tbl"), set_.base);
  EXPECT_EQ(Files(), 4);
}
#endif

TEST_F(SaveTest, ABrieflyHeldTableAndThePlayersFilesAndMarksAreKept) {
  // Held for a moment by another program: waited for.
  ASSERT_FALSE(Raise(FaultySteps(Step::kReplace, Error{ErrorNumber::kPermissionDenied}, 5)).error);
  EXPECT_NE(ReadFile(folder_ / "t_mons.tbl"), set_.base);
  // A file of the player's under the name a simpler tool would use for its temporary copy.
  testing_support::WriteFile(folder_ / "t_mons.tbl.new", std::string("mine"));
  // The first temporary name is taken: another one is tried.
  ASSERT_FALSE(Raise(FaultySteps(Step::kCreate, Error{ErrorNumber::kFileAlreadyExists}, 1)).error);
  EXPECT_EQ(ReadFile(folder_ / "t_mons.tbl.new"), std::vector<std::uint8_t>({'m', 'i', 'n', 'e'}));
  EXPECT_EQ(Files(), 5);
#ifndef _WIN32  // Windows' attributes are checked by the Windows tests
  fs::permissions(folder_ / "t_mons.tbl", fs::perms(0640));
  ASSERT_FALSE(Raise(SaveSteps()).error);
  EXPECT_EQ(fs::status(folder_ / "t_mons.tbl").permissions(), fs::perms(0640));

  // A read-only table is refused before anything is written, and stays read-only.
  demo::WriteDemoSet(folder_.path(), set_);
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
