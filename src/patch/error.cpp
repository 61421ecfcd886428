#include "error.h"

#include <algorithm>
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

// The length of the UTF-8 character at the start of text; 0 when it is none.
std::size_t CharacterLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  // No overlong forms, surrogates or values past U+10FFFF.
  if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) ||
      (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
    return 0;
  }
  return length;
}

}  // namespace

std::string Describe(ErrorNumber number) {
  for (const Description& row : kDescriptions) {
    if (row.number == number) return row.text;
  }
  return "应用程序定义的错误";
}

std::string Shown(std::string_view text) {
  constexpr std::size_t kMaxShown = 40;
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = CharacterLength(text.substr(at));
    const std::size_t taken = std::max<std::size_t>(length, 1);
    if (at + taken > kMaxShown) return shown + "…";
    const auto byte = static_cast<unsigned char>(text[at]);
    const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    // Controls (C0, DEL, C1) and bytes of no character: a NUL would end the box's text there,
    // and the others break or garble its lines.
    const bool control = byte < 0x20 || byte == 0x7F || (byte == 0xC2 && next < 0xA0);
    if (length == 0 || control) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (std::size_t i = at; i < at + taken; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        shown += {'\\', 'x', kHex[b >> 4], kHex[b & 0xF]};
      }
    } else {
      shown.append(text.substr(at, length));
    }
    at += taken;
  }
  return shown;
}

std::string ErrorReport(const Error& error) {
  std::string report = "运行时错误 '" + std::to_string(error.Number()) + "':\n\n";
  report += error.Description();
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
