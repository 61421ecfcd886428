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

TEST(PositionList, ReadsThe439LinesAsWrittenWhateverTheirEnds) {
  const struct {
    std::string text;
    std::string first, second, last;
  } cases[] = {
      {Lines(500, "\r\n"), "1", "2", "439"},  // lines past 439 are never read
      {"\xEF\xBB\xBF" + Lines(439, "\n"), "1", "2", "439"},
      {Lines(439, "\r"), "1", "2", "439"},
      // Blanks and empty lines are kept; the last line needs no terminator.
      {" 57 \r\n\r\n" + Lines(436, "\r\n") + "last", " 57 ", "", "last"},
  };
  TestFolder folder;
  for (const auto& c : cases) {
    WriteFile(folder / "drevon2.txt", c.text);
    Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
    ASSERT_TRUE(lines.ok()) << c.text.substr(0, 20);
    ASSERT_EQ(lines->size(), 439u);
    EXPECT_EQ((*lines)[0], c.first);
    EXPECT_EQ((*lines)[1], c.second);
    EXPECT_EQ((*lines)[438], c.last);
  }
}

TEST(PositionList, AShortOrMissingListIsAnErrorAndNothingIsCreated) {
  TestFolder folder;
  const struct {
    std::string text;  // "-" for no file at all
    ErrorNumber number;
    int line;
  } cases[] = {
      {Lines(438, "\r\n"), ErrorNumber::kInputPastEndOfFile, 439},
      {"", ErrorNumber::kInputPastEndOfFile, 1},
      {"-", ErrorNumber::kFileNotFound, 0},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder / "drevon2.txt");
    if (c.text != "-") WriteFile(folder / "drevon2.txt", c.text);
    Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
    ASSERT_FALSE(lines.ok());
    EXPECT_EQ(lines.error().number, c.number);
    EXPECT_EQ(lines.error().listLine, c.line);
    EXPECT_EQ(lines.error().file, folder / "drevon2.txt");
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "drevon2.txt"));
  EXPECT_EQ(ReadPositionList(folder / "gone" / "drevon2.txt").error().number,
            ErrorNumber::kPathNotFound);
}

TEST(PositionList, AnEndlessLineIsCutAndCanNeverReadAsANumber) {
  TestFolder folder;
  WriteFile(folder / "drevon2.txt", "5" + std::string(200 * 1024, ' ') + "\r\n" + Lines(438, "\n"));
  Expected<std::vector<std::string>> lines = ReadPositionList(folder / "drevon2.txt");
  ASSERT_TRUE(lines.ok());
  EXPECT_LT((*lines)[0].size(), 70u * 1024);
  EXPECT_NE((*lines)[0].find_first_not_of(' ', 1), std::string::npos);
  EXPECT_EQ((*lines)[1], "1");
}

}  // namespace
}  // namespace patch
