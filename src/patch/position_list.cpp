#include "position_list.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "files.h"
#include "names.h"

namespace patch {
namespace {
constexpr std::size_t kMaxLineLength = 64 * 1024;
constexpr char kCutMark = '~';
}  // namespace

Expected<std::vector<std::string>> ReadPositionList(const std::filesystem::path& file) {
  Expected<File> opened = File::Open(file, File::Access::kRead);
  if (!opened) return opened.error();

  std::vector<std::string> lines;
  lines.reserve(kLevelCount);
  std::string line;
  bool atStart = true;
  bool afterCr = false;   // a CR just ended a line; an LF right after it belongs to it
  bool lineOpen = false;  // characters of an unfinished line were read
  std::array<std::uint8_t, 4096> chunk;

  while (lines.size() < static_cast<std::size_t>(kLevelCount)) {
    Expected<std::size_t> got = opened->Read(chunk);
    if (!got) return got.error();
    if (*got == 0) break;
    std::string_view text(reinterpret_cast<const char*>(chunk.data()), *got);
    if (atStart) {
      atStart = false;
      if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    }
    for (char c : text) {
      if (afterCr && c == '\n') {
        afterCr = false;
        continue;
      }
      afterCr = false;
      if (c == '\r' || c == '\n') {
        lines.push_back(std::move(line));
        line.clear();
        lineOpen = false;
        afterCr = c == '\r';
        if (lines.size() == static_cast<std::size_t>(kLevelCount)) break;
      } else {
        // An endless line (a binary file given as the list) is cut; the mark left in it
        // keeps it from ever reading as a number.
        if (line.size() < kMaxLineLength) {
          line.push_back(c);
        } else if (line.size() == kMaxLineLength) {
          line.push_back(kCutMark);
        }
        lineOpen = true;
      }
    }
  }
  // A last line without a terminator still counts.
  if (lineOpen && lines.size() < static_cast<std::size_t>(kLevelCount)) lines.push_back(line);

  if (lines.size() < static_cast<std::size_t>(kLevelCount)) {
    return Error(ErrorNumber::kInputPastEndOfFile, file, static_cast<int>(lines.size()) + 1);
  }
  return lines;
}

}  // namespace patch
