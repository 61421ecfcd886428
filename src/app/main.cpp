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
std::filesystem::path ProgramFolder() {
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

int Run(int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  Form1 form(ProgramFolder(), kCompareBaseTable, kCompareRaisedTable);
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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) { return Run(showCommand); }
