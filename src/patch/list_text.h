// The list boxes' texts: one value a line, every line ended by CR LF.
#pragma once

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace patch {

inline void AppendLine(std::string& column, std::string_view value) {
  column += value;
  column += "\r\n";
}

// Each byte's line, its digits and CR LF, in 8 characters (the rest unused).
struct ByteLines {
  char text[256][8] = {};
  std::uint8_t length[256] = {};
  constexpr ByteLines() {
    for (int value = 0; value < 256; ++value) {
      char* line = text[value];
      std::size_t used = 0;
      if (value >= 100) line[used++] = static_cast<char>('0' + value / 100);
      if (value >= 10) line[used++] = static_cast<char>('0' + value / 10 % 10);
      line[used++] = static_cast<char>('0' + value % 10);
      line[used++] = '\r';
      line[used++] = '\n';
      length[value] = static_cast<std::uint8_t>(used);
    }
  }
};
inline constexpr ByteLines kByteLines{};

// A column of numbers, a line each, as a dense compare writes a hundred thousand of them: the
// lines are gathered a few kilobytes at a time, as appending each one to the string (a library
// call to copy a few bytes) would cost more than finding it.
class NumberColumn {
 public:
  // Room for lines of up to `digits` digits: reserved at once, the text is never copied as it
  // grows, and memory never written is never touched.
  NumberColumn(std::size_t lines, std::size_t digits) { text_.reserve(lines * (digits + 2)); }

  // Lines are written in batches of up to kBatchLines: Room gives where the next batch goes,
  // Put and PutByte write its lines, and Commit takes its end.
  static constexpr std::size_t kBatchLines = 256;

  char* Room() {
    if (used_ > sizeof buffer_ - kBatchLines * kLongestLine) Flush();
    return buffer_ + used_;
  }

  void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_); }

  // A number's line; returns its end.
  static char* Put(char* out, std::uint32_t value) {
    if constexpr (std::endian::native == std::endian::little) {
      constexpr std::uint64_t kZeros = 0x3030303030303030;  // '0' in every byte
      if (value >= 100'000'000) {
        const std::uint32_t top = value / 100'000'000;  // the first 1 or 2 digits
        std::memcpy(out, kByteLines.text[top], 2);
        out += kByteLines.length[top] - 2;
        const std::uint64_t text = EightDigits(value % 100'000'000) | kZeros;
        std::memcpy(out, &text, 8);
        out += 8;
      } else {
        // Written as eight digits, the first after the leading zeros (the zero bytes first in
        // memory) landing at out; the bytes past the last digit are overwritten by CR LF.
        const std::uint64_t digits = EightDigits(value);
        const int zeros = digits == 0 ? 7 : std::countr_zero(digits) / 8;
        const std::uint64_t text = (digits | kZeros) >> (8 * zeros);
        std::memcpy(out, &text, 8);
        out += 8 - zeros;
      }
    } else {
      out = std::to_chars(out, out + 10, value).ptr;
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
  }

  // A byte's line, from a table, copied as one word; returns its end.
  static char* PutByte(char* out, std::uint8_t value) {
    std::memcpy(out, kByteLines.text[value], sizeof kByteLines.text[value]);
    return out + kByteLines.length[value];
  }

  std::string Text() && {
    Flush();
    return std::move(text_);
  }

 private:
  static constexpr std::size_t kLongestLine = 12;  // 10 digits and CR LF

  // The eight decimal digits of value < 10^8, one a byte (0 to 9), the first in the lowest byte
  // and so first in memory on a little-endian machine. Four digits in each 32-bit half, then two
  // in each 16-bit quarter, then one a byte: every division a multiplication and a shift, exact
  // over its range and never carrying into the next lane.
  static std::uint64_t EightDigits(std::uint32_t value) {
    const std::uint64_t halves = value / 10000 | std::uint64_t{value % 10000} << 32;
    const std::uint64_t hundreds = (halves * 10486 >> 20) & 0x0000007F0000007F;
    const std::uint64_t quarters = (halves - hundreds * 100) << 16 | hundreds;
    const std::uint64_t tens = (quarters * 103 >> 10) & 0x000F000F000F000F;
    return (quarters - tens * 10) << 8 | tens;
  }

  void Flush() {
    text_.append(buffer_, used_);
    used_ = 0;
  }

  std::string text_;
  char buffer_[2 * kBatchLines * kLongestLine];
  std::size_t used_ = 0;
};

}  // namespace patch
