// Form1 itself at 96, 144 and 192 DPI: caption, place, its ten controls where the player knows
// them, the keyboard's order.
// And the executable's version information.
#include <array>
#include <vector>

#include "fixture.h"

namespace e2e {
namespace {

// Each control's kind, place and size in twips, and its text, in tab order.
// clang-format off
constexpr struct { int id; const wchar_t* kind; int left, top, width, height; const wchar_t* text; }
kForm1[] = {
    {form1::kText1, L"Edit", 500, 500, 2000, 4000, L""},
    {form1::kCommand1, L"Button", 4200, 4680, 1215, 495, L"对比"},
    {form1::kText2, L"Edit", 3000, 480, 2000, 4000, L""},
    {form1::kText3, L"Edit", 5520, 480, 2000, 4000, L""},
    {form1::kLabel1, L"Static", 480, 4800, 1935, 255, L""},
    {form1::kText4, L"Edit", 8160, 1200, 1455, 615, L""},
    {form1::kLabel2, L"Static", 8160, 600, 1935, 375, L"提高敌人等级(1～100)"},
    {form1::kCommand2, L"Button", 8400, 2520, 1215, 615, L"修改"},
    {form1::kLabel3, L"Static", 8280, 4200, 1575, 615, L""},
    {form1::kLabel4, L"Static", 840, 5520, 6015, 495,
     L"修改好的文件t_mons.tbl覆盖游戏目录\\data\\text\\dat_us\\"},
};
// clang-format on

// The longest texts controls get later, which must fit too.
constexpr std::pair<int, const wchar_t*> kLongest[] = {
    {form1::kText1, L"10000000"},  {form1::kText2, L"255"}, {form1::kText3, L"255"},
    {form1::kLabel1, L"10000000"}, {form1::kText4, L"100"}, {form1::kLabel3, L"敌人等级提高100级"}};

class LayoutTest : public PatcherTest, public ::testing::WithParamInterface<UINT> {
 protected:
  LayoutTest() { dpi_ = GetParam(); }
  int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), 1440); }
};

TEST_P(LayoutTest, EveryControlSitsAtItsTwipsShowsItsTextWholeAndTabsInCreationOrder) {
  EXPECT_EQ(TextOf(form_), L"Quarnel2难度补丁修改器");
  RECT client{}, frame{}, work{};
  GetClientRect(form_, &client);
  GetWindowRect(form_, &frame);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(client.right, Px(10845));
  EXPECT_EQ(client.bottom, Px(6510));
  EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 2) << "not centred";
  EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 2) << "not centred";

  // The message font at this DPI, which the texts are measured in.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(
      SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi_));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, CreateFontIndirectW(&metrics.lfMessageFont));
  TEXTMETRICW font{};
  GetTextMetricsW(dc, &font);
  HWND window = GetWindow(form_, GW_CHILD);  // children in creation order, which is tab order
  for (const auto& control : kForm1) {
    SCOPED_TRACE(testing::Message() << "control " << control.id << " at " << dpi_ << " DPI");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetDlgCtrlID(window), control.id) << "out of tab order";
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    EXPECT_EQ(_wcsicmp(kind, control.kind), 0) << kind;
    EXPECT_EQ(TextOf(window), control.text);
    RECT at{}, inside{};
    GetWindowRect(window, &at);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ((std::array{at.left, at.top, at.right - at.left, at.bottom - at.top}),
              (std::array<LONG, 4>{Px(control.left), Px(control.top), Px(control.width),
                                   Px(control.height)}));
    // Not clipped: wrapped at the control's width as a label wraps it, the text fits in it.
    GetClientRect(window, &inside);
    RECT needed = inside;
    const wchar_t* text = control.text;
    for (const auto& [id, longest] : kLongest) text = id == control.id ? longest : text;
    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_LE(needed.right, inside.right) << text;
    EXPECT_LE(needed.bottom, inside.bottom) << text;
    window = GetWindow(window, GW_HWNDNEXT);
  }

  // The keyboard starts in Text1; Tab walks the stops in creation order, Shift+Tab back.
  const std::array<int, 7> stops{form1::kText1, form1::kCommand1, form1::kText2, form1::kText3,
                                 form1::kText4, form1::kCommand2, form1::kText1};
  EXPECT_TRUE(WaitFor([&] { return Focus() == Control(form1::kText1); })) << "not in Text1";
  for (const bool back : {false, true}) {
    for (std::size_t i = 1; i < stops.size(); ++i) {
      const int to = stops[back ? stops.size() - 1 - i : i];
      ASSERT_TRUE(PressKey(form_, VK_TAB, back ? VK_SHIFT : 0))
          << "the window is not ready for the keyboard";
      EXPECT_TRUE(WaitFor([&] { return Focus() == Control(to); })) << "Tab " << i << " to " << to;
    }
  }
  EXPECT_EQ(Text(form1::kText1) + Text(form1::kText2) + Text(form1::kText3), L"") << "Tab typed";

  // A list's lines are as tall as the font at this DPI makes them.
  ASSERT_TRUE(Type(form1::kText1, L"1\r\n2\r\n"));
  const auto top = [&](WPARAM at) {
    return HIWORD(SendMessageW(Control(form1::kText1), EM_POSFROMCHAR, at, 0));
  };
  std::printf("[ dpi  ] %u DPI: a list line is %d px high\n", dpi_, top(3) - top(0));
  EXPECT_EQ(top(3) - top(0), font.tmHeight);
  DeleteObject(SelectObject(dc, oldFont));
  DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96u, 144u, 192u),
                         [](const auto& info) { return "At" + std::to_string(info.param); });

TEST(PatcherExecutable, CarriesChineseVersionInformation) {
  const std::wstring exe = PatcherExe().wstring();
  std::vector<std::byte> data(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  const auto value = [&](const std::wstring& key) -> const void* {
    void* at = nullptr;
    UINT size = 0;
    return VerQueryValueW(data.data(), key.c_str(), &at, &size) ? at : nullptr;
  };
  const auto* language = static_cast<const DWORD*>(value(L"\\VarFileInfo\\Translation"));
  EXPECT_EQ(language ? *language : 0, 1200u << 16 | 0x0804);  // Chinese (PRC), texts in UTF-16
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    const std::wstring key = L"\\StringFileInfo\\080404b0\\" + std::wstring(name);
    EXPECT_STREQ(static_cast<const wchar_t*>(value(key)), L"1.00") << name;
  }
}

}  // namespace
}  // namespace e2e
