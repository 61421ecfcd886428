// drive_demo: works the already open tool the way a player would, for run.sh and
// scripts/screenshot.sh where nobody sits at the (virtual) screen.
//   drive_demo [--raise STEP] [--compare] [--rect] [--close]
// Steps run in the order given; each one prints what the window then shows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <optional>
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

std::string Utf8(std::wstring_view text) {
  const int size = static_cast<int>(text.size());
  std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                      nullptr, nullptr);
  return utf8;
}

std::size_t Lines(const std::wstring& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n'));
}

// Clicks; a message box the click brings up is reported and closed, as a player would. The
// click is sent from a worker thread: BM_CLICK returns when the button's handler has, which is
// after any box it showed was closed.
void ClickAndReport(HWND form, int button, const std::string& what) {
  const auto start = e2e::Clock::now();
  HWND control = GetDlgItem(form, button);
  auto click =
      std::async(std::launch::async, [control] { return e2e::Send(control, BM_CLICK, 0, 0); });
  const auto returned = [&] {
    return click.wait_for(milliseconds(0)) == std::future_status::ready;
  };
  std::optional<e2e::Box> box;
  e2e::WaitFor([&] { return returned() || (box = e2e::WaitForBox(form, milliseconds(0))); },
               milliseconds(120'000));
  if (box) {
    Print(what + ": message box \"" + Utf8(box->title) + "\": " + Utf8(box->text));
    if (!e2e::PressButton(*box)) Print(what + ": the box did not close");
  }
  const bool done =
      click.wait_for(milliseconds(60'000)) == std::future_status::ready && click.get();
  const std::chrono::duration<double, std::milli> took = e2e::Clock::now() - start;
  Print(what + (done ? ": done in " : ": no answer after ") + std::to_string(took.count()) + " ms");
}

void Raise(HWND form, const std::wstring& step) {
  if (!e2e::Send(GetDlgItem(form, form1::kStep), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(step.c_str())))
    Print("raise: the step box took no text");
  ClickAndReport(form, form1::kRaise, "raise " + Utf8(step));
  Print("  confirmation: " + Utf8(e2e::TextOf(GetDlgItem(form, form1::kConfirmation))) +
        "; lists: " + std::to_string(Lines(e2e::TextOf(GetDlgItem(form, form1::kPositions)))) +
        " positions");
}

void Compare(HWND form) {
  ClickAndReport(form, form1::kCompare, "compare F:\\t_mons0.tbl F:\\t_mons100.tbl");
  Print("  match count: " + Utf8(e2e::TextOf(GetDlgItem(form, form1::kMatchCount))) +
        "; lists now: " + std::to_string(Lines(e2e::TextOf(GetDlgItem(form, form1::kPositions)))) +
        " lines");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  // Shown only once its controls are made.
  HWND form = nullptr;
  if (!e2e::WaitFor(
          [&] {
            form = FindWindowW(form1::kClassName, nullptr);
            return form && IsWindowVisible(form);
          },
          milliseconds(30'000))) {
    Print("drive_demo: the tool's window did not appear");
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument = argv[i];
    if (argument == L"--raise" && i + 1 < argc) {
      Raise(form, argv[++i]);
    } else if (argument == L"--compare") {
      Compare(form);
    } else if (argument == L"--rect") {
      RECT rect{};
      GetWindowRect(form, &rect);
      Print("window-rect " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
            std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top));
    } else if (argument == L"--close") {
      PostMessageW(form, WM_CLOSE, 0, 0);
    } else {
      Print("usage: drive_demo [--raise STEP] [--compare] [--rect] [--close]");
      return 2;
    }
  }
  return 0;
}
