#include "program_folder.h"

namespace patch {

std::filesystem::path BesideTool(const std::filesystem::path& programFolder,
                                 std::string_view name) {
  // A drive root ("E:\") keeps its own separator and gets no second one.
  return programFolder / std::filesystem::path(name);
}

}  // namespace patch
