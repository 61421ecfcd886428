// Files beside the tool.
#pragma once

#include <filesystem>
#include <string_view>

namespace patch {

// ProgramFolder + a separator + name; at a drive root the root's own separator serves, so that a
// box shows E:\t_mons.tbl as the player knows it, not with two separators in a row.
std::filesystem::path BesideTool(const std::filesystem::path& programFolder, std::string_view name);

}  // namespace patch
