// What the player can do about an error: one line for every error number and every file.
#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "error.h"
#include "shown_text.h"

namespace patch {

namespace {

// The first row whose number, subject, refusal and drive match an error gives its remedy;
// kAnyNumber, Subject::kNone, Refusal::kNone and kAnyDrive in a row match any. In a text, {name}
// stands for the file's name, {again} for how the player tries again, {original} for where an
// original table comes from, {remake} for making t_mons.tbl again, {archive} for extracting the
// archive first, {kept} for the file a failed save left as it was, {disk} for the file's drive and
// {room} for the room a save needs.
constexpr auto kAnyNumber = ErrorNumber{0};
constexpr unsigned kAnyDrive = ~0u;
constexpr unsigned Drives(std::initializer_list<DriveKind> kinds) {
  unsigned bits = 0;
  for (DriveKind kind : kinds) bits |= 1u << static_cast<int>(kind);
  return bits;
}

struct RemedyRule {
  ErrorNumber number;
  Subject subject;
  Refusal refusal;
  const char* text;
  unsigned drives = kAnyDrive;
};

// After one round the game folder's t_mons.tbl is usually a raised one: t_mons0.tbl must never be
// made from it, and the only original beside the tool is never to be replaced unless it is at
// fault.
constexpr const char* kOriginal =
    "t_mons0.tbl 必须是从未修改过的原版 t_mons.tbl：如果还没把修改好的 t_mons.tbl 复制进游戏"
    "目录 \\data\\text\\dat_us\\，就用那里的 t_mons.tbl；如果已经复制过，那里的 t_mons.tbl 已经"
    "不是原版，请先用游戏自带的文件校验（修复）或重新安装游戏把它恢复成原版。";
// Opened from an archive, the tool lies in a folder the archive program deletes when it closes.
constexpr const char* kArchive =
    "本工具是在压缩文件里直接打开的，它所在的临时文件夹会在压缩软件关闭时被删除，{name} "
    "写在那里会一起丢失，所以没有写入。请先把压缩文件全部解压到一个单独的文件夹";
constexpr const char* kMakePristine =
    "本工具所在的文件夹里没有可用的 t_mons0.tbl。{original}然后把原版复制到本工具所在的文件夹，"
    "改名为 t_mons0.tbl，{again}。";
// A t_mons.tbl beside the tool that is no table is simply made again, from t_mons0.tbl.
constexpr const char* kRemakeTable =
    "本工具会用 t_mons0.tbl 重新生成 t_mons.tbl：请把本工具所在文件夹里的 t_mons.tbl 删除或移走"
    "（不要动 t_mons0.tbl），{again}。";
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
// F: is a drive with its medium out: its letter is taken, so subst cannot make F: from a folder.
constexpr const char* kEmptyDriveF =
    "F 盘是一个光驱或读卡器，里面没有光盘或存储卡。请放入存有 t_mons0.tbl 和 t_mons100.tbl 的"
    "光盘或存储卡；或者先在“磁盘管理”里把这个驱动器的盘符改成别的字母，再把这两个文件放到任意"
    "一个文件夹（例如 D:\\对比），在命令提示符里输入 subst F: \"D:\\对比\" 把它当作 F 盘，"
    "{again}。";

using enum ErrorNumber;
using enum Subject;
constexpr std::array kRemedies{
    // What the system found about the file, whatever the operation.
    RemedyRule{kAnyNumber, kPristineTable, Refusal::kFolder,
               "“t_mons0.tbl”是一个文件夹，不是文件。请把这个文件夹改名或移走；如果里面就有 "
               "t_mons0.tbl 文件，把它移到本工具所在的文件夹即可，否则请放上原版。{original}然后把"
               "原版复制到本工具所在的文件夹，改名为 t_mons0.tbl，{again}。"},
    RemedyRule{kAnyNumber, kPatchedTable, Refusal::kFolder,
               "“t_mons.tbl”是一个文件夹，不是文件。本工具会用 t_mons0.tbl 重新生成 t_mons.tbl："
               "请把这个文件夹改名或移走（不要动 t_mons0.tbl），{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kFolder,
               "“{name}”是一个文件夹，不是文件。请把这个文件夹改名或移走，放上真正的 {name}，"
               "{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kHeld,
               "{name} 正被其他程序（例如游戏或十六进制编辑器）占用。请关闭该程序，稍等片刻，"
               "{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kReadOnly,
               "{name} 是只读文件。请在它的“属性”里取消“只读”，{again}。"},
    RemedyRule{kAnyNumber, kSavedList, Refusal::kTemporaryFolder,
               "{archive}，从那里打开本工具，点“对比”，{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kTemporaryFolder,
               "{archive}（t_mons0.tbl、t_mons.tbl 和 drevon2.txt 要在 quarnel2-patcher.exe "
               "旁边），从那里打开本工具，{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kVanished,
               "本工具刚写好的临时文件 {name} 不见了，很可能被安全软件（例如 360、火绒、Windows "
               "安全中心）当作可疑文件删除或隔离了。{kept} 保持原样，没有被修改。请在安全软件里"
               "允许本工具（或把它加入信任区），或者稍等片刻，{again}。"},
    RemedyRule{kAnyNumber, kReferenceTable, Refusal::kTooLarge,
               "{name} 超过 2 GB，不会是怪物表。请把同一个怪物表的原版和每个敌人等级都提高了 100 "
               "的版本放到 F 盘根目录，{again}。"},
    RemedyRule{kAnyNumber, kPatchedTable, Refusal::kTooLarge,
               "t_mons.tbl 超过 2 GB，不会是怪物表。{remake}"},
    RemedyRule{kAnyNumber, kPristineTable, Refusal::kTooLarge,
               "t_mons0.tbl 超过 2 GB，不会是怪物表。{original}然后用原版替换本工具所在文件夹里的 "
               "t_mons0.tbl，{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kTooLarge,
               "{name} 超过 2 GB，不会是本工具的文件。请换上正确的 {name}，{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kWriteProtected,
               "{name} 所在的磁盘有写保护（例如写保护的 U 盘或光盘）。请把本工具和它旁边的文件"
               "复制到可以写入的文件夹，{again}。"},
    // The step typed by the player.
    RemedyRule{kAnyNumber, kStep, Refusal::kNone,
               "t_mons.tbl 没有被修改。请在“提高敌人等级”框里只输入一个 1 到 100 的数，"
               "例如 10 或 2.5，{again}。"},
    // The position list.
    RemedyRule{kFileNotFound, kPositionList, Refusal::kNone, kPlaceList},
    RemedyRule{kPathNotFound, kPositionList, Refusal::kNone, kPlaceList},
    RemedyRule{kTypeMismatch, kPositionList, Refusal::kNone, kFixListLine},
    RemedyRule{kOverflow, kPositionList, Refusal::kNone, kFixListLine},
    RemedyRule{kBadRecordNumber, kPositionList, Refusal::kNone, kFixListLine},
    RemedyRule{kInputPastEndOfFile, kPositionList, Refusal::kNone,
               "drevon2.txt 至少要有 439 行，每行一个位置。请补全它（或用“对比”重新制作），"
               "{again}。"},
    // The two tables beside the tool.
    RemedyRule{kFileNotFound, kPristineTable, Refusal::kNone, kMakePristine},
    RemedyRule{kPathNotFound, kPristineTable, Refusal::kNone, kMakePristine},
    RemedyRule{kBadRecordNumber, kPristineTable, Refusal::kNone,
               "这个位置超出了 t_mons0.tbl 的长度：drevon2.txt 不是为这个版本的怪物表制作的，或者 "
               "t_mons0.tbl 不完整。请用“对比”重新制作 drevon2.txt；t_mons0.tbl 不完整时，请用原版"
               "替换本工具所在文件夹里的 t_mons0.tbl。{original}然后{again}。"},
    RemedyRule{
        kTypeMismatch, kPristineTable, Refusal::kNone,
        "t_mons0.tbl 比 t_mons.tbl 短，所以没有修改。如果游戏更新过，或者 t_mons0.tbl 没有复制"
        "完整，请用原版替换本工具所在文件夹里的 t_mons0.tbl（游戏更新过时还要用“对比”重新"
        "制作 drevon2.txt）。{original}如果都不是，多半是 t_mons.tbl 不对：{remake}"},
    RemedyRule{kTypeMismatch, kPatchedTable, Refusal::kNone,
               "t_mons.tbl 比 t_mons0.tbl 短，多半是没有复制完整，所以没有修改。{remake}"},
    RemedyRule{kOverflow, kPatchedTable, Refusal::kNone,
               "这个敌人的原等级加上提高值超过了 255。请输入小一些的数，{again}。"},
    RemedyRule{kPermissionDenied, kPatchedTable, Refusal::kNone, kCannotWrite},
    RemedyRule{kDeviceIoError, kPatchedTable, Refusal::kNone,
               "读写 t_mons.tbl 时磁盘出错。请检查磁盘或 U 盘是否接好；如果 t_mons.tbl 本身坏了，"
               "{remake}"},
    RemedyRule{kPermissionDenied, kPristineTable, Refusal::kNone,
               "无法读取 t_mons0.tbl：它可能正被其他程序占用，或者没有读取它的权限。请关闭占用它"
               "的程序，或在它的“属性”→“安全”里允许读取，{again}。"},
    // The reference tables on drive F:.
    RemedyRule{kFileNotFound, kReferenceTable, Refusal::kNone, kPlaceReferences},
    RemedyRule{kDiskNotReady, kReferenceTable, Refusal::kNone, kEmptyDriveF,
               Drives({DriveKind::kRemovable, DriveKind::kOptical})},
    RemedyRule{kPathNotFound, kReferenceTable, Refusal::kNone, kEmptyDriveF,
               Drives({DriveKind::kRemovable, DriveKind::kOptical})},
    RemedyRule{kPathNotFound, kReferenceTable, Refusal::kNone, kNotReady,
               Drives({DriveKind::kRemote})},
    // No such folder: the drive itself is missing, as on most laptops.
    RemedyRule{kPathNotFound, kReferenceTable, Refusal::kNone,
               "这台电脑现在没有 F 盘。如果 F 盘是一个拔出了的 U 盘或移动硬盘，请把它重新插上，"
               "{again}；否则请把 t_mons0.tbl 和 t_mons100.tbl 放到任意一个文件夹（例如 "
               "D:\\对比），在命令提示符里输入 subst F: \"D:\\对比\" 把它当作 F 盘（用完后输入 "
               "subst F: /d 取消），{again}。"},
    // The saved position list.
    RemedyRule{kPermissionDenied, kSavedList, Refusal::kNone, kCannotWrite},
    // Any file.
    RemedyRule{kPermissionDenied, kNone, Refusal::kNone,
               "无法读取 {name}：它可能正被其他程序占用，或者没有读取它的权限。请关闭占用它的"
               "程序，或重新复制一份 {name}，{again}。"},
    RemedyRule{kFileAlreadyExists, kNone, Refusal::kNone,
               "{name} 旁边的临时文件名都被占用了。请删除本工具所在文件夹里以 .tmp 结尾的旧临时"
               "文件，{again}。"},
    RemedyRule{kDiskFull, kNone, Refusal::kNone,
               "{disk}已满{room}。请在 {disk}上腾出空间（例如清空回收站、删除不用的文件），"
               "{again}。"},
    RemedyRule{kOutOfMemory, kNone, Refusal::kNone, "内存不足。请关闭其他程序，{again}。"},
    RemedyRule{kDeviceIoError, kNone, Refusal::kNone,
               "读写 {name} 时磁盘出错。请检查磁盘或 U 盘是否接好，必要时把文件复制到别的磁盘，"
               "{again}。"},
    RemedyRule{kDiskNotReady, kNone, Refusal::kNone, kNotReady},
    RemedyRule{kDeviceUnavailable, kNone, Refusal::kNone, kNotReady},
    RemedyRule{kBadFileNameOrNumber, kNone, Refusal::kNone,
               "{name} 的路径太长或含有系统不接受的字符。请把本工具放到路径短一些的文件夹"
               "（例如 D:\\Quarnel2补丁），{again}。"},
    // Nothing specific fits: what was left as it was, and what to check.
    RemedyRule{kAnyNumber, kPositionList, Refusal::kNone,
               "t_mons.tbl 没有被修改。请检查 drevon2.txt 能否用记事本正常打开，{again}。"},
    RemedyRule{kAnyNumber, kPristineTable, Refusal::kNone,
               "t_mons.tbl 没有被修改。请检查 t_mons0.tbl 能否正常读取，{again}。"},
    RemedyRule{kAnyNumber, kPatchedTable, Refusal::kNone,
               "t_mons.tbl 保持原样，没有被修改。请检查 t_mons.tbl 和它所在的文件夹能否正常"
               "写入，{again}。"},
    RemedyRule{kAnyNumber, kReferenceTable, Refusal::kNone,
               "没有修改任何文件。请检查 F 盘上的 {name} 能否正常读取，{again}。"},
    RemedyRule{kAnyNumber, kSavedList, Refusal::kNone,
               "drevon2.txt 保持原样，没有被修改。请检查 drevon2.txt 和它所在的文件夹能否正常"
               "写入，{again}。"},
    RemedyRule{kAnyNumber, kNone, Refusal::kNone,
               "没有修改任何文件。请关闭本工具后重新打开，再试一次。"},
};

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

// The drive a file lies on as the player knows it ("D 盘"), or the file's own disk.
std::string Disk(const std::filesystem::path& file, const std::string& name) {
  const std::string path = PathText(file);
  const char letter = static_cast<char>(path.size() >= 2 && path[1] == ':' ? path[0] & ~0x20 : 0);
  if (letter >= 'A' && letter <= 'Z') return std::string(1, letter) + " 盘";
  return (name.empty() ? std::string("文件") : name) + " 所在的磁盘";
}

// How much room saving the file needs, in whole KB (rounded up) or MB from 10 MB on.
std::string Room(const Error& error, const std::string& name) {
  if (error.bytesToSave == 0 || name.empty()) return {};
  const std::uint64_t kb = (error.bytesToSave + 1023) / 1024;
  const std::string size =
      kb < 10 * 1024 ? std::to_string(kb) + " KB" : std::to_string((kb + 1023) / 1024) + " MB";
  return "：保存 " + name + " 需要约 " + size + " 可用空间";
}

// The file that a save left as it was.
const char* Kept(Subject subject) {
  return subject == kSavedList      ? "drevon2.txt"
         : subject == kPatchedTable ? "t_mons.tbl"
                                    : "原来的文件";
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

}  // namespace

std::string Remedy(const Error& error) {
  for (const RemedyRule& rule : kRemedies) {
    if ((rule.number == kAnyNumber || rule.number == error.number) &&
        (rule.subject == kNone || rule.subject == error.subject) &&
        (rule.refusal == Refusal::kNone || rule.refusal == error.refusal) &&
        ((rule.drives >> static_cast<int>(error.drive)) & 1u)) {
      std::string text = rule.text;
      const std::string name = PathText(error.file.filename());
      ReplaceAll(text, "{original}", kOriginal);
      ReplaceAll(text, "{remake}", kRemakeTable);
      ReplaceAll(text, "{archive}", kArchive);
      ReplaceAll(text, "{room}", Room(error, name));
      ReplaceAll(text, "{disk}", Disk(error.file, name));
      ReplaceAll(text, "{kept}", Kept(error.subject));
      ReplaceAll(text, "{name}", name.empty() ? "文件" : name);
      ReplaceAll(text, "{again}", Again(error.subject));
      return text;
    }
  }
  return {};  // never reached: the last row matches every error
}

}  // namespace patch
