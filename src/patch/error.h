// Errors as the user sees them: a number, its Chinese description, and where it happened.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <variant>

namespace patch {

enum class ErrorNumber : int {
  kOverflow = 6,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  kBadFileNameOrNumber = 52,
  kFileNotFound = 53,
  kDeviceIoError = 57,
  kDiskFull = 61,
  kInputPastEndOfFile = 62,
  kBadRecordNumber = 63,
  kDeviceUnavailable = 68,
  kPermissionDenied = 70,
  kDiskNotReady = 71,
  kPathFileAccessError = 75,
  kPathNotFound = 76,
};

// The Chinese description of an error number, UTF-8.
std::string Describe(ErrorNumber number);

struct Error {
  explicit Error(ErrorNumber number, std::filesystem::path file = {}, int listLine = 0,
                 std::string position = {})
      : number(number), file(std::move(file)), listLine(listLine), position(std::move(position)) {}

  ErrorNumber number;
  std::filesystem::path file;  // the file involved; empty when none
  int listLine;                // 1-based line of the position list; 0 when none applies
  std::string position;        // that line's text, as read

  int Number() const { return static_cast<int>(number); }
  std::string Description() const { return Describe(number); }
};

// The whole text of the error box: "运行时错误 'N':", a blank line, the description, the context.
std::string ErrorReport(const Error& error);

// A value or the error that prevented it.
template <class T>
class Expected {
 public:
  Expected(T value) : state_(std::move(value)) {}
  Expected(Error error) : state_(std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& operator*() { return std::get<0>(state_); }
  const T& operator*() const { return std::get<0>(state_); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

}  // namespace patch
