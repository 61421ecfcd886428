// Form1 at 96, 144 and 192 DPI: caption, place, its ten controls in one font, the keyboard's order,
// Enter on the button Tab reached, and the move to a screen of another DPI.
#include <array>
#include <tuple>

#include "fixture.h"
#include "layout.h"

using namespace e2e;

// Each control's place and size in twips (left, top, width, height), in tab order: the form as
// designed. Kinds, texts and order come from the window's own layout table.
constexpr int kTwips[][4] = {{500, 500, 2000, 4000},  {4200, 4680, 1215, 495},
                             {3000, 480, 2000, 4000}, {5520, 480, 2000, 4000},
                             {480, 4800, 1935, 255},  {8160, 1200, 1455, 615},
                             {8160, 600, 1935, 375},  {8400, 2520, 1215, 615},
                             {8280, 4200, 1575, 615}, {840, 5520, 6015, 495}};
static_assert(std::size(kTwips) == kControls.size());
int Px(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

struct LayoutTest : PatcherTest, ::testing::WithParamInterface<UINT> {
  LayoutTest() { dpi_ = GetParam(); }

  // Checks each control's place at `dpi`, and that all show one font: the message font at that
  // DPI, as the height of a line of the positions (two lines typed into it) shows. Returns it.
  LRESULT ControlsAt(UINT dpi) {
    HWND window = GetWindow(form_, GW_CHILD);  // children in creation order, which is tab order
    const LRESULT font = FontOf(window);
    EXPECT_NE(font, 0) << "the system font";
    for (std::size_t i = 0; i < kControls.size(); ++i) {
      const ControlLayout& row = kControls[i];
      SCOPED_TRACE(testing::Message() << row.design << " at " << dpi << " DPI");
      if (!window) return ADD_FAILURE(), font;
      EXPECT_EQ(GetDlgItem(form_, row.id), window) << "out of tab order, or its ID another's";
      wchar_t kind[16] = {};
      EXPECT_TRUE(GetClassNameW(window, kind, 16) && !_wcsicmp(kind, ClassOf(row.kind))) << kind;
      EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME),
                row.kind == Kind::kEdit ? WS_EX_CLIENTEDGE : 0)
          << "an edit's edge is sunken; no other control has one";
      EXPECT_EQ(TextOf(window), row.text);
      RECT at{};
      GetWindowRect(window, &at);
      MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&at), 2);
      const auto px = [&](int column) { return Px(kTwips[i][column], dpi); };
      EXPECT_EQ((std::array{at.left, at.top, at.right - at.left, at.bottom - at.top}),
                (std::array<LONG, 4>{px(0), px(1), px(2), px(3)}));
      EXPECT_EQ(FontOf(window), font) << "another font";
      window = GetWindow(window, GW_HWNDNEXT);
    }
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    EXPECT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, dpi));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, CreateFontIndirectW(&ncm.lfMessageFont));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    DeleteObject(SelectObject(dc, oldFont));
    DeleteDC(dc);
    const auto top = [list = Control(kPositions)](int index) {  // of the character at that index
      return HIWORD(SendMessageW(list, EM_POSFROMCHAR, index, 0));
    };
    EXPECT_TRUE(Type(kPositions, L"1\r\n2\r\n"));
    EXPECT_EQ(top(3) - top(0), metrics.tmHeight);
    EXPECT_TRUE(Type(kPositions, L""));
    return font;
  }
};

TEST_P(LayoutTest, EveryControlSitsAtItsTwipsInOneFontAndTabsInCreationOrder) {
  RECT client{}, frame{}, work{};
  ASSERT_TRUE(GetClientRect(form_, &client) && GetWindowRect(form_, &frame) &&
              SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(std::tuple(TextOf(form_), client.right, client.bottom),
            std::tuple(L"Quarnel2难度补丁修改器", Px(10845, dpi_), Px(6510, dpi_)));
  EXPECT_TRUE(std::abs(frame.left + frame.right - work.left - work.right) <= 2 &&
              std::abs(frame.top + frame.bottom - work.top - work.bottom) <= 2)
      << "not centred";
  HDC face = GetDC(form_);  // between the controls: the system's face of buttons and dialogs
  EXPECT_TRUE(WaitFor([&] { return GetPixel(face, 2, 2) == GetSysColor(COLOR_BTNFACE); }));
  ReleaseDC(form_, face);

  // The keyboard starts in the positions, where Enter types a new line and Escape does nothing
  // (an edit left alone would close the window for it); Tab walks the stops round to it,
  // Shift+Tab back.
  const int walk[] = {kPositions,  kCompare,   kBaseLevels, kLevels, kStep,
                      kRaise,      kPositions, kRaise,      kStep,   kLevels,
                      kBaseLevels, kCompare,   kPositions};
  // The step box's text is selected whole at both stops, from a list (stop 4) and from 修改.
  ASSERT_TRUE(Type(kStep, L"12") && WaitFor([&] { return Focus() == Control(kPositions); }));
  ASSERT_TRUE(PressKey(form_, VK_ESCAPE) && PressKey(form_, VK_RETURN));
  for (int i = 0; i < 13; ++i) {
    ASSERT_TRUE(i == 0 || PressKey(form_, VK_TAB, i > 6 ? VK_SHIFT : 0)) << "keyboard not ready";
    ASSERT_TRUE(WaitFor([&] { return Focus() == Control(walk[i]); })) << "stop " << i;
    DWORD_PTR selected = 0;
    EXPECT_TRUE(walk[i] != kStep ||
                (Send(Control(kStep), EM_GETSEL, 0, 0, &selected) && selected == 2 << 16 &&
                 Send(Control(kStep), EM_SETSEL, 1, 1)))  // then none, for the next stop to select
        << "stop " << i << " selects " << std::hex << selected;
  }
  EXPECT_EQ(Text(kPositions) + Text(kBaseLevels) + Text(kLevels) + Text(kStep), L"\r\n12")
      << "Tab typed, or Enter did not";
  ASSERT_TRUE(Type(kStep, L"") && Type(kPositions, L""));
  const LRESULT font = ControlsAt(dpi_);

  // Moved to a screen of another DPI, the window takes the frame Windows suggests (any, given in
  // the tool's memory), lays the controls out again and shows them in a new font; behind another
  // window (its box here), it stays there.
  const UINT next = dpi_ == 192 ? 96 : dpi_ + 48;
  const RECT suggested{frame.left + 8, frame.top + 8, frame.right + 64, frame.bottom + 32};
  const HANDLE tool = process_.hProcess;
  void* there = VirtualAllocEx(tool, nullptr, sizeof(suggested), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(there && WriteProcessMemory(tool, there, &suggested, sizeof(suggested), nullptr));
  ASSERT_TRUE(PressKey(form_, 'S', VK_CONTROL));  // a box in front: "compare first"
  const HWND box = WaitForBox(form_).value_or(Box{}).box;
  ASSERT_TRUE(Send(form_, WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(there)));
  VirtualFreeEx(tool, there, 0, MEM_RELEASE);
  EXPECT_TRUE(box && GetForegroundWindow() == box) << "the window came in front of its box";
  EXPECT_TRUE(Answer().Says(L"请先点“对比”"));
  EXPECT_TRUE(GetWindowRect(form_, &frame) && EqualRect(&frame, &suggested)) << "another frame";
  EXPECT_NE(ControlsAt(next), font) << "the old font kept";

  // Enter presses the button Tab reached from a list.
  ASSERT_TRUE(WaitFor([&] { return Focus() == Control(kPositions); }) && PressKey(form_, VK_TAB));
  ASSERT_TRUE(WaitFor([&] { return Focus() == Control(kCompare); }) && PressKey(form_, VK_RETURN));
  EXPECT_TRUE(WaitFor([&] { return Text(kMatchCount) == std::to_wstring(set_.positions.size()); }))
      << "Enter did not compare";
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96u, 144u, 192u),
                         [](const auto& info) { return "At" + std::to_string(info.param); });
