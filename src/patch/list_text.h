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

// A number's line, appended in a single step: a dense compare appends many of them.
inline void AppendLine(std::string& column, std::uint32_t value) {
  char line[16];
  char* end = std::to_chars(line, line + 10, value).ptr;
  *end++ = '\r';
  *end++ = '\n';
  column.append(line, end);
}

}  // namespace patch
