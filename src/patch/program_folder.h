// Files beside the tool, and paths as text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace patch {

// ProgramFolder + a separator + name, by plain concatenation: a drive root's own separator
// then stands twice, which the file system accepts.
std::filesystem::path BesideTool(const std::filesystem::path& programFolder, std::string_view name);

// A path as UTF-8 text, for the window and for error reports.
std::string PathText(const std::filesystem::path& path);

}  // namespace patch
