// The list boxes' texts: one value a line, every line ended by CR LF.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace patch {

inline void AppendLine(std::string& column, std::string_view value) {
  column += value;
  column += "\r\n";
}

// A column of numbers, a line each, as a dense compare writes a hundred thousand of them: the
// lines are gathered a few kilobytes at a time, as appending each one to the string (a library
// call to copy a few bytes) would cost more than finding it.
class NumberColumn {
 public:
  // Room for lines of up to `digits` digits: reserved at once, the text is never copied as it
  // grows, and memory never written is never touched.
  NumberColumn(std::size_t lines, std::size_t digits) { text_.reserve(lines * (digits + 2)); }

  void Append(std::uint32_t value) {
    if (used_ > sizeof buffer_ - kLongestLine) Flush();
    char* end = std::to_chars(buffer_ + used_, buffer_ + used_ + 10, value).ptr;
    *end++ = '\r';
    *end++ = '\n';
    used_ = static_cast<std::size_t>(end - buffer_);
  }

  std::string Text() && {
    Flush();
    return std::move(text_);
  }

 private:
  static constexpr std::size_t kLongestLine = 12;  // 10 digits and CR LF

  void Flush() {
    text_.append(buffer_, used_);
    used_ = 0;
  }

  std::string text_;
  char buffer_[4096];
  std::size_t used_ = 0;
};

}  // namespace patch
