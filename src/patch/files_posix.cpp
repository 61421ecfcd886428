// The file layer on POSIX calls.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files.h"
#include "system_codes.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

constexpr SystemCodeNumber kErrnoNumbers[] = {
    {ENOENT, ErrorNumber::kFileNotFound},
    {ENOMEDIUM, ErrorNumber::kDiskNotReady},
    {ENOTDIR, ErrorNumber::kPathNotFound},
    {EACCES, ErrorNumber::kPermissionDenied},
    {EPERM, ErrorNumber::kPermissionDenied},
    {EROFS, ErrorNumber::kPermissionDenied},
    {EBUSY, ErrorNumber::kPermissionDenied},
    {ETXTBSY, ErrorNumber::kPermissionDenied},
    {EEXIST, ErrorNumber::kFileAlreadyExists},
    {ENOSPC, ErrorNumber::kDiskFull},
    {EDQUOT, ErrorNumber::kDiskFull},
    {EFBIG, ErrorNumber::kDiskFull},
    {EIO, ErrorNumber::kDeviceIoError},
    {ENXIO, ErrorNumber::kDeviceUnavailable},
    {ENODEV, ErrorNumber::kDeviceUnavailable},
    // A network file system that is gone.
    {ESTALE, ErrorNumber::kDeviceUnavailable},
    {ENETDOWN, ErrorNumber::kDeviceUnavailable},
    {ENETUNREACH, ErrorNumber::kDeviceUnavailable},
    {EHOSTDOWN, ErrorNumber::kDeviceUnavailable},
    {EHOSTUNREACH, ErrorNumber::kDeviceUnavailable},
    {ETIMEDOUT, ErrorNumber::kDeviceUnavailable},
    {ENOTCONN, ErrorNumber::kDeviceUnavailable},
    {ENAMETOOLONG, ErrorNumber::kBadFileNameOrNumber},
    {EINVAL, ErrorNumber::kDeviceIoError},
    {EISDIR, ErrorNumber::kPathFileAccessError},
    {ENOMEM, ErrorNumber::kOutOfMemory},
};

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

std::span<const SystemCodeNumber> SystemCodeNumbers() { return kErrnoNumbers; }

Refusal RefusalForSystemCode(int code) {
  if (code == EBUSY || code == ETXTBSY) return Refusal::kHeld;
  if (code == EROFS) return Refusal::kWriteProtected;
  return Refusal::kNone;
}

DriveKind DriveKindOf(const fs::path&) { return DriveKind::kUnknown; }

Expected<File> File::Open(const fs::path& path, Access access) {
  fs::path name = path;  // copied first: nothing may throw once the file is open
  int flags = O_CLOEXEC;
  if (access == Access::kRead) flags |= O_RDONLY;
  if (access == Access::kReadWrite) flags |= O_RDWR;
  if (access == Access::kCreateNew) flags |= O_WRONLY | O_CREAT | O_EXCL;
  const int descriptor = ::open(path.c_str(), flags, kNewFileMode);
  if (descriptor < 0) return SystemError(path, errno);
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(descriptor);
    if (access == Access::kCreateNew) ::unlink(path.c_str());
    Error error{ErrorNumber::kPathFileAccessError, path};
    if (S_ISDIR(status.st_mode)) error.refusal = Refusal::kFolder;
    return error;
  }
  return File(descriptor, std::move(name), static_cast<std::uint64_t>(status.st_size));
}

Expected<std::size_t> File::Read(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t got = ::read(Descriptor(handle_), buffer.data() + done, buffer.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return SystemError(path_, errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

Expected<void> File::Write(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(Descriptor(handle_), bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return SystemError(path_, errno);
    done += static_cast<std::size_t>(put);
  }
  return {};
}

Expected<void> File::Flush() {
  if (::fsync(Descriptor(handle_)) != 0) return SystemError(path_, errno);
  return {};
}

Expected<void> File::Close() {
  if (handle_ == kNoHandle) return {};
  const int result = ::close(Descriptor(std::exchange(handle_, kNoHandle)));
  if (result != 0 && errno != EINTR) return SystemError(path_, errno);
  return {};
}

void File::Release() noexcept {
  if (handle_ != kNoHandle) ::close(Descriptor(std::exchange(handle_, kNoHandle)));
}

Expected<FileAttributes> ReadAttributes(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return SystemError(path, errno);
  const auto bits = static_cast<std::uint32_t>(status.st_mode & 07777);
  // A new file gets kNewFileMode less the process's umask, which can only be read by setting it.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return FileAttributes{bits, (bits & S_IWUSR) == 0, bits != (kNewFileMode & ~mask)};
}

Expected<void> WriteAttributes(const fs::path& path, const FileAttributes& attributes) {
  if (::chmod(path.c_str(), static_cast<mode_t>(attributes.bits)) != 0)
    return SystemError(path, errno);
  return {};
}

Expected<void> MoveOver(const fs::path& from, const fs::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return SystemError(to, errno);
  // The new name is on the disk only once its folder is.
  const fs::path folder = to.has_parent_path() ? to.parent_path() : fs::path(".");
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
  return {};
}

Expected<void> RemoveFile(const fs::path& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return SystemError(path, errno);
  return {};
}

}  // namespace patch
#endif
