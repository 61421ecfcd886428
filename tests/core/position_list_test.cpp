#include "position_list.h"

#include <gtest/gtest.h>

#include <string>

#include "test_folder.h"

namespace patch {
namespace {

using testing_support::TestFolder;
using testing_support::WriteFile;

// n lines "1", "2", ... each ended by terminator.
std::string Lines(int n, std::string_view terminator) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += std::to_string(i) + std::string(terminator);
  return text;
}

TEST(PositionList, ReadsTheFirst439LinesAndNeverMore) {
  TestFolder folder;
  WriteFile(folder / "drevon2.txt", Lines(500, "\r\n"));
  Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines->size(), 439u);
  EXPECT_EQ(lines->front(), "1");
  EXPECT_EQ(lines->back(), "439");
}

TEST(PositionList, AcceptsEveryLineEndAndSkipsAByteOrderMark) {
  TestFolder folder;
  for (std::string_view terminator : {"\r\n", "\n", "\r"}) {
    std::string text = "\xEF\xBB\xBF" + Lines(439, terminator);
    WriteFile(folder / "drevon2.txt", text);
    Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
    ASSERT_TRUE(lines.ok());
    ASSERT_EQ(lines->size(), 439u);
    EXPECT_EQ((*lines)[0], "1");
    EXPECT_EQ((*lines)[438], "439");
  }
}

TEST(PositionList, KeepsLinesAsReadIncludingBlanksAndEmptyLines) {
  TestFolder folder;
  // An empty line between CR LF pairs, blanks kept, the last line without a terminator.
  std::string text = " 57 \r\n\r\n" + Lines(436, "\r\n") + "last";
  WriteFile(folder / "drevon2.txt", text);
  Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
  ASSERT_TRUE(lines.ok());
  EXPECT_EQ((*lines)[0], " 57 ");
  EXPECT_EQ((*lines)[1], "");
  EXPECT_EQ((*lines)[438], "last");
}

TEST(PositionList, TooFewLinesNameTheMissingLine) {
  TestFolder folder;
  WriteFile(folder / "drevon2.txt", Lines(438, "\r\n"));
  Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
  ASSERT_FALSE(lines.ok());
  EXPECT_EQ(lines.error().number, ErrorNumber::kInputPastEndOfFile);
  EXPECT_EQ(lines.error().listLine, 439);
  EXPECT_EQ(lines.error().file, folder / "drevon2.txt");

  WriteFile(folder / "drevon2.txt", "");
  EXPECT_EQ(ReadPositionList(folder / "drevon2.txt").error().listLine, 1);
}

TEST(PositionList, MissingFileOrFolderIsAnErrorAndNothingIsCreated) {
  TestFolder folder;
  Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
  ASSERT_FALSE(lines.ok());
  EXPECT_EQ(lines.error().number, ErrorNumber::kFileNotFound);
  EXPECT_FALSE(std::filesystem::exists(folder / "drevon2.txt"));

  lines = ReadPositionList(folder / "gone" / "drevon2.txt");
  ASSERT_FALSE(lines.ok());
  EXPECT_EQ(lines.error().number, ErrorNumber::kPathNotFound);
}

TEST(PositionList, AnEndlessLineIsCutAndCanNeverReadAsANumber) {
  TestFolder folder;
  std::string text = "5" + std::string(200 * 1024, ' ') + "\r\n" + Lines(438, "\r\n");
  WriteFile(folder / "drevon2.txt", text);
  Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
  ASSERT_TRUE(lines.ok());
  EXPECT_LT((*lines)[0].size(), 70u * 1024);
  EXPECT_NE((*lines)[0].find_first_not_of(' ', 1), std::string::npos);
  EXPECT_EQ((*lines)[1], "1");
}

}  // namespace
}  // namespace patch
