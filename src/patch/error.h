// Errors as the player sees them: a number, its Chinese description, where it happened, and
// what to do about it.
#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace patch {

enum class ErrorNumber : int {
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  kInternalError = 51,
  kBadFileNameOrNumber = 52,
  kFileNotFound = 53,
  kDeviceIoError = 57,
  kFileAlreadyExists = 58,
  kDiskFull = 61,
  kInputPastEndOfFile = 62,
  kBadRecordNumber = 63,
  kDeviceUnavailable = 68,
  kPermissionDenied = 70,
  kDiskNotReady = 71,
  kPathFileAccessError = 75,
  kPathNotFound = 76,
};

// What the failing input was; it decides which remedy the report offers.
enum class Subject {
  kNone,
  kStep,            // the level step typed by the player
  kPositionList,    // drevon2.txt beside the tool
  kPristineTable,   // t_mons0.tbl beside the tool
  kPatchedTable,    // t_mons.tbl beside the tool
  kReferenceTable,  // one of the two tables the compare reads from drive F:
  kSavedList,       // drevon2.txt beside the tool, written from the latest compare
};

// Why a file was refused, where that changes what the player should do.
enum class Refusal {
  kNone,
  kReadOnly,         // the file carries the read-only attribute
  kHeld,             // another program has the file open and does not share it
  kFolder,           // a folder stands where the file should be
  kWriteProtected,   // the disk or medium cannot be written at all
  kTooLarge,         // far larger than any monster table: refused before it is read
  kTemporaryFolder,  // beside a tool opened from an archive: the archive program deletes it
  kVanished,         // the new copy was gone before it took the file's place (a security program)
};

// What kind of drive a file lies on, as the system says, where a missing or empty drive is told;
// unknown where the system has no drive letters or was not asked.
enum class DriveKind { kUnknown, kNone, kFixed, kRemovable, kOptical, kRemote };

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
  Subject subject = Subject::kNone;
  Refusal refusal = Refusal::kNone;
  std::string step;     // the step as typed, for a step that is no number
  std::string context;  // one more line of what was found, when the number alone cannot say
  DriveKind drive = DriveKind::kUnknown;  // for a drive missing or not ready
  std::uint64_t bytesToSave = 0;          // the new content's size, for a save that failed

  int Number() const { return static_cast<int>(number); }
};

// One short line in plain Chinese saying what the player can do, for every error and file;
// where nothing specific fits, what was left unchanged and what to check.
std::string Remedy(const Error& error);

// The whole text of the error box: "运行时错误 'N':", a blank line, the description, the
// context, and the remedy.
std::string ErrorReport(const Error& error);

// Any exception as an error the player can read: out of memory is 7, anything else 51.
Error ErrorFromException(std::exception_ptr exception);

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

// Success, or the error that prevented it.
template <>
class Expected<void> {
 public:
  Expected() = default;
  Expected(Error error) : error_(std::move(error)) {}

  bool ok() const { return !error_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

}  // namespace patch
