// Drives a running quarnel2-patcher.exe from another process with the messages a player's
// mouse and keyboard would cause, and reads back what the window shows.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace e2e {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Text of any window, also one of another process (WM_GETTEXT is marshalled across processes,
// unlike GetWindowTextW, which only reads a foreign window's caption).
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
std::string ToUtf8(std::wstring_view text);

// A started program; the destructor ends it if it is still running.
class Process {
 public:
  static std::optional<Process> Start(const std::filesystem::path& exe,
                                      const std::filesystem::path& workingFolder);
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  ~Process();

  DWORD id() const { return id_; }
  // The exit code once it has ended within the timeout.
  std::optional<DWORD> WaitForExit(milliseconds timeout) const;
  void Kill();

 private:
  Process(HANDLE process, DWORD id) : process_(process), id_(id) {}
  void Release();
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// A click sent from a worker thread: BM_CLICK returns only when the button's handler has,
// which is after any message box it shows has been closed.
class PendingClick {
 public:
  explicit PendingClick(HWND button);
  PendingClick(const PendingClick&) = delete;
  PendingClick& operator=(const PendingClick&) = delete;
  ~PendingClick();

  // Whether the handler has returned within the timeout.
  bool Wait(milliseconds timeout);
  // From sending the click to the handler's return; valid after Wait returned true.
  Clock::duration Elapsed() const { return elapsed_; }

 private:
  std::future<Clock::duration> done_;
  std::thread worker_;
  Clock::duration elapsed_{};
};

enum class BoxIcon { kNone, kExclamation, kError, kOther };

struct MessageBoxView {
  HWND box = nullptr;
  std::wstring title;
  std::wstring text;
  BoxIcon icon = BoxIcon::kNone;
};

// Form1 of a running tool, found by its caption.
class PatcherWindow {
 public:
  // The visible top-level window with the tool's caption, of that process (0: any process).
  static std::optional<PatcherWindow> Find(DWORD processId, milliseconds timeout);

  HWND form() const { return form_; }
  DWORD thread() const { return thread_; }
  HWND Control(int id) const { return GetDlgItem(form_, id); }
  std::wstring Text(int id) const { return TextOf(Control(id)); }
  void SetText(int id, std::wstring_view text) const;
  // Clicks and waits for the handler; nullopt if it did not return (a box is up, say).
  std::optional<Clock::duration> Click(int id, milliseconds timeout) const;
  // The window of the tool's thread that has the keyboard focus.
  HWND Focus() const;
  // A message box owned by the tool's thread, once one is up within the timeout.
  std::optional<MessageBoxView> WaitForMessageBox(milliseconds timeout) const;
  // Whether a message box of the tool's thread is up now.
  bool HasMessageBox() const;
  // Presses a key in the focused control the way the keyboard would: posted to its queue.
  void PressKey(WPARAM virtualKey) const;

 private:
  PatcherWindow(HWND form, DWORD thread) : form_(form), thread_(thread) {}
  HWND form_ = nullptr;
  DWORD thread_ = 0;
};

// Presses the box's OK button.
void PressOk(const MessageBoxView& box);

}  // namespace e2e
