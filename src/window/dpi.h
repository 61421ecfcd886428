// The window's DPI and the things sized by it. The newer per-monitor functions are looked up
// at run time so the tool still starts on Windows versions (and Wine builds) without them.
#pragma once

#include <windows.h>

namespace dpi {

// The DPI the window is shown at; the screen's logical DPI where per-window DPI is unknown.
UINT ForWindow(HWND hwnd);

// The outer size of a window whose client area is clientWidth x clientHeight pixels.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// The system message font at the given DPI; the caller owns the handle.
HFONT CreateMessageFont(UINT dpi);

}  // namespace dpi
