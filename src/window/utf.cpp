#include "utf.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace utf {

namespace {

int Length(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("text too long to convert");
  }
  return static_cast<int>(size);
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int inLength = Length(utf8.size());
  const int outLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(outLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, result.data(), outLength);
  return result;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int inLength = Length(utf16.size());
  const int outLength =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(outLength), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, result.data(), outLength, nullptr,
                      nullptr);
  return result;
}

}  // namespace utf
