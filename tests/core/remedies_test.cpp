// Every error box the tool can show ends with what the player can do.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "error.h"

namespace patch {
namespace {

namespace fs = std::filesystem;

TEST(Remedies, EveryNumberForEveryFileEndsWithHowToTryAgain) {
  const struct {
    Subject subject;
    fs::path file;
    const char* again;  // how the player tries again after it
  } files[] = {
      {Subject::kPatchedTable, fs::path("工具") / "t_mons.tbl", "再点“修改”"},
      {Subject::kPristineTable, fs::path("工具") / "t_mons0.tbl", "再点“修改”"},
      {Subject::kPositionList, fs::path("工具") / "drevon2.txt", "再点“修改”"},
      {Subject::kSavedList, fs::path("工具") / "drevon2.txt", "再按 Ctrl+S"},
      {Subject::kReferenceTable, fs::path("F:") / "t_mons0.tbl", "再点“对比”"},
      {Subject::kReferenceTable, fs::path("F:") / "t_mons100.tbl", "再点“对比”"},
      {Subject::kStep, {}, "再点“修改”"},
      {Subject::kNone, {}, "再试一次"},
  };
  int numbers = 0;
  for (int number = 1; number < 100; ++number) {
    if (Describe(ErrorNumber{number}) == Describe(ErrorNumber{0})) continue;  // not the tool's
    ++numbers;
    for (const auto& f : files) {
      for (Mark mark :
           {Mark::kNone, Mark::kReadOnly, Mark::kHeld, Mark::kFolder, Mark::kWriteProtected}) {
        Error error{ErrorNumber{number}, f.file};
        error.subject = f.subject;
        error.mark = mark;
        const std::string remedy = Remedy(error), report = ErrorReport(error);
        SCOPED_TRACE(report);
        EXPECT_TRUE(report.ends_with("\n\n" + remedy));
        EXPECT_TRUE(remedy.ends_with(std::string(f.again) + "。"));
        EXPECT_EQ(remedy.find('{'), std::string::npos);
        // A remedy about one of the files names that file.
        const std::string name = f.file.filename().string();
        EXPECT_TRUE(name.empty() || mark == Mark::kNone || remedy.find(name) != std::string::npos);
      }
    }
  }
  EXPECT_EQ(numbers, 17);
}

}  // namespace
}  // namespace patch
