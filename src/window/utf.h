// UTF-8 (the core's texts) to UTF-16 (the window's texts) and back.
#pragma once

#include <string>
#include <string_view>

namespace utf {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace utf
