// The position list: one decimal 1-based byte position a line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"

namespace patch {

// The list is read this many bytes at a time (an even number, so that no UTF-16 unit is split).
inline constexpr std::size_t kListChunk = 4096;

// A longer line (a binary file given as the list) is cut there, and a '~' left in it keeps it
// from ever reading as a number.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;

// Turns the list's bytes into its first kLevelCount lines, without their terminators (CR LF, LF
// or a lone CR). A UTF-8 byte-order mark at the start is skipped; a list in UTF-16 LE or BE with
// its mark gives the same lines in UTF-8, and so does one without its mark whose first line's
// bytes alternate with zeros.
class PositionListDecoder {
 public:
  // The list's next bytes, as they are read: kListChunk at a time, fewer only at its end. The
  // first bytes decide the text's encoding.
  void Feed(std::string_view bytes);
  // Whether every line needed is in: further bytes are never needed, and are ignored.
  bool Full() const;
  // The lines, at most kLevelCount; a last line without a terminator still counts.
  std::vector<std::string> Finish();

 private:
  // Notepad's "Unicode" is UTF-16 LE, its "Unicode big endian" UTF-16 BE; anything else (UTF-8,
  // ANSI digits) is read byte by byte, lines ending at CR or LF either way.
  enum class Encoding { kBytes, kUtf16Le, kUtf16Be };

  static Encoding UnmarkedEncoding(std::string_view text);
  void Take(std::string_view text);  // characters, UTF-8 or ANSI, split into lines

  std::vector<std::string> lines_;
  std::string line_;
  std::string decoded_;  // a UTF-16 chunk as UTF-8
  Encoding encoding_ = Encoding::kBytes;
  bool atStart_ = true;
  bool afterCr_ = false;   // a CR just ended a line; an LF right after it belongs to it
  bool lineOpen_ = false;  // characters of an unfinished line were read
  char16_t high_ = 0;      // a UTF-16 high surrogate waiting for its low half
};

// The list in file, decoded. Further lines are never read.
// A missing file is 53, fewer lines 62 naming the line that is missing.
Expected<std::vector<std::string>> ReadPositionList(const std::filesystem::path& file);

}  // namespace patch
