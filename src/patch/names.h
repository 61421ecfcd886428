// The fixed names and numbers of the tool.
#pragma once

#include <cstdint>
#include <string_view>

namespace patch {

inline constexpr std::string_view kPositionListName = "drevon2.txt";
inline constexpr std::string_view kPristineTableName = "t_mons0.tbl";
inline constexpr std::string_view kPatchedTableName = "t_mons.tbl";

// The position list names this many level bytes; further lines are ignored.
inline constexpr int kLevelCount = 439;

inline constexpr double kMinStep = 1;
inline constexpr double kMaxStep = 100;

// A compare lists at most this many matches; more mean the two files are no pair of one table,
// and listing millions of lines would only freeze the window.
inline constexpr std::int64_t kMaxListedMatches = 100'000;

// Positions are 32-bit: a table longer than this cannot be addressed, and no monster table comes
// anywhere near it (2 GB), so such a file is refused before it is read.
inline constexpr std::uint64_t kMaxTableLength = 0x7FFF'FFFF;

// A reference table's level bytes are exactly this much larger in the raised copy.
inline constexpr int kReferenceRaise = 100;

// The window's caption, which also titles its boxes (all but the invalid-step warning).
inline constexpr std::string_view kToolCaption = "Quarnel2难度补丁修改器";

}  // namespace patch
