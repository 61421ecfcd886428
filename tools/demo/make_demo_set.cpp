// make_demo_set <folder>: writes a synthetic table set (t_mons0.tbl, t_mons100.tbl, t_mons.tbl,
// drevon2.txt) into folder, creating it when needed.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "demo_set.h"

namespace {

std::string Printable(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

int Run(const std::filesystem::path& folder) {
  try {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
      std::fprintf(stderr, "make_demo_set: cannot create folder %s: %s\n",
                   Printable(folder).c_str(), error ? error.message().c_str() : "not a folder");
      return 1;
    }
    const demo::DemoSet set = demo::MakeDemoSet();
    demo::WriteDemoSet(folder, set);
    std::printf("wrote %zu-byte tables with %zu level positions to %s\n", set.base.size(),
                set.positions.size(), Printable(folder).c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo_set: %s\n", e.what());
    return 1;
  }
}

}  // namespace

// On Windows the wide command line keeps folder names in any script (e.g. Chinese) intact.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_set <folder>\n");
    return 2;
  }
  return Run(std::filesystem::path(argv[1]));
}
#else
int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_set <folder>\n");
    return 2;
  }
  return Run(std::filesystem::path(argv[1]));
}
#endif
