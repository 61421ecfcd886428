// drive_demo: works the already open tool the way a player would, for run.sh and
// scripts/screenshot.sh where nobody sits at the (virtual) screen.
//   drive_demo [--raise STEP] [--compare] [--close]
// Steps run in the order given; each one prints what the window then shows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "driver.h"
#include "form1_ids.h"

namespace {

using e2e::milliseconds;

void Print(const std::string& line) {
  const std::string withNewline = line + "\n";
  std::fwrite(withNewline.data(), 1, withNewline.size(), stdout);
  std::fflush(stdout);
}

std::string Utf8(std::wstring_view text) { return e2e::ToUtf8(text); }

std::size_t Lines(const std::wstring& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n'));
}

// Clicks; a message box the click brings up is reported and closed, as a player would.
bool ClickAndReport(const e2e::PatcherWindow& window, int button, const char* what) {
  e2e::PendingClick click(window.Control(button));
  while (!click.Wait(milliseconds(50))) {
    if (auto box = window.WaitForMessageBox(milliseconds(0))) {
      Print(std::string(what) + ": message box \"" + Utf8(box->title) + "\": " + Utf8(box->text));
      e2e::PressOk(*box);
      click.Wait(milliseconds(60'000));
      return false;
    }
  }
  const double ms = std::chrono::duration<double, std::milli>(click.Elapsed()).count();
  Print(std::string(what) + ": done in " + std::to_string(ms) + " ms");
  return true;
}

void Raise(const e2e::PatcherWindow& window, const std::wstring& step) {
  window.SetText(form1::kText4, step);
  ClickAndReport(window, form1::kCommand2, ("raise " + Utf8(step)).c_str());
  Print("  Label3: " + Utf8(window.Text(form1::kLabel3)) +
        "; lists: " + std::to_string(Lines(window.Text(form1::kText1))) + " positions");
}

void Compare(const e2e::PatcherWindow& window) {
  ClickAndReport(window, form1::kCommand1, "compare F:\\t_mons0.tbl F:\\t_mons100.tbl");
  Print("  Label1: " + Utf8(window.Text(form1::kLabel1)) +
        "; lists now: " + std::to_string(Lines(window.Text(form1::kText1))) + " lines");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  auto window = e2e::PatcherWindow::Find(0, milliseconds(30'000));
  if (!window) {
    Print("drive_demo: the tool's window did not appear");
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument = argv[i];
    if (argument == L"--raise" && i + 1 < argc) {
      Raise(*window, argv[++i]);
    } else if (argument == L"--compare") {
      Compare(*window);
    } else if (argument == L"--rect") {
      RECT rect{};
      GetWindowRect(window->form(), &rect);
      Print("window-rect " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
            std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top));
    } else if (argument == L"--close") {
      PostMessageW(window->form(), WM_CLOSE, 0, 0);
    } else {
      Print("usage: drive_demo [--raise STEP] [--compare] [--rect] [--close]");
      return 2;
    }
  }
  return 0;
}
