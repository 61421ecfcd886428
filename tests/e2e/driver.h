// Drives a running quarnel2-patcher.exe from another process as a player's mouse and keyboard
// would, and reads its window. The tool answers in its own time: every check waits (WaitFor).
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

#include "form1_ids.h"

namespace e2e {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
inline constexpr milliseconds kPatience{20'000};

// Polls until done() holds; false if it still does not when the timeout has passed.
template <class Predicate>
bool WaitFor(Predicate done, milliseconds timeout = kPatience) {
  for (const auto deadline = Clock::now() + timeout; !done(); Sleep(10))
    if (Clock::now() >= deadline) return false;
  return true;
}

// A message to a window of any process; false if it failed or took over a minute (a hung tool).
inline bool Send(HWND window, UINT message, WPARAM w, LPARAM l, DWORD_PTR* out = nullptr) {
  return SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 60'000, out) != 0;
}
inline std::wstring TextOf(HWND window) {  // WM_GETTEXT is marshalled between processes
  DWORD_PTR length = 0, copied = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
  return text.substr(0, copied);
}

// The font a control shows its text in, 0 for none. Wine 8 fails a WM_GETFONT from another
// process whose sender waits, so the answer comes by callback as this thread reads its messages.
inline LRESULT FontOf(HWND control) {
  static std::pair<HWND, LRESULT> answer;  // a callback captures nothing
  answer = {};
  const SENDASYNCPROC take = [](HWND from, UINT, ULONG_PTR, LRESULT r) { answer = {from, r}; };
  SendMessageCallbackW(control, WM_GETFONT, 0, 0, take, 0);
  MSG msg;
  WaitFor([&] { return !PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && answer.first == control; });
  return answer.first == control ? answer.second : 0;
}

inline DWORD ThreadOf(HWND window) { return GetWindowThreadProcessId(window, nullptr); }
// A visible top-level window of that class of the thread (a Form1, a message box), once one is up.
inline HWND WindowOf(DWORD thread, const wchar_t* kind, milliseconds timeout = kPatience) {
  HWND found = nullptr;
  const auto up = [&] {
    do found = FindWindowExW(nullptr, found, kind, nullptr);
    while (found && (ThreadOf(found) != thread || !IsWindowVisible(found)));
    return found != nullptr;
  };
  return WaitFor(up, timeout) ? found : nullptr;
}

// The control focused while form is its thread's active window, and where the caret is in it.
inline HWND FocusIn(HWND form, RECT* caret = nullptr) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(ThreadOf(form), &gui) || gui.hwndActive != form) return nullptr;
  if (caret) *caret = gui.rcCaret;
  return IsChild(form, gui.hwndFocus) ? gui.hwndFocus : nullptr;
}

// Types key, with a modifier if asked, into form's focus; false, sending nothing, unless in front.
[[nodiscard]] inline bool PressKey(HWND form, WORD key, WORD modifier = 0) {
  if (GetForegroundWindow() != form || !FocusIn(form)) return false;
  INPUT keys[4] = {};  // downs, then ups
  const WORD order[] = {modifier, key, key, modifier};
  for (int i = 0; i < 4; ++i)
    keys[i] = {INPUT_KEYBOARD, {.ki = {order[i], 0, i < 2 ? 0u : KEYEVENTF_KEYUP, 0, 0}}};
  const UINT count = modifier ? 4 : 2;
  return SendInput(count, modifier ? keys : keys + 1, sizeof(INPUT)) == count;
}

// A menu window's items, top down, as the screen shows them: 'x' for one in black text, '.' for
// one in grey (disabled), '-' for a separator. Under Wine a menu of another process can be seen
// but not read. An item is a band of rows with text in it, a separator a lone light grey row; a
// mnemonic's underline, a lone darker one, is left out.
inline std::string ItemsShown(HWND menu) {
  RECT at{};
  GetWindowRect(menu, &at);
  const int width = at.right - at.left, height = at.bottom - at.top;
  HDC window = GetWindowDC(menu), dc = CreateCompatibleDC(window);  // the screen's lacks it in Wine
  HGDIOBJ before = SelectObject(dc, CreateCompatibleBitmap(window, width, height));
  BitBlt(dc, 0, 0, width, height, window, 0, 0, SRCCOPY);
  std::string items;
  int rows = 0, darkest = 255;            // of the band so far
  for (int y = 3; y < height - 2; ++y) {  // inside the frame, whose inner edge ends the last band
    int dark = 255;
    for (int x = 3; y < height - 3 && x < width - 3; ++x) {
      const COLORREF pixel = GetPixel(dc, x, y);
      dark = std::min({dark, +GetRValue(pixel), +GetGValue(pixel), +GetBValue(pixel)});
    }
    const bool light = dark >= 200;  // ends the band so far, if any
    if (light && rows > 2) items += darkest < 64 ? 'x' : '.';
    if (light && rows > 0 && rows <= 2 && darkest >= 150) items += '-';
    rows = light ? 0 : rows + 1, darkest = light ? 255 : std::min(darkest, dark);
  }
  DeleteObject(SelectObject(dc, before));
  DeleteDC(dc);
  ReleaseDC(menu, window);
  return items;
}

struct Box {
  HWND box;
  std::wstring title, text;
  bool Says(const std::wstring& part) const { return text.find(part) != std::wstring::npos; }
};

// A message box of form's thread, once one is up and complete (its OK or No button comes last).
inline std::optional<Box> WaitForBox(HWND form, milliseconds timeout = kPatience) {
  HWND box = WindowOf(ThreadOf(form), L"#32770", timeout);
  if (!box || !WaitFor([&] { return GetDlgItem(box, IDOK) || GetDlgItem(box, IDNO); })) return {};
  return Box{box, TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
}
[[nodiscard]] inline bool PressButton(const Box& box, int id = IDOK) {  // OK: No where it asks
  HWND button = GetDlgItem(box.box, id == IDOK && !GetDlgItem(box.box, IDOK) ? IDNO : id);
  return Send(button, BM_CLICK, 0, 0);  // false for a box without it
}

}  // namespace e2e
