#include "error.h"

#include "program_folder.h"

namespace patch {

std::string Describe(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::kOverflow:
      return "溢出";
    case ErrorNumber::kSubscriptOutOfRange:
      return "下标越界";
    case ErrorNumber::kTypeMismatch:
      return "类型不匹配";
    case ErrorNumber::kBadFileNameOrNumber:
      return "错误的文件名或号码";
    case ErrorNumber::kFileNotFound:
      return "文件未找到";
    case ErrorNumber::kDeviceIoError:
      return "设备 I/O 错误";
    case ErrorNumber::kDiskFull:
      return "磁盘已满";
    case ErrorNumber::kInputPastEndOfFile:
      return "输入超出文件尾";
    case ErrorNumber::kBadRecordNumber:
      return "错误的记录号";
    case ErrorNumber::kDeviceUnavailable:
      return "设备不可用";
    case ErrorNumber::kPermissionDenied:
      return "拒绝的权限";
    case ErrorNumber::kDiskNotReady:
      return "磁盘未准备好";
    case ErrorNumber::kPathFileAccessError:
      return "路径/文件访问错误";
    case ErrorNumber::kPathNotFound:
      return "路径未找到";
  }
  return "应用程序定义的错误";
}

namespace {

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

std::string ErrorReport(const Error& error) {
  std::string report = "运行时错误 '" + std::to_string(error.Number()) + "':\n\n";
  report += error.Description();
  if (!error.file.empty()) report += "\n\n文件：" + PathText(error.file);
  if (error.listLine > 0 && error.number == ErrorNumber::kInputPastEndOfFile) {
    report += "\n位置列表缺少第 " + std::to_string(error.listLine) + " 行";
  } else if (error.listLine > 0) {
    report += "\n位置列表第 " + std::to_string(error.listLine) + " 行：“" +
              Shortened(error.position) + "”";
  }
  return report;
}

}  // namespace patch
