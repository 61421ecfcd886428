// Form1 at 96, 144 and 192 DPI: caption, place, its ten controls in one font, the keyboard's order.
#include <array>

#include "fixture.h"

using namespace e2e;

// Each control's kind, place and size in twips, and its text, in tab order.
// clang-format off
constexpr struct { int id; const wchar_t* kind; int left, top, width, height; const wchar_t* text; }
kForm1[] = {
    {kPositions, L"Edit", 500, 500, 2000, 4000, L""},
    {kCompare, L"Button", 4200, 4680, 1215, 495, L"对比"},
    {kBaseLevels, L"Edit", 3000, 480, 2000, 4000, L""},
    {kLevels, L"Edit", 5520, 480, 2000, 4000, L""},
    {kMatchCount, L"Static", 480, 4800, 1935, 255, L""},
    {kStep, L"Edit", 8160, 1200, 1455, 615, L""},
    {kStepPrompt, L"Static", 8160, 600, 1935, 375, L"提高敌人等级(1～100)"},
    {kRaise, L"Button", 8400, 2520, 1215, 615, L"修改"},
    {kConfirmation, L"Static", 8280, 4200, 1575, 615, L""},
    {kCopyHint, L"Static", 840, 5520, 6015, 495,
     L"修改好的文件t_mons.tbl覆盖游戏目录\\data\\text\\dat_us\\"},
};
// clang-format on

struct LayoutTest : PatcherTest, ::testing::WithParamInterface<UINT> {
  LayoutTest() { dpi_ = GetParam(); }
};

TEST_P(LayoutTest, EveryControlSitsAtItsTwipsInOneFontAndTabsInCreationOrder) {
  const auto px = [&](int twips) { return MulDiv(twips, static_cast<int>(dpi_), 1440); };
  EXPECT_EQ(TextOf(form_), L"Quarnel2难度补丁修改器");
  RECT client{}, frame{}, work{}, at{};
  ASSERT_TRUE(GetClientRect(form_, &client) && GetWindowRect(form_, &frame) &&
              SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ((std::array{client.right, client.bottom}), (std::array<LONG, 2>{px(10845), px(6510)}));
  EXPECT_TRUE(std::abs(frame.left + frame.right - work.left - work.right) <= 2 &&
              std::abs(frame.top + frame.bottom - work.top - work.bottom) <= 2)
      << "not centred";

  HWND window = GetWindow(form_, GW_CHILD);  // children in creation order, which is tab order
  // One font for all: the message font at this DPI, as the height of a list's line shows below.
  const LRESULT font = FontOf(window);
  EXPECT_NE(font, 0) << "the system font";
  for (const auto& row : kForm1) {
    SCOPED_TRACE(testing::Message() << "control " << row.id << " at " << dpi_ << " DPI");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetDlgCtrlID(window), row.id) << "out of tab order";
    wchar_t kind[16] = {};
    EXPECT_TRUE(GetClassNameW(window, kind, 16) && !_wcsicmp(kind, row.kind)) << kind;
    EXPECT_EQ(TextOf(window), row.text);
    GetWindowRect(window, &at);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ((std::array{at.left, at.top, at.right - at.left, at.bottom - at.top}),
              (std::array<LONG, 4>{px(row.left), px(row.top), px(row.width), px(row.height)}));
    EXPECT_EQ(FontOf(window), font) << "another font";
    window = GetWindow(window, GW_HWNDNEXT);
  }

  // The keyboard starts in the positions; Tab walks the stops round to it, Shift+Tab back.
  const int walk[] = {kPositions,  kCompare,   kBaseLevels, kLevels, kStep,
                      kRaise,      kPositions, kRaise,      kStep,   kLevels,
                      kBaseLevels, kCompare,   kPositions};
  for (int i = 0; i < 13; ++i) {
    ASSERT_TRUE(i == 0 || PressKey(form_, VK_TAB, i > 6 ? VK_SHIFT : 0)) << "keyboard not ready";
    ASSERT_TRUE(WaitFor([&] { return Focus() == Control(walk[i]); })) << "stop " << i;
  }
  EXPECT_EQ(Text(kPositions) + Text(kBaseLevels) + Text(kLevels), L"") << "Tab typed";
  // A list's lines are as tall as the message font at this DPI makes them.
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, dpi_));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, CreateFontIndirectW(&ncm.lfMessageFont));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  DeleteObject(SelectObject(dc, oldFont));
  DeleteDC(dc);
  ASSERT_TRUE(Type(kPositions, L"1\r\n2\r\n"));
  const auto top = [list = Control(kPositions)](int index) {  // of the character at that index
    return HIWORD(SendMessageW(list, EM_POSFROMCHAR, index, 0));
  };
  EXPECT_EQ(top(3) - top(0), metrics.tmHeight);
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96u, 144u, 192u),
                         [](const auto& info) { return "At" + std::to_string(info.param); });
