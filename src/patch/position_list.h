// The position list: one decimal 1-based byte position a line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "error.h"

namespace patch {

// The list is read this many bytes at a time (an even number, so that no UTF-16 unit is split).
inline constexpr std::size_t kListChunk = 4096;

// A longer line (a binary file given as the list) is cut there, and a '~' left in it keeps it
// from ever reading as a number.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;

// The first kLevelCount lines of the list, without their terminators (CR LF, LF or a lone
// CR). A UTF-8 byte-order mark at the start is skipped; a list in UTF-16 LE or BE with its mark
// is read as the same lines in UTF-8, and so is one without its mark whose first line's bytes
// alternate with zeros. Further lines are never read.
// A missing file is 53, fewer lines 62 naming the line that is missing.
Expected<std::vector<std::string>> ReadPositionList(const std::filesystem::path& file);

}  // namespace patch
