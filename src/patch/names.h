// The fixed names and numbers of the tool.
#pragma once

#include <string_view>

namespace patch {

inline constexpr std::string_view kPositionListName = "drevon2.txt";
inline constexpr std::string_view kPristineTableName = "t_mons0.tbl";
inline constexpr std::string_view kPatchedTableName = "t_mons.tbl";

// The position list names this many level bytes; further lines are ignored.
inline constexpr int kLevelCount = 439;

inline constexpr double kMinStep = 1;
inline constexpr double kMaxStep = 100;

// A reference table's level bytes are exactly this much larger in the raised copy.
inline constexpr int kReferenceRaise = 100;

inline constexpr std::string_view kInvalidStepPrompt = "只能输入1到100！";
inline constexpr std::string_view kInvalidStepTitle = "系统提示";
inline constexpr std::string_view kConfirmationPrefix = "敌人等级提高";
inline constexpr std::string_view kConfirmationSuffix = "级";

}  // namespace patch
