// A missing drive on Windows. (Held, read-only and hidden tables are driven through the real
// window by the end-to-end tests.)
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include "operations.h"

namespace patch {
namespace {

TEST(WindowsFiles, AMissingDriveIsPathNotFound) {
  const DWORD drives = GetLogicalDrives();
  wchar_t letter = L'Q';
  while (letter < L'Z' && (drives & (1u << (letter - L'A')))) ++letter;
  ASSERT_LT(letter, L'Z');
  const std::wstring root = std::wstring(1, letter) + L":\\";
  CompareOutcome outcome = CompareTables(root + L"t_mons0.tbl", root + L"t_mons100.tbl");
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kPathNotFound);
}

}  // namespace
}  // namespace patch
#endif
