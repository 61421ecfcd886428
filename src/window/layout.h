// Form1's layout as data: every control is created, placed and re-placed from this table.
#pragma once

#include <windows.h>

#include <array>

#include "form1_ids.h"

namespace form1 {

enum class Kind { kEdit, kButton, kStatic };

struct ControlLayout {
  ControlId id;
  const char* design;  // the control's name in the form's design
  Kind kind;
  int left, top, width, height;  // twips, relative to the client area
  const wchar_t* text;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
};

// The three list boxes take tens of thousands of lines from a compare, so they scroll and
// their text limit is lifted (see Form1::CreateControls).
inline constexpr DWORD kListStyle =
    WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
inline constexpr DWORD kLineStyle = WS_TABSTOP | ES_AUTOHSCROLL;
inline constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
inline constexpr DWORD kLabelStyle = SS_LEFT;

// Creation order is the tab order.
inline constexpr std::array<ControlLayout, 10> kControls{{
    {kPositions, "Text1", Kind::kEdit, 500, 500, 2000, 4000, L"", kListStyle},
    {kCompare, "Command1", Kind::kButton, 4200, 4680, 1215, 495, L"对比", kButtonStyle},
    {kBaseLevels, "Text2", Kind::kEdit, 3000, 480, 2000, 4000, L"", kListStyle},
    {kLevels, "Text3", Kind::kEdit, 5520, 480, 2000, 4000, L"", kListStyle},
    {kMatchCount, "Label1", Kind::kStatic, 480, 4800, 1935, 255, L"", kLabelStyle},
    {kStep, "Text4", Kind::kEdit, 8160, 1200, 1455, 615, L"", kLineStyle},
    {kStepPrompt, "Label2", Kind::kStatic, 8160, 600, 1935, 375, L"提高敌人等级(1～100)",
     kLabelStyle},
    {kRaise, "Command2", Kind::kButton, 8400, 2520, 1215, 615, L"修改", kButtonStyle},
    {kConfirmation, "Label3", Kind::kStatic, 8280, 4200, 1575, 615, L"", kLabelStyle},
    {kCopyHint, "Label4", Kind::kStatic, 840, 5520, 6015, 495,
     L"修改好的文件t_mons.tbl覆盖游戏目录\\data\\text\\dat_us\\", kLabelStyle},
}};

inline const wchar_t* ClassOf(Kind kind) {
  switch (kind) {
    case Kind::kEdit:
      return L"EDIT";
    case Kind::kButton:
      return L"BUTTON";
    case Kind::kStatic:
      break;
  }
  return L"STATIC";
}

// Twips are 1/1440 inch; a window at `dpi` has dpi pixels per inch.
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

}  // namespace form1
