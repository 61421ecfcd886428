// The tool's one window: three list boxes, the step box, the compare and raise buttons.
// It reads its controls, hands their texts to an operation of the core, and shows the outcome.
#pragma once

#include <windows.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base_window.h"
#include "form1_ids.h"
#include "layout.h"
#include "operations.h"
#include "outcome.h"

class Form1 final : public BaseWindow<Form1> {
 public:
  static constexpr const wchar_t* kWindowClass = form1::kClassName;

  // toolFolder holds the tables a raise works on; the compare reads the two reference tables.
  Form1(patch::ToolFolder toolFolder, std::filesystem::path compareBase,
        std::filesystem::path compareRaised);
  ~Form1();

  // Creates the window hidden, sized for its DPI and centred on the primary work area.
  bool Create();

  // For the message loop: Ctrl+S, and Tab and Shift+Tab between the controls. True when it took
  // the message.
  bool TranslateKeyboard(MSG& message);

 private:
  friend class BaseWindow<Form1>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  void ApplyDpi(UINT dpi);
  void CentreOnWorkArea();
  void OnCommand(int id, int notification);
  void OnRaise();
  void OnCompare();
  void OnSavePositions();
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR form);
  void ShowWarning(const patch::Warning& warning);
  void ShowError(const patch::Error& error);

  HWND Control(form1::ControlId id) const;
  std::wstring Text(form1::ControlId id) const;
  void SetText(form1::ControlId id, const std::wstring& text);
  void Append(form1::ControlId id, std::string_view utf8Lines);

  patch::ToolFolder toolFolder_;
  std::filesystem::path compareBase_;
  std::filesystem::path compareRaised_;
  const std::wstring caption_;  // the window's, which also titles its boxes
  std::array<HWND, form1::kControls.size()> controls_{};
  HFONT font_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  HWND focusWhenInactive_ = nullptr;
  HACCEL keys_ = nullptr;
  // What the latest compare found; none before the first, or after one that failed.
  std::optional<patch::FoundPositions> found_;
};
