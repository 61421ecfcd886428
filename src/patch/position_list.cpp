#include "position_list.h"

#include <array>
#include <cstdint>
#include <utility>

#include "files.h"
#include "names.h"

namespace patch {
namespace {

constexpr char kCutMark = '~';

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

}  // namespace

void PositionListDecoder::Take(std::string_view text) {
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

// Without a byte-order mark (some editors save UTF-16 so), the first line tells: in UTF-16 of
// ASCII digits every other byte is 0, the second of each pair in LE, the first in BE.
PositionListDecoder::Encoding PositionListDecoder::UnmarkedEncoding(std::string_view text) {
  for (const Encoding encoding : {Encoding::kUtf16Le, Encoding::kUtf16Be}) {
    const std::size_t zero = encoding == Encoding::kUtf16Le ? 1 : 0;
    std::size_t at = 0;
    for (; at + 1 < text.size(); at += 2) {
      const char low = text[at + 1 - zero];
      if (text[at + zero] != '\0' || low == '\0') break;
      if (low == '\r' || low == '\n') return encoding;  // the whole first line alternates
    }
    if (at + 1 >= text.size() && at > 0) return encoding;  // so does all there is
  }
  return Encoding::kBytes;
}

bool PositionListDecoder::Full() const {
  return lines_.size() == static_cast<std::size_t>(kLevelCount);
}

void PositionListDecoder::Feed(std::string_view text) {
  if (Full()) return;
  if (atStart_) {
    atStart_ = false;
    // One mark at most: what follows a UTF-8 mark is UTF-8, whatever its bytes.
    if (text.starts_with("\xEF\xBB\xBF")) {
      text.remove_prefix(3);
    } else if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
      encoding_ = text[0] == '\xFF' ? Encoding::kUtf16Le : Encoding::kUtf16Be;
      text.remove_prefix(2);
    } else {
      encoding_ = UnmarkedEncoding(text);
    }
  }
  if (encoding_ == Encoding::kBytes) return Take(text);
  decoded_.clear();
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const auto first = static_cast<std::uint8_t>(text[i]);
    const auto second = static_cast<std::uint8_t>(text[i + 1]);
    const auto unit = static_cast<char16_t>(encoding_ == Encoding::kUtf16Le ? first | second << 8
                                                                            : first << 8 | second);
    if (high_ && unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(decoded_, 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
      high_ = 0;
      continue;
    }
    if (high_) AppendUtf8(decoded_, high_);  // a high half with no low half after it
    high_ = unit >= 0xD800 && unit <= 0xDBFF ? unit : 0;
    if (!high_) AppendUtf8(decoded_, unit);
  }
  Take(decoded_);
}

std::vector<std::string> PositionListDecoder::Finish() {
  if (high_ && !Full()) {  // the list ends after a high half
    decoded_.clear();
    AppendUtf8(decoded_, std::exchange(high_, u'\0'));
    Take(decoded_);
  }
  if (lineOpen_ && !Full()) lines_.push_back(std::move(line_));
  return std::move(lines_);
}

Expected<std::vector<std::string>> ReadPositionList(const std::filesystem::path& file) {
  Expected<File> opened = File::Open(file, File::Access::kRead);
  if (!opened) return opened.error();
  PositionListDecoder decoder;
  std::array<std::uint8_t, kListChunk> chunk;
  while (!decoder.Full()) {
    Expected<std::size_t> got = opened->Read(chunk);
    if (!got) return got.error();
    if (*got == 0) break;
    decoder.Feed({reinterpret_cast<const char*>(chunk.data()), *got});
  }
  std::vector<std::string> lines = decoder.Finish();
  if (lines.size() < static_cast<std::size_t>(kLevelCount)) {
    return Error(ErrorNumber::kInputPastEndOfFile, file, static_cast<int>(lines.size()) + 1);
  }
  return lines;
}

}  // namespace patch
