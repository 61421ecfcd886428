// Each test gets the real tool in a fresh folder with a Chinese name, the demo tables beside it,
// fresh reference tables on drive F:, and the tool's window found and ready.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "demo_set.h"
#include "driver.h"

namespace e2e {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

inline constexpr milliseconds kPatience{20'000};

// The built quarnel2-patcher.exe as a path the test program can open.
fs::path PatcherExe();

Bytes ReadBytes(const fs::path& file);
void WriteBytes(const fs::path& file, const Bytes& bytes);

// "a\r\nb\r\n" for the values, as the list boxes show them.
template <class Values>
std::wstring Lines(const Values& values) {
  std::wstring text;
  for (const auto& value : values) text += std::to_wstring(value) + L"\r\n";
  return text;
}

std::size_t LineCount(const std::wstring& text);

// Drive F: as the compare sees it.
inline const fs::path kDriveF = L"F:\\";
inline const fs::path kReferenceBase = L"F:\\t_mons0.tbl";
inline const fs::path kReferenceRaised = L"F:\\t_mons100.tbl";

// Removes only the files the tests put on F:, never anything else a real F: may hold.
void CleanDriveF();

class PatcherTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the tool copied into `folder` and finds its window.
  void StartTool(const fs::path& folder);

  fs::path Beside(const char* name) const { return folder_ / name; }
  Bytes PatchedTable() const { return ReadBytes(Beside("t_mons.tbl")); }
  PatcherWindow& Window() { return *window_; }
  void WriteReferenceTables(const demo::DemoSet& set) const;

  demo::DemoSet set_;
  fs::path folder_;
  std::optional<Process> process_;
  std::optional<PatcherWindow> window_;
};

}  // namespace e2e
