#include "form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include <exception>
#include <optional>
#include <utility>

#include "dpi.h"
#include "edit_menu.h"
#include "error.h"
#include "operations.h"
#include "utf.h"

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// The system's wait cursor while an operation runs on the window's thread. No message is handled
// meanwhile, so nothing sets the cursor back before the guard does, which it does before any box
// comes up.
class BusyCursor {
 public:
  BusyCursor() : before_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  // No cursor before (the pointer never was over the window): the arrow, never none at all.
  ~BusyCursor() { SetCursor(before_ ? before_ : LoadCursorW(nullptr, IDC_ARROW)); }

 private:
  HCURSOR before_;
};

// The three list boxes: multi-line edits, which take a compare's many lines.
bool IsList(const form1::ControlLayout& control) {
  return control.kind == form1::Kind::kEdit && (control.style & ES_MULTILINE) != 0;
}

}  // namespace

Form1::Form1(patch::ToolFolder toolFolder, std::filesystem::path compareBase,
             std::filesystem::path compareRaised)
    : toolFolder_(std::move(toolFolder)),
      compareBase_(std::move(compareBase)),
      compareRaised_(std::move(compareRaised)),
      caption_(utf::Widen(patch::kToolCaption)) {}

Form1::~Form1() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
  if (keys_) DestroyAcceleratorTable(keys_);
}

bool Form1::Create() {
  // Start on the primary screen's work area so the window takes that monitor's DPI before
  // it is sized; WM_CREATE lays the controls out for it.
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  if (!BaseWindow::Create(caption_.c_str(), kFormStyle, kFormExStyle, workArea.left, workArea.top,
                          0, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
    return false;
  }
  CentreOnWorkArea();
  ACCEL save{FCONTROL | FVIRTKEY, 'S', form1::kSavePositions};
  keys_ = CreateAcceleratorTableW(&save, 1);
  return true;
}

void Form1::CentreOnWorkArea() {
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const SIZE size = dpi::WindowSizeForClient(form1::TwipsToPixels(form1::kClientWidthTwips, dpi_),
                                             form1::TwipsToPixels(form1::kClientHeightTwips, dpi_),
                                             kFormStyle, kFormExStyle, dpi_);
  const int x = workArea.left + (workArea.right - workArea.left - size.cx) / 2;
  const int y = workArea.top + (workArea.bottom - workArea.top - size.cy) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    const form1::ControlLayout& control = form1::kControls[i];
    const DWORD exStyle = control.kind == form1::Kind::kEdit ? WS_EX_CLIENTEDGE : 0;
    controls_[i] = CreateWindowExW(exStyle, form1::ClassOf(control.kind), control.text,
                                   WS_CHILD | WS_VISIBLE | control.style, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                   instance, nullptr);
    if (!IsList(control)) continue;
    // An edit's default limit (32K characters) would cut a long compare short.
    SendMessageW(controls_[i], EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(controls_[i], &Form1::ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  focusWhenInactive_ = Control(form1::kPositions);
}

LRESULT CALLBACK Form1::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR form) {
  // A multi-line edit asks the dialog manager for every key. The lists hold numbers only: Tab
  // leaves them as it leaves every other control, so that the dialog manager also makes the
  // button it reaches the one Enter presses; and Escape, which such an edit would take for a
  // dialog's and answer by closing the window with the player's lists, does nothing.
  const auto* key = reinterpret_cast<const MSG*>(lParam);
  if (message == WM_GETDLGCODE && key && (key->wParam == VK_TAB || key->wParam == VK_ESCAPE)) {
    return DefSubclassProc(list, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
  }
  // The positions list's menu also saves the latest compare's positions. A right-click on the
  // scroll bar keeps the scroll bar's own menu.
  const bool keyboard = GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1;
  if (message == WM_CONTEXTMENU && GetDlgCtrlID(list) == form1::kPositions &&
      (keyboard || SendMessageW(list, WM_NCHITTEST, 0, lParam) == HTCLIENT)) {
    if (edit_menu::Show(list, lParam, form1::kSavePositions,
                        L"保存为位置表 drevon2.txt(&S)\tCtrl+S") == form1::kSavePositions) {
      reinterpret_cast<Form1*>(form)->OnCommand(form1::kSavePositions, 0);
    }
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, &Form1::ListProc, 0);
  return DefSubclassProc(list, message, wParam, lParam);
}

void Form1::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  HFONT oldFont = font_;
  font_ = dpi::CreateMessageFont(dpi);
  HDWP positions = BeginDeferWindowPos(static_cast<int>(controls_.size()));
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    const form1::ControlLayout& control = form1::kControls[i];
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    const int x = form1::TwipsToPixels(control.left, dpi);
    const int y = form1::TwipsToPixels(control.top, dpi);
    const int width = form1::TwipsToPixels(control.width, dpi);
    const int height = form1::TwipsToPixels(control.height, dpi);
    if (positions) {
      positions = DeferWindowPos(positions, controls_[i], nullptr, x, y, width, height,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      SetWindowPos(controls_[i], nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (positions) EndDeferWindowPos(positions);
  InvalidateRect(hwnd_, nullptr, TRUE);
  // The controls hold the old font until they are told of the new one, so it goes last.
  if (oldFont) DeleteObject(oldFont);
}

HWND Form1::Control(form1::ControlId id) const {
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    if (form1::kControls[i].id == id) return controls_[i];
  }
  return nullptr;
}

std::wstring Form1::Text(form1::ControlId id) const { return WindowText(Control(id)); }

void Form1::SetText(form1::ControlId id, const std::wstring& text) {
  SetWindowTextW(Control(id), text.c_str());
}

void Form1::Append(form1::ControlId id, std::string_view utf8Lines) {
  if (utf8Lines.empty()) return;
  // Typed in at the end rather than set as a whole: an edit measures every line of a text it
  // is given, so setting old + new text would measure the earlier runs' lines again.
  HWND edit = Control(id);
  const LPARAM end = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(utf::Widen(utf8Lines).c_str()));
  // Back to the top, where the list starts, as after the raise's whole-text set.
  SendMessageW(edit, EM_SETSEL, 0, 0);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void Form1::OnRaise() {
  std::optional<BusyCursor> busy(std::in_place);
  const patch::RaiseOutcome outcome =
      patch::RaiseLevels(utf::Narrow(Text(form1::kStep)), toolFolder_);
  SetText(form1::kPositions, utf::Widen(outcome.lists.positions));
  SetText(form1::kBaseLevels, utf::Widen(outcome.lists.baseLevels));
  SetText(form1::kLevels, utf::Widen(outcome.lists.levels));
  if (outcome.confirmation) SetText(form1::kConfirmation, utf::Widen(*outcome.confirmation));
  busy.reset();
  if (outcome.warning) {
    ShowWarning(*outcome.warning);
    // Back to the first box, ready for the player to look at the lists and try again.
    SetFocus(Control(form1::kPositions));
  }
  if (outcome.error) ShowError(*outcome.error);
}

void Form1::OnCompare() {
  std::optional<BusyCursor> busy(std::in_place);
  found_.reset();  // whatever happens next, the earlier compare's positions are not this one's
  patch::CompareOutcome outcome = patch::CompareTables(compareBase_, compareRaised_);
  Append(form1::kPositions, outcome.appended.positions);
  Append(form1::kBaseLevels, outcome.appended.baseLevels);
  Append(form1::kLevels, outcome.appended.levels);
  if (outcome.matchCount) SetText(form1::kMatchCount, utf::Widen(*outcome.matchCount));
  if (outcome.matchCount) {  // kept for Ctrl+S; the list box has its own copy now
    found_ = patch::FoundPositions{outcome.matches, std::move(outcome.appended.positions)};
    found_->lines.shrink_to_fit();  // the compare reserved room for the most it could list
  }
  busy.reset();
  // Told after the lists and the count are up, so that the player sees what it is about.
  if (outcome.warning) ShowWarning(*outcome.warning);
  if (outcome.error) ShowError(*outcome.error);
}

void Form1::OnSavePositions() {
  const auto save = [this](bool replace) {
    BusyCursor busy;
    return patch::SavePositionList(found_, toolFolder_, replace);
  };
  patch::SaveListOutcome outcome = save(false);
  if (outcome.question) {
    const int answer = MessageBoxW(hwnd_, utf::Widen(*outcome.question).c_str(), caption_.c_str(),
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer != IDYES) return;
    outcome = save(true);
  }
  if (outcome.warning) ShowWarning(*outcome.warning);
  if (outcome.information) {
    MessageBoxW(hwnd_, utf::Widen(*outcome.information).c_str(), caption_.c_str(),
                MB_OK | MB_ICONINFORMATION);
  }
  if (outcome.error) ShowError(*outcome.error);
}

void Form1::ShowWarning(const patch::Warning& warning) {
  MessageBoxW(hwnd_, utf::Widen(warning.prompt).c_str(), utf::Widen(warning.title).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

void Form1::ShowError(const patch::Error& error) {
  MessageBoxW(hwnd_, utf::Widen(patch::ErrorReport(error)).c_str(), caption_.c_str(),
              MB_OK | MB_ICONERROR);
}

void Form1::OnCommand(int id, int notification) {
  // A button's click, or Ctrl+S from the keys or the list's menu. The OK and Cancel that the
  // dialog manager sends for Enter and Escape outside a button are none of these.
  if (id != form1::kSavePositions && notification != BN_CLICKED) return;
  try {
    if (id == form1::kCompare) OnCompare();
    if (id == form1::kRaise) OnRaise();
    if (id == form1::kSavePositions) OnSavePositions();
  } catch (...) {
    // Out of memory and the like: told as a numbered error in Chinese like any other, and the
    // window stays, since the player's lists are still in it. Nothing may leave the window
    // procedure, so a report that itself fails falls back to a fixed text.
    try {
      ShowError(patch::ErrorFromException(std::current_exception()));
    } catch (...) {
      MessageBoxW(hwnd_, L"运行时错误 '7':\n\n内存不足", caption_.c_str(), MB_OK | MB_ICONERROR);
    }
  }
}

bool Form1::TranslateKeyboard(MSG& message) {
  if (!hwnd_) return false;
  if (keys_ && TranslateAcceleratorW(hwnd_, keys_, &message)) return true;
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      ApplyDpi(dpi::ForWindow(hwnd_));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      // A plain window forgets which control had the focus when another window (a message
      // box, say) takes over; keep it so the player comes back to where they were.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focusWhenInactive_ = focus;
      } else if (focusWhenInactive_ && !HIWORD(wParam)) {
        SetFocus(focusWhenInactive_);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      ApplyDpi(LOWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}
