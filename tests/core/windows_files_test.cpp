// The Windows file layer: tables held by another program, attributes, missing drives.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "demo_set.h"
#include "operations.h"
#include "test_folder.h"

namespace patch {
namespace {

using testing_support::ReadFile;
using testing_support::TestFolder;

TEST(WindowsFiles, AHeldTableIsWaitedForAndSavedOnceReleased) {
  for (DWORD holdMs : {500u, 4000u}) {
    TestFolder folder;
    demo::DemoSet set = demo::MakeDemoSet(8192, 439);
    demo::WriteDemoSet(folder.path(), set);
    // Another program holds the table open without sharing it, then lets go.
    HANDLE held = CreateFileW((folder / "t_mons.tbl").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([&] {
      Sleep(holdMs);
      CloseHandle(held);
    });
    RaiseOutcome outcome = RaiseLevels("10", folder.path());
    release.join();
    if (holdMs < 2000) {
      EXPECT_FALSE(outcome.error.has_value()) << ErrorReport(*outcome.error);
      EXPECT_NE(ReadFile(folder / "t_mons.tbl"), set.base);
    } else {
      ASSERT_TRUE(outcome.error.has_value());
      EXPECT_EQ(outcome.error->number, ErrorNumber::kPermissionDenied);
      EXPECT_FALSE(outcome.error->readOnly);
      EXPECT_EQ(ReadFile(folder / "t_mons.tbl"), set.base);
    }
  }
}

TEST(WindowsFiles, AttributesAreKeptAndReadOnlyIsRefused) {
  TestFolder folder;
  demo::DemoSet set = demo::MakeDemoSet(8192, 439);
  demo::WriteDemoSet(folder.path(), set);
  const std::wstring table = (folder / "t_mons.tbl").wstring();
  ASSERT_TRUE(SetFileAttributesW(table.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_FALSE(RaiseLevels("10", folder.path()).error.has_value());
  EXPECT_EQ(GetFileAttributesW(table.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
            DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});

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
