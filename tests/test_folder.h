// Whole files, and a fresh folder for one test with Chinese in its name, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

template <class Text>  // a string or a vector of bytes
void WriteBytes(const fs::path& file, const Text& bytes) {
  EXPECT_TRUE(
      std::ofstream(file, std::ios::binary | std::ios::trunc)
          .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
      << "cannot write " << file;
}
inline Bytes ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Named by the clock's ticks, so that test programs that ctest runs side by side do not share one.
struct TestFolder {
  TestFolder() { fs::create_directories(path); }
  ~TestFolder() { fs::remove_all(path, ignored_); }
  fs::path operator/(const fs::path& name) const { return path / name; }

  const fs::path path = fs::temp_directory_path() /
                        (fs::path(u8"补丁测试_") += std::to_string(
                             std::chrono::steady_clock::now().time_since_epoch().count()));
  std::error_code ignored_;
};

}  // namespace testing_support
