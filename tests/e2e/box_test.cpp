// Both buttons' boxes, the invalid-step warning and the errors: modal; the window carries on after.
#include "fixture.h"

using namespace e2e;

// What the player did or ran into, put right afterwards.
enum Cause { kStep, kMissing, kHeld, kReadOnly };
struct BoxCase {
  const char *name, *file;  // file: where the cause lies, beside the tool or a table on F:
  Cause cause;
  int button;
  const wchar_t *step, *text;  // in Text4 at the click; the warning, or a part of the error
  Place place = Place::kTemporary;
};

struct BoxTest : PatcherTest, ::testing::WithParamInterface<BoxCase> {
  BoxTest() { place_ = GetParam().place; }
};

TEST_P(BoxTest, ShowsTheBoxModallyAndTheWindowCarriesOnAfterIt) {
  const BoxCase& row = GetParam();
  const bool warning = row.cause == kStep, onF = row.file[0] == 'F';
  // The file as the tool names it, and as the harness finds it.
  const fs::path named = onF ? fs::path(row.file) : Beside(row.file);
  const fs::path file = onF ? driveF_ / named.filename() : named;
  const Bytes saved = ReadBytes(file);
  HANDLE held = INVALID_HANDLE_VALUE;  // opened with no sharing, as an editor or the game may
  if (row.cause == kHeld)
    held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (row.cause == kMissing) fs::remove(file);
  // Wine keeps the attribute as the file's write permissions, which stop no one running as root.
  if (row.cause == kReadOnly) {
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  }
  ASSERT_TRUE(Type(kText4, row.step));
  ASSERT_TRUE(PostMessageW(Control(row.button), BM_CLICK, 0, 0));
  const auto box = WaitForBox(form_, milliseconds(30'000));
  ASSERT_TRUE(box) << "no box";
  EXPECT_EQ(box->title, warning ? L"系统提示" : TextOf(form_));
  EXPECT_TRUE(warning ? box->text == row.text : box->Says(row.text)) << box->text;
  // A warning shows the exclamation icon; an error names the file.
  EXPECT_TRUE(warning || box->Says(named.wstring()));
  EXPECT_FALSE(IsWindowEnabled(form_)) << "the box is not modal";
  ASSERT_TRUE(PressButton(*box));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(form_); })) << "still modal after OK";
  EXPECT_TRUE(!warning || WaitFor([&] { return Focus() == Control(kText1); })) << "not in Text1";
  EXPECT_EQ(Text(kLabel1) + Text(kLabel3), L"");

  if (row.cause == kMissing) WriteBytes(file, saved);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  if (row.cause == kReadOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == set_.base) << "t_mons.tbl changed";
  ASSERT_TRUE(Type(kText4, L"10"));
  ASSERT_TRUE(ClickOn(row.button)) << "the window did not carry on";
  EXPECT_EQ(Text(kLabel1) + Text(kLabel3),
            row.button == kCommand2 ? L"敌人等级提高10级" : std::to_wstring(set_.positions.size()));
}

// clang-format off
constexpr BoxCase kCases[] = {
    {"NoStep", "", kStep, kCommand2, L"", L"只能输入1到100！"},
    {"MissingReferenceTable", "F:\\t_mons0.tbl", kMissing, kCommand1, L"", L"运行时错误 '53':"},
    // The harness starts the tool from inside the temporary folder, as an archive program does.
    {"MissingListBesideAToolInTheTemporaryFolder", "drevon2.txt", kMissing, kCommand2, L"１０",
     L"本工具是在压缩文件里直接打开的"},
    // Not inside it, only named as it starts: the advice for a tool in a folder of its own.
    {"MissingListBesideAToolInAFolderNamedLikeTheTemporaryFolder", "drevon2.txt", kMissing,
     kCommand2, L"10", L"请把位置列表 drevon2.txt 放到本工具所在的文件夹",
     Place::kNamedLikeTemporary},
    {"ReadOnlyTable", "t_mons.tbl", kReadOnly, kCommand2, L"10", L"t_mons.tbl 是只读文件"},
    // The advice that only error 70 of a held file gets.
    {"HeldTable", "t_mons.tbl", kHeld, kCommand2, L"10", L"t_mons.tbl 正被其他程序"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Box, BoxTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
