// How Windows' own file failures reach the user: a table locked by another program, a missing
// drive. Only the Windows build has these.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include "demo_set.h"
#include "operations.h"
#include "test_folder.h"

namespace patch {
namespace {

using testing_support::ReadFile;
using testing_support::TestFolder;

TEST(WindowsFiles, ATableLockedByAnotherProgramIsPermissionDeniedAndUntouched) {
  TestFolder folder;
  demo::DemoSet set = demo::MakeDemoSet(8192, 439);
  demo::WriteDemoSet(folder.path(), set);
  // The game holds its table open without sharing it.
  HANDLE lock = CreateFileW((folder / "t_mons.tbl").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  RaiseOutcome outcome = RaiseLevels("10", folder.path());
  CloseHandle(lock);
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kPermissionDenied);
  EXPECT_EQ(ReadFile(folder / "t_mons.tbl"), set.base);

  // Once the game lets go, the same raise goes through.
  EXPECT_FALSE(RaiseLevels("10", folder.path()).error.has_value());
}

TEST(WindowsFiles, AMissingDriveIsPathNotFound) {
  // Find a drive letter that is not mapped.
  DWORD drives = GetLogicalDrives();
  wchar_t letter = 0;
  for (wchar_t c = L'Q'; c <= L'Y'; ++c) {
    if ((drives & (1u << (c - L'A'))) == 0) {
      letter = c;
      break;
    }
  }
  ASSERT_NE(letter, 0);
  std::wstring base = std::wstring(1, letter) + L":\\t_mons0.tbl";
  std::wstring raised = std::wstring(1, letter) + L":\\t_mons100.tbl";
  CompareOutcome outcome = CompareTables(base, raised);
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->number, ErrorNumber::kPathNotFound);
}

}  // namespace
}  // namespace patch
#endif
