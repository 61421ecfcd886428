// A window class that owns its HWND: the object rides along in CreateWindowExW's parameter,
// is stored in GWLP_USERDATA at WM_NCCREATE, and gets every later message in HandleMessage.
#pragma once

#include <windows.h>

template <class Derived>
class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;
  virtual ~BaseWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }

  HWND Window() const { return hwnd_; }

 protected:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    BaseWindow* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      self = static_cast<BaseWindow*>(create->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      // The HWND is gone; the object may outlive it and must not use it again.
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
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
                    nullptr, instance, this);
    return hwnd_ != nullptr;
  }

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  HWND hwnd_ = nullptr;
};
