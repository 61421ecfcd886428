#include "program_folder.h"

namespace patch {

std::filesystem::path BesideTool(const std::filesystem::path& programFolder,
                                 std::string_view name) {
  std::filesystem::path::string_type text = programFolder.native();
  text += std::filesystem::path::preferred_separator;
  text += std::filesystem::path(name).native();
  return std::filesystem::path(std::move(text));
}

std::string PathText(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace patch
