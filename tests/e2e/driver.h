// Drives a running quarnel2-patcher.exe from another process with what a player's mouse and
// keyboard would send, and reads back what its window shows. The tool answers on its own thread
// in its own time, so every check of its state after an action waits for it with WaitFor.
#pragma once

#include <windows.h>

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
  for (const auto deadline = Clock::now() + timeout;; Sleep(10)) {
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
  }
}

// A message to a window of any process; false if it failed or took over a minute (a hung tool).
inline bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 DWORD_PTR* out = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 60'000,
                             out ? out : &ignored) != 0;
}

inline std::wstring TextOf(HWND window) {  // WM_GETTEXT is marshalled between processes
  DWORD_PTR length = 0, copied = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
  return text.substr(0, copied);
}

inline DWORD ThreadOf(HWND window) { return GetWindowThreadProcessId(window, nullptr); }

// A visible top-level window of that class of the thread (a Form1, a message box), once one is up.
inline HWND WindowOf(DWORD thread, const wchar_t* kind, milliseconds timeout = kPatience) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        do found = FindWindowExW(nullptr, found, kind, nullptr);
        while (found && (ThreadOf(found) != thread || !IsWindowVisible(found)));
        return found != nullptr;
      },
      timeout);
  return found;
}

// The active window, the keyboard focus and the caret of a thread.
inline GUITHREADINFO GuiOf(DWORD thread) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(thread, &gui)) gui.hwndActive = gui.hwndFocus = nullptr;
  return gui;
}

// Types a key, with a modifier (VK_SHIFT, VK_CONTROL) if asked, into the focus of the foreground
// window, which must be form with a control focused; false, sending nothing, if it is not.
[[nodiscard]] inline bool PressKey(HWND form, WORD key, WORD modifier = 0) {
  const GUITHREADINFO gui = GuiOf(ThreadOf(form));
  if (GetForegroundWindow() != form || gui.hwndActive != form || !IsChild(form, gui.hwndFocus)) {
    return false;
  }
  INPUT keys[4] = {};  // downs, then ups
  const WORD order[] = {modifier, key, key, modifier};
  for (int i = 0; i < 4; ++i)
    keys[i] = {INPUT_KEYBOARD, {.ki = {order[i], 0, i < 2 ? 0u : KEYEVENTF_KEYUP, 0, 0}}};
  const UINT count = modifier ? 4 : 2;
  return SendInput(count, modifier ? keys : keys + 1, sizeof(INPUT)) == count;
}

struct Box {
  HWND box;
  std::wstring title, text;

  // Wine gives every process its own handles for the system icons, so the exclamation icon is
  // told by its colour on the screen: a tenth of it or more is yellow, which no other icon is.
  bool ShowsExclamation() const {
    HWND icon = nullptr;
    do icon = FindWindowExW(box, icon, L"Static", nullptr);
    while (icon && (GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON);
    RECT at{};
    const auto yellow = [&] {  // the box may still be painting
      HDC screen = GetDC(nullptr);
      LONG count = 0;
      for (LONG y = at.top; y < at.bottom; ++y) {
        for (LONG x = at.left; x < at.right; ++x) {
          const COLORREF c = GetPixel(screen, x, y);
          count += GetRValue(c) > 150 && GetGValue(c) > 150 && 2 * GetBValue(c) < GetGValue(c);
        }
      }
      ReleaseDC(nullptr, screen);
      return 10 * count > (at.right - at.left) * (at.bottom - at.top);
    };
    return icon && GetWindowRect(icon, &at) && WaitFor(yellow, milliseconds(2'000));
  }
};

// A message box of that thread, once one is up and complete (its OK or No button comes last).
inline std::optional<Box> WaitForBox(DWORD thread, milliseconds timeout = kPatience) {
  HWND box = WindowOf(thread, L"#32770", timeout);
  if (!box || !WaitFor([&] { return GetDlgItem(box, IDOK) || GetDlgItem(box, IDNO); })) return {};
  return Box{box, TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
}

[[nodiscard]] inline bool PressButton(const Box& box, int id = IDOK) {  // OK: No where it asks
  HWND button = GetDlgItem(box.box, id == IDOK && !GetDlgItem(box.box, IDOK) ? IDNO : id);
  return button && Send(button, BM_CLICK, 0, 0);
}

}  // namespace e2e
