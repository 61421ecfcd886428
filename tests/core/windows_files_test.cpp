// The Windows file layer: attributes and missing drives. (A table held by another program is
// driven through the real window by the end-to-end tests.)
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include "demo_set.h"
#include "operations.h"
#include "test_folder.h"

namespace patch {
namespace {

using testing_support::ReadFile;

TEST(WindowsFiles, AttributesAreKeptAndReadOnlyIsRefused) {
  testing_support::TestFolder folder;
  demo::WriteDemoSet(folder.path(), demo::MakeDemoSet(8192, 439));
  const std::wstring table = (folder / "t_mons.tbl").wstring();
  constexpr DWORD kHiddenArchive = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_TRUE(SetFileAttributesW(table.c_str(), kHiddenArchive));
  ASSERT_FALSE(RaiseLevels("10", folder.path()).error.has_value());
  EXPECT_EQ(GetFileAttributesW(table.c_str()) & kHiddenArchive, kHiddenArchive);

  const std::vector<std::uint8_t> raised = ReadFile(folder / "t_mons.tbl");
  ASSERT_TRUE(SetFileAttributesW(table.c_str(), FILE_ATTRIBUTE_READONLY));
  RaiseOutcome outcome = RaiseLevels("20", folder.path());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kPermissionDenied);
  EXPECT_TRUE(outcome.error->readOnly);
  EXPECT_NE(GetFileAttributesW(table.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(ReadFile(folder / "t_mons.tbl"), raised);
  SetFileAttributesW(table.c_str(), FILE_ATTRIBUTE_NORMAL);
}

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
