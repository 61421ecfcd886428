#include "error.h"

#include <array>
#include <new>

#include "program_folder.h"

namespace patch {

namespace {

struct Description {
  ErrorNumber number;
  const char* text;
};

constexpr std::array kDescriptions{
    Description{ErrorNumber::kOverflow, "溢出"},
    Description{ErrorNumber::kOutOfMemory, "内存不足"},
    Description{ErrorNumber::kSubscriptOutOfRange, "下标越界"},
    Description{ErrorNumber::kTypeMismatch, "类型不匹配"},
    Description{ErrorNumber::kInternalError, "内部错误"},
    Description{ErrorNumber::kBadFileNameOrNumber, "错误的文件名或号码"},
    Description{ErrorNumber::kFileNotFound, "文件未找到"},
    Description{ErrorNumber::kDeviceIoError, "设备 I/O 错误"},
    Description{ErrorNumber::kFileAlreadyExists, "文件已存在"},
    Description{ErrorNumber::kDiskFull, "磁盘已满"},
    Description{ErrorNumber::kInputPastEndOfFile, "输入超出文件尾"},
    Description{ErrorNumber::kBadRecordNumber, "错误的记录号"},
    Description{ErrorNumber::kDeviceUnavailable, "设备不可用"},
    Description{ErrorNumber::kPermissionDenied, "拒绝的权限"},
    Description{ErrorNumber::kDiskNotReady, "磁盘未准备好"},
    Description{ErrorNumber::kPathFileAccessError, "路径/文件访问错误"},
    Description{ErrorNumber::kPathNotFound, "路径未找到"},
};

// Which remedy fits an error: the first row whose number, subject (kNone matches any) and mark
// match.
enum class Mark { kAny, kReadOnly, kHeld };

struct RemedyRule {
  ErrorNumber number;
  Subject subject;
  Mark mark;
  const char* text;
};

constexpr const char* kCopyPristine =
    "请把游戏目录 \\data\\text\\dat_us\\ 里原版的 t_mons.tbl 复制到本工具所在的文件夹，"
    "并改名为 t_mons0.tbl。";
constexpr const char* kPlaceList =
    "请把位置列表 drevon2.txt 放到本工具所在的文件夹（可以用“对比”找出位置后制作）。";
constexpr const char* kPlaceReferences =
    "请把原版怪物表 t_mons0.tbl 和每个敌人等级都提高了 100 的 t_mons100.tbl "
    "放到 F 盘根目录，再点“对比”。";
constexpr const char* kFixListLine =
    "请改正 drevon2.txt 的这一行：每行只写一个字节位置（正整数）。";
constexpr const char* kListMismatch = "这个位置超出了表的长度。请确认 drevon2.txt 与这个表配套。";

constexpr std::array kRemedies{
    RemedyRule{ErrorNumber::kTypeMismatch, Subject::kStep, Mark::kAny,
               "请在“提高敌人等级”框里只输入一个 1 到 100 的数，例如 10 或 2.5。"},
    RemedyRule{ErrorNumber::kOverflow, Subject::kPatchedTable, Mark::kAny,
               "这个敌人的原等级加上提高值超过了 255。请输入小一些的数，再点“修改”。"},
    RemedyRule{ErrorNumber::kFileNotFound, Subject::kPristineTable, Mark::kAny, kCopyPristine},
    RemedyRule{ErrorNumber::kPathNotFound, Subject::kPristineTable, Mark::kAny, kCopyPristine},
    RemedyRule{ErrorNumber::kFileNotFound, Subject::kPositionList, Mark::kAny, kPlaceList},
    RemedyRule{ErrorNumber::kPathNotFound, Subject::kPositionList, Mark::kAny, kPlaceList},
    RemedyRule{ErrorNumber::kFileNotFound, Subject::kReferenceTable, Mark::kAny, kPlaceReferences},
    RemedyRule{ErrorNumber::kPathNotFound, Subject::kReferenceTable, Mark::kAny, kPlaceReferences},
    RemedyRule{ErrorNumber::kDiskNotReady, Subject::kReferenceTable, Mark::kAny, kPlaceReferences},
    RemedyRule{ErrorNumber::kDeviceUnavailable, Subject::kReferenceTable, Mark::kAny,
               kPlaceReferences},
    RemedyRule{ErrorNumber::kPermissionDenied, Subject::kPatchedTable, Mark::kReadOnly,
               "t_mons.tbl 是只读文件。请在它的“属性”里取消“只读”，再点“修改”。"},
    RemedyRule{ErrorNumber::kPermissionDenied, Subject::kPatchedTable, Mark::kHeld,
               "t_mons.tbl 正被其他程序（例如游戏或杀毒软件）占用。请关闭该程序，再点“修改”。"},
    RemedyRule{ErrorNumber::kPermissionDenied, Subject::kPatchedTable, Mark::kAny,
               "无法写入 t_mons.tbl：它可能正被其他程序占用，或者所在的文件夹不能写入。"
               "请关闭占用它的程序，或把本工具和表放到可以写入的文件夹（不要放在 Program Files "
               "或写保护的 U 盘里），再点“修改”。"},
    RemedyRule{ErrorNumber::kDiskFull, Subject::kNone, Mark::kAny,
               "磁盘已满。请腾出磁盘空间，再试一次。"},
    RemedyRule{ErrorNumber::kTypeMismatch, Subject::kPositionList, Mark::kAny, kFixListLine},
    RemedyRule{ErrorNumber::kOverflow, Subject::kPositionList, Mark::kAny, kFixListLine},
    RemedyRule{ErrorNumber::kBadRecordNumber, Subject::kPositionList, Mark::kAny, kFixListLine},
    RemedyRule{ErrorNumber::kBadRecordNumber, Subject::kPristineTable, Mark::kAny, kListMismatch},
    RemedyRule{ErrorNumber::kBadRecordNumber, Subject::kPatchedTable, Mark::kAny, kListMismatch},
    RemedyRule{ErrorNumber::kInputPastEndOfFile, Subject::kPositionList, Mark::kAny,
               "drevon2.txt 至少要有 439 行，每行一个位置。"},
    RemedyRule{ErrorNumber::kOutOfMemory, Subject::kNone, Mark::kAny,
               "内存不足。请关闭其他程序，再试一次。"},
};

// A list line can be anything (a binary file given as the list): keep the report readable.
std::string Shortened(const std::string& text) {
  constexpr std::size_t kMaxShown = 40;
  if (text.size() <= kMaxShown) return text;
  std::size_t cut = kMaxShown;
  // Never cut a UTF-8 sequence in two.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut) + "…";
}

}  // namespace

std::string Describe(ErrorNumber number) {
  for (const Description& row : kDescriptions) {
    if (row.number == number) return row.text;
  }
  return "应用程序定义的错误";
}

std::string Remedy(const Error& error) {
  for (const RemedyRule& rule : kRemedies) {
    const bool marked = rule.mark == Mark::kAny ||
                        (rule.mark == Mark::kReadOnly && error.readOnly) ||
                        (rule.mark == Mark::kHeld && error.held);
    if (rule.number == error.number &&
        (rule.subject == Subject::kNone || rule.subject == error.subject) && marked) {
      return rule.text;
    }
  }
  return {};
}

std::string ErrorReport(const Error& error) {
  std::string report = "运行时错误 '" + std::to_string(error.Number()) + "':\n\n";
  report += error.Description();
  std::string context;
  if (error.subject == Subject::kStep) context += "\n输入的提高值：“" + Shortened(error.step) + "”";
  if (!error.file.empty()) context += "\n文件：" + PathText(error.file);
  if (error.listLine > 0 && error.number == ErrorNumber::kInputPastEndOfFile) {
    context += "\n位置列表缺少第 " + std::to_string(error.listLine) + " 行";
  } else if (error.listLine > 0) {
    context += "\n位置列表第 " + std::to_string(error.listLine) + " 行：“" +
               Shortened(error.position) + "”";
  }
  if (!context.empty()) report += "\n" + context;
  if (std::string remedy = Remedy(error); !remedy.empty()) report += "\n\n" + remedy;
  return report;
}

Error ErrorFromException(std::exception_ptr exception) {
  try {
    if (exception) std::rethrow_exception(exception);
  } catch (const std::bad_alloc&) {
    return Error{ErrorNumber::kOutOfMemory};
  } catch (...) {
  }
  return Error{ErrorNumber::kInternalError};
}

}  // namespace patch
