// What the player can do about an error: one line for every error number and every file.
#include <array>
#include <string>
#include <string_view>

#include "error.h"
#include "shown_text.h"

namespace patch {

namespace {

// The first row whose number, subject and refusal match an error gives its remedy; kAnyNumber,
// Subject::kNone and Refusal::kNone in a row match any. In a text, {name} stands for the file's
// name and {again} for how the player tries again.
constexpr auto kAnyNumber = ErrorNumber{0};

struct RemedyRule {
  ErrorNumber number;
  Subject subject;
  Refusal refusal;
  const char* text;
};

constexpr const char* kCopyPristine =
    "请把游戏目录 \\data\\text\\dat_us\\ 里原版的 t_mons.tbl 复制到本工具所在的文件夹，"
    "并改名为 t_mons0.tbl，{again}。";
constexpr const char* kPlaceList =
    "请把位置列表 drevon2.txt 放到本工具所在的文件夹（可以点“对比”找出位置后按 Ctrl+S "
    "保存），{again}。";
constexpr const char* kPlaceReferences =
    "请把原版怪物表 t_mons0.tbl 和每个敌人等级都提高了 100 的 t_mons100.tbl "
    "放到 F 盘根目录，{again}。";
constexpr const char* kFixListLine =
    "请改正 drevon2.txt 的这一行：每行只写一个字节位置（正整数），{again}。";
constexpr const char* kNotReady =
    "{name} 所在的磁盘没有准备好或无法访问（例如 U 盘已拔出、网络驱动器已断开）。"
    "请接好磁盘，{again}。";
constexpr const char* kCannotWrite =
    "无法写入 {name}：它可能正被其他程序占用，或者所在的文件夹不能写入。请关闭占用它的程序，"
    "或把本工具和表放到可以写入的文件夹（不要放在 Program Files 里），{again}。";

using enum ErrorNumber;
constexpr std::array kRemedies{
    // What the system found about the file, whatever the operation.
    RemedyRule{kAnyNumber, Subject::kNone, Refusal::kFolder,
               "“{name}”是一个文件夹，不是文件。请把这个文件夹改名或移走，放上真正的 {name}，"
               "{again}。"},
    RemedyRule{kAnyNumber, Subject::kNone, Refusal::kHeld,
               "{name} 正被其他程序（例如游戏或十六进制编辑器）占用。请关闭该程序，稍等片刻，"
               "{again}。"},
    RemedyRule{kAnyNumber, Subject::kNone, Refusal::kReadOnly,
               "{name} 是只读文件。请在它的“属性”里取消“只读”，{again}。"},
    RemedyRule{kAnyNumber, Subject::kReferenceTable, Refusal::kTooLarge,
               "{name} 超过 2 GB，不会是怪物表。请把同一个怪物表的原版和每个敌人等级都提高了 100 "
               "的版本放到 F 盘根目录，{again}。"},
    RemedyRule{kAnyNumber, Subject::kNone, Refusal::kTooLarge,
               "{name} 超过 2 GB，不会是怪物表。请把游戏目录 \\data\\text\\dat_us\\ 里原版的 "
               "t_mons.tbl 复制到本工具所在的文件夹，并命名为 {name}，{again}。"},
    RemedyRule{kAnyNumber, Subject::kNone, Refusal::kWriteProtected,
               "{name} 所在的磁盘有写保护（例如写保护的 U 盘或光盘）。请把本工具和它旁边的文件"
               "复制到可以写入的文件夹，{again}。"},
    // The step typed by the player.
    RemedyRule{kAnyNumber, Subject::kStep, Refusal::kNone,
               "t_mons.tbl 没有被修改。请在“提高敌人等级”框里只输入一个 1 到 100 的数，"
               "例如 10 或 2.5，{again}。"},
    // The position list.
    RemedyRule{kFileNotFound, Subject::kPositionList, Refusal::kNone, kPlaceList},
    RemedyRule{kPathNotFound, Subject::kPositionList, Refusal::kNone, kPlaceList},
    RemedyRule{kTypeMismatch, Subject::kPositionList, Refusal::kNone, kFixListLine},
    RemedyRule{kOverflow, Subject::kPositionList, Refusal::kNone, kFixListLine},
    RemedyRule{kBadRecordNumber, Subject::kPositionList, Refusal::kNone, kFixListLine},
    RemedyRule{kInputPastEndOfFile, Subject::kPositionList, Refusal::kNone,
               "drevon2.txt 至少要有 439 行，每行一个位置。请补全它（或用“对比”重新制作），"
               "{again}。"},
    // The two tables beside the tool.
    RemedyRule{kFileNotFound, Subject::kPristineTable, Refusal::kNone, kCopyPristine},
    RemedyRule{kPathNotFound, Subject::kPristineTable, Refusal::kNone, kCopyPristine},
    RemedyRule{kBadRecordNumber, Subject::kPristineTable, Refusal::kNone,
               "这个位置超出了 t_mons0.tbl 的长度：t_mons0.tbl 不完整，或者 drevon2.txt 不是为"
               "这个版本的怪物表制作的。请重新复制原版的 t_mons0.tbl，或用“对比”重新制作 "
               "drevon2.txt，{again}。"},
    RemedyRule{kTypeMismatch, Subject::kPatchedTable, Refusal::kNone,
               "t_mons.tbl 和 t_mons0.tbl 不是同一版本的怪物表（或者其中一个没有复制完整），"
               "所以没有修改。请把游戏目录 \\data\\text\\dat_us\\ 里原版的 t_mons.tbl 复制到"
               "本工具所在的文件夹，再复制一份并改名为 t_mons0.tbl，{again}。"},
    RemedyRule{kOverflow, Subject::kPatchedTable, Refusal::kNone,
               "这个敌人的原等级加上提高值超过了 255。请输入小一些的数，{again}。"},
    RemedyRule{kPermissionDenied, Subject::kPatchedTable, Refusal::kNone, kCannotWrite},
    // The reference tables on drive F:.
    RemedyRule{kFileNotFound, Subject::kReferenceTable, Refusal::kNone, kPlaceReferences},
    // No such folder: the drive itself is missing, as on most laptops.
    RemedyRule{kPathNotFound, Subject::kReferenceTable, Refusal::kNone,
               "这台电脑没有 F 盘。请把 t_mons0.tbl 和 t_mons100.tbl 放到任意一个文件夹（例如 "
               "D:\\对比），在命令提示符里输入 subst F: \"D:\\对比\" 把它当作 F 盘（用完后输入 "
               "subst F: /d 取消），{again}。"},
    // The saved position list.
    RemedyRule{kPermissionDenied, Subject::kSavedList, Refusal::kNone, kCannotWrite},
    // Any file.
    RemedyRule{kPermissionDenied, Subject::kNone, Refusal::kNone,
               "无法读取 {name}：它可能正被其他程序占用，或者没有读取它的权限。请关闭占用它的"
               "程序，或重新复制一份 {name}，{again}。"},
    RemedyRule{kFileAlreadyExists, Subject::kNone, Refusal::kNone,
               "{name} 旁边的临时文件名都被占用了。请删除本工具所在文件夹里以 .tmp 结尾的旧临时"
               "文件，{again}。"},
    RemedyRule{kDiskFull, Subject::kNone, Refusal::kNone, "磁盘已满。请腾出磁盘空间，{again}。"},
    RemedyRule{kOutOfMemory, Subject::kNone, Refusal::kNone, "内存不足。请关闭其他程序，{again}。"},
    RemedyRule{kDeviceIoError, Subject::kNone, Refusal::kNone,
               "读写 {name} 时磁盘出错。请检查磁盘或 U 盘是否接好，必要时把文件复制到别的磁盘，"
               "{again}。"},
    RemedyRule{kDiskNotReady, Subject::kNone, Refusal::kNone, kNotReady},
    RemedyRule{kDeviceUnavailable, Subject::kNone, Refusal::kNone, kNotReady},
    RemedyRule{kBadFileNameOrNumber, Subject::kNone, Refusal::kNone,
               "{name} 的路径太长或含有系统不接受的字符。请把本工具放到路径短一些的文件夹"
               "（例如 D:\\Quarnel2补丁），{again}。"},
    // Nothing specific fits: what was left as it was, and what to check.
    RemedyRule{kAnyNumber, Subject::kPositionList, Refusal::kNone,
               "t_mons.tbl 没有被修改。请检查 drevon2.txt 能否用记事本正常打开，{again}。"},
    RemedyRule{kAnyNumber, Subject::kPristineTable, Refusal::kNone,
               "t_mons.tbl 没有被修改。请检查 t_mons0.tbl 能否正常读取（必要时重新复制原版"
               "怪物表），{again}。"},
    RemedyRule{kAnyNumber, Subject::kPatchedTable, Refusal::kNone,
               "t_mons.tbl 保持原样，没有被修改。请检查 t_mons.tbl 和它所在的文件夹能否正常"
               "写入，{again}。"},
    RemedyRule{kAnyNumber, Subject::kReferenceTable, Refusal::kNone,
               "没有修改任何文件。请检查 F 盘上的 {name} 能否正常读取，{again}。"},
    RemedyRule{kAnyNumber, Subject::kSavedList, Refusal::kNone,
               "drevon2.txt 保持原样，没有被修改。请检查 drevon2.txt 和它所在的文件夹能否正常"
               "写入，{again}。"},
    RemedyRule{kAnyNumber, Subject::kNone, Refusal::kNone,
               "没有修改任何文件。请关闭本工具后重新打开，再试一次。"},
};

// Beside a tool opened straight from an archive, in the archive program's temporary folder, no
// file of the player's can be: it must be extracted first.
constexpr std::string_view kExtractFirst =
    "本工具是在压缩文件里直接打开的，它旁边没有 t_mons0.tbl、t_mons.tbl 和 drevon2.txt。请先把"
    "压缩文件解压到一个单独的文件夹，把这三个文件放在 quarnel2-patcher.exe 旁边，从那里打开本"
    "工具，再点“修改”。";

// How the player tries again after an error about this input.
const char* Again(Subject subject) {
  switch (subject) {
    case Subject::kReferenceTable:
      return "再点“对比”";
    case Subject::kSavedList:
      return "再按 Ctrl+S";
    case Subject::kNone:
      return "再试一次";
    default:
      return "再点“修改”";
  }
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

}  // namespace

std::string Remedy(const Error& error) {
  const bool besideTool =
      error.subject == Subject::kPositionList || error.subject == Subject::kPristineTable;
  if (error.toolInTemporaryFolder && besideTool &&
      (error.number == kFileNotFound || error.number == kPathNotFound)) {
    return std::string(kExtractFirst);
  }
  for (const RemedyRule& rule : kRemedies) {
    if ((rule.number == kAnyNumber || rule.number == error.number) &&
        (rule.subject == Subject::kNone || rule.subject == error.subject) &&
        (rule.refusal == Refusal::kNone || rule.refusal == error.refusal)) {
      std::string text = rule.text;
      const std::string name = PathText(error.file.filename());
      ReplaceAll(text, "{name}", name.empty() ? "文件" : name);
      ReplaceAll(text, "{again}", Again(error.subject));
      return text;
    }
  }
  return {};  // never reached: the last row matches every error
}

}  // namespace patch
