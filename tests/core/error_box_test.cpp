// The error box: the player's numbers, texts from files shown safely, and what to do, always.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

#include "error.h"
#include "files.h"
#include "shown_text.h"

namespace patch {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Controls and bytes of no UTF-8 character (overlong, a surrogate, past U+10FFFF, cut short) are
// shown as \xNN; whole characters as they are; a text is cut after 40 bytes, never inside one.
TEST(ErrorBox, TextsFromFilesAreShownEscapedAndCutBetweenCharacters) {
  const std::string bad =
      "\xC3\x7F\x80\x7F\x1F\xC2\x9F\xC1\xBF\xE0\x9F\xBF\xED\xA0\x80\xF0\x8F\xBF\xBF"
      "\xF4\x90\x80\x80\xF5\xE4\xB8";
  const std::string whole =
      "\xC2\xA0\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF ";
  std::string escaped, forty(40, '1');
  for (const unsigned char byte : bad)
    escaped += {'\\', 'x', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0xF]};
  EXPECT_EQ(Shown(bad), escaped);
  EXPECT_EQ(Shown(whole), whole);
  EXPECT_EQ(Shown(forty + "2"), forty + "…");
  EXPECT_EQ(Shown(forty.substr(1) + "一"), forty.substr(1) + "…");
}

// Every box starts with the number and description 使用说明.txt lists, and ends with what to do;
// no advice puts the only original t_mons0.tbl at risk: only a t_mons0.tbl at fault is to be
// replaced, and never by the game folder's t_mons.tbl without saying that it must be one no raise
// has overwritten.
TEST(ErrorBox, EveryNumberIsThePlayersOwnAndEveryRemedySaysHowToTryAgainAndKeepsTheOriginal) {
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
  std::string numbers;
  for (int number = 1; number < 100; ++number) {
    const std::string described = Describe(ErrorNumber{number});
    if (described == Describe(ErrorNumber{0})) continue;  // not the tool's
    numbers += std::to_string(number) + " " + described + ", ";
    const std::string head = "运行时错误 '" + std::to_string(number) + "':\n\n" + described;
    for (const auto& f : files) {
      for (int refusal = 0; refusal <= static_cast<int>(Refusal::kVanished); ++refusal) {
        for (int drive = 0; drive <= static_cast<int>(DriveKind::kRemote); ++drive) {
          Error error{ErrorNumber{number}, f.file};
          error.subject = f.subject;
          error.refusal = Refusal{refusal};
          error.drive = DriveKind{drive};
          const std::string remedy = Remedy(error), report = ErrorReport(error),
                            name = f.file.filename().string();
          const auto says = [&](const std::string& part) {
            return remedy.find(part) != remedy.npos;
          };
          // The box ends with the remedy, the remedy with how to try again; about what the
          // system found of a file, it names the file.
          EXPECT_TRUE(report.starts_with(head) && report.ends_with("\n\n" + remedy) &&
                      remedy.ends_with(std::string(f.again) + "。") && !says("{") &&
                      (name.empty() || refusal == 0 || says(name)))
              << report;
          const bool original = says("游戏自带的文件校验");
          EXPECT_TRUE(!says("游戏目录") || original) << report;
          EXPECT_TRUE((!says("为 t_mons0.tbl") && !says("替换")) ||
                      (original && f.subject == Subject::kPristineTable))
              << report;
        }
      }
    }
  }
  EXPECT_EQ(numbers,
            "6 溢出, 7 内存不足, 9 下标越界, 13 类型不匹配, 51 内部错误, 52 错误的文件名或号码, "
            "53 文件未找到, 57 设备 I/O 错误, 58 文件已存在, 61 磁盘已满, 62 输入超出文件尾, "
            "63 错误的记录号, 68 设备不可用, 70 拒绝的权限, 71 磁盘未准备好, 75 路径/文件访问错误, "
            "76 路径未找到, ");
}

// The advice that depends on what the system says of the drive and of the file.
TEST(Remedies, TellTheDriveAsItIsAndTheRoomASaveNeeds) {
  using enum ErrorNumber;
  using enum DriveKind;
  // clang-format off
  const struct { ErrorNumber number; DriveKind drive; const char* says; fs::path file = "F:/t_mons0.tbl";
                 std::uint64_t bytesToSave = 0; } cases[] = {
      {kPathNotFound, kNone, "请把它重新插上，再点“对比”；否则请把 t_mons0.tbl"},
      {kPathNotFound, kUnknown, "subst F: \"D:\\对比\" 把它当作 F 盘"},
      {kPathNotFound, kOptical, "F 盘是一个光驱或读卡器，里面没有光盘"},
      {kDiskNotReady, kRemovable, "在“磁盘管理”里把这个驱动器的盘符改成"},
      {kDiskNotReady, kOptical, "F 盘是一个光驱或读卡器"},
      {kPathNotFound, kRemovable, "F 盘是一个光驱或读卡器"},
      {kDiskNotReady, kRemote, "网络驱动器已断开"},
      {kPathNotFound, kRemote, "网络驱动器已断开"},
      {kDiskFull, kFixed, "E 盘已满：保存 t_mons.tbl 需要约 152 KB 可用空间。请在 E 盘上腾出空间", "e:/工具/t_mons.tbl", 155'000},
      {kDiskFull, kFixed, "Z 盘已满：保存 t_mons.tbl 需要约 10 MB 可用空间", "z:/t_mons.tbl", 10 << 20},
  };
  // clang-format on
  for (const auto& c : cases) {
    Error error{c.number, c.file};
    error.subject = Subject::kReferenceTable;
    error.drive = c.drive;
    error.bytesToSave = c.bytesToSave;
    EXPECT_THAT(Remedy(error), HasSubstr(c.says));
  }
}

// Network and removable media as players meet them: a gone share or path is a device no longer
// there, never a missing table; an empty drive is not ready; a share refusing is a refusal.
TEST(Remedies, TheSystemsCodesForNetworksAndRemovableMedia) {
  using enum ErrorNumber;
#ifdef _WIN32
  // bad net path or name, name deleted, unexpected, unreachable, timeout, not connected, not
  // listening; no media; network access denied
  const std::pair<int, ErrorNumber> codes[] = {
      {53, kDeviceUnavailable},   {67, kDeviceUnavailable},   {64, kDeviceUnavailable},
      {59, kDeviceUnavailable},   {1231, kDeviceUnavailable}, {121, kDeviceUnavailable},
      {2250, kDeviceUnavailable}, {51, kDeviceUnavailable},   {1112, kDiskNotReady},
      {65, kPermissionDenied}};
  // A drive letter the system lacks, and the system's own drive.
  wchar_t unused = L'Z';
  while (unused > L'D' && (GetLogicalDrives() >> (unused - L'A') & 1)) --unused;
  EXPECT_EQ(DriveKindOf(fs::path(std::wstring(1, unused) + L":\\t_mons0.tbl")), DriveKind::kNone);
  EXPECT_EQ(DriveKindOf(fs::temp_directory_path()), DriveKind::kFixed);
  EXPECT_EQ(SystemError(fs::path(std::wstring(1, unused) + L":\\t_mons0.tbl"), 3).drive,
            DriveKind::kNone);
#else
  const std::pair<int, ErrorNumber> codes[] = {
      {ESTALE, kDeviceUnavailable},       {ENETDOWN, kDeviceUnavailable},
      {ENETUNREACH, kDeviceUnavailable},  {EHOSTDOWN, kDeviceUnavailable},
      {EHOSTUNREACH, kDeviceUnavailable}, {ETIMEDOUT, kDeviceUnavailable},
      {ENOTCONN, kDeviceUnavailable},     {ENOMEDIUM, kDiskNotReady}};
#endif
  for (const auto& [code, number] : codes) {
    Error error = SystemError(fs::path("F:") / "t_mons0.tbl", code);
    error.subject = Subject::kReferenceTable;
    EXPECT_EQ(error.number, number) << code;
    if (number == kDeviceUnavailable) {
      EXPECT_THAT(Remedy(error), HasSubstr("网络驱动器已断开"));
    }
  }
}

}  // namespace
}  // namespace patch
