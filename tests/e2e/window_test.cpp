// Form1 itself: caption, size and place, its ten controls, keyboard order, closing, version.
#include <array>
#include <cmath>
#include <string>

#include "fixture.h"
#include "form1_ids.h"

namespace e2e {
namespace {

struct Expected {
  int id;
  const wchar_t* className;
  int left, top, width, height;  // twips
  const wchar_t* text;
  bool list;  // multi-line with a vertical scroll bar
  bool tabStop;
};

// The layout the player knows, in creation order.
constexpr std::array<Expected, 10> kLayout{{
    {form1::kText1, L"Edit", 500, 500, 2000, 4000, L"", true, true},
    {form1::kCommand1, L"Button", 4200, 4680, 1215, 495, L"对比", false, true},
    {form1::kText2, L"Edit", 3000, 480, 2000, 4000, L"", true, true},
    {form1::kText3, L"Edit", 5520, 480, 2000, 4000, L"", true, true},
    {form1::kLabel1, L"Static", 480, 4800, 1935, 255, L"", false, false},
    {form1::kText4, L"Edit", 8160, 1200, 1455, 615, L"", false, true},
    {form1::kLabel2, L"Static", 8160, 600, 1935, 375, L"提高敌人等级(1\uFF5E100)", false, false},
    {form1::kCommand2, L"Button", 8400, 2520, 1215, 615, L"修改", false, true},
    {form1::kLabel3, L"Static", 8280, 4200, 1575, 615, L"", false, false},
    {form1::kLabel4, L"Static", 840, 5520, 6015, 495,
     L"修改好的文件t_mons.tbl覆盖游戏目录\\data\\text\\dat_us\\", false, false},
}};

// At 96 DPI a pixel is 15 twips.
int Pixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST_F(PatcherTest, CaptionAndNoMenu) {
  EXPECT_EQ(TextOf(Window().form()), L"Quarnel2难度补丁修改器");
  EXPECT_EQ(GetMenu(Window().form()), nullptr);
}

TEST_F(PatcherTest, ClientAreaAndControlsSitAtTheirTwipsAt96Dpi) {
  if (ScreenDpi() != 96) GTEST_SKIP() << "the screen is not at 96 DPI";
  RECT client{};
  ASSERT_TRUE(GetClientRect(Window().form(), &client));
  EXPECT_EQ(client.right - client.left, Pixels(10845));
  EXPECT_EQ(client.bottom - client.top, Pixels(6510));

  for (const Expected& control : kLayout) {
    SCOPED_TRACE(ToUtf8(control.text) + " id " + std::to_string(control.id));
    HWND window = Window().Control(control.id);
    ASSERT_NE(window, nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, Window().form(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, Pixels(control.left));
    EXPECT_EQ(rect.top, Pixels(control.top));
    EXPECT_EQ(rect.right - rect.left, Pixels(control.width));
    EXPECT_EQ(rect.bottom - rect.top, Pixels(control.height));
  }
}

TEST_F(PatcherTest, ControlsHaveTheirKindTextAndStyle) {
  HWND previous = nullptr;
  for (const Expected& control : kLayout) {
    SCOPED_TRACE(ToUtf8(control.text) + " id " + std::to_string(control.id));
    HWND window = Window().Control(control.id);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClassOf(window), control.className);
    EXPECT_EQ(TextOf(window), control.text);
    EXPECT_TRUE(IsWindowVisible(window));
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ((style & WS_TABSTOP) != 0, control.tabStop);
    if (std::wstring(control.className) == L"Edit") {
      EXPECT_EQ((style & ES_MULTILINE) != 0, control.list);
      EXPECT_EQ((style & WS_VSCROLL) != 0, control.list);
      if (!control.list) {
        EXPECT_NE(style & ES_AUTOHSCROLL, 0u);
      }
    }
    // Creation order: each control follows the one before it among the form's children.
    EXPECT_EQ(GetWindow(window, GW_HWNDPREV), previous);
    previous = window;
  }
}

TEST_F(PatcherTest, WindowIsCentredOnTheWorkArea) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  RECT frame{};
  ASSERT_TRUE(GetWindowRect(Window().form(), &frame));
  EXPECT_NEAR((frame.left + frame.right) / 2.0, (work.left + work.right) / 2.0, 1.0);
  EXPECT_NEAR((frame.top + frame.bottom) / 2.0, (work.top + work.bottom) / 2.0, 1.0);
}

TEST_F(PatcherTest, TabOrderIsTheCreationOrder) {
  const std::array<int, 6> stops{form1::kText1, form1::kCommand1, form1::kText2,
                                 form1::kText3, form1::kText4,    form1::kCommand2};
  HWND form = Window().form();
  for (std::size_t i = 0; i < stops.size(); ++i) {
    HWND from = Window().Control(stops[i]);
    EXPECT_EQ(GetNextDlgTabItem(form, from, FALSE), Window().Control(stops[(i + 1) % stops.size()]))
        << "after id " << stops[i];
    EXPECT_EQ(GetNextDlgTabItem(form, from, TRUE),
              Window().Control(stops[(i + stops.size() - 1) % stops.size()]))
        << "before id " << stops[i];
  }

  // And the keyboard follows it: the tool starts in Text1, each Tab moves on one stop.
  EXPECT_EQ(Window().Focus(), Window().Control(form1::kText1));
  for (std::size_t i = 1; i <= stops.size(); ++i) {
    Window().PressKey(VK_TAB);
    const int expected = stops[i % stops.size()];
    const Clock::time_point deadline = Clock::now() + milliseconds(5'000);
    while (Window().Focus() != Window().Control(expected) && Clock::now() < deadline) Sleep(10);
    EXPECT_EQ(Window().Focus(), Window().Control(expected)) << "Tab number " << i;
  }
  // Tab moves the focus; it never lands in a list box as a character.
  EXPECT_EQ(Window().Text(form1::kText1), L"");
  EXPECT_EQ(Window().Text(form1::kText2), L"");
  EXPECT_EQ(Window().Text(form1::kText3), L"");
}

TEST_F(PatcherTest, ClosingTheWindowEndsTheTool) {
  PostMessageW(Window().form(), WM_CLOSE, 0, 0);
  const auto code = process_->WaitForExit(kPatience);
  ASSERT_TRUE(code) << "the tool kept running";
  EXPECT_EQ(*code, 0u);
}

TEST(PatcherExecutable, CarriesChineseVersionInformation) {
  const std::wstring exe = PatcherExe().wstring();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<std::byte> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 1200);

  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    wchar_t* value = nullptr;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    ASSERT_TRUE(VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
        << ToUtf8(name);
    EXPECT_EQ(std::wstring(value), L"1.00");
  }
  wchar_t* product = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\080404b0\\ProductName",
                             reinterpret_cast<void**>(&product), &length));
  EXPECT_EQ(std::wstring(product), L"Quarnel2难度补丁修改器");
}

}  // namespace
}  // namespace e2e
