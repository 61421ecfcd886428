// Saving the latest compare's positions as drevon2.txt: only a list the raise can use, never over
// a different one unasked, and on any failure the old list as it was and nothing beside it.
#include <gtest/gtest.h>

#include <string>

#include "../test_folder.h"
#include "faulty_steps.h"
#include "operations.h"

namespace patch {
namespace {

using namespace testing_support;
using enum ErrorNumber;

std::string Positions(int count, int first = 1) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += std::to_string(first + 7 * i) + "\r\n";
  return lines;
}

TEST(SavePositionList, SavesOnlyTheRaisesListAndAsksBeforeReplacingAnother) {
  const std::string found = Positions(439), other = Positions(439, 2);
  const struct {
    std::optional<FoundPositions> compare;
    const char* before;  // drevon2.txt beforehand; nullptr: none
    bool replace;
    const char* shown;  // a part of the box's text
    bool saved;         // drevon2.txt then holds what the compare found
    const FileMarks* marks = nullptr;
    SaveStep failing = SaveStep::kNone;
  } cases[] = {
      {std::nullopt, nullptr, true, "请先点“对比”", false},
      {FoundPositions{3, Positions(3)}, nullptr, true, "找到了 3 个位置，而“修改”需要正好 439 个",
       false},
      {FoundPositions{100'001, found}, other.c_str(), true, "找到了 100001 个位置", false},
      {FoundPositions{439, found}, nullptr, false, "已把这次对比找到的 439 个位置保存到", true},
      // The same list is not written again: a save that would fail is never started.
      {FoundPositions{439, found}, found.c_str(), false, "不用再保存", true, nullptr,
       SaveStep::kCreate},
      {FoundPositions{439, found}, other.c_str(), false, "已经存在，内容和这次对比的结果不同",
       false},
      {FoundPositions{439, found}, other.c_str(), true, "保存到", true, &kSpecialMarks},
      {FoundPositions{439, found}, other.c_str(), true, "是只读文件。请在它的“属性”里取消“只读”",
       false, &kReadOnlyMarks},
      {FoundPositions{439, found}, other.c_str(), true, "磁盘已满。请腾出磁盘空间，再按 Ctrl+S。",
       false, nullptr, SaveStep::kWrite},
      {FoundPositions{439, found}, other.c_str(), true, "drevon2.txt 保持原样", false, nullptr,
       SaveStep::kReplace},
  };
  for (const auto& c : cases) {
    TestFolder folder;
    const fs::path list = folder / "drevon2.txt";
    if (c.before) WriteBytes(list, std::string(c.before));
    if (c.marks) WriteMarks(list, *c.marks);
    const ErrorNumber number = c.failing == SaveStep::kReplace ? kPathFileAccessError : kDiskFull;
    FaultySteps steps(c.failing, Error(number));
    const SaveListOutcome outcome = SavePositionList(c.compare, folder.path, c.replace, steps);
    const std::string shown = outcome.warning       ? outcome.warning->prompt
                              : outcome.question    ? *outcome.question
                              : outcome.information ? *outcome.information
                              : outcome.error       ? ErrorReport(*outcome.error)
                                                    : "";
    EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
    EXPECT_TRUE(!outcome.warning || outcome.warning->title == "Quarnel2难度补丁修改器");
    const Bytes bytes = ReadBytes(list);
    const std::string after(bytes.begin(), bytes.end());
    EXPECT_EQ(after, c.saved ? found : c.before ? c.before : "") << shown;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()),
              c.saved || c.before ? 1 : 0)
        << shown;
    if (c.marks) {
      EXPECT_EQ(ReadMarks(list)->bits & c.marks->bits, c.marks->bits) << "marks lost";
      WriteMarks(list, FileMarks{});  // so that the folder can go
    }
  }
}

}  // namespace
}  // namespace patch
