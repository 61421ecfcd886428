#include "error.h"

#include <algorithm>
#include <array>
#include <new>

#include "shown_text.h"

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

}  // namespace

std::string Describe(ErrorNumber number) {
  for (const Description& row : kDescriptions) {
    if (row.number == number) return row.text;
  }
  return "应用程序定义的错误";
}

std::string ErrorReport(const Error& error) {
  std::string report = "运行时错误 '" + std::to_string(error.Number()) + "':\n\n";
  report += Describe(error.number);
  std::string context;
  if (error.subject == Subject::kStep) context += "\n输入的提高值：“" + Shown(error.step) + "”";
  if (!error.file.empty()) context += "\n文件：" + PathText(error.file);
  if (!error.context.empty()) context += "\n" + error.context;
  if (error.listLine > 0 && error.number == ErrorNumber::kInputPastEndOfFile) {
    context += "\n位置列表缺少第 " + std::to_string(error.listLine) + " 行";
  } else if (error.listLine > 0) {
    context +=
        "\n位置列表第 " + std::to_string(error.listLine) + " 行：“" + Shown(error.position) + "”";
  }
  if (!context.empty()) report += "\n" + context;
  report += "\n\n" + Remedy(error);
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
