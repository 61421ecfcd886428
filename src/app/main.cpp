// quarnel2-patcher.exe: shows Form1 and runs its messages until it is closed.
// commctrl.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <filesystem>
#include <string>

#include "form1.h"

namespace {

// The compare always reads these two reference tables: the game's table and a copy of it
// with every enemy level raised by 100, as the modder leaves them on drive F:.
constexpr wchar_t kCompareBaseTable[] = L"F:\\t_mons0.tbl";
constexpr wchar_t kCompareRaisedTable[] = L"F:\\t_mons100.tbl";

// The folder of the running executable: the tables and the position list sit beside the tool,
// wherever it is started from. parent_path keeps a drive root's separator ("D:\").
std::filesystem::path ToolFolderPath() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    name.resize(name.size() * 2);  // a long path: the name was cut, so ask again with more room
  }
  return std::filesystem::path(name).parent_path();
}

// The long form of a path (the temporary folder often comes in its 8.3 form); as it is when that
// cannot be had.
std::wstring LongForm(const std::wstring& path) {
  std::wstring long_(32'768, L'\0');
  const DWORD length =
      GetLongPathNameW(path.c_str(), long_.data(), static_cast<DWORD>(long_.size()));
  if (length == 0 || length >= long_.size()) return path;
  long_.resize(length);
  return long_;
}

// Whether folder lies inside the user's temporary folder, where archive programs open a program
// straight from an archive. Names compare without regard to case, as Windows compares them.
bool InTemporaryFolder(const std::filesystem::path& folder) {
  std::wstring temporary(MAX_PATH + 1, L'\0');
  const DWORD length = GetTempPathW(static_cast<DWORD>(temporary.size()), temporary.data());
  if (length == 0 || length >= temporary.size()) return false;
  temporary.resize(length);
  const auto withSeparator = [](std::wstring path) {
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
  };
  const std::wstring outer = withSeparator(LongForm(temporary));
  const std::wstring inner = withSeparator(LongForm(folder.wstring()));
  return inner.size() >= outer.size() &&
         CompareStringOrdinal(inner.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                              static_cast<int>(outer.size()), TRUE) == CSTR_EQUAL;
}

int Run(int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const std::filesystem::path folder = ToolFolderPath();
  Form1 form(patch::ToolFolder(folder, InTemporaryFolder(folder)), kCompareBaseTable,
             kCompareRaisedTable);
  if (!form.Create()) return 1;
  ShowWindow(form.Window(), showCommand);
  UpdateWindow(form.Window());

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form.TranslateKeyboard(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // Before any file is touched: an empty card reader or DVD drive as F:, or a drive that is gone,
  // is told by the tool's own box, not first by Windows' "no disk" box (Cancel, Try Again,
  // Continue), perhaps twice.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return Run(showCommand);
}
