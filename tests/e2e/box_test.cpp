// The boxes of both buttons: the invalid-step warning and the error boxes, modal, after which the
// window carries on.
#include "fixture.h"

namespace e2e {
namespace {

HANDLE Hold(const fs::path& file) {  // opened with no sharing, as an editor or the game may
  return CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// What the player did or ran into; the test puts it right again afterwards.
enum class Cause { kStep, kMissing, kHeldByAnotherProgram };
struct BoxCase {
  const char* name;
  Cause cause;
  const wchar_t* step;  // in Text4 at the click
  int button;
  const char* file;     // where the cause lies: beside the tool, or a reference table on F:
  const wchar_t* text;  // the warning's text, or a part of the error's
};

class BoxTest : public PatcherTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(BoxTest, ShowsTheBoxModallyAndTheWindowCarriesOnAfterIt) {
  const BoxCase& row = GetParam();
  const bool warning = row.cause == Cause::kStep, onF = row.file[0] == 'F';
  const fs::path file = onF ? driveF_ / fs::path(row.file).filename() : Beside(row.file);
  const Bytes saved = ReadBytes(file);
  HANDLE held = row.cause == Cause::kHeldByAnotherProgram ? Hold(file) : INVALID_HANDLE_VALUE;
  if (row.cause == Cause::kMissing) fs::remove(file);
  ASSERT_TRUE(Type(form1::kText4, row.step));

  ASSERT_TRUE(PostMessageW(Control(row.button), BM_CLICK, 0, 0));
  const auto box = BoxUp(milliseconds(30'000));
  ASSERT_TRUE(box) << "no box";
  EXPECT_EQ(box->title, warning ? L"系统提示" : TextOf(form_));
  EXPECT_TRUE(warning ? box->text == row.text : box->text.find(row.text) != std::wstring::npos)
      << box->text;
  // An error box names the file, as the tool knows it.
  const std::wstring named = onF ? fs::path(row.file).wstring() : file.wstring();
  EXPECT_TRUE(warning || box->text.find(named) != std::wstring::npos) << "should name " << named;
  EXPECT_TRUE(!warning || box->ShowsExclamation()) << "no exclamation icon";
  EXPECT_FALSE(IsWindowEnabled(form_)) << "the box is not modal";
  ASSERT_TRUE(PressButton(*box));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(form_); })) << "still modal after OK";
  EXPECT_TRUE(!warning || WaitFor([&] { return Focus() == Control(form1::kText1); }))
      << "the focus did not go to Text1";
  EXPECT_EQ(Text(form1::kLabel1) + Text(form1::kLabel3), L"");

  if (row.cause == Cause::kMissing) WriteBytes(file, saved);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == set_.base)
      << "t_mons.tbl changed although nothing was raised";
  ASSERT_TRUE(Type(form1::kText4, L"10"));
  ASSERT_TRUE(ClickOn(row.button)) << "the window did not carry on";
  EXPECT_EQ(Text(row.button == form1::kCommand2 ? form1::kLabel3 : form1::kLabel1),
            row.button == form1::kCommand2 ? L"敌人等级提高10级"
                                           : std::to_wstring(set_.positions.size()));
}

constexpr int kRaise = form1::kCommand2, kCompare = form1::kCommand1;
// An error's number, or the advice that only error 70 of a held file gets.
constexpr const wchar_t *kWarning = L"只能输入1到100！", *k53 = L"运行时错误 '53':",
                        *kHeld = L"t_mons.tbl 正被其他程序";
INSTANTIATE_TEST_SUITE_P(
    Box, BoxTest,
    ::testing::Values(
        BoxCase{"NoStep", Cause::kStep, L"", kRaise, "", kWarning},
        BoxCase{"MissingReferenceTable", Cause::kMissing, L"", kCompare, "F:\\t_mons0.tbl", k53},
        // The harness starts the tool from inside the temporary folder, as an archive program does.
        BoxCase{"MissingListBesideAToolInTheTemporaryFolder", Cause::kMissing, L"１０", kRaise,
                "drevon2.txt", L"本工具是在压缩文件里直接打开的"},
        BoxCase{"HeldTable", Cause::kHeldByAnotherProgram, L"10", kRaise, "t_mons.tbl", kHeld}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
