// Saving the latest compare's positions as drevon2.txt: only a list the raise can use, never over
// a different one unasked, and on any failure the old list as it was and nothing beside it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "../test_folder.h"
#include "faulty_steps.h"
#include "operations.h"

namespace patch {
namespace {

using namespace testing_support;

TEST(SavePositionList, SavesOnlyTheRaisesListAndAsksBeforeReplacingAnother) {
  std::string found, other = "1\r\n";
  for (int i = 1; i <= kLevelCount; ++i) found += std::to_string(7 * i) + "\r\n";
  const FoundPositions compare{kLevelCount, found};
  const struct {
    std::optional<FoundPositions> compare;
    const std::string* before;  // drevon2.txt beforehand, if any
    bool replace;
    const char* shown;  // a part of the box's text
    bool saved;         // drevon2.txt then holds what the compare found
    const FileAttributes* attributes = nullptr;
    SaveStep failing = SaveStep::kNone;  // fails with number
    ErrorNumber number = ErrorNumber::kPathFileAccessError;
    bool temporary = false;  // the tool in an archive program's temporary folder
    bool throws = false;     // the failing step throws instead
  } cases[] = {
      // clang-format off
      {std::nullopt, nullptr, true, "请先点“对比”", false},
      {FoundPositions{3, "1\r\n2\r\n3\r\n"}, nullptr, true, "3 个位置，而“修改”需要正好 439 个", false},
      {compare, nullptr, false, "已把这次对比找到的 439 个位置保存到", true},
      // The same list is not written again: a save that would fail is never started.
      {compare, &found, false, "不用再保存", true, nullptr, SaveStep::kCreate},
      {compare, &other, false, "已经存在，内容和这次对比的结果不同", false},
      {compare, &other, true, "保存到", true, &kUnusualAttributes},
      {compare, &other, true, "是只读文件。请在它的“属性”里取消“只读”，再按 Ctrl+S。", false, &kReadOnlyAttributes},
      {compare, &other, true, "drevon2.txt 保持原样", false, nullptr, SaveStep::kReplace},
      {compare, nullptr, false, "已满：保存 drevon2.txt 需要约 3 KB 可用空间", false, nullptr, SaveStep::kWrite, ErrorNumber::kDiskFull},
      {compare, &other, true, "的临时文件 drevon2.txt.~", false, nullptr, SaveStep::kReplace, ErrorNumber::kFileNotFound},
      {compare, &other, true, "删除或隔离了。drevon2.txt 保持原样", false, &kUnusualAttributes, SaveStep::kSetAttributes, ErrorNumber::kFileNotFound},
      {compare, &other, true, "运行时错误 '51':\n\n内部错误", false, nullptr, SaveStep::kWrite, {}, false, true},
      // Never where the archive program deletes it.
      {compare, nullptr, false, "drevon2.txt 写在那里会一起丢失，所以没有写入。请先", false, nullptr, SaveStep::kNone, {}, true},
      // clang-format on
  };
  for (const auto& c : cases) {
    TestFolder folder;
    const fs::path list = folder / "drevon2.txt";
    if (c.before) WriteBytes(list, *c.before);
    if (c.attributes) WriteAttributes(list, *c.attributes);
    FaultySteps steps(c.failing, Error(c.number), 1000,
                      [&] { c.throws ? throw std::runtime_error("x") : void(); });
    const SaveListOutcome outcome =
        SavePositionList(c.compare, {folder.path, c.temporary}, c.replace, steps);
    const std::string shown = outcome.warning ? outcome.warning->title + outcome.warning->prompt
                              : outcome.error
                                  ? ErrorReport(*outcome.error)
                                  : outcome.question.value_or(outcome.information.value_or(""));
    EXPECT_THAT(shown, ::testing::HasSubstr(c.shown));
    EXPECT_TRUE(!outcome.warning || shown.starts_with("Quarnel2难度补丁修改器"));
    const Bytes after = ReadBytes(list);
    EXPECT_EQ(std::string(after.begin(), after.end()), c.saved ? found : c.before ? *c.before : "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()),
              c.saved || c.before ? 1 : 0);
    if (!c.attributes) continue;
    EXPECT_EQ(ReadAttributes(list)->bits & c.attributes->bits, c.attributes->bits) << "kept";
    EXPECT_EQ(ReadAttributes(list)->readOnly, c.attributes->readOnly) << "no others added";
    WriteAttributes(list, FileAttributes{});  // so that the folder can go
  }
}

}  // namespace
}  // namespace patch
