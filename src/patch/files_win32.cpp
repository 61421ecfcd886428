// The file layer on Win32 handles, with wide paths so that Chinese folder names work.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>

#include "files.h"
#include "system_codes.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

constexpr SystemCodeNumber kWindowsNumbers[] = {
    {ERROR_FILE_NOT_FOUND, ErrorNumber::kFileNotFound},
    {ERROR_PATH_NOT_FOUND, ErrorNumber::kPathNotFound},
    {ERROR_INVALID_DRIVE, ErrorNumber::kPathNotFound},
    {ERROR_ACCESS_DENIED, ErrorNumber::kPermissionDenied},
    {ERROR_WRITE_PROTECT, ErrorNumber::kPermissionDenied},
    {ERROR_SHARING_VIOLATION, ErrorNumber::kPermissionDenied},
    {ERROR_LOCK_VIOLATION, ErrorNumber::kPermissionDenied},
    {ERROR_NOT_READY, ErrorNumber::kDiskNotReady},
    {ERROR_NO_MEDIA_IN_DRIVE, ErrorNumber::kDiskNotReady},
    {ERROR_FILE_EXISTS, ErrorNumber::kFileAlreadyExists},
    {ERROR_ALREADY_EXISTS, ErrorNumber::kFileAlreadyExists},
    {ERROR_HANDLE_DISK_FULL, ErrorNumber::kDiskFull},
    {ERROR_DISK_FULL, ErrorNumber::kDiskFull},
    // A network path that is gone: the device is there no more, whatever file was asked for.
    {ERROR_DEV_NOT_EXIST, ErrorNumber::kDeviceUnavailable},
    {ERROR_BAD_NETPATH, ErrorNumber::kDeviceUnavailable},
    {ERROR_BAD_NET_NAME, ErrorNumber::kDeviceUnavailable},
    {ERROR_NETNAME_DELETED, ErrorNumber::kDeviceUnavailable},
    {ERROR_UNEXP_NET_ERR, ErrorNumber::kDeviceUnavailable},
    {ERROR_NETWORK_UNREACHABLE, ErrorNumber::kDeviceUnavailable},
    {ERROR_SEM_TIMEOUT, ErrorNumber::kDeviceUnavailable},  // a share that stopped answering
    {ERROR_NOT_CONNECTED, ErrorNumber::kDeviceUnavailable},
    {ERROR_REM_NOT_LIST, ErrorNumber::kDeviceUnavailable},
    // Refused by the share, not by a file's own setting: told as a refusal like any other.
    {ERROR_NETWORK_ACCESS_DENIED, ErrorNumber::kPermissionDenied},
    {ERROR_INVALID_NAME, ErrorNumber::kBadFileNameOrNumber},
    {ERROR_FILENAME_EXCED_RANGE, ErrorNumber::kBadFileNameOrNumber},
    {ERROR_CRC, ErrorNumber::kDeviceIoError},
    {ERROR_IO_DEVICE, ErrorNumber::kDeviceIoError},
    {ERROR_NOT_ENOUGH_MEMORY, ErrorNumber::kOutOfMemory},
    {ERROR_OUTOFMEMORY, ErrorNumber::kOutOfMemory},
};

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

Error LastError(const fs::path& path) {
  return SystemError(path, static_cast<int>(GetLastError()));
}

// Attribute bits a replacement keeps; the rest (directory, compressed, ...) are the system's.
// The archive bit is always set on the new file: its content changed, and a backup program
// that cleared the old file's bit must see that.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Those a new file lacks; without them, writing attributes is left out, as a network folder may
// refuse it.
constexpr DWORD kSpecialAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

std::span<const SystemCodeNumber> SystemCodeNumbers() { return kWindowsNumbers; }

Refusal RefusalForSystemCode(int code) {
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return Refusal::kHeld;
  if (code == ERROR_WRITE_PROTECT) return Refusal::kWriteProtected;
  return Refusal::kNone;
}

DriveKind DriveKindOf(const fs::path& path) {
  const std::wstring& name = path.native();
  const wchar_t letter = name.empty() ? L'\0' : static_cast<wchar_t>(name[0] | 0x20);
  if (name.size() < 2 || name[1] != L':' || letter < L'a' || letter > L'z') {
    return DriveKind::kUnknown;
  }
  const wchar_t root[] = {name[0], L':', L'\\', L'\0'};
  switch (GetDriveTypeW(root)) {
    case DRIVE_NO_ROOT_DIR:
      return DriveKind::kNone;
    case DRIVE_REMOVABLE:
      return DriveKind::kRemovable;
    case DRIVE_CDROM:
      return DriveKind::kOptical;
    case DRIVE_REMOTE:
      return DriveKind::kRemote;
    case DRIVE_FIXED:
    case DRIVE_RAMDISK:
      return DriveKind::kFixed;
    default:
      return DriveKind::kUnknown;
  }
}

Expected<File> File::Open(const fs::path& path, Access access) {
  fs::path name = path;  // copied first: nothing may throw once the file is open
  // A file only read may stay open in other programs (a hex editor, say) as it is; one to be
  // written may only be read by them meanwhile.
  DWORD rights = GENERIC_READ;
  DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD disposition = OPEN_EXISTING;
  if (access == Access::kReadWrite) {
    rights = GENERIC_READ | GENERIC_WRITE;
    sharing = FILE_SHARE_READ;
  }
  if (access == Access::kCreateNew) {
    rights = GENERIC_WRITE;
    sharing = 0;
    disposition = CREATE_NEW;
  }
  // A new file carries the archive attribute: its content is new to a backup program.
  HANDLE handle = CreateFileW(path.c_str(), rights, sharing, nullptr, disposition,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError(path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) {
    const DWORD code = GetLastError();
    CloseHandle(handle);
    if (access == Access::kCreateNew) DeleteFileW(path.c_str());
    return SystemError(path, static_cast<int>(code));
  }
  return File(reinterpret_cast<std::intptr_t>(handle), std::move(name),
              static_cast<std::uint64_t>(size.QuadPart));
}

Expected<std::size_t> File::Read(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(Native(handle_), buffer.data() + done, wanted, &got, nullptr)) {
      return LastError(path_);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

Expected<void> File::Write(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(Native(handle_), bytes.data() + done, wanted, &put, nullptr)) {
      return LastError(path_);
    }
    if (put == 0) return Error{ErrorNumber::kDeviceIoError, path_};
    done += put;
  }
  return {};
}

Expected<void> File::Flush() {
  if (!FlushFileBuffers(Native(handle_))) return LastError(path_);
  return {};
}

Expected<void> File::Close() {
  if (handle_ == kNoHandle) return {};
  if (!CloseHandle(Native(std::exchange(handle_, kNoHandle)))) return LastError(path_);
  return {};
}

void File::Release() noexcept {
  if (handle_ != kNoHandle) CloseHandle(Native(std::exchange(handle_, kNoHandle)));
}

Expected<FileAttributes> ReadAttributes(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError(path);
  return FileAttributes{attributes & kKeptAttributes, (attributes & FILE_ATTRIBUTE_READONLY) != 0,
                        (attributes & kSpecialAttributes) != 0};
}

Expected<void> WriteAttributes(const fs::path& path, const FileAttributes& attributes) {
  const DWORD bits = (attributes.bits & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  if (!SetFileAttributesW(path.c_str(), bits)) return LastError(path);
  return {};
}

Expected<void> MoveOver(const fs::path& from, const fs::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return LastError(to);
  }
  return {};
}

Expected<void> RemoveFile(const fs::path& path) {
  if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return LastError(path);
  return {};
}

}  // namespace patch
#endif
