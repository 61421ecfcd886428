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

// The tool's visible window of that process (0: of any), once it is there.
inline HWND FindPatcher(DWORD processId, milliseconds timeout = kPatience) {
  HWND form = nullptr;
  WaitFor(
      [&] {
        while ((form = FindWindowExW(nullptr, form, form1::kClassName, form1::kCaption))) {
          DWORD owner = 0;
          GetWindowThreadProcessId(form, &owner);
          if ((processId == 0 || owner == processId) && IsWindowVisible(form)) return true;
        }
        return false;
      },
      timeout);
  return form;
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
  std::vector<INPUT> keys;
  for (const auto& [vk, flags] : {std::pair<WORD, DWORD>{VK_SHIFT, 0},
                                  {key, 0},
                                  {key, KEYEVENTF_KEYUP},
                                  {VK_SHIFT, KEYEVENTF_KEYUP}}) {
    if (vk == VK_SHIFT && !shift) continue;
    keys.push_back({INPUT_KEYBOARD, {}});
    keys.back().ki = {vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), flags, 0, 0};
  }
  return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

// The pixels (0x00RRGGBB) of a size x size square that draw paints.
template <class Draw>
std::vector<DWORD> Pixels(int size, Draw draw) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  draw(dc);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + size * size);
  DeleteObject(SelectObject(dc, old));
  DeleteDC(dc);
  for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

struct Box {
  HWND box;
  std::wstring title, text;

  // Windows shares system icons between processes, so a handle would tell which one a box
  // shows; Wine gives each process its own. So the icon on the screen is compared with the
  // system icon drawn here on the same background: at most 5% of its pixels may differ clearly.
  bool Shows(LPCWSTR systemIcon) const {
    HWND icon = nullptr;
    while ((icon = FindWindowExW(box, icon, L"Static", nullptr))) {
      if ((GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) break;
    }
    RECT at{};
    const int size = GetSystemMetrics(SM_CXICON);
    const auto matches = [&] {
      const std::vector<DWORD> shown = Pixels(size, [&](HDC dc) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, size, size, screen, at.left, at.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
      });
      const std::vector<DWORD> drawn = Pixels(size, [&](HDC dc) {
        const RECT all{0, 0, size, size};
        HBRUSH back = CreateSolidBrush(RGB(shown[0] >> 16, shown[0] >> 8 & 0xFF, shown[0] & 0xFF));
        FillRect(dc, &all, back);
        DeleteObject(back);
        DrawIconEx(dc, 0, 0, LoadIconW(nullptr, systemIcon), size, size, 0, nullptr, DI_NORMAL);
      });
      std::size_t differing = 0;
      for (std::size_t i = 0; i < shown.size(); ++i) {
        int distance = 0;
        for (const int shift : {0, 8, 16}) {
          const int step = int(shown[i] >> shift & 0xFF) - int(drawn[i] >> shift & 0xFF);
          distance += step * step;
        }
        differing += distance > 3 * 24 * 24;
      }
      return differing * 20 <= shown.size();
    };
    // The box may still be painting.
    return icon && GetWindowRect(icon, &at) && WaitFor(matches, milliseconds(2'000));
  }
};

// A message box of that thread, once one is up and complete within the timeout.
inline std::optional<Box> WaitForBox(DWORD thread, milliseconds timeout = kPatience) {
  HWND box = nullptr;
  const auto up = [&] {
    box = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM found) {
          wchar_t kind[8] = {};
          GetClassNameW(window, kind, 8);
          if (!IsWindowVisible(window) || std::wstring(kind) != L"#32770") return TRUE;
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box && GetDlgItem(box, IDOK);  // the OK button comes last
  };
  if (!WaitFor(up, timeout)) return std::nullopt;
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
