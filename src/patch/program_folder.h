// Files beside the tool.
#pragma once

#include <filesystem>
#include <string_view>
#include <utility>

namespace patch {

// The folder holding the tool. Explorer, WinRAR, 7-Zip and Bandizip open a program straight from
// an archive in a folder of their own inside the user's temporary folder, where no file of the
// player's lies: temporary says that the tool runs from inside that temporary folder.
struct ToolFolder {
  ToolFolder(std::filesystem::path path, bool temporary = false)
      : path(std::move(path)), temporary(temporary) {}
  std::filesystem::path path;
  bool temporary;
};

// ProgramFolder + a separator + name; at a drive root the root's own separator serves, so that a
// box shows E:\t_mons.tbl as the player knows it, not with two separators in a row.
std::filesystem::path BesideTool(const std::filesystem::path& programFolder, std::string_view name);

}  // namespace patch
