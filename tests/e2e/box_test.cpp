// Both buttons' boxes, the invalid-step warning and the errors: modal; the window carries on after.
#include "fixture.h"

using namespace e2e;

// What the player did or ran into, put right afterwards (but for a tool run from the temporary
// folder, which is the player's to leave).
enum Cause { kInvalidStep, kMissing, kHeld, kReadOnly, kNothing };
struct BoxCase {
  const char *name, *file;  // file: where the cause lies, beside the tool or a table on F:
  Cause cause;
  int button;
  const wchar_t *step, *text;  // in the step box at the click; the warning, or a part of the error
  Place place = Place::kOwn;
};

struct BoxTest : PatcherTest, ::testing::WithParamInterface<BoxCase> {
  BoxTest() { place_ = GetParam().place; }
};

TEST_P(BoxTest, ShowsTheBoxModallyAndTheWindowCarriesOnAfterIt) {
  const BoxCase& row = GetParam();
  const bool warning = row.cause == kInvalidStep, onF = row.file[0] == 'F';
  // The file as the tool names it, and as the harness finds it.
  const fs::path named = onF ? fs::path(row.file) : Beside(row.file);
  const fs::path file = onF ? driveF_ / named.filename() : named;
  const Bytes saved = ReadBytes(file);
  HANDLE held = INVALID_HANDLE_VALUE;  // opened with no sharing, as an editor or the game may
  if (row.cause == kHeld)
    held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (row.cause == kMissing) fs::remove(file);
  // Wine keeps the attribute as the file's write permissions, which stop no one running as root.
  ASSERT_TRUE(row.cause != kReadOnly || SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(Type(kStep, row.step) && PostMessageW(Control(row.button), BM_CLICK, 0, 0));
  const Box box = Answer(IDOK, warning ? L"系统提示" : L"");
  EXPECT_TRUE(warning ? box.text == row.text : box.Says(row.text)) << box.text;
  EXPECT_TRUE(warning || box.Says(named.wstring())) << "an error names the file";
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(form_); })) << "still modal after OK";
  EXPECT_TRUE(!warning || WaitFor([&] { return Focus() == Control(kPositions); }))
      << "not in the positions";
  EXPECT_EQ(Text(kMatchCount) + Text(kConfirmation), L"");

  if (row.cause == kMissing) WriteBytes(file, saved);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  if (row.cause == kReadOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(ReadBytes(Beside("t_mons.tbl")) == set_.base) << "t_mons.tbl changed";
  // In the temporary folder only the compare, which writes nothing, can go on.
  const int again = row.place == Place::kTemporary ? kCompare : row.button;
  ASSERT_TRUE(Type(kStep, L"10") && ClickOn(again)) << "the window did not carry on";
  EXPECT_EQ(Text(kMatchCount) + Text(kConfirmation),
            again == kRaise ? L"敌人等级提高10级" : std::to_wstring(set_.positions.size()));
}

// clang-format off
constexpr BoxCase kCases[] = {
    {"NoStep", "", kInvalidStep, kRaise, L"", L"只能输入1到100！"},
    {"MissingReferenceTable", "F:\\t_mons0.tbl", kMissing, kCompare, L"", L"运行时错误 '53':"},
    // The tool started from inside the temporary folder, as an archive program does: extract it
    // first, and nothing is written where the archive program deletes it.
    {"RaiseBesideAToolInTheTemporaryFolder", "t_mons.tbl", kNothing, kRaise, L"１０",
     L"t_mons.tbl 写在那里会一起丢失，所以没有写入", Place::kTemporary},
    // Not inside it, only named as it starts: the advice for a tool in a folder of its own.
    {"MissingListBesideAToolInAFolderNamedLikeTheTemporaryFolder", "drevon2.txt", kMissing,
     kRaise, L"10", L"请把位置列表 drevon2.txt 放到本工具所在的文件夹",
     Place::kNamedLikeTemporary},
    // The temporary folder named to the tool is gone, or too long a name for the system: the
    // tool's folder is not taken for one in it.
    {"MissingListWhenTheTemporaryFolderIsGone", "drevon2.txt", kMissing, kRaise, L"10",
     L"请把位置列表 drevon2.txt 放到本工具所在的文件夹", Place::kOwnTemporaryGone},
    {"MissingListWhenTheTemporaryFolderIsTooLong", "drevon2.txt", kMissing, kRaise, L"10",
     L"请把位置列表 drevon2.txt 放到本工具所在的文件夹", Place::kOwnTemporaryTooLong},
    {"ReadOnlyTable", "t_mons.tbl", kReadOnly, kRaise, L"10", L"t_mons.tbl 是只读文件"},
    // The advice that only error 70 of a held file gets.
    {"HeldTable", "t_mons.tbl", kHeld, kRaise, L"10", L"t_mons.tbl 正被其他程序"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Box, BoxTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
