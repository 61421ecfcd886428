#include "position_list.h"

#include <gtest/gtest.h>

#include <string>

namespace patch {
namespace {

// n lines "1", "2", ... each ended by terminator.
std::string Lines(int n, std::string_view terminator) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += std::to_string(i) + std::string(terminator);
  return text;
}

// The lines of a list fed as ReadPositionList feeds a file's, kListChunk bytes at a time.
std::vector<std::string> Decoded(std::string_view bytes) {
  PositionListDecoder decoder;
  for (std::size_t at = 0; at < bytes.size(); at += kListChunk)
    decoder.Feed(bytes.substr(at, kListChunk));
  return decoder.Finish();
}

// text as Notepad saves it as "Unicode": UTF-16 with its byte-order mark; some editors leave
// the mark out.
std::string Utf16(std::u16string_view text, bool bigEndian, bool marked = true) {
  std::string bytes = !marked ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : text) bytes += {char(bigEndian ? u >> 8 : u), char(bigEndian ? u : u >> 8)};
  return bytes;
}
std::u16string Widened(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// How bytes become lines; lines too few, and the list read from its file, are the raise's tests.
TEST(PositionList, ReadsThe439LinesAsWritten) {
  const std::string endless = "5" + std::string(200 * 1024, ' ');  // a binary file, say
  // A CR LF split between two reads: the LF still belongs to the CR, and ends no second line.
  const std::string split = std::string(kListChunk - 1, '7') + "\r\n" + Lines(438, "\r\n");
  const std::string nul{'1', '\0', '2'};
  // Unmarked, the first read decides: UTF-16 when all its pairs alternate, bytes when one does not.
  const std::string ones(kListChunk / 2, '1'), pairs = Utf16(Widened(ones), false, false).substr(2);
  // clang-format off
  const struct { std::string text, first, second, last; } cases[] = {
      {Lines(1000, "\r\n"), "1", "2", "439"},  // lines past 439 are never read, nor later reads
      {"\xEF\xBB\xBF" + Lines(439, "\n"), "1", "2", "439"},
      {Lines(439, "\r"), "1", "2", "439"},
      {std::string(1, '\n').append(Lines(438, "\r\n")), "", "1", "438"},  // the first line may be empty
      {"7\r\n\n" + Lines(437, "\r\n"), "7", "", "437"},  // CR LF, then an LF of its own
      {nul + "\r\n" + Lines(438, "\r\n"), nul, "1", "438"},  // a NUL is no UTF-16 without a mark
      {Utf16(Widened(Lines(500, "\r\n")), false), "1", "2", "439"},
      {Utf16(u"\u4E00\U0001F600\r\n" + Widened(Lines(438, "\n")), true), "一😀", "1", "438"},
      {Utf16(Widened(Lines(439, "\r\n")), false, false), "1", "2", "439"},
      {Utf16(Widened("\r\n" + Lines(438, "\r\n")), true, false), "", "1", "438"},
      {Utf16(Widened(ones + "\n" + Lines(438, "\n")), false, false), ones, "1", "438"},
      {pairs + "\r\n" + Lines(438, "\r\n"), pairs, "1", "438"},
      {Utf16(u"\x7F\x80\u07FF\u0800\uE000\U00010000\U0010FFFF\n" + Widened(Lines(438, "\n")), false),
       "\x7F\u0080\u07FF\u0800\uE000\U00010000\U0010FFFF", "1", "438"},
      // A surrogate half with no other half, also as the file's very last unit.
      {Utf16(u"\xDC00\xDFFF\r\n" + Widened(Lines(437, "\r\n")) + u"\xD800", false), "\uFFFD\uFFFD", "1", "\uFFFD"},
      {split, split.substr(0, kListChunk - 1), "1", "438"},
      // What looks like a byte-order mark at the start of a later read is text like any other.
      {split.substr(0, kListChunk) + "\xEF\xBB\xBF\n" + Lines(438, "\n"), split.substr(0, kListChunk - 1), "\xEF\xBB\xBF", "437"},
      // Blanks and empty lines are kept; the last line needs no terminator.
      {" 57 \r\n\r\n" + Lines(436, "\r\n") + "last", " 57 ", "", "last"},
      // An endless line is cut, and the mark left in it keeps it from reading as a number.
      {endless + "\r\n" + Lines(438, "\r\n"), endless.substr(0, kMaxLineLength) + "~", "1", "438"},
  };
  // clang-format on
  for (const auto& c : cases) {
    const std::vector<std::string> got = Decoded(c.text);
    ASSERT_EQ(got.size(), 439u) << c.text.substr(0, 20);
    EXPECT_EQ((std::vector{got[0], got[1], got[438]}), (std::vector{c.first, c.second, c.last}));
  }
}

}  // namespace
}  // namespace patch
