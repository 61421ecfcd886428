// The error box: the player's own numbers and descriptions, texts from files shown safely, and for
// every error and file, what the player can do.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "error.h"
#include "files.h"
#include "shown_text.h"

namespace patch {
namespace {

namespace fs = std::filesystem;

// As 使用说明.txt lists them.
TEST(ErrorBox, NumbersAndDescriptionsAreThePlayersOwn) {
  using enum ErrorNumber;
  // clang-format off
  const struct { ErrorNumber number; const char* head; } cases[] = {
      {kOverflow, "6':\n\n溢出"}, {kOutOfMemory, "7':\n\n内存不足"}, {kSubscriptOutOfRange, "9':\n\n下标越界"},
      {kTypeMismatch, "13':\n\n类型不匹配"}, {kInternalError, "51':\n\n内部错误"},
      {kBadFileNameOrNumber, "52':\n\n错误的文件名或号码"}, {kFileNotFound, "53':\n\n文件未找到"},
      {kDeviceIoError, "57':\n\n设备 I/O 错误"}, {kFileAlreadyExists, "58':\n\n文件已存在"},
      {kDiskFull, "61':\n\n磁盘已满"}, {kInputPastEndOfFile, "62':\n\n输入超出文件尾"},
      {kBadRecordNumber, "63':\n\n错误的记录号"}, {kDeviceUnavailable, "68':\n\n设备不可用"},
      {kPermissionDenied, "70':\n\n拒绝的权限"}, {kDiskNotReady, "71':\n\n磁盘未准备好"},
      {kPathFileAccessError, "75':\n\n路径/文件访问错误"}, {kPathNotFound, "76':\n\n路径未找到"},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_TRUE(ErrorReport(Error{c.number}).starts_with(std::string("运行时错误 '") + c.head))
        << ErrorReport(Error{c.number});
  }
}

// Control characters and bytes of no UTF-8 character (overlong, surrogate, past U+10FFFF, cut
// short) as \xNN; whole characters as they are; the text cut after 40 bytes, never inside one.
TEST(ErrorBox, TextsFromFilesAreShownEscapedAndCutBetweenCharacters) {
  const std::string forty(40, '1'), same = "";
  const struct {
    std::string text, shown;
  } cases[] = {
      {"\x80\x7F\x1F", "\\x80\\x7F\\x1F"},
      {"\xC2\x9F\xC1\xBF", "\\xC2\\x9F\\xC1\\xBF"},
      {"\xE0\x9F\xBF", "\\xE0\\x9F\\xBF"},
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
      {"\xF0\x8F\xBF\xBF", "\\xF0\\x8F\\xBF\\xBF"},
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
      {"\xF5\x80", "\\xF5\\x80"},
      {"a\xE4\xB8", "a\\xE4\\xB8"},
      {"\xC2\xA0\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
       same},
      {forty + "2", forty + "…"},
      {forty.substr(1) + "一", forty.substr(1) + "…"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shown(c.text), c.shown.empty() ? c.text : c.shown);
}

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
