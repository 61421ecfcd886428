// The parts of the file layer that are the same on every platform.
#include "files.h"

#include <system_error>
#include <utility>

#include "system_codes.h"

namespace patch {
namespace fs = std::filesystem;

ErrorNumber NumberForSystemCode(int code) {
  for (const SystemCodeNumber& row : SystemCodeNumbers()) {
    if (row.code == code) return row.number;
  }
  return ErrorNumber::kPathFileAccessError;
}

Error SystemError(const fs::path& path, int code) {
  ErrorNumber number = NumberForSystemCode(code);
  std::error_code ignored;
  // Not every system tells a missing file from a missing folder or drive.
  const fs::path parent = path.parent_path();
  if (number == ErrorNumber::kFileNotFound && !parent.empty() &&
      !fs::is_directory(parent, ignored)) {
    number = ErrorNumber::kPathNotFound;
  }
  Error error{number, path};
  error.refusal = RefusalForSystemCode(code);
  // A drive missing, empty or gone: what it is decides what the player can do.
  if (number == ErrorNumber::kPathNotFound || number == ErrorNumber::kDiskNotReady ||
      number == ErrorNumber::kDeviceUnavailable) {
    error.drive = DriveKindOf(path);
  }
  // A folder where a file should be: no table, whatever the system calls it.
  if ((number == ErrorNumber::kPermissionDenied || number == ErrorNumber::kPathFileAccessError) &&
      fs::is_directory(path, ignored)) {
    error.number = ErrorNumber::kPathFileAccessError;
    error.refusal = Refusal::kFolder;
  }
  return error;
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      path_(std::move(other.path_)),
      length_(other.length_) {}

File::~File() { Release(); }

Error TooLarge(const fs::path& path) {
  Error error{ErrorNumber::kOverflow, path};
  error.refusal = Refusal::kTooLarge;
  return error;
}

Expected<Bytes> ReadWholeFile(const fs::path& path, File::Access access, std::uint64_t maxLength) {
  Expected<File> file = File::Open(path, access);
  if (!file) return file.error();
  if (file->Length() > maxLength) return TooLarge(path);
  Bytes bytes(static_cast<std::size_t>(file->Length()));
  Expected<std::size_t> got = file->Read(bytes);
  if (!got) return got.error();
  // A file that changed its length meanwhile is read as it now is.
  bytes.resize(*got);
  return bytes;
}

}  // namespace patch
