// What other programs may do with a file while the tool has it open: Windows shares a file only
// as its opener allows (elsewhere nothing is refused by such a mode, so there is nothing to test).
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "../test_folder.h"
#include "files.h"

namespace patch {
namespace {

using namespace testing_support;

// A table only read may stay open elsewhere, even be changed or deleted there; t_mons.tbl, which
// the raise will replace, may only be read meanwhile; a save's new copy is no one else's at all.
TEST(Files, OthersMayOpenAFileOnlyAsTheToolsAccessAllows) {
  using enum File::Access;  // r, w, d: another program may open it to read, to write, to delete
  const std::pair<File::Access, std::string> cases[] = {
      {kRead, "rwd"}, {kReadWrite, "r"}, {kCreateNew, ""}};
  for (const auto& [access, expected] : cases) {
    TestFolder folder;
    const fs::path file = folder / "t_mons.tbl";
    if (access != kCreateNew) WriteBytes(file, Bytes{1});
    const Expected<File> open = File::Open(file, access);
    ASSERT_TRUE(open);
    constexpr DWORD kAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    std::string others;
    for (const auto& [right, letter] :
         {std::pair<DWORD, char>{GENERIC_READ, 'r'}, {GENERIC_WRITE, 'w'}, {DELETE, 'd'}}) {
      const HANDLE other =
          CreateFileW(file.c_str(), right, kAll, nullptr, OPEN_EXISTING, 0, nullptr);
      if (other != INVALID_HANDLE_VALUE) others += letter, CloseHandle(other);
    }
    EXPECT_EQ(others, expected);
  }
}

}  // namespace
}  // namespace patch
#endif
