// Texts from the player's files and paths as a box shows them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace patch {

// A text from a file as it may be shown: control characters and bytes that are no UTF-8
// written as \xNN, cut after 40 bytes (never inside a character) with an ellipsis.
std::string Shown(std::string_view text);

// A path as UTF-8 text.
std::string PathText(const std::filesystem::path& path);

}  // namespace patch
