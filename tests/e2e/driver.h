// Drives a running quarnel2-patcher.exe from another process with what a player's mouse and
// keyboard would send, and reads back what its window shows. The tool answers on its own thread
// in its own time, so every check of its state after an action waits for it with WaitFor.
#pragma once

#include <windows.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <vector>

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

inline double Ms(Clock::duration elapsed) {
  return std::chrono::duration<double, std::milli>(elapsed).count();
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

// A visible top-level window of that class (and caption) for which `mine` holds, once one is up.
template <class Mine>
HWND FindWindowOf(const wchar_t* kind, const wchar_t* caption, Mine mine, milliseconds timeout) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        while ((found = FindWindowExW(nullptr, found, kind, caption))) {
          if (IsWindowVisible(found) && mine(found)) return true;
        }
        return false;
      },
      timeout);
  return found;
}

// The tool's window of that process (0: of any).
inline HWND FindPatcher(DWORD processId, milliseconds timeout = kPatience) {
  const auto ofProcess = [processId](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return processId == 0 || owner == processId;
  };
  return FindWindowOf(form1::kClassName, form1::kCaption, ofProcess, timeout);
}

// The active window and the keyboard focus of a thread.
inline GUITHREADINFO GuiOf(DWORD thread) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(thread, &gui)) gui.hwndActive = gui.hwndFocus = nullptr;
  return gui;
}

// Types a key, with Shift if asked, into the focus of the foreground window, which must be
// form with a control focused; false, sending nothing, if it is not.
[[nodiscard]] inline bool PressKey(HWND form, WORD key, bool shift = false) {
  const GUITHREADINFO gui = GuiOf(ThreadOf(form));
  if (GetForegroundWindow() != form || gui.hwndActive != form || !IsChild(form, gui.hwndFocus)) {
    return false;
  }
  const WORD order[] = {VK_SHIFT, key, key, VK_SHIFT};  // downs, then ups
  INPUT keys[4] = {};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  const UINT count = shift ? 4 : 2;
  return SendInput(count, shift ? keys : keys + 1, sizeof(INPUT)) == count;
}

struct Box {
  HWND box;
  std::wstring title, text;

  // Windows shares system icons between processes, so a handle would tell which one a box
  // shows; Wine gives each process its own. So the icon on the screen is copied twice and the
  // system icon drawn over the second copy: the same icon changes only its edges, blended twice
  // (6% of the pixels under Wine), another one half of them or more.
  bool Shows(LPCWSTR systemIcon) const {
    HWND icon = FindWindowExW(box, nullptr, L"Static", nullptr);
    while (icon && (GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      icon = FindWindowExW(box, icon, L"Static", nullptr);
    }
    RECT at{};
    const int size = GetSystemMetrics(SM_CXICON), area = size * size;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), size, -2 * size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const auto matches = [&] {
      DWORD* pixels = nullptr;  // the icon on the screen, then the one drawn here
      HDC dc = CreateCompatibleDC(nullptr), screen = GetDC(nullptr);
      HGDIOBJ old =
          SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS,
                                            reinterpret_cast<void**>(&pixels), nullptr, 0));
      BitBlt(dc, 0, 0, size, size, screen, at.left, at.top, SRCCOPY);
      BitBlt(dc, 0, size, size, size, screen, at.left, at.top, SRCCOPY);
      DrawIconEx(dc, 0, size, LoadIconW(nullptr, systemIcon), size, size, 0, nullptr, DI_NORMAL);
      GdiFlush();
      int differing = 0;
      for (int i = 0; i < area; ++i) {
        int distance = 0;
        for (const int shift : {0, 8, 16}) {
          const int step = int(pixels[i] >> shift & 0xFF) - int(pixels[area + i] >> shift & 0xFF);
          distance += step * step;
        }
        differing += distance > 3 * 24 * 24;
      }
      ReleaseDC(nullptr, screen);
      DeleteObject(SelectObject(dc, old));
      DeleteDC(dc);
      return differing * 5 <= area;
    };
    // The box may still be painting.
    return icon && GetWindowRect(icon, &at) && WaitFor(matches, milliseconds(2'000));
  }
};

// A message box of that thread, once one is up and complete within the timeout.
inline std::optional<Box> WaitForBox(DWORD thread, milliseconds timeout = kPatience) {
  const auto ofThread = [thread](HWND window) { return ThreadOf(window) == thread; };
  HWND box = FindWindowOf(L"#32770", nullptr, ofThread, timeout);
  // The OK button comes last.
  if (!box || !WaitFor([&] { return GetDlgItem(box, IDOK) != nullptr; })) return std::nullopt;
  return Box{box, TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
}

[[nodiscard]] inline bool PressOk(const Box& box) {
  return Send(GetDlgItem(box.box, IDOK), BM_CLICK, 0, 0);
}

// A button click sent from a worker thread: BM_CLICK returns when the button's handler has,
// which is after any box it showed was closed.
class Click {
 public:
  explicit Click(HWND button)
      : button_(button), result_(std::async(std::launch::async, [button] {
          const auto start = Clock::now();
          return Send(button, BM_CLICK, 0, 0) ? std::optional(Clock::now() - start) : std::nullopt;
        })) {}
  ~Click() {  // a box the handler still shows is closed, so that the worker ends
    if (Returned()) return;
    if (auto box = WaitForBox(ThreadOf(button_), milliseconds(0))) (void)PressOk(*box);
  }
  bool Returned() const { return result_.wait_for(milliseconds(0)) == std::future_status::ready; }
  // Click to return, if the handler returned within the timeout and the message got through.
  std::optional<Clock::duration> Wait(milliseconds timeout = kPatience) const {
    return result_.wait_for(timeout) == std::future_status::ready ? result_.get() : std::nullopt;
  }

 private:
  HWND button_;
  std::shared_future<std::optional<Clock::duration>> result_;
};

}  // namespace e2e
