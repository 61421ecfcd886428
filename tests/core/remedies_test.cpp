// Every error box the tool can show ends with what the player can do.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "error.h"
#include "files.h"

namespace patch {
namespace {

namespace fs = std::filesystem;

TEST(Remedies, EveryNumberForEveryFileEndsWithHowToTryAgain) {
  // clang-format off
  const struct { Subject subject; fs::path file; const char* again; } files[] = {
      {Subject::kPatchedTable, fs::path("工具") / "t_mons.tbl", "再点“修改”"},
      {Subject::kPristineTable, fs::path("工具") / "t_mons0.tbl", "再点“修改”"},
      {Subject::kPositionList, fs::path("工具") / "drevon2.txt", "再点“修改”"},
      {Subject::kSavedList, fs::path("工具") / "drevon2.txt", "再按 Ctrl+S"},
      {Subject::kReferenceTable, fs::path("F:") / "t_mons0.tbl", "再点“对比”"},
      {Subject::kReferenceTable, fs::path("F:") / "t_mons100.tbl", "再点“对比”"},
      {Subject::kStep, {}, "再点“修改”"},
      {Subject::kNone, {}, "再试一次"},
  };
  // clang-format on
  for (int number = 1; number < 100; ++number) {
    if (Describe(ErrorNumber{number}) == Describe(ErrorNumber{0})) continue;  // not the tool's
    for (const auto& f : files) {
      for (Refusal refusal : {Refusal::kNone, Refusal::kReadOnly, Refusal::kHeld, Refusal::kFolder,
                              Refusal::kWriteProtected}) {
        Error error{ErrorNumber{number}, f.file};
        error.subject = f.subject;
        error.refusal = refusal;
        const std::string remedy = Remedy(error), report = ErrorReport(error),
                          name = f.file.filename().string();
        // The box ends with the remedy, the remedy with how to try again; about what the system
        // found of a file, it names the file.
        EXPECT_TRUE(
            report.ends_with("\n\n" + remedy) && remedy.ends_with(std::string(f.again) + "。") &&
            remedy.find('{') == std::string::npos &&
            (name.empty() || refusal == Refusal::kNone || remedy.find(name) != std::string::npos))
            << report;
      }
    }
  }
}

TEST(Remedies, AGoneNetworkPathIsADeviceNotThereNeverAMissingTable) {
#ifdef _WIN32
  const int codes[] = {53, 67, 64, 59};  // bad net path, bad net name, name deleted, unexpected
#else
  const int codes[] = {ESTALE, ENETDOWN, ENETUNREACH, EHOSTDOWN, EHOSTUNREACH};
#endif
  for (const int code : codes) {
    for (const Subject subject : {Subject::kReferenceTable, Subject::kPristineTable}) {
      Error error = SystemError(fs::path("F:") / "t_mons0.tbl", code);
      error.subject = subject;
      EXPECT_EQ(error.number, ErrorNumber::kDeviceUnavailable) << code;
      EXPECT_NE(Remedy(error).find("网络驱动器已断开"), std::string::npos) << Remedy(error);
    }
  }
}

}  // namespace
}  // namespace patch
