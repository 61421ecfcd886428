#include "table_file.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace patch {
namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// Windows' own error codes, as the C runtime keeps them in _doserrno: they tell a missing
// folder, a locked file and an empty drive apart where errno cannot.
std::optional<ErrorNumber> FromWindowsCode(unsigned long code) {
  switch (code) {
    case 2:
      return ErrorNumber::kFileNotFound;  // file not found
    case 3:
      return ErrorNumber::kPathNotFound;  // path not found
    case 15:
      return ErrorNumber::kPathNotFound;  // invalid drive
    case 5:
      return ErrorNumber::kPermissionDenied;  // access denied
    case 19:
      return ErrorNumber::kPermissionDenied;  // write protected
    case 32:
      return ErrorNumber::kPermissionDenied;  // sharing violation
    case 33:
      return ErrorNumber::kPermissionDenied;  // lock violation
    case 21:
      return ErrorNumber::kDiskNotReady;  // drive not ready
    case 39:
      return ErrorNumber::kDiskFull;  // handle disk full
    case 112:
      return ErrorNumber::kDiskFull;  // disk full
    case 53:
      return ErrorNumber::kPathNotFound;  // network path not found
    case 55:
      return ErrorNumber::kDeviceUnavailable;  // device no longer exists
    case 67:
      return ErrorNumber::kPathNotFound;  // network name not found
    case 123:
      return ErrorNumber::kBadFileNameOrNumber;  // invalid name
    case 206:
      return ErrorNumber::kBadFileNameOrNumber;  // name too long
    case 23:
      return ErrorNumber::kDeviceIoError;  // data error (CRC)
    case 1117:
      return ErrorNumber::kDeviceIoError;  // I/O device error
    default:
      return std::nullopt;
  }
}
#endif

ErrorNumber FromErrno(int value) {
  switch (value) {
    case ENOENT:
      return ErrorNumber::kFileNotFound;
    case ENOTDIR:
      return ErrorNumber::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
      return ErrorNumber::kPermissionDenied;
    case ENOSPC:
      return ErrorNumber::kDiskFull;
    case EIO:
      return ErrorNumber::kDeviceIoError;
    case ENXIO:
    case ENODEV:
      return ErrorNumber::kDeviceUnavailable;
    case ENAMETOOLONG:
    case EINVAL:
      return ErrorNumber::kBadFileNameOrNumber;
    default:
      return ErrorNumber::kPathFileAccessError;
  }
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  wchar_t wideMode[8] = {};
  for (int i = 0; mode[i] != '\0' && i < 7; ++i) wideMode[i] = static_cast<wchar_t>(mode[i]);
  _doserrno = 0;
  return _wfopen(path.c_str(), wideMode);
#else
  return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

Error FileError(const fs::path& path, int errnoValue) {
  ErrorNumber number = FromErrno(errnoValue);
#ifdef _WIN32
  if (std::optional<ErrorNumber> windows = FromWindowsCode(_doserrno)) number = *windows;
#endif
  // Not every system tells a missing file from a missing folder or drive.
  std::error_code ec;
  fs::path parent = path.parent_path();
  if (number == ErrorNumber::kFileNotFound && !parent.empty() && !fs::is_directory(parent, ec)) {
    number = ErrorNumber::kPathNotFound;
  }
  return Error{number, path};
}

Expected<BinaryFile> BinaryFile::Open(const fs::path& path, Mode mode) {
  errno = 0;
  std::FILE* file = OpenFile(path, mode == Mode::kRead ? "rb" : "r+b");
  if (file == nullptr) return FileError(path, errno);
  std::error_code ec;
  // A folder opens on some systems; it is no table.
  if (fs::is_directory(path, ec)) {
    std::fclose(file);
    return Error{ErrorNumber::kPathFileAccessError, path};
  }
  std::uintmax_t length = fs::file_size(path, ec);
  if (ec) {
    std::fclose(file);
    return Error{ErrorNumber::kPathFileAccessError, path};
  }
  return BinaryFile(file, path, length);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)),
      length_(other.length_) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::exchange(other.file_, nullptr);
    path_ = std::move(other.path_);
    length_ = other.length_;
  }
  return *this;
}

BinaryFile::~BinaryFile() {
  if (file_ != nullptr) std::fclose(file_);
}

Expected<std::size_t> BinaryFile::Read(std::span<std::uint8_t> buffer) {
  std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_);
  if (got < buffer.size() && std::ferror(file_)) {
    return Error{ErrorNumber::kDeviceIoError, path_};
  }
  return got;
}

Expected<Bytes> BinaryFile::ReadAll() {
  if (std::fseek(file_, 0, SEEK_SET) != 0) return Error{ErrorNumber::kDeviceIoError, path_};
  Bytes bytes(static_cast<std::size_t>(length_));
  Expected<std::size_t> got = Read(bytes);
  if (!got) return got.error();
  // A file that changed its length meanwhile is read as it now is.
  bytes.resize(*got);
  return bytes;
}

Expected<Bytes> ReadWholeFile(const fs::path& path, BinaryFile::Mode mode) {
  Expected<BinaryFile> file = BinaryFile::Open(path, mode);
  if (!file) return file.error();
  return file->ReadAll();
}

std::optional<Error> ReplaceFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  fs::path temporary = path;
  temporary += ".new";
  errno = 0;
  std::FILE* file = OpenFile(temporary, "wb");
  if (file == nullptr) return FileError(path, errno);
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = std::fflush(file) == 0 && written;
  int writeErrno = errno;
  written = std::fclose(file) == 0 && written;
  if (!written) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    Error error = FileError(path, writeErrno != 0 ? writeErrno : EIO);
    if (error.number == ErrorNumber::kPathFileAccessError)
      error.number = ErrorNumber::kDeviceIoError;
    return error;
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    std::error_condition condition = ec.default_error_condition();
    if (condition == std::errc::permission_denied ||
        condition == std::errc::device_or_resource_busy ||
        condition == std::errc::operation_not_permitted) {
      return Error{ErrorNumber::kPermissionDenied, path};
    }
    return Error{ErrorNumber::kPathFileAccessError, path};
  }
  return std::nullopt;
}

}  // namespace patch
