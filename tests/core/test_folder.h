// A fresh folder for one test, with Chinese in its name, removed afterwards; and whole files.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class TestFolder {
 public:
  TestFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string unique = std::to_string(stamp) + "_" + std::to_string(counter++);
    path_ = std::filesystem::temp_directory_path() /
            (u8"补丁测试_" + std::u8string(unique.begin(), unique.end()));
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
inline void WriteFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  WriteFile(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
