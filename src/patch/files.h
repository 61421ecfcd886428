// The platform's files behind one small interface: Win32 handles on Windows, POSIX calls
// elsewhere. Every failure comes back as the error the player sees, mapped from the system's
// own error code by one table per platform.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "error.h"

namespace patch {

using Bytes = std::vector<std::uint8_t>;

class File {
 public:
  enum class Access {
    kRead,       // an existing file, for reading
    kReadWrite,  // an existing file, for reading and writing: proves that it may be written
    kCreateNew,  // a new file for writing; fails if any file of that name exists
  };

  static Expected<File> Open(const std::filesystem::path& path, Access access);

  File(File&& other) noexcept;
  File& operator=(File&& other) = delete;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  const std::filesystem::path& path() const { return path_; }
  std::uint64_t Length() const { return length_; }

  // Reads the next bytes into buffer; fewer than asked only at the end of the file.
  Expected<std::size_t> Read(std::span<std::uint8_t> buffer);
  Expected<void> Write(std::span<const std::uint8_t> bytes);
  // Waits until everything written is on the disk.
  Expected<void> Flush();
  Expected<void> Close();
  // Closes the file, if still open, without a word: for destructors and clean-ups.
  void Release() noexcept;

 private:
  using Handle = std::intptr_t;
  static constexpr Handle kNoHandle = -1;

  File(Handle handle, std::filesystem::path path, std::uint64_t length)
      : handle_(handle), path_(std::move(path)), length_(length) {}

  Handle handle_ = kNoHandle;
  std::filesystem::path path_;
  std::uint64_t length_ = 0;
};

// The attributes a file carries that a replacement must keep: the attribute bits on Windows, the
// mode bits elsewhere.
struct FileAttributes {
  std::uint32_t bits = 0;
  bool readOnly = false;
  // Attributes a new file does not get by itself (hidden, system, not indexed on Windows; another
  // mode elsewhere), so that they must be written to it.
  bool special = false;
};

// A missing file is 53.
Expected<FileAttributes> ReadAttributes(const std::filesystem::path& path);
Expected<void> WriteAttributes(const std::filesystem::path& path, const FileAttributes& attributes);

// Puts from in the place of to in one step, replacing it. Both lie in one folder, so this is a
// rename on one volume, never a copy. On POSIX the folder is flushed after it, so the new name is
// on the disk on return. On Windows MOVEFILE_WRITE_THROUGH promises a flush only for a move done
// as a copy and delete (to another volume): for this rename it promises nothing. The file system
// commits the rename soon after; a power cut before that leaves the old file whole, and the new
// content, already flushed, in the temporary file.
Expected<void> MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes a file.
Expected<void> RemoveFile(const std::filesystem::path& path);

// The whole of a file, opened with access (kReadWrite also proves that it may be written). A file
// longer than maxLength is not read: overflow (6), refused as too large.
Expected<Bytes> ReadWholeFile(const std::filesystem::path& path, File::Access access,
                              std::uint64_t maxLength = UINT64_MAX);

// The error for a file longer than a table can be.
Error TooLarge(const std::filesystem::path& path);

// The kind of drive path lies on (its drive letter's); unknown for a path without one, and on
// systems without drive letters.
DriveKind DriveKindOf(const std::filesystem::path& path);

// The error for the system's error code on path.
Error SystemError(const std::filesystem::path& path, int code);

}  // namespace patch
