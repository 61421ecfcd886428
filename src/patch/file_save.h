// Saving a file of the player's (the patched table, the position list) so that it is never lost: a
// complete new copy is written beside it, put on the disk, and only then takes its place in one
// step.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <span>
#include <thread>

#include "files.h"

namespace patch {

// How long a file that another program holds (a virus scanner, the search indexer, a backup)
// is waited for before that becomes an error.
inline constexpr std::chrono::milliseconds kHoldPatience{2000};

// The file-system steps of a save, one call each, so that a test can make any of them fail.
class SaveSteps {
 public:
  virtual ~SaveSteps() = default;
  virtual Expected<File> CreateNew(const std::filesystem::path& path) {
    return File::Open(path, File::Access::kCreateNew);
  }
  virtual Expected<void> Write(File& file, std::span<const std::uint8_t> bytes) {
    return file.Write(bytes);
  }
  virtual Expected<void> Flush(File& file) { return file.Flush(); }
  virtual Expected<void> SetAttributes(const std::filesystem::path& path,
                                       const FileAttributes& attributes) {
    return WriteAttributes(path, attributes);
  }
  virtual Expected<void> Replace(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
    return MoveOver(from, to);
  }
  // How long a held file is waited for (a test that holds it throughout need not wait as long).
  virtual std::chrono::milliseconds HoldPatience() const { return kHoldPatience; }
};

// Runs step until it no longer fails with permission denied (70) or patience has passed.
// A file held by another program, or refused for no stated reason, may be free in a moment; a
// read-only file or a write-protected disk stays as it is, and is told at once.
template <class Step>
auto RetryWhileHeld(Step step, std::chrono::milliseconds patience = kHoldPatience)
    -> decltype(step()) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    auto result = step();
    if (result.ok() || result.error().number != ErrorNumber::kPermissionDenied ||
        (result.error().refusal != Refusal::kNone && result.error().refusal != Refusal::kHeld) ||
        std::chrono::steady_clock::now() >= deadline) {
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// The attributes of the file at path that its replacement must keep; none when there is no such
// file yet. A read-only file is refused (70): the read-only attribute is the player's decision to
// keep it as it is.
Expected<std::optional<FileAttributes>> AttributesToKeep(const std::filesystem::path& path);

// Replaces path's content by bytes. The new content goes to a temporary file of a unique name
// beside path (created exclusively, so no file of the player's is ever touched), is flushed to
// the disk and closed, gets the attributes of the old file (when there was one), and then takes
// path's place in one step. On any failure path is byte for byte as before and the temporary
// file is gone. Attributes are written only where the new file lacks them by itself.
Expected<void> SaveFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                        const std::optional<FileAttributes>& attributes, SaveSteps& steps);

}  // namespace patch
