// The error box: the player's numbers, texts from files shown safely, and what to do, always.
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

// As 使用说明.txt lists them, and as each box starts.
TEST(ErrorBox, NumbersAndDescriptionsAreThePlayersOwn) {
  std::string numbers;
  for (int number = 1; number < 100; ++number) {
    const std::string described = Describe(ErrorNumber{number});
    if (described == Describe(ErrorNumber{0})) continue;  // not the tool's
    numbers += std::to_string(number) + " " + described + ", ";
    const std::string head = "运行时错误 '" + std::to_string(number) + "':\n\n" + described;
    EXPECT_TRUE(ErrorReport(Error{ErrorNumber{number}}).starts_with(head)) << head;
  }
  EXPECT_EQ(numbers,
            "6 溢出, 7 内存不足, 9 下标越界, 13 类型不匹配, 51 内部错误, 52 错误的文件名或号码, "
            "53 文件未找到, 57 设备 I/O 错误, 58 文件已存在, 61 磁盘已满, 62 输入超出文件尾, "
            "63 错误的记录号, 68 设备不可用, 70 拒绝的权限, 71 磁盘未准备好, 75 路径/文件访问错误, "
            "76 路径未找到, ");
}

// Controls and bytes of no UTF-8 character (overlong, a surrogate, past U+10FFFF, cut short) are
// shown as \xNN; whole characters as they are; a text is cut after 40 bytes, never inside one.
TEST(ErrorBox, TextsFromFilesAreShownEscapedAndCutBetweenCharacters) {
  const std::string bad =
      "\x80\x7F\x1F\xC2\x9F\xC1\xBF\xE0\x9F\xBF\xED\xA0\x80\xF0\x8F\xBF\xBF\xF4\x90\x80\x80\xF5\xE4"
      "\xB8";
  const std::string whole =
      " "
      "\xC2\xA0\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
  std::string escaped, forty(40, '1');
  for (const unsigned char byte : bad)
    escaped += {'\\', 'x', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0xF]};
  EXPECT_EQ(Shown(bad), escaped);
  EXPECT_EQ(Shown(whole), whole);
  EXPECT_EQ(Shown(forty + "2"), forty + "…");
  EXPECT_EQ(Shown(forty.substr(1) + "一"), forty.substr(1) + "…");
}

TEST(Remedies, EveryNumberForEveryFileEndsWithHowToTryAgain) {
  // clang-format off
  const struct { Subject subject; fs::path file; const char* again; } files[] = {
      {Subject::kPatchedTable, fs::path("工具") / "t_mons.tbl", "再点“修改”"},
      {Subject::kPristineTable, fs::path("工具") / "t_mons0.tbl", "再点“修改”"},
      {Subject::kPositionList, fs::path("工具") / "drevon2.txt", "再点“修改”"},
      {Subject::kSavedList, fs::path("工具") / "drevon2.txt", "再按 Ctrl+S"},
      {Subject::kReferenceTable, fs::path("F:") / "t_mons0.tbl", "再点“对比”"},
      {Subject::kStep, {}, "再点“修改”"},
      {Subject::kNone, {}, "再试一次"},
  };
  // clang-format on
  for (int number = 1; number < 100; ++number) {
    if (Describe(ErrorNumber{number}) == Describe(ErrorNumber{0})) continue;  // not the tool's
    for (const auto& f : files) {
      for (Refusal refusal : {Refusal::kNone, Refusal::kReadOnly, Refusal::kHeld, Refusal::kFolder,
                              Refusal::kWriteProtected, Refusal::kTooLarge}) {
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
  for (const int code : {53, 67, 64, 59}) {  // bad net path or name, name deleted, unexpected
#else
  for (const int code : {ESTALE, ENETDOWN, ENETUNREACH, EHOSTDOWN, EHOSTUNREACH}) {
#endif
    Error error = SystemError(fs::path("F:") / "t_mons0.tbl", code);
    error.subject = Subject::kReferenceTable;
    EXPECT_EQ(error.number, ErrorNumber::kDeviceUnavailable) << code;
    EXPECT_NE(Remedy(error).find("网络驱动器已断开"), std::string::npos) << Remedy(error);
  }
}

}  // namespace
}  // namespace patch
