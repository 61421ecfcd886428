#include "file_save.h"

#include <random>
#include <string>
#include <system_error>

namespace patch {
namespace fs = std::filesystem;

namespace {

// The new copy, removed again when the save does not get as far as putting it in place, also
// when an exception leaves the save. A virus scanner may be looking at it just then: the
// removal waits for it like the save does.
class TemporaryFile {
 public:
  explicit TemporaryFile(File file) noexcept : file_(std::move(file)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (kept_) return;
    file_.Release();
    try {
      RetryWhileHeld([this] { return RemoveFile(file_.path()); });
    } catch (...) {  // nothing more can be done, and a destructor must not throw
    }
  }
  File& file() { return file_; }
  void Keep() { kept_ = true; }

 private:
  File file_;
  bool kept_ = false;
};

fs::path TemporaryName(const fs::path& path, std::uint32_t tag) {
  static const char kHex[] = "0123456789abcdef";
  std::string suffix = ".~";
  for (int shift = 28; shift >= 0; shift -= 4) suffix += kHex[(tag >> shift) & 0xF];
  suffix += ".tmp";
  fs::path name = path;
  name += suffix;
  return name;
}

// A new file beside path under a name nobody uses.
Expected<File> CreateUnique(const fs::path& path, SaveSteps& steps) {
  static std::mt19937 random{std::random_device{}()};
  constexpr int kAttempts = 16;
  for (int attempt = 1;; ++attempt) {
    Expected<File> file =
        steps.CreateNew(TemporaryName(path, static_cast<std::uint32_t>(random())));
    if (file || file.error().number != ErrorNumber::kFileAlreadyExists || attempt == kAttempts) {
      return file;
    }
  }
}

}  // namespace

Expected<std::optional<FileAttributes>> AttributesToKeep(const fs::path& path) {
  Expected<FileAttributes> attributes = ReadAttributes(path);
  if (!attributes && attributes.error().number == ErrorNumber::kFileNotFound) {
    return std::optional<FileAttributes>();
  }
  if (!attributes) return attributes.error();
  if (attributes->readOnly) {
    Error error{ErrorNumber::kPermissionDenied, path};
    error.refusal = Refusal::kReadOnly;
    return error;
  }
  return std::optional<FileAttributes>(*attributes);
}

Expected<void> SaveFile(const fs::path& path, std::span<const std::uint8_t> bytes,
                        const std::optional<FileAttributes>& attributes, SaveSteps& steps) {
  // Whatever step fails, the player is told about the file, not the temporary copy, and how much
  // room the new content needs.
  auto about = [&](Error error) {
    error.file = path;
    error.bytesToSave = bytes.size();
    return error;
  };
  // The copy, written and closed, is gone (or, deleted while another program still has it open,
  // going): something removed it meanwhile, as a security program quarantines a file just written
  // now and then. That copy is the one to name.
  auto vanished = [&](Error error, const fs::path& copy) {
    std::error_code unknown;
    if (error.number != ErrorNumber::kFileNotFound && fs::exists(copy, unknown)) {
      return about(std::move(error));
    }
    error.number = ErrorNumber::kFileNotFound;
    error.file = copy;
    error.refusal = Refusal::kVanished;
    return error;
  };
  Expected<File> created = CreateUnique(path, steps);
  if (!created) return about(created.error());
  TemporaryFile temporary(std::move(*created));
  File& file = temporary.file();
  Expected<void> done = steps.Write(file, bytes);
  if (done) done = steps.Flush(file);
  if (done) done = file.Close();
  if (!done) return about(done.error());
  if (attributes && attributes->special) done = steps.SetAttributes(file.path(), *attributes);
  if (done) {
    done = RetryWhileHeld([&] { return steps.Replace(file.path(), path); }, steps.HoldPatience());
  }
  if (!done) return vanished(done.error(), file.path());
  temporary.Keep();
  return {};
}

}  // namespace patch
