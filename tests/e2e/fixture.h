// Each test gets the real tool copied into a fresh folder with a Chinese name, the demo tables
// beside it, the reference tables on drive F:, and the tool's window up, active and focused.
#pragma once

#include <gtest/gtest.h>

#include "../test_folder.h"
#include "demo_set.h"
#include "driver.h"

namespace e2e {

using namespace testing_support;

inline fs::path PatcherExe() {  // the build's spelling: a Unix path when cross-built, Z: in Wine
  const std::wstring path = L"" PATCHER_EXE;
  return fs::path(path.starts_with(L'/') ? L"Z:" + path : path).make_preferred();
}

inline bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
}

// Drive F: for the compare, the folder it leads to. Under Wine the prefix's own, which
// scripts/wine-prefix.sh leads into the build folder; on Windows a drive led to the test's own
// folder for the test's time, and never a real F:.
inline std::optional<fs::path> LeadDriveF(const fs::path& folder) {
  if (UnderWine()) return fs::path(L"F:\\");
  if (GetDriveTypeW(L"F:\\") != DRIVE_NO_ROOT_DIR || !DefineDosDeviceW(0, L"F:", folder.c_str())) {
    return std::nullopt;
  }
  return folder;
}

// Under Wine: the screen DPI of the processes started from now on.
inline void SetLogPixels(DWORD dpi) {
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, 4);
}

class PatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Window positions and sizes in real pixels, as the tool (aware of its DPI) sets them.
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    fs::create_directories(folder_ = root_ / L"工具");
    fs::create_directories(root_ / L"F");
    const auto driveF = LeadDriveF(root_ / L"F");
    ASSERT_TRUE(driveF) << "drive F: is in use, so the tests leave it alone";
    driveF_ = *driveF;
    demo::WriteDemoSet(folder_, set_);
    fs::remove(Beside("t_mons100.tbl"));  // a raise needs the other three
    WriteBytes(driveF_ / "t_mons0.tbl", set_.base);
    WriteBytes(driveF_ / "t_mons100.tbl", set_.raised);

    // A Windows session takes another DPI only at the next sign-in; its settings stay as set.
    const bool wine = UnderWine();
    if (dpi_ && !wine && dpi_ != GetDpiForSystem()) GTEST_SKIP() << "not at " << dpi_ << " DPI";
    if (dpi_ && wine) SetLogPixels(dpi_);
    StartTool();
    if (dpi_ && wine) SetLogPixels(96);  // Wine's default, for whatever starts next
  }

  void TearDown() override {
    if (IsWindow(form_)) {
      if (auto box = BoxUp(milliseconds(0))) (void)PressButton(*box);  // left by a failed check
      PostMessageW(form_, WM_CLOSE, 0, 0);
    }
    if (process_.hProcess) {
      const bool ended = WaitForSingleObject(process_.hProcess, 20'000) == WAIT_OBJECT_0;
      DWORD code = 0;
      if (!ended && TerminateProcess(process_.hProcess, 99)) {
        WaitForSingleObject(process_.hProcess, 10'000);
      }
      EXPECT_TRUE(ended && GetExitCodeProcess(process_.hProcess, &code) && code == 0)
          << "closing the window must end the tool normally; exit code " << code;
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    if (!UnderWine() && !driveF_.empty()) {
      DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, L"F:", driveF_.c_str());
    }
  }

  HWND Control(int id) const { return GetDlgItem(form_, id); }
  std::wstring Text(int id) const { return TextOf(Control(id)); }
  [[nodiscard]] bool Type(int id, const std::wstring& text) const {
    return Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  HWND Focus() const { return GuiOf(ThreadOf(form_)).hwndFocus; }
  std::optional<Box> BoxUp(milliseconds timeout = kPatience) const {
    return WaitForBox(ThreadOf(form_), timeout);
  }
  // Clicks and waits for the handler to return, as it does when it shows no box.
  [[nodiscard]] bool ClickOn(int id) const { return Send(Control(id), BM_CLICK, 0, 0); }
  // A file beside the tool, by the harness's own path to it.
  fs::path Beside(const char* name) const { return folder_ / name; }

  UINT dpi_ = 0;  // set by a test's constructor: the DPI the tool starts at; 0: as it is
  demo::DemoSet set_ = demo::MakeDemoSet();
  TestFolder root_;           // the harness's own folder
  fs::path folder_, driveF_;  // the tool's, in the harness's, and the one F: leads to
  HWND form_ = nullptr;

 private:
  void StartTool() {
    fs::copy_file(PatcherExe(), Beside("quarnel2-patcher.exe"));
    // Started from elsewhere: the tool must find its files by its own location.
    const std::wstring exe = Beside("quarnel2-patcher.exe").wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessW(exe.c_str(), (L"\"" + exe + L"\"").data(), nullptr, nullptr, FALSE,
                               0, nullptr, root_.path.c_str(), &startup, &process_))
        << "cannot start " << exe;
    ASSERT_TRUE(form_ = WindowOf(process_.dwThreadId, form1::kClassName)) << "no window appeared";
    ASSERT_TRUE(WaitFor([&] {
      return GuiOf(ThreadOf(form_)).hwndActive == form_ && IsChild(form_, Focus());
    })) << "the window did not become active with a control focused";
  }

  PROCESS_INFORMATION process_{};
};

}  // namespace e2e
