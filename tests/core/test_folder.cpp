#include "test_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {
namespace fs = std::filesystem;

TestFolder::TestFolder() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::u8string name = u8"补丁测试_";
  std::string unique = std::to_string(stamp) + "_" + std::to_string(counter++);
  name.append(unique.begin(), unique.end());
  path_ = fs::temp_directory_path() / fs::path(name);
  fs::create_directories(path_);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

fs::path TestFolder::operator/(std::string_view name) const {
  return path_ / fs::path(std::u8string(name.begin(), name.end()));
}

void WriteFile(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write test file");
}

void WriteFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  WriteFile(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read test file");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
