// Byte access to table files, with every failure turned into the error the user sees.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "error.h"

namespace patch {

using Bytes = std::vector<std::uint8_t>;

// One open file. Opening never creates a file: a missing one is an error.
class BinaryFile {
 public:
  enum class Mode { kRead, kReadWrite };

  static Expected<BinaryFile> Open(const std::filesystem::path& path, Mode mode);

  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;
  ~BinaryFile();

  std::uint64_t Length() const { return length_; }

  // Reads the next bytes into buffer; fewer than asked only at the end of the file.
  Expected<std::size_t> Read(std::span<std::uint8_t> buffer);

  // The whole file from its start.
  Expected<Bytes> ReadAll();

 private:
  BinaryFile(std::FILE* file, std::filesystem::path path, std::uint64_t length)
      : file_(file), path_(std::move(path)), length_(length) {}

  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::uint64_t length_ = 0;
};

// The whole of a file, opened in mode: kReadWrite also proves that it may be written.
Expected<Bytes> ReadWholeFile(const std::filesystem::path& path, BinaryFile::Mode mode);

// Replaces path's content by bytes as one step: they go to a temporary file beside it, which
// then takes its place. On any failure path keeps its old content (or stays absent).
std::optional<Error> ReplaceFile(const std::filesystem::path& path,
                                 std::span<const std::uint8_t> bytes);

// The error for an operating-system failure on path, from the C library's last error.
Error FileError(const std::filesystem::path& path, int errnoValue);

}  // namespace patch
