#include "position_list.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "files.h"
#include "names.h"

namespace patch {
namespace {

constexpr char kCutMark = '~';

// How the list's text is written, told by its byte-order mark (or, without one, by its first
// line). Notepad's "Unicode" is UTF-16 LE, its "Unicode big endian" UTF-16 BE; anything else
// (UTF-8, ANSI digits) is read byte by byte, lines ending at CR or LF either way.
enum class Form { kBytes, kUtf16Le, kUtf16Be };

// Appends a code point as UTF-8; a lone surrogate half becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
  } else if (c < 0x10000) {
    out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
  } else {
    out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
            static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
}

// Splits text into lines as it comes, chunk by chunk.
class LineSplitter {
 public:
  // Takes the next characters (UTF-8 or ANSI), up to the last line needed.
  void Take(std::string_view text) {
    for (char c : text) {
      if (afterCr_ && c == '\n') {
        afterCr_ = false;
        continue;
      }
      afterCr_ = false;
      if (c == '\r' || c == '\n') {
        lines_.push_back(std::move(line_));
        line_.clear();
        lineOpen_ = false;
        afterCr_ = c == '\r';
        if (Full()) return;
      } else {
        // An endless line (a binary file given as the list) is cut; the mark left in it keeps
        // it from ever reading as a number.
        if (line_.size() < kMaxLineLength) {
          line_.push_back(c);
        } else if (line_.size() == kMaxLineLength) {
          line_.push_back(kCutMark);
        }
        lineOpen_ = true;
      }
    }
  }
  // The lines read; a last line without a terminator still counts.
  std::vector<std::string> Finish() {
    if (lineOpen_ && !Full()) lines_.push_back(std::move(line_));
    return std::move(lines_);
  }
  bool Full() const { return lines_.size() == static_cast<std::size_t>(kLevelCount); }

 private:
  std::vector<std::string> lines_;
  std::string line_;
  bool afterCr_ = false;   // a CR just ended a line; an LF right after it belongs to it
  bool lineOpen_ = false;  // characters of an unfinished line were read
};

// Without a byte-order mark (some editors save UTF-16 so), the first line tells: in UTF-16 of
// ASCII digits every other byte is 0, the second of each pair in LE, the first in BE.
Form UnmarkedForm(std::string_view text) {
  for (const Form form : {Form::kUtf16Le, Form::kUtf16Be}) {
    const std::size_t zero = form == Form::kUtf16Le ? 1 : 0;
    std::size_t at = 0;
    for (; at + 1 < text.size(); at += 2) {
      const char low = text[at + 1 - zero];
      if (text[at + zero] != '\0' || low == '\0') break;
      if (low == '\r' || low == '\n') return form;  // the whole first line alternates
    }
    if (at + 1 >= text.size() && at > 0) return form;  // so does all there is
  }
  return Form::kBytes;
}

}  // namespace

Expected<std::vector<std::string>> ReadPositionList(const std::filesystem::path& file) {
  Expected<File> opened = File::Open(file, File::Access::kRead);
  if (!opened) return opened.error();

  LineSplitter splitter;
  Form form = Form::kBytes;
  bool atStart = true;
  char16_t high = 0;  // a UTF-16 high surrogate waiting for its low half
  std::string decoded;
  std::array<std::uint8_t, kListChunk> chunk;

  while (!splitter.Full()) {
    Expected<std::size_t> got = opened->Read(chunk);
    if (!got) return got.error();
    if (*got == 0) break;
    std::string_view text(reinterpret_cast<const char*>(chunk.data()), *got);
    if (atStart) {
      atStart = false;
      // One mark at most: what follows a UTF-8 mark is UTF-8, whatever its bytes.
      if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
      } else if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        form = text[0] == '\xFF' ? Form::kUtf16Le : Form::kUtf16Be;
        text.remove_prefix(2);
      } else {
        form = UnmarkedForm(text);
      }
    }
    if (form == Form::kBytes) {
      splitter.Take(text);
      continue;
    }
    decoded.clear();
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
      const auto first = static_cast<std::uint8_t>(text[i]);
      const auto second = static_cast<std::uint8_t>(text[i + 1]);
      const auto unit =
          static_cast<char16_t>(form == Form::kUtf16Le ? first | second << 8 : first << 8 | second);
      if (high && unit >= 0xDC00 && unit <= 0xDFFF) {
        AppendUtf8(decoded, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
        high = 0;
        continue;
      }
      if (high) AppendUtf8(decoded, high);  // a high half with no low half after it
      high = unit >= 0xD800 && unit <= 0xDBFF ? unit : 0;
      if (!high) AppendUtf8(decoded, unit);
    }
    splitter.Take(decoded);
  }
  if (high && !splitter.Full()) {  // the file ends after a high half
    decoded.clear();
    AppendUtf8(decoded, high);
    splitter.Take(decoded);
  }
  std::vector<std::string> lines = splitter.Finish();
  if (lines.size() < static_cast<std::size_t>(kLevelCount)) {
    return Error(ErrorNumber::kInputPastEndOfFile, file, static_cast<int>(lines.size()) + 1);
  }
  return lines;
}

}  // namespace patch
