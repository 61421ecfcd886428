// The steps of a save, made to fail where a test asks; and attributes to give a file.
#pragma once

#include <functional>

#include "file_save.h"

namespace patch {

// Attributes a new file does not get by itself: read-only, and another that must be kept.
#ifdef _WIN32
constexpr FileAttributes kReadOnlyAttributes{0x1, true};
constexpr FileAttributes kUnusualAttributes{0x2, false, true};  // hidden
#else
constexpr FileAttributes kReadOnlyAttributes{0444, true, true};
constexpr FileAttributes kUnusualAttributes{0700, false, true};  // never a new file's mode
#endif

enum class SaveStep { kNone, kCreate, kWrite, kFlush, kSetAttributes, kReplace };

// The real steps of a save, but `step` fails `times` times with `error` (naming the file at hand),
// a failing write having written half its bytes; each failure calls `raise` first (it may throw).
class FaultySteps : public SaveSteps {
 public:
  FaultySteps(SaveStep step, Error error, int times = 1000, std::function<void()> raise = {})
      : step_(step), error_(std::move(error)), times_(times), raise_(std::move(raise)) {}
  Expected<File> CreateNew(const std::filesystem::path& path) override {
    return Fail(SaveStep::kCreate, path, {}, [&] { return SaveSteps::CreateNew(path); });
  }
  Expected<void> Write(File& file, std::span<const std::uint8_t> bytes) override {
    if (step_ == SaveStep::kWrite && times_)
      file.Write(bytes.first(bytes.size() / 2));  // disk full
    return Fail(SaveStep::kWrite, file.path(), {}, [&] { return SaveSteps::Write(file, bytes); });
  }
  Expected<void> Flush(File& file) override {
    return Fail(SaveStep::kFlush, file.path(), {}, [&] { return SaveSteps::Flush(file); });
  }
  Expected<void> SetAttributes(const std::filesystem::path& path,
                               const FileAttributes& attributes) override {
    return Fail(SaveStep::kSetAttributes, path, path,
                [&] { return SaveSteps::SetAttributes(path, attributes); });
  }
  Expected<void> Replace(const std::filesystem::path& from,
                         const std::filesystem::path& to) override {
    return Fail(SaveStep::kReplace, to, from, [&] { return SaveSteps::Replace(from, to); });
  }
  std::chrono::milliseconds HoldPatience() const override { return std::chrono::milliseconds(500); }
  int failures = 0;  // how often the failing step was tried

 private:
  // Fails `step`, if it is the one, naming `file`. Failing with 53, it finds the new `copy` it
  // works on vanished (a security program took it): the copy is removed and the real step runs,
  // to say so itself.
  template <class RealStep>
  auto Fail(SaveStep step, const std::filesystem::path& file, const std::filesystem::path& copy,
            RealStep real) -> decltype(real()) {
    if (step != step_ || times_ == 0) return real();
    --times_, ++failures;
    if (!copy.empty() && error_.number == ErrorNumber::kFileNotFound) {
      std::filesystem::remove(copy);
      return real();
    }
    if (raise_) raise_();
    Error error = error_;
    error.file = file;
    return error;
  }
  SaveStep step_;
  Error error_;
  int times_;
  std::function<void()> raise_;
};

}  // namespace patch
