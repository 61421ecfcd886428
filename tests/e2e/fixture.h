// Each test gets the real tool copied into a fresh folder with a Chinese name, the demo tables
// beside it, the reference tables on drive F:, and the tool's window up, active and focused.
#pragma once

#include <gtest/gtest.h>

#include "../test_folder.h"
#include "demo_set.h"
#include "driver.h"

namespace e2e {

using namespace form1;
using namespace testing_support;

inline fs::path PatcherExe() {  // the build's spelling: a Unix path when cross-built, Z: in Wine
  const std::wstring path = L"" PATCHER_EXE;
  return fs::path(path.starts_with(L'/') ? L"Z:" + path : path).make_preferred();
}

inline const bool kUnderWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
inline void SetLogPixels(DWORD dpi) {  // under Wine: the DPI of the processes started from now on
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, 4);
}

// This process's environment block, TMP and TEMP set to temporary: for CreateProcessW.
inline std::wstring EnvironmentWith(const std::wstring& temporary) {
  std::wstring block;
  const LPWCH all = GetEnvironmentStringsW();
  for (const wchar_t* line = all; *line; line += wcslen(line) + 1) {
    const bool named = !_wcsnicmp(line, L"TMP=", 4) || !_wcsnicmp(line, L"TEMP=", 5);
    block += named ? std::wstring(line, wcschr(line, L'=') - line + 1) + temporary : line;
    block += L'\0';
  }
  FreeEnvironmentStringsW(all);
  return block;  // c_str() adds the block's closing NUL
}

// Where the tool's folder lies: in a folder of its own (in the user's local application data);
// inside the temporary folder, as an archive program opens a tool, that folder named in its 8.3
// form as Windows often names it (for a long or Chinese user name); beside the temporary folder,
// in one whose name starts with the temporary folder's; in a folder of its own while the
// temporary folder named to the tool is gone, or too long for the system to give.
enum Place { kOwn, kTemporary, kNamedLikeTemporary, kOwnTemporaryGone, kOwnTemporaryTooLong };

class PatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Window positions and sizes in real pixels, as the tool (aware of its DPI) sets them.
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const fs::path name = root_.path.filename(), temporary = fs::temp_directory_path() / "";
    wchar_t local[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH)) << "no LOCALAPPDATA";
    // Too long a TMP, Windows gives the user's profile instead (Wine gives none): a folder outside.
    const fs::path parents[] = {local / name, root_.path, (temporary.parent_path() += L"x") += name,
                                local / name, root_.path.root_path() / name};
    fs::create_directories(folder_ = (parent_ = parents[place_]) / L"工具");
    // Drive F: under Wine is the prefix's own, which scripts/wine-prefix.sh leads into the build
    // folder; on Windows one led to the test's own folder for the test's time, never a real F:.
    fs::create_directories(driveF_ = kUnderWine ? fs::path(L"F:\\") : root_ / L"F");
    ASSERT_TRUE(kUnderWine || (GetDriveTypeW(L"F:\\") == DRIVE_NO_ROOT_DIR &&
                               DefineDosDeviceW(0, L"F:", driveF_.c_str())))
        << "drive F: is in use, so the tests leave it alone";
    demo::WriteDemoSet(folder_, set_);
    fs::remove(Beside("t_mons100.tbl"));  // a raise needs the other three
    WriteBytes(driveF_ / "t_mons0.tbl", set_.base);
    WriteBytes(driveF_ / "t_mons100.tbl", set_.raised);
    // A Windows session takes another DPI only at the next sign-in; its settings stay as set.
    if (dpi_ && !kUnderWine && dpi_ != GetDpiForSystem()) GTEST_SKIP() << dpi_ << " DPI not set";
    // The tool, started from elsewhere, must find its files by its own location.
    const std::wstring exe = Beside("quarnel2-patcher.exe").wstring();
    fs::copy_file(PatcherExe(), exe);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // The temporary folder named to the tool, by place: in its 8.3 form when the tool lies inside
    // it (Wine too gives a long name one; a Windows volume may have none).
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_TRUE(place_ != kTemporary ||
                (GetShortPathNameW(root_.path.c_str(), shortForm, MAX_PATH) &&
                 (!kUnderWine || root_.path != shortForm)));
    const fs::path temporaries[] = {temporary, shortForm, temporary, root_ / L"gone",
                                    root_ / std::wstring(300, L'x')};
    std::wstring environment = EnvironmentWith(temporaries[place_]);
    if (dpi_ && kUnderWine) SetLogPixels(dpi_);
    if (CreateProcessW(exe.c_str(), (L"\"" + exe + L"\"").data(), nullptr, nullptr, FALSE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(), root_.path.c_str(), &startup,
                       &process_)) {
      CloseHandle(process_.hThread);
      form_ = WindowOf(process_.dwThreadId, kClassName);
    }
    if (dpi_ && kUnderWine) SetLogPixels(96);  // Wine's default, for whatever starts next
    ASSERT_TRUE(form_) << "no window appeared";
    ASSERT_TRUE(WaitFor([&] { return Focus(); })) << "not active with a control focused";
  }

  void TearDown() override {
    if (auto box = WaitForBox(form_, {})) (void)PressButton(*box);  // left by a failed check
    if (form_) PostMessageW(form_, WM_CLOSE, 0, 0);
    if (const HANDLE tool = process_.hProcess) {
      const bool ended = WaitForSingleObject(tool, 20'000) == WAIT_OBJECT_0;
      if (!ended && TerminateProcess(tool, 99)) WaitForSingleObject(tool, 10'000);
      DWORD code = 0;
      EXPECT_TRUE(ended && GetExitCodeProcess(tool, &code) && code == 0) << "exit code " << code;
      CloseHandle(tool);
    }
    if (!kUnderWine)  // an exact match: the test's own definition only
      DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, L"F:", driveF_.c_str());
    fs::remove_all(parent_, root_.ignored_);
  }

  HWND Control(int id) const { return GetDlgItem(form_, id); }
  std::wstring Text(int id) const { return TextOf(Control(id)); }
  [[nodiscard]] bool Type(int id, const std::wstring& text) const {
    return Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  HWND Focus() const { return FocusIn(form_); }
  // Clicks and waits for the handler to return, as it does when it shows no box.
  [[nodiscard]] bool ClickOn(int id) const { return Send(Control(id), BM_CLICK, 0, 0); }
  fs::path Beside(const char* name) const { return folder_ / name; }  // by the harness's path
  // The box that is up, answered with button once its title (the window's unless given), its
  // modality, its icon and, in a question, No as the default are checked; one with no text if
  // none came.
  Box Answer(int button = IDOK, const std::wstring& title = {}) const {
    const Box box = WaitForBox(form_, milliseconds(30'000)).value_or(Box{});
    const LONG no = GetWindowLongW(GetDlgItem(box.box, IDNO), GWL_STYLE);
    EXPECT_EQ(box.title, title.empty() ? TextOf(form_) : title) << "no box, or another";
    EXPECT_FALSE(IsWindowEnabled(form_)) << "the box is not modal";
    HWND icon = GetDlgItem(box.box, 20) ? GetDlgItem(box.box, 20) : GetDlgItem(box.box, 0x440);
    DWORD_PTR shown = 0;  // in Windows' icon control, or Wine's
    EXPECT_TRUE(IsWindowVisible(icon) && Send(icon, STM_GETICON, 0, 0, &shown) && shown)
        << "no icon";
    EXPECT_TRUE(button != IDNO || (no & BS_TYPEMASK) == BS_DEFPUSHBUTTON) << "No is no default";
    EXPECT_TRUE(PressButton(box, button));
    return box;
  }

  UINT dpi_ = 0;  // set by a test's constructor: the DPI the tool starts at; 0: as it is
  Place place_ = Place::kOwn;  // and where the tool's folder lies
  demo::DemoSet set_ = demo::MakeDemoSet();
  TestFolder root_;                    // the harness's own folder
  fs::path parent_, folder_, driveF_;  // the tool's folder's, the tool's, the one F: leads to
  HWND form_ = nullptr;
  PROCESS_INFORMATION process_{};
};

}  // namespace e2e
