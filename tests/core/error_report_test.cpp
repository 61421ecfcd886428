#include <gtest/gtest.h>

#include "error.h"

namespace patch {
namespace {

Error Made(ErrorNumber number, const char* file, Subject subject, int line = 0,
           const char* position = "") {
  Error error(number, std::filesystem::path(reinterpret_cast<const char8_t*>(file)), line,
              position);
  error.subject = subject;
  return error;
}

TEST(ErrorReport, ShowsNumberDescriptionContextAndWhatToDo) {
  Error readOnly = Made(ErrorNumber::kPermissionDenied, "t_mons.tbl", Subject::kPatchedTable);
  readOnly.readOnly = true;
  Error step = Made(ErrorNumber::kTypeMismatch, "", Subject::kStep);
  step.step = "5abc";
  const struct {
    Error error;
    const char* report;
  } cases[] = {
      {Made(ErrorNumber::kFileNotFound, "补丁/t_mons0.tbl", Subject::kPristineTable),
       "运行时错误 '53':\n\n文件未找到\n\n文件：补丁/t_mons0.tbl\n\n请把游戏目录 "
       "\\data\\text\\dat_us\\ 里原版的 t_mons.tbl 复制到本工具所在的文件夹，并改名为 "
       "t_mons0.tbl。"},
      {Made(ErrorNumber::kTypeMismatch, "drevon2.txt", Subject::kPositionList, 12, "abc"),
       "运行时错误 '13':\n\n类型不匹配\n\n文件：drevon2.txt\n位置列表第 12 行：“abc”\n\n"
       "请改正 drevon2.txt 的这一行：每行只写一个字节位置（正整数）。"},
      {Made(ErrorNumber::kInputPastEndOfFile, "drevon2.txt", Subject::kPositionList, 439),
       "运行时错误 '62':\n\n输入超出文件尾\n\n文件：drevon2.txt\n位置列表缺少第 439 行\n\n"
       "drevon2.txt 至少要有 439 行，每行一个位置。"},
      {step,
       "运行时错误 '13':\n\n类型不匹配\n\n输入的提高值：“5abc”\n\n"
       "请在“提高敌人等级”框里只输入一个 1 到 100 的数，例如 10 或 2.5。"},
      {readOnly,
       "运行时错误 '70':\n\n拒绝的权限\n\n文件：t_mons.tbl\n\n"
       "t_mons.tbl 是只读文件。请在它的“属性”里取消“只读”，再点“修改”。"},
      {Made(ErrorNumber::kPathNotFound, "F:\\t_mons0.tbl", Subject::kReferenceTable),
       "运行时错误 '76':\n\n路径未找到\n\n文件：F:\\t_mons0.tbl\n\n请把原版怪物表 t_mons0.tbl "
       "和每个敌人等级都提高了 100 的 t_mons100.tbl 放到 F 盘根目录，再点“对比”。"},
      {Made(ErrorNumber::kOverflow, "", Subject::kNone), "运行时错误 '6':\n\n溢出"},
      {Made(ErrorNumber::kOutOfMemory, "", Subject::kNone),
       "运行时错误 '7':\n\n内存不足\n\n内存不足。请关闭其他程序，再试一次。"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorReport(c.error), c.report);

  // A list line of any length is shortened without cutting a character in two.
  Error longLine = Made(ErrorNumber::kTypeMismatch, "", Subject::kNone, 1,
                        "一二三四五六七八九十一二三四五六七八九十");
  EXPECT_NE(ErrorReport(longLine).find("“一二三四五六七八九十一二三…”"), std::string::npos);
}

}  // namespace
}  // namespace patch
