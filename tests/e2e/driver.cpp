#include "driver.h"

#include <vector>

#include "form1_ids.h"

namespace e2e {

namespace {

// Long enough for any compare the tests make, short enough that a hung tool fails the test.
constexpr UINT kSendTimeoutMs = 60'000;

}  // namespace

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return L"<no answer>";
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                      nullptr, nullptr);
  return result;
}

std::optional<Process> Process::Start(const std::filesystem::path& exe,
                                      const std::filesystem::path& workingFolder) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.c_str(), &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  return Process(info.hProcess, info.dwProcessId);
}

Process::Process(Process&& other) noexcept : process_(other.process_), id_(other.id_) {
  other.process_ = nullptr;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = other.process_;
    id_ = other.id_;
    other.process_ = nullptr;
  }
  return *this;
}

Process::~Process() { Release(); }

void Process::Release() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
  CloseHandle(process_);
  process_ = nullptr;
}

std::optional<DWORD> Process::WaitForExit(milliseconds timeout) const {
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

void Process::Kill() {
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10'000);
}

PendingClick::PendingClick(HWND button) {
  std::packaged_task<Clock::duration()> task([button] {
    const Clock::time_point start = Clock::now();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &ignored);
    return Clock::now() - start;
  });
  done_ = task.get_future();
  worker_ = std::thread(std::move(task));
}

PendingClick::~PendingClick() {
  // The send gives up by itself after kSendTimeoutMs, or at once when the tool ends.
  if (worker_.joinable()) worker_.join();
}

bool PendingClick::Wait(milliseconds timeout) {
  if (done_.wait_for(timeout) != std::future_status::ready) return false;
  elapsed_ = done_.get();
  worker_.join();
  return true;
}

std::optional<PatcherWindow> PatcherWindow::Find(DWORD processId, milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  do {
    HWND candidate = nullptr;
    while ((candidate = FindWindowExW(nullptr, candidate, nullptr, form1::kCaption)) != nullptr) {
      DWORD owner = 0;
      const DWORD thread = GetWindowThreadProcessId(candidate, &owner);
      if ((processId == 0 || owner == processId) && IsWindowVisible(candidate) &&
          ClassOf(candidate) == form1::kClassName) {
        return PatcherWindow(candidate, thread);
      }
    }
    Sleep(20);
  } while (Clock::now() < deadline);
  return std::nullopt;
}

void PatcherWindow::SetText(int id, std::wstring_view text) const {
  const std::wstring terminated(text);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
}

std::optional<Clock::duration> PatcherWindow::Click(int id, milliseconds timeout) const {
  PendingClick click(Control(id));
  if (!click.Wait(timeout)) {
    // Leave no box behind that would keep the worker's send waiting.
    if (auto box = WaitForMessageBox(milliseconds(0))) PressOk(*box);
    click.Wait(milliseconds(kSendTimeoutMs));
    return std::nullopt;
  }
  return click.Elapsed();
}

HWND PatcherWindow::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread_, &info)) return nullptr;
  return info.hwndFocus;
}

namespace {

struct BoxSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
  if (IsWindowVisible(window) && ClassOf(window) == L"#32770") {
    reinterpret_cast<BoxSearch*>(parameter)->found = window;
    return FALSE;
  }
  return TRUE;
}

struct IconSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM parameter) {
  if (ClassOf(child) == L"Static" &&
      (static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & SS_TYPEMASK) == SS_ICON) {
    reinterpret_cast<IconSearch*>(parameter)->found = child;
    return FALSE;
  }
  return TRUE;
}

// The pixels of a screen rectangle, top row first.
std::vector<COLORREF> Capture(HDC source, int x, int y, int width, int height) {
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const COLORREF*>(bits);
  std::vector<COLORREF> result(pixels, pixels + static_cast<std::size_t>(width) * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  for (COLORREF& pixel : result) pixel &= 0x00FFFFFF;
  return result;
}

// A system icon drawn over the given background, as a box's icon control shows it.
std::vector<COLORREF> Render(LPCWSTR icon, COLORREF background, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  DrawIconEx(memory, 0, 0, LoadIconW(nullptr, icon), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
  SelectObject(memory, old);
  HDC source = CreateCompatibleDC(screen);
  old = SelectObject(source, bitmap);
  std::vector<COLORREF> result = Capture(source, 0, 0, width, height);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return result;
}

std::size_t Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const int red = GetRValue(a[i]) - GetRValue(b[i]);
    const int green = GetGValue(a[i]) - GetGValue(b[i]);
    const int blue = GetBValue(a[i]) - GetBValue(b[i]);
    if (red * red + green * green + blue * blue > 3 * 24 * 24) ++count;
  }
  return count;
}

// Which system icon the box shows. Where system icons are shared between processes (Windows)
// the handle tells; Wine gives every process its own copies, so there the icon on the screen
// is matched against each system icon drawn here, and only a close match counts.
BoxIcon IconOf(HWND box) {
  IconSearch search;
  EnumChildWindows(box, &FindIcon, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return BoxIcon::kNone;
  const auto shown = reinterpret_cast<HICON>(SendMessageW(search.found, STM_GETICON, 0, 0));
  if (!shown) return BoxIcon::kNone;
  if (shown == LoadIconW(nullptr, IDI_EXCLAMATION)) return BoxIcon::kExclamation;
  if (shown == LoadIconW(nullptr, IDI_ERROR)) return BoxIcon::kError;

  RECT rect{};
  GetWindowRect(search.found, &rect);
  const int size = GetSystemMetrics(SM_CXICON);
  const struct {
    LPCWSTR id;
    BoxIcon kind;
  } candidates[] = {{IDI_EXCLAMATION, BoxIcon::kExclamation},
                    {IDI_ERROR, BoxIcon::kError},
                    {IDI_INFORMATION, BoxIcon::kOther},
                    {IDI_QUESTION, BoxIcon::kOther}};
  // The box may still be painting; give it a moment to settle on a clear match.
  for (int attempt = 0; attempt < 20; ++attempt) {
    HDC screen = GetDC(nullptr);
    const std::vector<COLORREF> onScreen = Capture(screen, rect.left, rect.top, size, size);
    ReleaseDC(nullptr, screen);
    std::size_t best = onScreen.size();
    BoxIcon kind = BoxIcon::kOther;
    for (const auto& candidate : candidates) {
      const std::size_t differing =
          Differences(onScreen, Render(candidate.id, onScreen.front(), size, size));
      if (differing < best) {
        best = differing;
        kind = candidate.kind;
      }
    }
    if (best * 20 <= onScreen.size()) return kind;  // at most 5% of the pixels off
    Sleep(50);
  }
  return BoxIcon::kOther;
}

}  // namespace

bool PatcherWindow::HasMessageBox() const {
  BoxSearch search;
  EnumThreadWindows(thread_, &FindBox, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}

std::optional<MessageBoxView> PatcherWindow::WaitForMessageBox(milliseconds timeout) const {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    BoxSearch search;
    EnumThreadWindows(thread_, &FindBox, reinterpret_cast<LPARAM>(&search));
    // The box is shown before its text is set up only for an instant; the OK button marks
    // a finished one.
    if (search.found && GetDlgItem(search.found, IDOK)) {
      MessageBoxView view;
      view.box = search.found;
      view.title = TextOf(search.found);
      view.text = TextOf(GetDlgItem(search.found, 0xFFFF));
      view.icon = IconOf(search.found);
      return view;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    Sleep(10);
  }
}

void PatcherWindow::PressKey(WPARAM virtualKey) const {
  HWND target = Focus();
  const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scanCode) << 16));
  PostMessageW(target, WM_KEYUP, virtualKey,
               1 | (static_cast<LPARAM>(scanCode) << 16) | (LPARAM{3} << 30));
}

void PressOk(const MessageBoxView& box) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(GetDlgItem(box.box, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                      &ignored);
}

}  // namespace e2e
