#include <gtest/gtest.h>

#include "error.h"

namespace patch {
namespace {

TEST(ErrorReport, ShowsNumberDescriptionContextAndWhatToDo) {
  Error listLine(ErrorNumber::kTypeMismatch, "drevon2.txt", 12, "abc");
  listLine.subject = Subject::kPositionList;
  EXPECT_EQ(ErrorReport(listLine),
            "运行时错误 '13':\n\n类型不匹配\n\n文件：drevon2.txt\n位置列表第 12 行：“abc”\n\n"
            "请改正 drevon2.txt 的这一行：每行只写一个字节位置（正整数）。");
  EXPECT_EQ(ErrorReport(Error(ErrorNumber::kOverflow)), "运行时错误 '6':\n\n溢出");

  // A list line of any length is shortened, never in the middle of a character.
  Error longLine(ErrorNumber::kTypeMismatch, {}, 1, "一二三四五六七八九十一二三四五六七八九十");
  EXPECT_NE(ErrorReport(longLine).find("“一二三四五六七八九十一二三…”"), std::string::npos);
}

}  // namespace
}  // namespace patch
