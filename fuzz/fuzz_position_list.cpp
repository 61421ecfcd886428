// Reads fuzzed files as the position list and compares the result with a plain model of it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "names.h"
#include "position_list.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxLineLength = 64 * 1024;  // longer lines are cut and marked
constexpr std::size_t kLongContent = kMaxLineLength + 4096 + 64;

// One file per process, rewritten for every input and removed when the process ends normally.
// In memory when the system offers a tmpfs: ext4 flushes a file rewritten after truncation at
// every close, which would make the disk the bottleneck.
const fs::path& ListFile() {
  static const fs::path* const file = [] {
    // Never destroyed, so that the exit handler can still use it.
    std::error_code error;
    const fs::path folder =
        fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    const auto* path =
        new fs::path(folder / ("fuzz_position_list_" + std::to_string(getpid()) + ".txt"));
    std::atexit([] {
      std::error_code ignored;
      fs::remove(ListFile(), ignored);
    });
    return path;
  }();
  return *file;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_position_list: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// The first kLevelCount lines, split at CR LF, LF or CR, after an optional UTF-8 BOM; lines
// longer than the limit keep its length and gain a mark. Fewer lines: the count found.
struct Model {
  std::vector<std::string> lines;
};

Model Split(std::string_view content) {
  Model model;
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  std::size_t at = 0;
  const auto limit = static_cast<std::size_t>(patch::kLevelCount);
  while (at < content.size() && model.lines.size() < limit) {
    const std::size_t end = content.find_first_of("\r\n", at);
    std::string line(content.substr(at, end == std::string_view::npos ? end : end - at));
    if (line.size() > kMaxLineLength) {
      line.resize(kMaxLineLength);
      line.push_back('~');
    }
    model.lines.push_back(std::move(line));
    if (end == std::string_view::npos) break;
    at = end + 1;
    if (content[end] == '\r' && at < content.size() && content[at] == '\n') ++at;
  }
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the shape: the rest as it is, or (low three bits set) repeated past
  // the line-length limit and across several read chunks, which is slower and so rarer.
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string content(rest);
  if ((data[0] & 7) == 7 && !rest.empty()) {
    content.reserve(kLongContent + rest.size());
    while (content.size() < kLongContent) content += rest;
  }
  {
    std::ofstream out(ListFile(), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    Check(static_cast<bool>(out), "cannot write the list file");
  }

  const patch::Expected<std::vector<std::string>> list = patch::ReadPositionList(ListFile());
  const Model model = Split(content);
  const auto count = static_cast<std::size_t>(patch::kLevelCount);

  if (list.ok()) {
    Check(list->size() == count, "an ok list does not hold exactly 439 lines");
    for (const std::string& line : *list) {
      Check(line.find_first_of("\r\n") == std::string::npos, "a line holds CR or LF");
      Check(line.size() <= kMaxLineLength + 1, "a line is longer than the limit");
    }
    Check(model.lines.size() == count, "the list was read although it has fewer lines");
    Check(*list == model.lines, "the lines differ from a plain split of the file");
  } else {
    const patch::Error& error = list.error();
    Check(error.number == patch::ErrorNumber::kInputPastEndOfFile,
          "a readable short list is not error 62");
    Check(model.lines.size() < count, "a list with enough lines was refused");
    Check(error.listLine == static_cast<int>(model.lines.size()) + 1,
          "error 62 does not name the first missing line");
    Check(error.file == ListFile(), "error 62 does not name the list file");
  }
  return 0;
}
