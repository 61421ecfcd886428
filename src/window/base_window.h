// A window class that owns its HWND: the object rides along in CreateWindowExW's parameter,
// is stored in GWLP_USERDATA at WM_NCCREATE, and gets every later message in
// Derived::HandleMessage. Static dispatch (CRTP): no virtual call can reach a half-destroyed
// object, and destroying the window is left to Derived, whose handlers are still whole then.
#pragma once

#include <windows.h>

#include <string>

// The text of a window or control of this process: a control's contents, a window's caption.
inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

template <class Derived>
class BaseWindow {
 public:
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND Window() const { return hwnd_; }

 protected:
  BaseWindow() = default;
  ~BaseWindow() = default;

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      self = static_cast<Derived*>(create->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      static_cast<BaseWindow*>(self)->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      // The HWND is gone; the object may outlive it and must not use it again.
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      static_cast<BaseWindow*>(self)->hwnd_ = nullptr;
    }
    return result;
  }

  // Registers the class once per process and creates the window with this object behind it.
  bool Create(const wchar_t* caption, DWORD style, DWORD exStyle, int x, int y, int width,
              int height, HBRUSH background) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, Derived::kWindowClass, &windowClass)) {
      windowClass.cbSize = sizeof(windowClass);
      windowClass.lpfnWndProc = &BaseWindow::WindowProc;
      windowClass.hInstance = instance;
      windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
      windowClass.hbrBackground = background;
      windowClass.lpszClassName = Derived::kWindowClass;
      if (!RegisterClassExW(&windowClass)) return false;
    }
    CreateWindowExW(exStyle, Derived::kWindowClass, caption, style, x, y, width, height, nullptr,
                    nullptr, instance, static_cast<Derived*>(this));
    return hwnd_ != nullptr;
  }

  HWND hwnd_ = nullptr;
};
