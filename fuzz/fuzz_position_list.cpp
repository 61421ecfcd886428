// Decodes fuzzed bytes as the position list, fed as a file's are read, and compares the lines
// with a plain model of it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "names.h"
#include "position_list.h"

namespace {

using patch::kMaxLineLength;  // longer lines are cut and marked
constexpr std::size_t kRepeatedContent = 3 * patch::kListChunk + 100;  // across several reads

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz_position_list: %s\n", what);
  std::abort();
}

// UTF-16 (after its byte-order mark) as UTF-8, code point by code point; a surrogate half with no
// partner is U+FFFD, an odd last byte no character.
std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<std::uint8_t>(bytes[i]), b = static_cast<std::uint8_t>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(bigEndian ? a << 8 | b : b << 8 | a));
  }
  std::string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else if (c < 0x800) {
      text += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      text += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
               static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      text += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
               static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return text;
}

// Without a byte-order mark, UTF-16 whose order the first read's pairs show: each a non-zero byte
// and a zero (LE) or the other way round (BE), up to the first line's end or all the pairs there
// are. 0 for neither, 1 for LE, 2 for BE.
int UnmarkedUtf16(std::string_view content) {
  const std::string_view first = content.substr(0, patch::kListChunk);
  for (const int order : {1, 2}) {
    for (std::size_t i = 0; i + 1 < first.size(); i += 2) {
      const char low = first[order == 1 ? i : i + 1], zero = first[order == 1 ? i + 1 : i];
      if (zero != '\0' || low == '\0') break;
      if (low == '\r' || low == '\n' || i + 3 >= first.size()) return order;
    }
  }
  return 0;
}

// The first kLevelCount lines, split at CR LF, LF or CR, after an optional UTF-8 BOM or of the
// UTF-16 text after a UTF-16 one (or of UTF-16 without one); lines longer than the limit keep its
// length and gain a mark.
std::vector<std::string> Split(std::string_view content) {
  std::vector<std::string> lines;
  std::string decoded;
  if (content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF")) {
    decoded = FromUtf16(content.substr(2), content[0] == '\xFE');
    content = decoded;
  } else if (content.starts_with("\xEF\xBB\xBF")) {
    content.remove_prefix(3);
  } else if (const int order = UnmarkedUtf16(content)) {
    decoded = FromUtf16(content, order == 2);
    content = decoded;
  }
  std::size_t at = 0;
  const auto limit = static_cast<std::size_t>(patch::kLevelCount);
  while (at < content.size() && lines.size() < limit) {
    const std::size_t end = content.find_first_of("\r\n", at);
    std::string line(content.substr(at, end == std::string_view::npos ? end : end - at));
    if (line.size() > kMaxLineLength) {
      line.resize(kMaxLineLength);
      line.push_back('~');
    }
    lines.push_back(std::move(line));
    if (end == std::string_view::npos) break;
    at = end + 1;
    if (content[end] == '\r' && at < content.size() && content[at] == '\n') ++at;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  // The first byte picks the shape of the file made from the bytes after the third:
  // - low three bits 6 or 7: those bytes repeated across several read chunks (many lines);
  // - 7 also inserts a run of the second byte at an offset the third byte picks, long enough
  //   (64 KiB - 8 to 64 KiB + 23) to meet the line-length limit;
  // - otherwise those bytes as they are.
  const std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  std::string content(rest);
  const int shape = data[0] & 7;
  if (shape >= 6 && !rest.empty()) {
    content.reserve(kRepeatedContent + rest.size() + kMaxLineLength + 32);
    while (content.size() < kRepeatedContent) content += rest;
  }
  if (shape == 7) {
    const std::size_t run = kMaxLineLength - 8 + (data[0] >> 3);
    const std::size_t at = (std::size_t{data[2]} * 97) % (content.size() + 1);
    content.insert(at, run, static_cast<char>(data[1]));
  }
  // Fed as a file is read; what comes after the last line needed is ignored.
  patch::PositionListDecoder decoder;
  for (std::size_t at = 0; at < content.size(); at += patch::kListChunk) {
    decoder.Feed(std::string_view(content).substr(at, patch::kListChunk));
  }
  const std::vector<std::string> lines = decoder.Finish();
  Check(lines.size() <= static_cast<std::size_t>(patch::kLevelCount), "more than 439 lines");
  for (const std::string& line : lines) {
    Check(line.find_first_of("\r\n") == std::string::npos, "a line holds CR or LF");
    Check(line.size() <= kMaxLineLength + 1, "a line is longer than the limit");
  }
  Check(lines == Split(content), "the lines differ from a plain split of the bytes");
  return 0;
}
